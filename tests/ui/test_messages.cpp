#include "data/data_error.h"
#include "tests/support/ui_support.h"
#include "ui/error_guard.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTest>

// The real message boxes as the user sees them, and the guard that turns a
// handler's error into the error box.
class TestMessages : public QObject
{
    Q_OBJECT

    // Shows the box of the kind and tells whether it was answered Yes (or OK).
    static bool show(int kind, const QString &text)
    {
        MessageBoxes boxes;
        switch (kind) {
        case 0:
            boxes.inform(text);
            return false;
        case 1:
            boxes.error(text);
            return false;
        case 2:
            return boxes.ask("Подтверждение выхода", text) == Messages::Answer::Yes;
        default:
            return boxes.confirm(text) == Messages::Answer::Yes;
        }
    }

private Q_SLOTS:
    void realBoxes_data()
    {
        QTest::addColumn<int>("kind"); // 0 inform, 1 error, 2 ask, 3 confirm
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("buttons"); // the first one is the default and is pressed

        const QString title = QString::fromUtf8("АРМ \"Возар\"");
        QTest::newRow("message") << 0 << title << int(QMessageBox::Information) << int(QMessageBox::Ok);
        QTest::newRow("error") << 1 << title << int(QMessageBox::Critical) << int(QMessageBox::Ok);
        QTest::newRow("question") << 2 << "Подтверждение выхода" << int(QMessageBox::Question)
                                  << int(QMessageBox::Yes | QMessageBox::No);
        QTest::newRow("toolkit question")
            << 3 << title << int(QMessageBox::Question) << int(QMessageBox::Ok | QMessageBox::Cancel);
    }

    void realBoxes()
    {
        QFETCH(int, kind);
        QFETCH(QString, caption);
        QFETCH(int, icon);
        QFETCH(int, buttons);
        const QString text = "          Пароль введён не верно!          ";
        QMessageBox::StandardButtons seenButtons;
        QString seenCaption, seenText;
        int seenIcon = -1;
        whenModalAppears([&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            QVERIFY(box);
            seenCaption = box->windowTitle();
            seenText = box->text();
            seenIcon = box->icon();
            seenButtons = box->standardButtons();
            box->defaultButton()->click();
        });
        const bool yes = show(kind, text);
        QCOMPARE(seenCaption, caption);
        QCOMPARE(seenText, text); // blanks and all
        QCOMPARE(seenIcon, icon);
        QCOMPARE(int(seenButtons), buttons);
        QCOMPARE(yes, kind >= 2); // the default is Yes, or OK
    }

    void guardShowsTheErrorAndStops()
    {
        ScriptedMessages messages;
        QVERIFY(!guarded(messages, [] { throw DataError("'12a' is not a valid floating point value"); }));
        QVERIFY(!guarded(messages, [] { throw std::runtime_error("Нет места на диске"); }));
        QVERIFY(guarded(messages, [] {}));
        QCOMPARE(messages.errors(),
                 (QStringList{"'12a' is not a valid floating point value", "Нет места на диске"}));
    }
};

QTEST_MAIN(TestMessages)
#include "test_messages.moc"
