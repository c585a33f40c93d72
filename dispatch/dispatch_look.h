#pragma once

#include <QList>
#include <QString>

#include <utility>

class DataSource;
class DBText;
class QGridLayout;
class QLabel;
class QPushButton;
class QWidget;

// What the dispatch windows share in their look: a driver's details in blue bold under plain or
// bold captions.
QLabel *captionLabel(const char *name, const QString &text, QWidget *parent);
QLabel *boldCaptionLabel(const char *name, const QString &text, QWidget *parent);
DBText *valueText(const char *name, DataSource *source, const QString &field, QWidget *parent);
void setBold(QWidget *widget);
// Captions in the first column and what they caption beside them, a pair to a row.
void addCaptionedRows(QGridLayout *grid, const QList<std::pair<QWidget *, QWidget *>> &rows);
// A button that Enter in a box of its window does not press.
QPushButton *pushButton(const char *name, const QString &text, QWidget *parent);
