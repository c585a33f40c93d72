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

void DBText::showOutsideViewFrom(Dataset *table)
{
    m_outsideView = table;
    connect(table, &Dataset::viewReset, this, &DBText::showField);
    connect(table, &Dataset::lookupsChanged, this, &DBText::showField);
    showField();
}

void DBText::showField()
{
    try {
        const QString shown = m_dataset->text(m_field);
        setText(shown.isEmpty() && m_outsideView ? lookupTextIn(*m_dataset, m_field, *m_outsideView) : shown);
    } catch (const DataError &) {
        clear();
    }
}
