#include "ui/suggestion_list.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStandardItemModel>

SuggestionList::SuggestionList(QLineEdit *edit, const QStringList &headers, QWidget *host)
    : QTreeView(host)
    , m_edit(edit)
    , m_model(new QStandardItemModel(0, headers.size(), this))
{
    m_model->setHorizontalHeaderLabels(headers);
    setModel(m_model);
    // Clicks choose a line without taking the focus from the edit.
    setFocusPolicy(Qt::NoFocus);
    viewport()->setFocusPolicy(Qt::NoFocus);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    header()->setStretchLastSection(false);
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
    setFrameShape(QFrame::Box);
    hide();
    connect(this, &QTreeView::doubleClicked, this, [this](const QModelIndex &index) {
        setCurrentIndex(index);
        take();
    });
    m_edit->installEventFilter(this);
}

void SuggestionList::setLines(const QList<QStringList> &lines)
{
    m_model->setRowCount(0);
    if (lines.isEmpty()) {
        hide();
        return;
    }
    for (const QStringList &line : lines) {
        QList<QStandardItem *> cells;
        for (const QString &text : line)
            cells << new QStandardItem(text);
        m_model->appendRow(cells);
    }
    setCurrentIndex(m_model->index(0, 0));
    fitColumns(lines);
    place();
}

// Each column as wide as its widest text or its header. Measured by the font's metrics rather than
// by laying out every cell as the view would: the list is filled again at each digit typed.
void SuggestionList::fitColumns(const QList<QStringList> &lines)
{
    const QFontMetrics metrics(font());
    const int margins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
    if (m_titleWidths.isEmpty()) {
        for (int column = 0; column < m_model->columnCount(); ++column)
            m_titleWidths << header()->sectionSizeHint(column);
    }
    for (int column = 0; column < m_model->columnCount(); ++column) {
        int width = m_titleWidths.at(column);
        for (const QStringList &line : lines)
            width = qMax(width, widthOf(metrics, line.value(column)) + margins);
        setColumnWidth(column, width);
    }
}

int SuggestionList::widthOf(const QFontMetrics &metrics, const QString &text)
{
    constexpr int KeptWidths = 1024;
    if (m_widths.size() > KeptWidths)
        m_widths.clear();
    auto known = m_widths.find(text);
    if (known == m_widths.end())
        known = m_widths.insert(text, metrics.horizontalAdvance(text));
    return *known;
}

void SuggestionList::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        m_widths.clear();
        m_titleWidths.clear();
        m_lineHeight = -1;
    }
    QTreeView::changeEvent(event);
}

int SuggestionList::currentLine() const
{
    return currentIndex().isValid() ? currentIndex().row() : -1;
}

// Under the edit, as wide as its columns; above it when the host has no room below.
void SuggestionList::place()
{
    QWidget *host = parentWidget();
    const int frame = 2 * frameWidth();
    const int width = qMin(host->width(), qMax(m_edit->width(), header()->length() + frame));
    if (m_lineHeight < 0)
        m_lineHeight = sizeHintForRow(0);
    const int wanted = header()->sizeHint().height() + m_model->rowCount() * m_lineHeight + frame;
    const QPoint top = m_edit->mapTo(host, QPoint(0, 0));
    const int below = host->height() - (top.y() + m_edit->height());
    const int above = top.y();
    const bool fitsBelow = wanted <= below || below >= above;
    const int height = qMin(wanted, fitsBelow ? below : above);
    const int x = qBound(0, top.x(), host->width() - width);
    const int y = fitsBelow ? top.y() + m_edit->height() : top.y() - height;
    setGeometry(x, y, width, height);
    raise();
    show();
}

bool SuggestionList::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_edit || isHidden())
        return QTreeView::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // The list's keys are not the window's shortcuts while it is open (Esc is not "cancel").
        if (handlesKey(static_cast<QKeyEvent &>(*event))) {
            event->accept();
            return true;
        }
        break;
    case QEvent::KeyPress: {
        const auto &key = static_cast<QKeyEvent &>(*event);
        if (!handlesKey(key))
            break;
        if (key.key() == Qt::Key_Down)
            moveBy(1);
        else if (key.key() == Qt::Key_Up)
            moveBy(-1);
        else if (key.key() == Qt::Key_Escape)
            hide();
        else
            take();
        return true;
    }
    case QEvent::FocusOut:
    case QEvent::Hide:
    case QEvent::EnabledChange:
        hide();
        break;
    default:
        break;
    }
    return QTreeView::eventFilter(watched, event);
}

bool SuggestionList::handlesKey(const QKeyEvent &key) const
{
    if ((key.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    switch (key.key()) {
    case Qt::Key_Down:
    case Qt::Key_Up:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        return true;
    default:
        return false;
    }
}

void SuggestionList::moveBy(int lines)
{
    const int line = qBound(0, currentLine() + lines, m_model->rowCount() - 1);
    setCurrentIndex(m_model->index(line, 0));
}

void SuggestionList::take()
{
    if (currentLine() < 0)
        return;
    hide();
    Q_EMIT taken();
}
