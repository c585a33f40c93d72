#include "ui/list_keys.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStringListModel>
#include <QTableView>
#include <QTest>

// A list window's keys press its buttons, only while the button can be pressed.
class TestDialogButtons : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keysPressTheListsButtons_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("onTheGrid");
        QTest::addColumn<QString>("pressed");
        QTest::newRow("Insert") << int(Qt::Key_Insert) << false << "Добавить";
        QTest::newRow("Enter on the grid") << int(Qt::Key_Return) << true << "Изменить";
        QTest::newRow("keypad Enter on the grid") << int(Qt::Key_Enter) << true << "Изменить";
        QTest::newRow("Enter elsewhere") << int(Qt::Key_Return) << false << "";
        QTest::newRow("Delete") << int(Qt::Key_Delete) << false << "Удалить";
    }

    void keysPressTheListsButtons()
    {
        QFETCH(int, key);
        QFETCH(bool, onTheGrid);
        QFETCH(QString, pressed);
        QWidget window;
        QStringListModel rows({"Иванов", "Петров"});
        auto *grid = new QTableView(&window);
        grid->setModel(&rows);
        auto *add = new QPushButton("Добавить", &window);
        auto *change = new QPushButton("Изменить", &window);
        auto *remove = new QPushButton("Удалить", &window);
        auto *layout = new QHBoxLayout(&window);
        for (QWidget *w : {static_cast<QWidget *>(grid), static_cast<QWidget *>(add),
                           static_cast<QWidget *>(change), static_cast<QWidget *>(remove)})
            layout->addWidget(w);
        addListKeys(grid, add, change, remove);
        QStringList clicked;
        for (QPushButton *button : {add, change, remove})
            connect(button, &QPushButton::clicked, this, [&clicked, button] { clicked << button->text(); });
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QWidget *focused = onTheGrid ? static_cast<QWidget *>(grid) : static_cast<QWidget *>(remove);
        focused->setFocus();

        QTest::keyClick(focused, Qt::Key(key));
        QCOMPARE(clicked.join(","), pressed);

        // A disabled button's key does nothing.
        clicked.clear();
        for (QPushButton *button : {add, change, remove})
            button->setEnabled(false);
        QTest::keyClick(focused, Qt::Key(key));
        QVERIFY(clicked.isEmpty());
    }
};

QTEST_MAIN(TestDialogButtons)

#include "test_dialog_buttons.moc"
