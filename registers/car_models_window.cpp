#include "registers/car_models_window.h"

#include "data/data_module.h"

TForm16::TForm16(TDataModule2 &dm, Messages &messages, QWidget *parent)
    : NameListWindow({"TForm16", "Марки автомобилей", QSize(264, 354), dm.DSAuto, "Name", "Тип автомобиля",
                      false, "DBGrid1", "Button2", "Button1", "Button3", "Button4"},
                     messages, parent)
    , DBGrid1(list())
    , DBEdit1(nameBox())
    , Button2(minusButton())
    , Button1(addButton())
    , Button3(deleteButton())
    , Button4(saveButton())
{
}
