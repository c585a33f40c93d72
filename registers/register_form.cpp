#include "registers/register_form.h"

#include "data/dataset.h"
#include "registers/calendar_window.h"
#include "ui/db_controls.h"
#include "ui/db_grid.h"
#include "ui/digits_only.h"
#include "ui/list_keys.h"

#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace RegisterForm {

void setDialogFrame(QDialog *dialog, const QString &caption)
{
    dialog->setWindowTitle(caption);
    dialog->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
}

QPushButton *button(const char *name, const QString &text, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    // Enter in a box stores nothing behind the user's back.
    b->setAutoDefault(false);
    return b;
}

QPushButton *plusButton(const char *name, QWidget *parent)
{
    QPushButton *b = button(name, QStringLiteral("+"), parent);
    const int side = b->fontMetrics().height() + 10;
    b->setFixedSize(side, side);
    return b;
}

QLabel *caption(const char *name, const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setBuddy(buddy);
    return l;
}

QLabel *boldCaption(const char *name, const QString &text, QWidget *buddy, QWidget *parent)
{
    QLabel *l = caption(name, text, buddy, parent);
    QFont bold = l->font();
    bold.setBold(true);
    l->setFont(bold);
    return l;
}

NameLines nameLines(DataSource *source, const QString &surnameField, Messages &messages, QWidget *parent)
{
    NameLines lines;
    lines.number = digitsEdit("DBEdit1", source, QStringLiteral("Number"), messages, parent);
    lines.surname = edit("DBEdit2", source, surnameField, messages, parent);
    lines.name = edit("DBEdit3", source, QStringLiteral("Name"), messages, parent);
    lines.patronymic = edit("DBEdit4", source, QStringLiteral("Otchestvo"), messages, parent);
    lines.numberCaption = boldCaption("Label1", QStringLiteral("Номер:"), lines.number, parent);
    QPalette blue = lines.numberCaption->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    lines.numberCaption->setPalette(blue);

    lines.layout = new QGridLayout;
    lines.layout->addWidget(lines.numberCaption, 0, 0);
    lines.layout->addWidget(lines.number, 0, 1);
    lines.layout->addWidget(boldCaption("Label2", QStringLiteral("Фамилия:"), lines.surname, parent), 1, 0);
    lines.layout->addWidget(lines.surname, 1, 1);
    lines.layout->addWidget(boldCaption("Label3", QStringLiteral("Имя:"), lines.name, parent), 2, 0);
    lines.layout->addWidget(lines.name, 2, 1);
    lines.layout->addWidget(boldCaption("Label4", QStringLiteral("Отчество:"), lines.patronymic, parent), 3,
                            0);
    lines.layout->addWidget(lines.patronymic, 3, 1);
    lines.layout->setRowStretch(4, 1);
    return lines;
}

DBEdit *edit(const char *name, DataSource *source, const QString &field, Messages &messages, QWidget *parent)
{
    auto *e = new DBEdit(source, field, messages, parent);
    e->setObjectName(name);
    return e;
}

DBEdit *dateEdit(const char *name, DataSource *source, const QString &field, Messages &messages,
                 QWidget *parent)
{
    DBEdit *e = edit(name, source, field, messages, parent);
    e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("00.00.0000")) + 16);
    return e;
}

DBEdit *digitsEdit(const char *name, DataSource *source, const QString &field, Messages &messages,
                   QWidget *parent)
{
    DBEdit *e = edit(name, source, field, messages, parent);
    DigitsOnly::install(e);
    return e;
}

DBLookupComboBox *lookupBox(const char *name, DataSource *source, const QString &displayField,
                            Messages &messages, QWidget *parent)
{
    auto *box = new DBLookupComboBox(source, displayField, messages, parent);
    box->setObjectName(name);
    return box;
}

void setKeyboardOrder(const QList<QWidget *> &order)
{
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
}

void pickDate(TForm10 &calendar, QLineEdit *box)
{
    const std::optional<QString> date = calendar.chooseDate();
    if (!date)
        return;
    // Inserted over the whole text, as typing would: a bound box then begins the edit of its row.
    box->selectAll();
    box->insert(*date);
}

void editInWindow(Dataset &table, QDialog &window)
{
    table.edit();
    window.exec();
    table.cancelEditOfDeletedRow();
}

void layOutList(QDialog *window, DBGrid *grid, QPushButton *add, QPushButton *change, QPushButton *remove,
                QPushButton *ok)
{
    auto *rowButtons = new QHBoxLayout;
    rowButtons->addWidget(add);
    rowButtons->addWidget(change);
    rowButtons->addWidget(remove);
    rowButtons->addStretch();
    auto *close = new QHBoxLayout;
    close->addStretch();
    close->addWidget(ok);
    auto *layout = new QVBoxLayout(window);
    layout->addWidget(grid, 1);
    layout->addLayout(rowButtons);
    layout->addLayout(close);

    QWidget::setTabOrder(grid, add);
    QWidget::setTabOrder(add, change);
    QWidget::setTabOrder(change, remove);
    QWidget::setTabOrder(remove, ok);
    addListKeys(grid, add, change, remove);
    QObject::connect(grid, &DBGrid::rowDoubleClicked, change, &QPushButton::click);
}

} // namespace RegisterForm
