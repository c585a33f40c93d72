#include "data/clock.h"
#include "data/data_error.h"
#include "data/filter.h"
#include "data/schema.h"
#include "tests/support/test_database.h"

#include <QTest>

// Filter texts as the program writes them, and texts the parser must refuse.
class TestFilter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        Clock::setFixed(QDateTime(QDate(2026, 12, 8), QTime(10, 0)));
    }

    void selectsTheRowsOfEachForm_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QList<qint64>>("ids");
        QTest::newRow("streets of a district") << "ulica"
                                               << "IdRion=3" << QList<qint64>{1, 3};
        QTest::newRow("free drivers of a district") << "vozyraion"
                                                    << "Raion=3 and Status=False" << QList<qint64>{2};
        QTest::newRow("quoted numbers") << "rastoyan"
                                        << "IdRaion1='3' and IdRaion2='4'" << QList<qint64>{2, 3};
        QTest::newRow("date of the report box") << "gurnal"
                                                << "DDate=' 7.12.26'" << QList<qint64>{1, 3};
        QTest::newRow("four-digit year") << "gurnal"
                                         << "DDate='07.12.2026'" << QList<qint64>{1, 3};
        QTest::newRow("current orders") << "gurnal"
                                        << "Status=true" << QList<qint64>{1, 2};
        QTest::newRow("case of words") << "gurnal"
                                       << "status=TRUE AND idoperator=5" << QList<qint64>{1};
        QTest::newRow("operator") << "gurnal"
                                  << "IdOperator=5" << QList<qint64>{1, 3};
        QTest::newRow("or and parentheses")
            << "vozyraion"
            << "(Raion=4 or Raion=3) and not Status=true" << QList<qint64>{2, 4};
        QTest::newRow("comparison") << "gurnal"
                                    << "Id>=2 and Id<>3" << QList<qint64>{2};
        QTest::newRow("null") << "vozyraion"
                              << "Status=null" << QList<qint64>{3};
        QTest::newRow("text with a quote") << "ulica"
                                           << "Ulica='Д''Артаньяна'" << QList<qint64>{3};
        QTest::newRow("empty text") << "ulica"
                                    << "" << QList<qint64>{1, 2, 3};
    }
    void selectsTheRowsOfEachForm()
    {
        QFETCH(QString, table);
        QFETCH(QString, filter);
        QFETCH(QList<qint64>, ids);
        TestDatabase store;
        store.insert(QStringLiteral("ulica"), {{"IdRion", 3}, {"Ulica", "Ленина"}});
        store.insert(QStringLiteral("ulica"), {{"IdRion", 4}, {"Ulica", "Мира"}});
        store.insert(QStringLiteral("ulica"), {{"IdRion", 3}, {"Ulica", "Д'Артаньяна"}});
        store.insert(QStringLiteral("vozyraion"), {{"Raion", 3}, {"Status", 1}});
        store.insert(QStringLiteral("vozyraion"), {{"Raion", 3}, {"Status", 0}});
        store.insert(QStringLiteral("vozyraion"), {{"Raion", 3}});
        store.insert(QStringLiteral("vozyraion"), {{"Raion", 4}, {"Status", 0}});
        store.insert(QStringLiteral("rastoyan"), {{"IdRaion1", 4}, {"IdRaion2", 3}});
        store.insert(QStringLiteral("rastoyan"), {{"IdRaion1", 3}, {"IdRaion2", 4}});
        store.insert(QStringLiteral("rastoyan"), {{"IdRaion1", 3}, {"IdRaion2", 4}});
        store.insert(QStringLiteral("gurnal"), {{"DDate", "2026-12-07"}, {"Status", 1}, {"IdOperator", 5}});
        store.insert(QStringLiteral("gurnal"), {{"DDate", "2026-12-08"}, {"Status", 1}, {"IdOperator", 6}});
        store.insert(QStringLiteral("gurnal"), {{"DDate", "2026-12-07"}, {"Status", 0}, {"IdOperator", 5}});

        Dataset view(store.db(), table);
        view.setFilter(filter);
        view.setFiltered(true);
        QList<qint64> found;
        for (int i = 0; i < view.recordCount(); ++i)
            found << view.idAt(i);
        QCOMPARE(found, ids);
    }

    void twoDigitYearsFallNearTheClock_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        QTest::newRow("this century") << " 7.12.26" << QDate(2026, 12, 7);
        QTest::newRow("last century") << "1.1.99" << QDate(1999, 1, 1);
        QTest::newRow("near future") << "1.1.30" << QDate(2030, 1, 1);
    }
    void twoDigitYearsFallNearTheClock()
    {
        QFETCH(QString, text);
        QFETCH(QDate, date);
        const SqlCondition c =
            Filter::parse(QStringLiteral("DDate='%1'").arg(text), Schema::table(QStringLiteral("gurnal")));
        QCOMPARE(c.values, QVariantList{date.toString(Qt::ISODate)});
    }

    // The program's fixed date form is read whatever the locale; the locale's own form still is.
    void datesReadInEveryLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date"); // invalid: refused
        for (const char *locale : {"C", "en_US", "en_GB", "ru_RU", "de_DE"}) {
            QTest::addRow("%s, report box", locale) << locale << " 7.12.26" << QDate(2026, 12, 7);
            QTest::addRow("%s, calendar button", locale) << locale << "5.3.1970" << QDate(1970, 3, 5);
            QTest::addRow("%s, no such day", locale) << locale << "31.11.26" << QDate();
        }
        QTest::newRow("en_US, its own form") << "en_US"
                                             << "12/7/26" << QDate(2026, 12, 7);
        QTest::newRow("en_GB, its own form") << "en_GB"
                                             << "07/12/2026" << QDate(2026, 12, 7);
    }
    void datesReadInEveryLocale()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(QDate, date);
        QLocale::setDefault(QLocale(locale));
        const auto parse = [&text] {
            return Filter::parse(QStringLiteral("DDate='%1'").arg(text),
                                 Schema::table(QStringLiteral("gurnal")));
        };
        try {
            const SqlCondition c = parse();
            QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
            QCOMPARE(c.values, QVariantList{date.toString(Qt::ISODate)});
        } catch (const DataError &) {
            QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
            QVERIFY2(!date.isValid(), "the date must be read");
        }
    }

    void valuesAreBoundNotPasted()
    {
        const SqlCondition c =
            Filter::parse(QStringLiteral("Ulica='x'' OR 1=1 --'"), Schema::table(QStringLiteral("ulica")));
        QCOMPARE(c.sql, QStringLiteral("\"Ulica\" = ?"));
        QCOMPARE(c.values, QVariantList{QStringLiteral("x' OR 1=1 --")});
    }

    void refusesWhatItCannotRead_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::newRow("unknown field") << "Rajon=3";
        QTest::newRow("no value") << "IdRion=";
        QTest::newRow("no operator") << "IdRion 3";
        QTest::newRow("dangling and") << "IdRion=3 and";
        QTest::newRow("open quote") << "Ulica='Мира";
        QTest::newRow("unclosed parenthesis") << "(IdRion=3";
        QTest::newRow("text for a number") << "IdRion='три'";
        QTest::newRow("logical for a number") << "IdRion=true";
        QTest::newRow("pasted statement") << "IdRion=3; DROP TABLE ulica";
        QTest::newRow("odd sign") << "IdRion==3";
        // Nesting that would exhaust the reader's stack, and a chain that would take minutes to join.
        QTest::newRow("100000 parentheses") << QString(100000, u'(') + "IdRion=1" + QString(100000, u')');
        QTest::newRow("100000 nots") << QStringLiteral("not ").repeated(100000) + "IdRion=1";
        QTest::newRow("100000 comparisons") << QStringLiteral("IdRion=1 or ").repeated(100000) + "IdRion=2";
    }
    void refusesWhatItCannotRead()
    {
        QFETCH(QString, filter);
        TestDatabase store;
        Dataset &streets = *store.module().Table5;
        streets.setFiltered(true);
        try {
            streets.setFilter(filter);
            QFAIL("the text must be refused");
        } catch (const DataError &e) {
            QVERIFY2(e.message().startsWith(QStringLiteral("Ошибка в условии «") + quotedInMessage(filter)),
                     qPrintable(e.message()));
        }
        QCOMPARE(streets.filter(), QStringLiteral("IdRion=1")); // the old filter stays
        QCOMPARE(store.count(QStringLiteral("ulica")), 0);
    }

    void badDateInAFilterIsRefused()
    {
        QVERIFY_THROWS_EXCEPTION(DataError, Filter::parse(QStringLiteral("DDate='  .  .  '"),
                                                          Schema::table(QStringLiteral("gurnal"))));
        QVERIFY_THROWS_EXCEPTION(DataError, Filter::parse(QStringLiteral("DDate='32.1.26'"),
                                                          Schema::table(QStringLiteral("gurnal"))));
    }
};

QTEST_GUILESS_MAIN(TestFilter)
#include "test_filter.moc"
