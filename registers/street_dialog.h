#pragma once

#include <QDialog>

class DBEdit;
class DBLookupComboBox;
class Messages;
class QLabel;
class QPushButton;
class TDataModule2;

// City scheme street dialog: the current street record, its district and its name. Lives for the
// whole run; the city structure window shows it on a new or the current street.
class TForm6 : public QDialog
{
    Q_OBJECT

public:
    TForm6(TDataModule2 &dm, Messages &messages, QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;                      // "Район:"
    DBLookupComboBox *DBLookupComboBox1 = nullptr; // the street's district
    QLabel *Label2 = nullptr;                      // "Улица:"
    DBEdit *DBEdit1 = nullptr;                     // the street's name
    QPushButton *Button1 = nullptr;                // "Сохранить"

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildForm();
    void Button1Click();

    TDataModule2 &m_dm;
    Messages &m_messages;
};
