#include "ui/db_controls.h"

#include "data/data_error.h"
#include "data/data_source.h"
#include "data/dataset.h"
#include "ui/error_guard.h"

#include <QFocusEvent>

DBEdit::DBEdit(DataSource *source, const QString &field, Messages &messages, QWidget *parent)
    : QLineEdit(parent)
    , m_dataset(source->dataset())
    , m_field(field)
    , m_messages(messages)
{
    if (const int width = m_dataset->fieldWidth(m_field); width > 0)
        setMaxLength(width);
    setReadOnly(m_dataset->isLookup(m_field));
    m_dataset->addEditor(this);
    connect(this, &QLineEdit::textEdited, this, &DBEdit::onTextEdited);
    connect(m_dataset, &Dataset::currentChanged, this, &DBEdit::showField);
    connect(m_dataset, &Dataset::stateChanged, this, &DBEdit::showField);
    connect(m_dataset, &Dataset::lookupsChanged, this, &DBEdit::showField);
    showField();
}

DBEdit::~DBEdit()
{
    if (m_dataset)
        m_dataset->removeEditor(this);
}

// The typed text stays while its row is pending: the dataset leaves a pending row only through
// browsing (storing writes the text first, dropping discards it), so a dirty box in a dataset that
// still edits holds text for the row it was typed for.
void DBEdit::showField()
{
    if (m_beginning || !m_dataset || (m_dirty && m_dataset->state() != Dataset::State::Browse))
        return;
    m_dirty = false;
    QString shown;
    try {
        shown = m_dataset->text(m_field);
    } catch (const DataError &) {
        shown.clear(); // a row that cannot be read shows nothing; the failing operation reports it
    }
    if (shown != text()) {
        setText(shown);
        setCursorPosition(0); // the start of a long text, as a field is read
    }
}

void DBEdit::onTextEdited()
{
    if (m_dirty || !m_dataset)
        return;
    m_beginning = true;
    const bool began = guarded(m_messages, [this] { m_dataset->edit(); });
    m_beginning = false;
    if (!began) {
        showField();
        return;
    }
    m_dirty = true;
}

void DBEdit::updateRecord()
{
    if (!m_dirty || !m_dataset)
        return;
    // A text that is not a value of the field raises here and stays in the box, still to be written.
    m_dataset->setText(m_field, text());
    m_dirty = false;
    showField();
}

void DBEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // Leaving for a menu or another window is not leaving the box.
    if (!m_dirty || event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    if (!guarded(m_messages, [this] { updateRecord(); }))
        setFocus(Qt::OtherFocusReason);
}
