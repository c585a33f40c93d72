#pragma once

#include "data/field_editor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>

class DataSource;
class Dataset;
class GridModel;
class Messages;

// A line edit bound to a field of the current row. The first change typed begins an edit of the
// row; the typed text reaches the field when the box is left or the row is stored. A text field's
// width limits the box.
class DBEdit : public QLineEdit, public FieldEditor
{
    Q_OBJECT

public:
    DBEdit(DataSource *source, const QString &field, Messages &messages, QWidget *parent = nullptr);
    ~DBEdit() override;

    const QString &field() const { return m_field; }
    void updateRecord() override;

protected:
    void focusOutEvent(QFocusEvent *event) override;

private:
    void showField();
    void onTextEdited();

    QPointer<Dataset> m_dataset; // a window's own dataset may go before its controls
    QString m_field;
    Messages &m_messages;
    bool m_dirty = false;     // typed text not yet written into the field
    bool m_beginning = false; // the first change typed is beginning the edit
};

// A display field's text for the current row, looked up in `table`, a dataset over the looked-in
// table that no filter narrows, rather than in the looked-in dataset's view; empty when none matches.
QString lookupTextIn(const Dataset &dataset, const QString &displayField, const Dataset &table);

// A label showing a field of the current row.
class DBText : public QLabel
{
    Q_OBJECT

public:
    DBText(DataSource *source, const QString &field, QWidget *parent = nullptr);

    // A display field whose key's row is outside the looked-in view is shown as found in `table`.
    void showOutsideViewFrom(Dataset *table);

private:
    void showField();

    Dataset *m_dataset;
    QString m_field;
    Dataset *m_outsideView = nullptr;
};

// A check box bound to a logical field: ticked writes true, cleared false; an empty field shows the
// third, undetermined state. Clicking begins an edit of the row.
class DBCheckBox : public QCheckBox
{
    Q_OBJECT

public:
    DBCheckBox(DataSource *source, const QString &field, const QString &caption, Messages &messages,
               QWidget *parent = nullptr);

protected:
    void nextCheckState() override;

private:
    void showField();

    Dataset *m_dataset;
    QString m_field;
    Messages &m_messages;
};

// A list bound to a display field: it offers the result values of the rows that the looked-in dataset
// currently lets through, shows the row whose matched value is the key field's, and choosing a row
// stores its matched value in the key field (beginning an edit of the row). Typing the first letters
// of an entry chooses it.
class DBLookupListBox : public QListView
{
    Q_OBJECT

public:
    DBLookupListBox(DataSource *source, const QString &displayField, Messages &messages,
                    QWidget *parent = nullptr);

    Dataset *lookIn() const;

Q_SIGNALS:
    void chosen(int lookInRow); // after the key field was set from the chosen row

protected:
    // Entering the list chooses nothing: with no row shown, the first arrow key goes to the first row.
    void focusInEvent(QFocusEvent *event) override;

private:
    void showKey();
    void choose(int row);

    Dataset *m_dataset;
    QString m_field;
    Messages &m_messages;
    GridModel *m_model;
    bool m_showing = false;
};

// A drop-down list bound to a display field, like DBLookupListBox; nothing can be typed into it, and
// typing the first letters of an entry chooses it.
class DBLookupComboBox : public QComboBox
{
    Q_OBJECT

public:
    DBLookupComboBox(DataSource *source, const QString &displayField, Messages &messages,
                     QWidget *parent = nullptr);

    Dataset *lookIn() const;

    // A choice also moves the looked-in dataset's cursor to the chosen row, so that the row chosen
    // is the one its dataset stands on.
    void setMovesLookInCursor(bool moves) { m_movesLookInCursor = moves; }
    // A key whose row is outside the looked-in view is shown, greyed, as found in `table`.
    void showOutsideViewFrom(Dataset *table);

Q_SIGNALS:
    void chosen(int lookInRow);

private:
    void showKey();
    void choose(int row);

    Dataset *m_dataset;
    QString m_field;
    Messages &m_messages;
    GridModel *m_model;
    bool m_showing = false;
    bool m_movesLookInCursor = false;
    Dataset *m_outsideView = nullptr;
};
