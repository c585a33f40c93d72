#include "registers/colours_window.h"

#include "data/data_module.h"

TForm17::TForm17(TDataModule2 &dm, Messages &messages, QWidget *parent)
    : NameListWindow({"TForm17", "Таблица цветов", QSize(257, 345), dm.DSColor, "Color", "Тип цвета", true,
                      "DBGrid2", "Button1", "Button6", "Button9", "Button7"},
                     messages, parent)
    , DBGrid2(list())
    , DBEdit1(nameBox())
    , Button1(minusButton())
    , Button6(addButton())
    , Button9(deleteButton())
    , Button7(saveButton())
{
}
