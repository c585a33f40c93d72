#pragma once

#include <QMainWindow>

#include <functional>

class AccessLevel;
class Dataset;
class HelpWindow;
class Messages;
class QAction;
class QDialog;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QTabWidget;
class QTimer;
class OrderEntryTab;
class TDataModule2;
class TForm0;
class TForm6;
class TForm10;
class TForm11;
class TForm14;
class TForm16;
class TForm17;
class TForm18;
class TForm23;
class TForm25;

// Main window: the dispatcher's workplace, with the tabs of order entry, driver positions and
// current orders, the clock, and the menu that reaches every other window.
class TForm1 : public QMainWindow
{
    Q_OBJECT

public:
    // The windows created at start-up after this one, which the menu only shows or hands to the
    // windows it creates, and the data module that those windows work on.
    struct ShownWindows
    {
        TDataModule2 *dataModule = nullptr; // what the windows that the menu creates work on
        TForm6 *streetDialog = nullptr;     // opened by the city structure window
        TForm10 *calendar = nullptr;        // the date buttons of the registers
        TForm11 *shift = nullptr;           // a new driver's shift
        TForm14 *journal = nullptr;         // the order journal
        TForm16 *carModels = nullptr;       // also shown by the driver data window's "+" beside "Тип:"
        TForm17 *colours = nullptr;         // and beside "Цвет:"
        TForm18 *access = nullptr;
        TForm23 *tariff = nullptr;
        TForm25 *queue = nullptr;
    };

    // What the tabs show, built once the data module exists: this window is created before it.
    struct TabContents
    {
        OrderEntryTab *orderEntry = nullptr; // "Заказ"
        QWidget *positions = nullptr;        // "Расположение", inside its frame
        QWidget *currentOrders = nullptr;    // "Журнал", inside its frame
    };

    TForm1(TForm0 &login, AccessLevel &access, HelpWindow &help, Messages &messages,
           std::function<void()> quit, QWidget *parent = nullptr);

    void setShownWindows(const ShownWindows &windows);
    void setTabContents(const TabContents &tabs);
    // The filters that tab switching turns on and off, and the view it re-reads.
    void setSwitchedDatasets(Dataset &streets, Dataset &queue, Dataset &currentOrders);
    // Minimising hides the window to the tray; without a tray icon nothing could bring it back, so
    // then the window is minimised as usual.
    void setHidesToTray(bool hides) { m_hidesToTray = hides; }

    void Timer1Timer();
    void mesto(); // the tab shown has changed

    // The menu, in the order of its items.
    void N21Click();
    void N19Click();
    void N5Click();
    void N8Click();
    void N7Click();
    void N11Click();
    void N1111Click();
    void N6Click();
    void N26Click();
    void N29Click();
    void N13Click();
    void N15Click();
    void N17Click();
    void N9Click();
    void N24Click();
    void N25Click();
    void N23Click();

    QTabWidget *PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr;   // "Заказ"
    QWidget *TabSheet2 = nullptr;   // "Расположение"
    QWidget *TabSheet3 = nullptr;   // "Журнал"
    QGroupBox *GroupBox1 = nullptr; // " Местонахождение таксистов "
    QGroupBox *GroupBox2 = nullptr; // " Текущие заказы "
    QLabel *Label1 = nullptr;       // the clock
    QPushButton *Button3 = nullptr; // "Выход"
    QTimer *Timer1 = nullptr;

    QMenu *MenuFile = nullptr;
    QAction *N21 = nullptr; // "Завершение смены"
    QAction *N19 = nullptr; // "Выход"
    QMenu *MenuTaxi = nullptr;
    QAction *N5 = nullptr; // "Список такси"
    QAction *N8 = nullptr; // "График работы"
    QAction *N7 = nullptr; // "Диспетчер"
    QMenu *MenuJournals = nullptr;
    QAction *N11 = nullptr; // "Журнал заказов"
    QMenu *MenuReports = nullptr;
    QAction *N1111 = nullptr; // "По заказам на дату"
    QMenu *MenuSettings = nullptr;
    QAction *N6 = nullptr;  // "Схема города"
    QAction *N26 = nullptr; // "Тарифы"
    QAction *N29 = nullptr; // "Внешняя очередь"
    QAction *N13 = nullptr; // "Таблица цветов"
    QAction *N15 = nullptr; // "Список автомобилей"
    QAction *N17 = nullptr; // "Безопасность"
    QAction *N9 = nullptr;  // "Календарь"
    QMenu *MenuHelp = nullptr;
    QAction *N24 = nullptr; // "Справка"
    QAction *N25 = nullptr; // "Соглашение"
    QAction *N23 = nullptr; // "О программе"

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildForm();
    void buildTabs();
    void buildMenu();
    QAction *item(QMenu *menu, const char *name, const QString &text, void (TForm1::*handler)());
    void FormCreate();
    void ssdf();
    void streetFilterBack(Dataset &streets);

    TForm0 &m_login;
    AccessLevel &m_access;
    HelpWindow &m_help;
    Messages &m_messages;
    std::function<void()> m_quit;
    ShownWindows m_windows;
    Dataset *m_streets = nullptr;
    Dataset *m_queue = nullptr;
    Dataset *m_currentOrders = nullptr;
    bool m_hidesToTray = false;
};
