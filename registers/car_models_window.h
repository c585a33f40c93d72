#pragma once

#include "registers/name_list_window.h"

class TDataModule2;

// Car models window: the models that drivers' cars are, by name.
class TForm16 : public NameListWindow
{
    Q_OBJECT

public:
    TForm16(TDataModule2 &dm, Messages &messages, QWidget *parent = nullptr);

    DBGrid *const DBGrid1;      // read-only
    DBEdit *const DBEdit1;      // the current model's name
    QPushButton *const Button2; // "-"
    QPushButton *const Button1; // "Добавить"
    QPushButton *const Button3; // "Удалить"
    QPushButton *const Button4; // "Сохранить"
};
