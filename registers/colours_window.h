#pragma once

#include "registers/name_list_window.h"

class TDataModule2;

// Colours window: the colours of drivers' cars, by name; the list is edited in place.
class TForm17 : public NameListWindow
{
    Q_OBJECT

public:
    TForm17(TDataModule2 &dm, Messages &messages, QWidget *parent = nullptr);

    DBGrid *const DBGrid2;      // edited in place; Ctrl+Delete deletes after "Delete record?"
    DBEdit *const DBEdit1;      // the current colour's name
    QPushButton *const Button1; // "-"
    QPushButton *const Button6; // "Добавить"
    QPushButton *const Button9; // "Удалить"
    QPushButton *const Button7; // "Сохранить"
};
