#pragma once

#include <QWidget>

#include <functional>

class DBEdit;
class DBLookupComboBox;
class DBLookupListBox;
class DBText;
class Dataset;
class Messages;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class SuggestionList;
class TDataModule2;
class TForm23;

// Order entry: one telephone order at a time, from "Новый" to "Оформить" or "Отмена", with its driver
// taken from the head of the pick-up district's queue or picked by hand. The main window's "Заказ" tab.
class OrderEntryTab : public QWidget
{
    Q_OBJECT

public:
    // `operatorId` gives the logged-in dispatcher's staff Id as decimal text; `tariff` prices the order.
    OrderEntryTab(TDataModule2 &dm, TForm23 &tariff, std::function<QString()> operatorId, Messages &messages,
                  QWidget *parent = nullptr);

    bool isEditing() const;

    void Button2Click();          // "Новый"
    void DBLookupListBox1Click(); // the pick-up district chosen
    void CheckBox1Click();        // "Фильтр очереди"
    void CheckBox2Click();        // "Автоназначение"
    void Button1Click();          // "Оформить"
    void Button10Click();         // "Отмена"

    QGroupBox *GroupBox3 = nullptr;                // the frame of the whole tab
    DBLookupListBox *DBLookupListBox1 = nullptr;   // pick-up district
    DBLookupListBox *DBLookupListBox2 = nullptr;   // street
    DBLookupListBox *DBLookupListBox3 = nullptr;   // destination district
    QLabel *Label2 = nullptr;                      // "Позывной:"
    DBLookupComboBox *DBLookupComboBox2 = nullptr; // callsigns of the queue view
    QLabel *Label3 = nullptr;                      // "Водитель:"
    DBLookupComboBox *DBLookupComboBox1 = nullptr; // surnames of the queue view
    QCheckBox *CheckBox1 = nullptr;                // "Фильтр очереди"
    QCheckBox *CheckBox2 = nullptr;                // "Автоназначение"
    QGroupBox *GroupBox4 = nullptr;                // " Информация о машине "
    DBText *DBText1 = nullptr;                     // callsign
    DBText *DBText2 = nullptr;                     // car model
    DBText *DBText3 = nullptr;                     // registration number
    QGroupBox *GroupBox5 = nullptr;                // " Стоимость "
    QPushButton *Button9 = nullptr;                // "Посчитать"
    QGroupBox *GroupBox6 = nullptr;                // " Информация о заказе "
    DBEdit *DBEdit1 = nullptr;                     // house
    DBEdit *DBEdit2 = nullptr;                     // flat
    DBEdit *DBEdit3 = nullptr;                     // telephone
    QLabel *Label10 = nullptr;                     // "Дополнительная информация:"
    DBEdit *DBEdit4 = nullptr;                     // remarks
    QPushButton *Button2 = nullptr;                // "Новый"
    QPushButton *Button1 = nullptr;                // "Оформить"
    QPushButton *Button10 = nullptr;               // "Отмена"
    SuggestionList *CallerList = nullptr;          // addresses of earlier orders from the typed number

Q_SIGNALS:
    // While an order is entered the other tabs are disabled.
    void editingChanged(bool editing);

private:
    void buildForm();
    QGroupBox *buildCarFrame();
    QGroupBox *buildCostFrame();
    QGroupBox *buildOrderFrame();
    void setTabOrders();
    void addShortcuts();
    QList<QWidget *> dataControls() const;

    void takeDriver();
    void clearDriver();
    void applyAutoAssignment();
    void driverChosen();
    bool moveDriver();
    qint64 busyRecords(const QVariant &driver) const; // the driver's busy queue records
    void goIdle();

    TDataModule2 &m_dm;
    TForm23 &m_tariff;
    std::function<QString()> m_operatorId;
    Messages &m_messages;
    // The whole queue table, whatever the queue view's filter: the order's driver is shown from it
    // while his record is outside the view.
    Dataset *m_queueTable;
    // The queue record the driver was last taken from; 0 when there is none.
    qint64 m_sourceRecord = 0;
};
