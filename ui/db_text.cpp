#include "ui/db_controls.h"

#include "data/data_error.h"
#include "data/data_source.h"
#include "data/dataset.h"

DBText::DBText(DataSource *source, const QString &field, QWidget *parent)
    : QLabel(parent)
    , m_dataset(source->dataset())
    , m_field(field)
{
    setTextFormat(Qt::PlainText);
    connect(m_dataset, &Dataset::currentChanged, this, &DBText::showField);
    connect(m_dataset, &Dataset::lookupsChanged, this, &DBText::showField);
    showField();
}

void DBText::showField()
{
    try {
        setText(m_dataset->text(m_field));
    } catch (const DataError &) {
        clear();
    }
}
