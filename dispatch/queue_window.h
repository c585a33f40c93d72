#pragma once

#include <QWidget>

class DBGrid;
class DBText;
class Dataset;
class Messages;
class PositionsTab;
class QAction;
class QLabel;
class QMenu;
class TDataModule2;

// Queue window: a narrow floating copy of the shared queue view that edits in its cells, with a
// context menu that polls, accepts and removes drivers and gives the current order a driver.
class TForm25 : public QWidget
{
    Q_OBJECT

public:
    TForm25(TDataModule2 &dm, PositionsTab &positions, Dataset &currentOrders, Messages &messages,
            QWidget *parent = nullptr);

    void N1Click(); // "Назначить на текущий заказ"

    DBGrid *DBGRID = nullptr;
    QLabel *Label1 = nullptr;
    DBText *DBText1 = nullptr; // callsign
    QLabel *Label2 = nullptr;
    DBText *DBText2 = nullptr; // car model
    QLabel *Label3 = nullptr;
    DBText *DBText3 = nullptr; // registration number
    QMenu *PopupMenu1 = nullptr;
    QAction *N1 = nullptr; // "Назначить на текущий заказ"
    QAction *N3 = nullptr; // "Опросить водителя", the default item
    QAction *N5 = nullptr; // "Поставить на линию"
    QAction *N6 = nullptr; // "Снять с линии"

Q_SIGNALS:
    void hidden(); // formHide: the menu item that shows the window unticks itself

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void buildForm();
    void buildMenu();

    TDataModule2 &m_dm;
    PositionsTab &m_positions;
    Dataset &m_currentOrders;
    Messages &m_messages;
    bool m_placed = false;
};
