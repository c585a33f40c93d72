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
