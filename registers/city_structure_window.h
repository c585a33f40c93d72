#pragma once

#include <QDialog>

class DBGrid;
class Messages;
class QGroupBox;
class QPushButton;
class QTabWidget;
class TDataModule2;
class TForm6;

// City structure window: the cities and districts, the city scheme that places each street in a
// district, and the distances between districts from which fares are worked out.
class TForm5 : public QDialog
{
    Q_OBJECT

public:
    TForm5(TDataModule2 &dm, TForm6 &streetDialog, Messages &messages, QWidget *parent = nullptr);

    QTabWidget *PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr;   // "Города"
    QWidget *TabSheet2 = nullptr;   // "Схема города"
    QWidget *TabSheet3 = nullptr;   // "Растояние"
    QPushButton *Button5 = nullptr; // "Ок"

    QGroupBox *GroupBox1 = nullptr; // " Города "
    DBGrid *DBGrid1 = nullptr;
    QPushButton *Button1 = nullptr; // "Добавить"
    QPushButton *Button3 = nullptr; // "Сохранить"
    QPushButton *Button2 = nullptr; // "Удалить"

    QGroupBox *GroupBox2 = nullptr; // " Районы "
    DBGrid *DBGrid3 = nullptr;
    QPushButton *Button13 = nullptr; // "Добавить"
    QPushButton *Button4 = nullptr;  // "Сохранить"
    QPushButton *Button16 = nullptr; // "Удалить"

    QGroupBox *GroupBox3 = nullptr; // "Схема города"
    DBGrid *DBGrid4 = nullptr;
    QPushButton *Button10 = nullptr; // "Добавить"
    QPushButton *Button11 = nullptr; // "Изменить"
    QPushButton *Button12 = nullptr; // "Удалить"

    QGroupBox *GroupBox4 = nullptr; // "Настройка растояний между районами"
    DBGrid *DBGrid2 = nullptr;
    QPushButton *Button6 = nullptr; // "Добавить"
    QPushButton *Button7 = nullptr; // "Изменить"
    QPushButton *Button8 = nullptr; // "Удалить"

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void buildForm();
    QWidget *citiesPage();
    QWidget *schemePage();
    QWidget *distancesPage();
    QPushButton *button(const char *name, const QString &text, QWidget *parent, void (TForm5::*handler)());

    // Cities.
    void Button1Click();
    void Button3Click();
    void Button2Click();
    // Districts.
    void Button13Click();
    void Button4Click();
    void Button16Click();
    // Streets.
    void Button10Click();
    void Button11Click();
    void Button12Click();
    // Distances.
    void Button6Click();
    void Button7Click();
    void Button8Click();

    void sdf(); // shown: every street is listed
    void ddf(); // hidden: the streets of one district again

    TDataModule2 &m_dm;
    TForm6 &m_streetDialog;
    Messages &m_messages;
};
