#include "ui/db_controls.h"

#include "data/data_error.h"
#include "data/data_source.h"
#include "data/dataset.h"
#include "ui/error_guard.h"

DBCheckBox::DBCheckBox(DataSource *source, const QString &field, const QString &caption, Messages &messages,
                       QWidget *parent)
    : QCheckBox(caption, parent)
    , m_dataset(source->dataset())
    , m_field(field)
    , m_messages(messages)
{
    setTristate(true);
    connect(m_dataset, &Dataset::currentChanged, this, &DBCheckBox::showField);
    connect(m_dataset, &Dataset::stateChanged, this, &DBCheckBox::showField);
    showField();
}

void DBCheckBox::showField()
{
    QVariant value;
    try {
        value = m_dataset->value(m_field);
    } catch (const DataError &) {
        value = QVariant();
    }
    setCheckState(value.isNull() ? Qt::PartiallyChecked : value.toBool() ? Qt::Checked : Qt::Unchecked);
}

// A click ticks an empty or cleared box and clears a ticked one; the undetermined state is only
// ever shown, never chosen. The box then shows what the field holds, so a refused edit leaves it as it was.
void DBCheckBox::nextCheckState()
{
    const bool ticked = checkState() != Qt::Checked;
    guarded(m_messages, [this, ticked] {
        m_dataset->edit();
        m_dataset->setValue(m_field, ticked);
    });
    showField();
}
