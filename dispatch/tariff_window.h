#pragma once

#include <QDialog>

class Messages;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Tariff window: the running tariff, four texts that the fare and the report read as they stand,
// kept in VOZY.INI in the database directory.
class TForm23 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm23(Messages &messages, QWidget *parent = nullptr);

    // The settings file into the four fields; a missing file, section or key gives its default, and
    // so does a database directory that is not set, which names no file.
    void LoadIni();
    // The four fields into the settings file. Throws DataError when the directory is not set or the
    // file cannot be written.
    void SaveIni();

    // The running tariff, as typed.
    QString driverRate() const;      // ST: per order, for the drivers' report
    QString minimumDistance() const; // MR: kilometres that the fixed price covers
    QString fixedPrice() const;      // PC
    QString pricePerKm() const;      // ZPK: each further kilometre

    QLabel *Label1 = nullptr;
    QLineEdit *Edit4 = nullptr;
    QLabel *Label2 = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *Edit1 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QLineEdit *Edit2 = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *Label7 = nullptr;
    QLineEdit *Edit3 = nullptr;
    QLabel *Label8 = nullptr;
    QPushButton *Button2 = nullptr; // "Ок"

private:
    void buildForm();
    void Button2Click();

    Messages &m_messages;
};
