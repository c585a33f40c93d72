#include "dispatch/dispatch_look.h"

#include "ui/db_controls.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

QLabel *captionLabel(const char *name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QLabel *boldCaptionLabel(const char *name, const QString &text, QWidget *parent)
{
    QLabel *label = captionLabel(name, text, parent);
    setBold(label);
    return label;
}

DBText *valueText(const char *name, DataSource *source, const QString &field, QWidget *parent)
{
    auto *text = new DBText(source, field, parent);
    text->setObjectName(name);
    setBold(text);
    QPalette palette = text->palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    text->setPalette(palette);
    return text;
}

void addCaptionedRows(QGridLayout *grid, const QList<std::pair<QWidget *, QWidget *>> &rows)
{
    for (int row = 0; row < rows.size(); ++row) {
        grid->addWidget(rows.at(row).first, row, 0);
        grid->addWidget(rows.at(row).second, row, 1);
    }
    grid->setColumnStretch(1, 1);
}

QPushButton *pushButton(const char *name, const QString &text, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

void setBold(QWidget *widget)
{
    QFont font = widget->font();
    font.setBold(true);
    widget->setFont(font);
}
