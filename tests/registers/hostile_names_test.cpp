#include "data/schema.h"
#include "registers/calendar_window.h"
#include "registers/car_models_window.h"
#include "registers/city_structure_window.h"
#include "registers/colours_window.h"
#include "registers/driver_data_window.h"
#include "registers/staff_data_window.h"
#include "registers/street_dialog.h"
#include "tests/ui/ui_test_case.h"
#include "ui/db_controls.h"
#include "ui/db_grid.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

namespace {

// Typed character by character; a character outside the basic plane arrives as one key's text.
void typeCharacters(QWidget *widget, const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, text.mid(i, length), Qt::NoModifier);
        i += length - 1;
    }
}

void typeIntoNewCell(DBGrid *grid, const QString &text)
{
    const QModelIndex cell =
        grid->model()->index(grid->model()->rowCount() - 1, grid->model()->columnCount() - 1);
    grid->setFocus();
    grid->edit(cell);
    auto *editor = qobject_cast<QLineEdit *>(grid->indexWidget(cell));
    QVERIFY(editor);
    typeCharacters(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(!grid->indexWidget(cell));
}

// What a field of `width` characters keeps of a text: its start, never half a character.
QString keptOf(const QString &text, int width)
{
    QString kept = text.left(width);
    if (!kept.isEmpty() && kept.back().isHighSurrogate())
        kept.chop(1);
    return kept;
}

} // namespace

// Names that a careless program would paste into SQL, cut badly or choke on: each register stores
// them as typed (cut to the field's width) or refuses with a message, and no other table changes.
class TestHostileNames : public UiTestCase
{
    Q_OBJECT

    void fill() override
    {
        insert("gorod", {{"Gorod", "Светлогорск"}});
        insert("raion", {{"IdGorod", 1}, {"Raion", "Центр"}});
        insert("ulica", {{"IdRion", 1}, {"Ulica", "Ленина"}});
        insert("auto", {{"Name", "Волга"}});
        insert("color", {{"Color", "белый"}});
        insert("gurnal", {{"IdVozy", 1}, {"Status", 1}, {"Iinfo", "заказ"}});
        insert("sotrud", {{"Family", "Иванова"}});
    }

    void enter(const QString &where, const QString &name)
    {
        if (where == "city" || where == "district") {
            TForm6 streetDialog(dm(), m_messages);
            TForm5 form(dm(), streetDialog, m_messages);
            form.show();
            const bool city = where == "city";
            QTest::mouseClick(city ? form.Button1 : form.Button13, Qt::LeftButton);
            typeIntoNewCell(city ? form.DBGrid1 : form.DBGrid3, name);
            QTest::mouseClick(city ? form.Button3 : form.Button4, Qt::LeftButton);
        } else if (where == "street") {
            TForm6 streetDialog(dm(), m_messages);
            TForm5 form(dm(), streetDialog, m_messages);
            form.show();
            form.PageControl1->setCurrentIndex(1);
            whenModalAppears([&](QWidget *) {
                typeCharacters(streetDialog.DBEdit1, name);
                QTest::mouseClick(streetDialog.Button1, Qt::LeftButton);
                streetDialog.close(); // whatever was said, the test goes on
            });
            QTest::mouseClick(form.Button10, Qt::LeftButton);
        } else if (where == "driver" || where == "dispatcher") {
            TForm10 calendar;
            const bool driver = where == "driver";
            TForm4 driverData(dm(), calendar, nullptr, nullptr, m_messages);
            TForm8 staffData(dm(), calendar, m_messages);
            QDialog &window = driver ? static_cast<QDialog &>(driverData) : staffData;
            (driver ? dm().Table1 : dm().sotrud)->append();
            window.show();
            typeCharacters(driver ? driverData.DBEdit2 : staffData.DBEdit2, name);
            QTest::mouseClick(driver ? driverData.Button4 : staffData.Button3, Qt::LeftButton);
        } else {
            const bool colours = where == "colour";
            std::unique_ptr<NameListWindow> window;
            DBEdit *box = nullptr;
            QPushButton *add = nullptr, *save = nullptr;
            if (colours) {
                auto *w = new TForm17(dm(), m_messages);
                box = w->DBEdit1, add = w->Button6, save = w->Button7;
                window.reset(w);
            } else {
                auto *w = new TForm16(dm(), m_messages);
                box = w->DBEdit1, add = w->Button1, save = w->Button4;
                window.reset(w);
            }
            window->show();
            QTest::mouseClick(add, Qt::LeftButton);
            typeCharacters(box, name);
            QTest::mouseClick(save, Qt::LeftButton);
        }
    }

private Q_SLOTS:
    void storedAsTypedAndNothingElseChanges_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("name");
        const QList<QStringList> registers = {
            {"city", "gorod", "Gorod"},        {"district", "raion", "Raion"},
            {"street", "ulica", "Ulica"},      {"car model", "auto", "Name"},
            {"colour", "color", "Color"},      {"driver", "taxisti", "Familiya"},
            {"dispatcher", "sotrud", "Family"}};
        const QList<QPair<const char *, QString>> names = {
            {"a statement", "'); DROP TABLE gurnal;--"},
            {"quotes and backslashes", "\"Дом\" 'у' \\реки\\\\"},
            {"2000 characters", QString(2000, u'Ж')},
            {"outside the code page", "Ёлки 😀 𝔘𝔩𝔦𝔠𝔞 ﷺ ⅷ"},
            {"message placeholders", "%1 %2 %n ' OR 1=1 --"}};
        for (const QStringList &r : registers) {
            for (const auto &[what, name] : names)
                QTest::addRow("%s, %s", qPrintable(r[0]), what) << r[0] << r[1] << r[2] << name;
        }
    }

    void storedAsTypedAndNothingElseChanges()
    {
        QFETCH(QString, where);
        QFETCH(QString, table);
        QFETCH(QString, field);
        QFETCH(QString, name);
        const QString others = m_store->dump(table);
        const int rows = m_store->count(table);

        enter(where, name);

        QCOMPARE(m_messages.errors(), QStringList());
        QCOMPARE(m_store->count(table), rows + 1);
        const int width = Schema::table(table).field(Schema::table(table).indexOf(field)).width;
        QCOMPARE(
            m_store->scalar(QStringLiteral("SELECT \"%1\" FROM \"%2\" ORDER BY Id DESC").arg(field, table))
                .toString(),
            keptOf(name, width));
        QCOMPARE(m_store->dump(table), others);
    }
};

QTEST_MAIN(TestHostileNames)
#include "hostile_names_test.moc"
