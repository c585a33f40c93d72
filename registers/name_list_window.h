#pragma once

#include <QDialog>

class DBEdit;
class DBGrid;
class DataSource;
class Dataset;
class Messages;
class QPushButton;

// The pattern of the car models and colours windows: a list of names, under it a box bound to the
// current name with "-" beside it, and "Добавить", "Удалить", "Сохранить". "Сохранить" stores only
// an addition begun with "Добавить" (the addition-pending flag); a changed name stays pending in the
// shared table until the table moves on.
class NameListWindow : public QDialog
{
    Q_OBJECT

public:
    // Set by "Добавить", cleared by a "Сохранить" that stored; kept across showings.
    bool additionPending() const { return m_additionPending; }

protected:
    // What tells the two windows apart; the object names are the controls' own.
    struct Form
    {
        const char *name;
        QString caption;
        QSize clientArea;
        DataSource *source;
        QString field;
        QString columnTitle;
        bool listEditable;
        const char *listName;
        const char *minusName;
        const char *addName;
        const char *deleteName;
        const char *saveName;
    };

    NameListWindow(const Form &form, Messages &messages, QWidget *parent);

    DBGrid *list() const { return m_list; }
    DBEdit *nameBox() const { return m_nameBox; }
    QPushButton *minusButton() const { return m_minus; }
    QPushButton *addButton() const { return m_add; }
    QPushButton *deleteButton() const { return m_delete; }
    QPushButton *saveButton() const { return m_save; }

private:
    void buildForm(const Form &form);
    QPushButton *button(const char *name, const QString &text, void (NameListWindow::*handler)());

    void add();    // "Добавить"
    void begin();  // "-"
    void remove(); // "Удалить"
    void save();   // "Сохранить"

    Dataset &m_table;
    Messages &m_messages;
    bool m_additionPending = false;

    DBGrid *m_list = nullptr;
    DBEdit *m_nameBox = nullptr;
    QPushButton *m_minus = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_save = nullptr;
};
