#pragma once

#include <QList>
#include <QString>

class DBEdit;
class DBGrid;
class DBLookupComboBox;
class DataSource;
class Dataset;
class Messages;
class QDialog;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class TForm10;

// The building blocks that the windows of the drivers and staff registers share: a list window over
// one table, and a data window of bound boxes with date and "+" buttons.
namespace RegisterForm {

// The fixed frame of the registers' dialogs: a title bar with the system menu and a close button.
void setDialogFrame(QDialog *dialog, const QString &caption);

QPushButton *button(const char *name, const QString &text, QWidget *parent);
// The small square button beside a drop-down or a date box.
QPushButton *plusButton(const char *name, QWidget *parent);
QLabel *caption(const char *name, const QString &text, QWidget *buddy, QWidget *parent);
// The top-left captions of a data window are bold, and the first of them, "Номер:", blue as well.
QLabel *boldCaption(const char *name, const QString &text, QWidget *buddy, QWidget *parent);

// The top-left lines of a data window, with bold captions: "Номер:" in blue (digits only),
// "Фамилия:", "Имя:" and "Отчество:"; the boxes are DBEdit1 to DBEdit4.
struct NameLines
{
    QLabel *numberCaption = nullptr;
    DBEdit *number = nullptr;
    DBEdit *surname = nullptr;
    DBEdit *name = nullptr;
    DBEdit *patronymic = nullptr;
    QGridLayout *layout = nullptr;
};
NameLines nameLines(DataSource *source, const QString &surnameField, Messages &messages, QWidget *parent);

DBEdit *edit(const char *name, DataSource *source, const QString &field, Messages &messages, QWidget *parent);
// A date box, wide enough for a whole date.
DBEdit *dateEdit(const char *name, DataSource *source, const QString &field, Messages &messages,
                 QWidget *parent);
// A box for a number that people read as an identifier: only the digits 0 to 9 and backspace pass.
DBEdit *digitsEdit(const char *name, DataSource *source, const QString &field, Messages &messages,
                   QWidget *parent);

// The keyboard order of a window, first to last.
void setKeyboardOrder(const QList<QWidget *> &order);

DBLookupComboBox *lookupBox(const char *name, DataSource *source, const QString &displayField,
                            Messages &messages, QWidget *parent);

// A date button: the calendar, then the confirmed date as day.month.year in the box, replacing its
// text as if typed, so that the field takes it when the record is stored. A calendar closed without
// confirming leaves the box as it was.
void pickDate(TForm10 &calendar, QLineEdit *box);

// "Изменить" of a list window: the current row of `table` edited in its data window. A row deleted
// at another workstation while the window was open cannot be stored, as "Ок" said: once the window
// is closed its typed values go too, or every later move of the list would refuse again.
void editInWindow(Dataset &table, QDialog &window);

// A list window: the grid, under it the add, change and delete buttons from the left, and below them
// on the right "Ок". A double click or Enter on the grid changes the row, Insert adds, Delete deletes.
void layOutList(QDialog *window, DBGrid *grid, QPushButton *add, QPushButton *change, QPushButton *remove,
                QPushButton *ok);

} // namespace RegisterForm
