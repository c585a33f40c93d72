#pragma once

#include <QHash>
#include <QTreeView>

class QLineEdit;
class QStandardItemModel;

// Lines offered under a line edit while its text is typed. The list never takes the focus: the keys
// stay with the edit, where Down and Up move in the list, Enter takes the current line and Esc closes
// the list, keeping the text; a double click takes a line too. The list is a child of `host`, laid
// over the controls under the edit, or above it where there is no room below; it closes when the
// edit loses the focus.
class SuggestionList : public QTreeView
{
    Q_OBJECT

public:
    SuggestionList(QLineEdit *edit, const QStringList &headers, QWidget *host);

    // Shows these lines, each a text per column, with the first one current; no lines hides the list.
    void setLines(const QList<QStringList> &lines);
    int currentLine() const; // -1 when none

Q_SIGNALS:
    void taken(); // the current line was taken; the list is hidden

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    bool handlesKey(const QKeyEvent &key) const;
    void moveBy(int lines);
    void take();
    void place();
    void fitColumns(const QList<QStringList> &lines);
    int widthOf(const QFontMetrics &metrics, const QString &text);

    QLineEdit *m_edit;
    QStandardItemModel *m_model;
    // Measures in the list's font, forgotten when it changes: a caller's lines come back at each digit.
    QHash<QString, int> m_widths;
    QList<int> m_titleWidths;
    int m_lineHeight = -1;
};
