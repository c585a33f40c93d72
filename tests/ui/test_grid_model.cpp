#include "data/database.h"
#include "tests/ui/ui_test_case.h"
#include "ui/grid_model.h"

#include <QAbstractItemModelTester>
#include <QFont>
#include <QSignalSpy>

// The grid model over a dataset's view: the pending appended row at the end, and cell edits that go
// through the record-editing rules.
class TestGridModel : public UiTestCase
{
    Q_OBJECT

    void fill() override
    {
        const qint64 north = insert("raion", {{"Raion", "Северный"}});
        const qint64 south = insert("raion", {{"Raion", "Южный"}});
        insert("rastoyan", {{"IdRaion1", north}, {"IdRaion2", south}, {"KM", 4.5}});
        insert("rastoyan", {{"IdRaion1", south}, {"IdRaion2", north}, {"KM", 5.0}});
    }

    // The distances' grid: both districts by name, the kilometres editable.
    std::unique_ptr<GridModel> distances()
    {
        GridColumn from{"От района", "Raion1"};
        from.bold = true;
        GridColumn to{"До района", "Raion2"};
        GridColumn km{"Км", "KM"};
        km.readOnly = false;
        return std::make_unique<GridModel>(dm().rastoyan, QVector<GridColumn>{from, to, km});
    }

private Q_SLOTS:
    // Every kind of change the dataset signals, watched by the model tester.
    void followsEveryChangeOfTheView()
    {
        const auto model = distances();
        QAbstractItemModelTester tester(model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        // Rows are said to come and go: a reset would make the grid lay itself out and measure its
        // titles again at every write.
        QSignalSpy resets(model.get(), &QAbstractItemModel::modelReset);
        Dataset &rastoyan = *dm().rastoyan;
        QCOMPARE(model->index(0, 2).data().toString(), QStringLiteral("4,5"));
        QVERIFY(model->index(0, 0).data(Qt::FontRole).value<QFont>().bold());

        rastoyan.append();
        QCOMPARE(model->rowCount(), 3); // the pending row stands at the end
        rastoyan.setValue("IdRaion1", 2);
        QCOMPARE(model->index(2, 0).data().toString(), QStringLiteral("Южный"));
        rastoyan.post();
        QCOMPARE(model->rowCount(), 3);

        rastoyan.setFilter("IdRaion1=1");
        rastoyan.setFiltered(true);
        QCOMPARE(model->rowCount(), 1);
        rastoyan.setFiltered(false);
        rastoyan.deleteRecord();
        QCOMPARE(model->rowCount(), 2);

        // A district renamed through its own dataset: the display fields show the new name.
        dm().Table6->edit();
        dm().Table6->setValue("Raion", "Центральный");
        dm().Table6->post();
        QCOMPARE(model->index(0, 1).data().toString(), QStringLiteral("Центральный"));
        QCOMPARE(resets.count(), 0);
    }

    // The writes of one transaction reach the grids once, when it is over, whether it is committed
    // or undone.
    void aTransactionsWritesAreShownOnceWhenItIsOver()
    {
        const auto model = distances();
        Dataset &rastoyan = *dm().rastoyan;
        QSignalSpy shown(&m_store->db(), &Database::tableWritten);
        for (const bool commit : {true, false}) {
            shown.clear();
            const int rows = model->rowCount();
            {
                Database::Transaction transaction(m_store->db());
                for (int km = 1; km <= 2; ++km) {
                    rastoyan.append();
                    rastoyan.setValue("KM", km);
                    rastoyan.post();
                }
                QCOMPARE(shown.count(), 0);
                if (commit)
                    transaction.commit();
            }
            QCOMPARE(shown.count(), 1);
            QCOMPARE(shown.first().first().toString(), QStringLiteral("rastoyan"));
            QCOMPARE(model->rowCount(), commit ? rows + 2 : rows);
        }
    }

    void aRefusedEditIsReportedNotThrown()
    {
        const auto model = distances();
        QSignalSpy failed(model.get(), &GridModel::editFailed);
        QVERIFY(!model->setData(model->index(0, 2), "4,5 км"));
        QCOMPARE(failed.size(), 1);
        QVERIFY(failed.at(0).at(0).toString().startsWith("'4,5 км' is not a valid floating point value"));
        QCOMPARE(dm().rastoyan->value("KM").toDouble(), 4.5);
    }
};

QTEST_MAIN(TestGridModel)
#include "test_grid_model.moc"
