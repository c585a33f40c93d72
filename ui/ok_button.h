#pragma once

class QPushButton;
class QWidget;

// The "   OK" button of the small dialogs (calendar, shift): its caption with three leading blanks
// and a green tick beside it.
QPushButton *makeOkButton(const char *name, QWidget *parent);
