#pragma once

#include <QDialog>

class DBEdit;
class DBLookupComboBox;
class DBText;
class Messages;
class QLabel;
class QPushButton;
class TDataModule2;

// Shift: one row of the work schedule, its driver and the start and end of his shift.
class TForm11 : public QDialog
{
    Q_OBJECT

public:
    TForm11(TDataModule2 &dm, Messages &messages, QWidget *parent = nullptr);

    void BitBtn1Click(); // "   OK"

    QLabel *Label1 = nullptr;                      // "Номер:"
    DBText *DBText1 = nullptr;                     // the chosen driver's callsign
    QLabel *Label2 = nullptr;                      // "Такси:"
    DBLookupComboBox *DBLookupComboBox1 = nullptr; // the drivers' surnames
    QLabel *Label3 = nullptr;                      // "С"
    DBEdit *DBEdit1 = nullptr;                     // Timestart
    QLabel *Label4 = nullptr;                      // "до"
    DBEdit *DBEdit2 = nullptr;                     // Timeend
    QPushButton *BitBtn1 = nullptr;                // "   OK"

private:
    void buildForm();

    TDataModule2 &m_dm;
    Messages &m_messages;
};
