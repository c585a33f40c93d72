#include "ui/digits_only.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QVBoxLayout>

#include <algorithm>

// Number boxes take the digits 0 to 9 and backspace from the keyboard; every other character, the
// control characters of the clipboard and undo shortcuts included, is discarded, and a paste that
// holds a non-digit is refused.
class TestDigitsOnly : public QObject
{
    Q_OBJECT

    static void press(QLineEdit *edit, int key, const QString &text, int modifiers = 0)
    {
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key(key), text, Qt::KeyboardModifiers(modifiers));
    }

private Q_SLOTS:
    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("result"); // "12", cursor at the end, then the key and a "5"

        QTest::newRow("digit") << int(Qt::Key_7) << "7" << 0 << "1275";
        QTest::newRow("backspace") << int(Qt::Key_Backspace) << "\b" << 0 << "15";
        QTest::newRow("Left, no character") << int(Qt::Key_Left) << "" << 0 << "152";
        for (const char *other : {"a", "ж", "-", " ", ",", "²"})
            QTest::addRow("'%s'", other) << int(Qt::Key_unknown) << QString::fromUtf8(other) << 0 << "125";
        QTest::newRow("Enter") << int(Qt::Key_Return) << "\r" << 0 << "125";
        QTest::newRow("Ctrl+V") << int(Qt::Key_V) << "\x16" << int(Qt::ControlModifier) << "125";
        QTest::newRow("Ctrl+Z") << int(Qt::Key_Z) << "\x1a" << int(Qt::ControlModifier) << "125";
    }

    void keys()
    {
        QFETCH(int, key);
        QFETCH(QString, text);
        QFETCH(int, modifiers);
        QFETCH(QString, result);
        QApplication::clipboard()->setText("34");
        QLineEdit edit("12");
        DigitsOnly::install(&edit);
        bool entered = false;
        connect(&edit, &QLineEdit::returnPressed, this, [&entered] { entered = true; });
        press(&edit, key, text, modifiers);
        press(&edit, Qt::Key_5, "5");
        QCOMPARE(edit.text(), result);
        QVERIFY(!entered);
    }

    // The keyboard leaves a number box as any other.
    void tabLeavesTheBox_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("focused"); // 0 before, 1 the number box, 2 after
        QTest::newRow("Tab") << int(Qt::Key_Tab) << 0 << 2;
        QTest::newRow("Shift+Tab") << int(Qt::Key_Backtab) << int(Qt::ShiftModifier) << 0;
    }

    void tabLeavesTheBox()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, focused);
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        QLineEdit *boxes[] = {new QLineEdit, new QLineEdit("12"), new QLineEdit};
        for (QLineEdit *box : boxes)
            layout->addWidget(box);
        DigitsOnly::install(boxes[1]);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        boxes[1]->setFocus();
        QTest::keyClick(boxes[1], Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(QApplication::focusWidget(), boxes[focused]);
        QCOMPARE(boxes[1]->text(), QString("12"));
    }

    void pasteTakesOnlyDigits_data()
    {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<bool>("pasted");
        QTest::newRow("digits") << "345" << true;
        QTest::newRow("digits and a letter") << "12a" << false;
        QTest::newRow("telephone with separators") << "8 (495) 123" << false;
    }

    void pasteTakesOnlyDigits()
    {
        QFETCH(QString, clipboard);
        QFETCH(bool, pasted);
        QApplication::clipboard()->setText(clipboard);
        QLineEdit edit("0");
        DigitsOnly::install(&edit);
        edit.show();
        press(&edit, Qt::Key_Insert, "", Qt::ShiftModifier);
        QCOMPARE(edit.text(), pasted ? "0" + clipboard : QStringLiteral("0"));

        QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(1, 1), edit.mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(&edit, &request);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        const QList<QAction *> items = menu->actions();
        const auto paste = std::find_if(items.begin(), items.end(), [](const QAction *item) {
            return item->text().startsWith(QLineEdit::tr("&Paste"));
        });
        QVERIFY(paste != items.end());
        QCOMPARE((*paste)->isEnabled(), pasted);
        menu->close();
    }

    // Text that arrives without a key: dropped from another window, or composed by an input method
    // (a pasted character map, a phone's keyboard, handwriting).
    void textWithoutKeysTakesOnlyDigits_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("result");
        for (const char *how : {"dropped", "input method"}) {
            QTest::addRow("%s digits", how) << how << "345"
                                            << "0345";
            QTest::addRow("%s letters", how) << how << "12a"
                                             << "0";
            QTest::addRow("%s a statement", how) << how << "1'); DROP TABLE gurnal;--"
                                                 << "0";
            QTest::addRow("%s other digits", how) << how << "١٢"
                                                  << "0";
            QTest::addRow("%s wide digits", how) << how << "１２"
                                                 << "0";
            QTest::addRow("%s a line break", how) << how << "12\n3"
                                                  << "0";
        }
    }

    void textWithoutKeysTakesOnlyDigits()
    {
        QFETCH(QString, how);
        QFETCH(QString, text);
        QFETCH(QString, result);
        QLineEdit edit("0");
        DigitsOnly::install(&edit);
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        edit.setCursorPosition(1);
        if (how == "dropped") {
            QMimeData data;
            data.setText(text);
            const QPointF at(edit.width() - 2, edit.height() / 2);
            QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&edit, &enter);
            QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&edit, &drop);
        } else {
            QInputMethodEvent composing(text, {}); // shown while it is being composed, never stored
            QApplication::sendEvent(&edit, &composing);
            QInputMethodEvent committed;
            committed.setCommitString(text);
            QApplication::sendEvent(&edit, &committed);
        }
        QCOMPARE(edit.text(), result);
    }
};

QTEST_MAIN(TestDigitsOnly)
#include "test_digits_only.moc"
