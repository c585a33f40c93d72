#pragma once

#include <QWidget>

class DBGrid;
class Messages;
class QPushButton;
class TDataModule2;
class TForm13;

// Driver positions: every queue record of the shared queue view, and the buttons that poll a driver,
// put one on the line and take one off it. The contents of the main window's "Расположение" frame.
class PositionsTab : public QWidget
{
    Q_OBJECT

public:
    PositionsTab(TDataModule2 &dm, TForm13 &locationDialog, Messages &messages, QWidget *parent = nullptr);

    // Also run by the queue window's context menu, while this tab may be disabled.
    void Button4Click(); // "Опросить"
    void Button6Click(); // "Принять"
    void Button5Click(); // "Закончить"

    DBGrid *DBGrid1 = nullptr;
    QPushButton *Button4 = nullptr;
    QPushButton *Button6 = nullptr;
    QPushButton *Button5 = nullptr;

private:
    void buildForm();

    TDataModule2 &m_dm;
    TForm13 &m_locationDialog;
    Messages &m_messages;
};
