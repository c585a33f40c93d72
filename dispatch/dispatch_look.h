#pragma once

#include <QString>

class DataSource;
class DBText;
class QLabel;
class QWidget;

// What the dispatch windows share in their look: a driver's details in blue bold under plain or
// bold captions.
QLabel *captionLabel(const char *name, const QString &text, QWidget *parent);
QLabel *boldCaptionLabel(const char *name, const QString &text, QWidget *parent);
DBText *valueText(const char *name, DataSource *source, const QString &field, QWidget *parent);
void setBold(QWidget *widget);
