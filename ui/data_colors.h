#pragma once

class QWidget;

// Data controls are painted silver (192, 192, 192) while disabled and in the window colour while
// enabled; the behaviour paints and enables them as separate steps.
enum class DataColor
{
    Silver,
    Window
};
void paintDataControl(QWidget *control, DataColor color);
void setDataControlEnabled(QWidget *control, bool enabled); // enables and paints to match
