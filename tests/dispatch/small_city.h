#pragma once

#include "data/clock.h"
#include "tests/ui/ui_test_case.h"
#include "ui/db_controls.h"

#include <QListView>

// A small city for the dispatch windows: three districts with their streets and five drivers with
// shifts (Лебедев without one); each test puts on the line the drivers it needs.
class SmallCity : public UiTestCase
{
    Q_OBJECT

protected:
    enum District : qint64
    {
        Central = 1, // Центральный: Ленина, Мира
        North,       // Северный: Лесная, Полевая
        Works        // Заводской: Заводская
    };
    enum Driver : qint64
    {
        Petrov = 1, // 101
        Kuznetsov,  // 102
        Sokolov,    // 103
        Popov,      // 104
        Lebedev     // 105, no shift
    };

    void fill() override
    {
        for (const char *name : {"Центральный", "Северный", "Заводской"})
            insert("raion", {{"Raion", name}});
        const std::pair<District, const char *> streets[] = {{Central, "Ленина"},
                                                             {Central, "Мира"},
                                                             {North, "Лесная"},
                                                             {North, "Полевая"},
                                                             {Works, "Заводская"}};
        for (const auto &[district, name] : streets)
            insert("ulica", {{"IdRion", district}, {"Ulica", name}});
        insert("auto", {{"Id", 1}, {"Name", "ВАЗ-2107"}});
        const char *surnames[] = {"Петров", "Кузнецов", "Соколов", "Попов", "Лебедев"};
        for (int i = 0; i < 5; ++i) {
            const qint64 id = insert("taxisti", {{"Number", 101 + i},
                                                 {"Familiya", surnames[i]},
                                                 {"IdAuto", 1},
                                                 {"NumberAuto", QString("А10%1ВС").arg(i + 1)}});
            if (id != Lebedev)
                insert("grafic", {{"IdTaxist", id}});
        }
        Clock::setFixed(QDateTime(QDate(2026, 12, 8), QTime(9, 5, 3)));
        // A search typed into a list goes on within this interval: short, so that tests need not wait.
        QApplication::setKeyboardInputInterval(100);
    }

    // A queue record; a null status is one never set.
    qint64 stand(Driver driver, District district, const QVariant &busy = false)
    {
        return insert("vozyraion", {{"Vozy", driver}, {"Raion", district}, {"Status", busy}});
    }

    // The queue table as "Id:driver@district/status" in Id order, status t, f or - for empty.
    QString queueRows()
    {
        return m_store
            ->scalar("SELECT group_concat(row, ' ') FROM (SELECT Id || ':' || Vozy || '@' || Raion || '/' || "
                     "CASE Status WHEN 1 THEN 't' WHEN 0 THEN 'f' ELSE '-' END AS row FROM vozyraion "
                     "ORDER BY Id) AS queue")
            .toString();
    }

    // Clicks the entry of a list that shows this text.
    static void click(QListView *list, const QString &text)
    {
        const QModelIndexList found =
            list->model()->match(list->model()->index(0, 0), Qt::DisplayRole, text, 1, Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), qPrintable(text));
        list->scrollTo(found.first());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                          list->visualRect(found.first()).center());
    }

    static QStringList entries(const QAbstractItemModel *model)
    {
        QStringList rows;
        for (int i = 0; i < model->rowCount(); ++i)
            rows << model->index(i, 0).data().toString();
        return rows;
    }

    static void activate(QWidget *window)
    {
        window->show();
        QApplication::setActiveWindow(window);
        QVERIFY(QTest::qWaitForWindowActive(window));
    }
};
