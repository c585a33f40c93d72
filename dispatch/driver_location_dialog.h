#pragma once

#include <QDialog>

class DBCheckBox;
class DBLookupComboBox;
class DBLookupListBox;
class DBText;
class Messages;
class QGroupBox;
class QLabel;
class QPushButton;
class TDataModule2;

// Driver location dialog: the current queue record's driver, district and busy flag. It ends only
// through "Ок" or "Отмена", so a record it was opened for is never left half-entered behind it.
class TForm13 : public QDialog
{
    Q_OBJECT

public:
    TForm13(TDataModule2 &dm, Messages &messages, QWidget *parent = nullptr);

    // Polling a driver fixes him: only his district and busy flag may then change.
    void setDriverListsEnabled(bool enabled);

    void Button1Click(); // "Ок"
    void Button2Click(); // "Отмена"

    DBLookupListBox *DBLookupListBox1 = nullptr; // callsigns
    DBLookupListBox *DBLookupListBox2 = nullptr; // surnames
    QGroupBox *GroupBox1 = nullptr;              // " Инфомация "
    QLabel *Label1 = nullptr;
    DBText *DBText1 = nullptr; // callsign
    QLabel *Label2 = nullptr;
    DBText *DBText2 = nullptr; // car model
    QLabel *Label3 = nullptr;
    DBText *DBText3 = nullptr;      // registration number
    QGroupBox *GroupBox2 = nullptr; // " Местонахождение "
    DBLookupComboBox *DBLookupComboBox1 = nullptr;
    QLabel *Label4 = nullptr;
    DBCheckBox *DBCheckBox1 = nullptr; // "Занят"
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    // Every way of closing other than the buttons (title bar, system menu, Esc) ends here.
    void reject() override;

private:
    void buildForm();

    TDataModule2 &m_dm;
    Messages &m_messages;
    bool m_mayClose = false;
};
