#include "app/login_window.h"
#include "app/main_window.h"
#include "app/vozy_main.h"
#include "data/clock.h"
#include "data/data_error.h"
#include "data/data_module.h"
#include "dispatch/order_entry.h"
#include "dispatch/queue_window.h"
#include "registers/car_models_window.h"
#include "registers/city_structure_window.h"
#include "registers/colours_window.h"
#include "registers/driver_data_window.h"
#include "tools/setup_store.h"
#include "ui/db_controls.h"
#include "ui/messages.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextStream>

#include <functional>

namespace {

// Nobody is there to answer: what the program says goes to the terminal, questions are answered No.
class PrintedMessages : public Messages
{
public:
    void inform(const QString &text) override { print("message", text); }
    Answer ask(const QString &caption, const QString &text) override
    {
        print(caption, text);
        return Answer::No;
    }
    void error(const QString &text) override
    {
        print("error", text);
        ++errors;
    }

    int errors = 0;

private:
    static void print(const QString &kind, const QString &text)
    {
        QTextStream(stderr) << kind << ": " << text.trimmed() << "\n";
    }
};

// Typed as on the keyboard, so that the bound boxes take the text as the user's.
void type(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

// Chooses the entry of a list, as a click on it does.
void choose(DBLookupListBox *list, const QString &text)
{
    const QModelIndexList found =
        list->model()->match(list->model()->index(0, 0), Qt::DisplayRole, text, 1, Qt::MatchExactly);
    if (found.isEmpty())
        throw DataError(QStringLiteral("No entry %1 in %2").arg(text, list->objectName()));
    list->setCurrentIndex(found.first());
}

struct Order
{
    QString from, street, house, flat, telephone, to, remarks;
};

class Session
{
public:
    Session(Workstation &workstation, const QString &outputDir)
        : m_ws(workstation)
        , m_main(workstation.mainWindow())
        , m_order(*workstation.orderEntry())
        , m_out(outputDir)
    {
    }

    void logInAsAdministrator()
    {
        TForm0 &login = m_ws.login();
        login.ComboBox1->setCurrentIndex(login.ComboBox1->findText(QStringLiteral("Администратор")));
        login.Button1->click();
    }

    void enter(const Order &order)
    {
        m_main.PageControl1->setCurrentIndex(0);
        m_order.Button2->click();
        choose(m_order.DBLookupListBox1, order.from);
        choose(m_order.DBLookupListBox2, order.street);
        type(m_order.DBEdit1, order.house);
        type(m_order.DBEdit2, order.flat);
        type(m_order.DBEdit3, order.telephone);
        choose(m_order.DBLookupListBox3, order.to);
        type(m_order.DBEdit4, order.remarks);
        m_order.DBEdit4->setFocus();
        m_order.Button9->click();
    }

    void store() { m_order.Button1->click(); }
    void drop() { m_order.Button10->click(); }
    void showTab(int index) { m_main.PageControl1->setCurrentIndex(index); }

    void grab(QWidget &window, const QString &file)
    {
        window.show();
        QApplication::processEvents();
        const QString path = m_out.filePath(file);
        if (!window.grab().save(path))
            throw DataError(QStringLiteral("Unable to write to %1").arg(path));
        QTextStream(stdout) << path << "\n";
    }

    // The clock shows the moment of the picture: no message loop runs to tick it.
    void grabMain(const QString &file)
    {
        m_main.Timer1Timer();
        grab(m_main, file);
    }

private:
    Workstation &m_ws;
    TForm1 &m_main;
    OrderEntryTab &m_order;
    QDir m_out;
};

int run(const QString &outputDir)
{
    QTemporaryDir work;
    if (!work.isValid())
        throw DataError(QStringLiteral("Unable to create a temporary directory"));
    // The user's own settings and alias file stay untouched: the session keeps its own.
    const QString settings = QDir(work.path()).filePath(QStringLiteral("settings"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings);
    QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Lumivark"),
              QStringLiteral("ARM_Vozy"))
        .setValue(QStringLiteral("Key/DataBaseDir"), work.path());
    SetupStore::create(work.path(), true);

    // The same pictures on every machine: a fixed moment, Russian notation.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));

    PrintedMessages messages;
    Workstation workstation(work.path(), messages, [] {});
    if (!workstation.started())
        return 1;
    Session session(workstation, outputDir);
    session.logInAsAdministrator();

    const QString bell = QStringLiteral("домофон");
    QTime taken(10, 4, 31);
    for (const Order &order : {Order{"Центральный", "Ленина", "14", "3", "2301745", "Северный", ""},
                               Order{"Северный", "Лесная", "7", "", "2304418", "Заводской", bell},
                               Order{"Заводской", "Кирова", "21б", "56", "2309902", "Южный", ""},
                               Order{"Центральный", "Мира", "3", "12", "2307731", "Заречный", ""}}) {
        Clock::setFixed(QDateTime(QDate(2026, 12, 8), taken));
        taken = taken.addSecs(7 * 60 + 43);
        session.enter(order);
        session.store();
    }
    Clock::setFixed(QDateTime(QDate(2026, 12, 8), QTime(10, 42, 17)));
    session.grabMain(QStringLiteral("main.png")); // idle, showing the order stored last
    session.enter({"Северный", "Молодёжная", "12а", "45", "2305518", "Заречный", "подъезд 2"});
    session.grabMain(QStringLiteral("order.png"));
    session.drop();

    session.showTab(1);
    session.grabMain(QStringLiteral("positions.png"));
    session.showTab(2);
    session.grabMain(QStringLiteral("journal_tab.png"));
    session.grab(*workstation.queueWindow(), QStringLiteral("queue.png"));

    TDataModule2 &dm = *workstation.dataModule();
    {
        TForm5 city(dm, *workstation.streetDialog(), messages, &workstation.mainWindow());
        city.PageControl1->setCurrentIndex(2);
        session.grab(city, QStringLiteral("city.png"));
    }
    {
        dm.Table1->first();
        TForm4 driver(dm, *workstation.calendarWindow(), workstation.carModelsWindow(),
                      workstation.coloursWindow(), messages, &workstation.mainWindow());
        session.grab(driver, QStringLiteral("driver.png"));
    }
    return messages.errors == 0 ? 0 : 1;
}

} // namespace

// vozy-screenshots DIR: the README's pictures of the demo, rendered offscreen into DIR.
int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setUpApplication(app);
    const QStringList args = QApplication::arguments().mid(1);
    if (args.size() != 1 || args.first().startsWith(QLatin1Char('-'))) {
        QTextStream(stderr)
            << "Usage: vozy-screenshots DIR\n"
               "Renders the README's pictures of the demo city into DIR (for example docs).\n";
        return 2;
    }
    try {
        return run(QDir(args.first()).absolutePath());
    } catch (const DataError &e) {
        QTextStream(stderr) << "vozy-screenshots: " << e.message() << "\n";
        return 1;
    }
}
