#pragma once

#include <QDialog>

#include <optional>

class AccessLevel;
class DBCheckBox;
class DBGrid;
class Messages;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TDataModule2;

// Access-levels window: the access entries, their passwords and administrator rights; an ordinary
// user sees only his own entry and may only change its password.
class TForm18 : public QDialog
{
    Q_OBJECT

public:
    TForm18(TDataModule2 &dm, AccessLevel &access, Messages &messages, QWidget *parent = nullptr);

    void Button1Click(); // "Сменить"
    void Button3Click(); // "Добавить"
    void Button5Click(); // "Удалить"

    DBGrid *DBGrid1 = nullptr;
    DBCheckBox *DBCheckBox1 = nullptr; // "Возможность администрирования"
    QGroupBox *GroupBox1 = nullptr;    // " Пароль "
    QLabel *Label1 = nullptr;
    QLineEdit *Edit1 = nullptr; // old password
    QLabel *Label2 = nullptr;
    QLineEdit *Edit2 = nullptr; // new password
    QLabel *Label3 = nullptr;
    QLineEdit *Edit3 = nullptr; // the new password again
    QPushButton *Button1 = nullptr;
    QPushButton *Button3 = nullptr;
    QPushButton *Button5 = nullptr;
    QPushButton *Button2 = nullptr; // "Ок"

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void buildForm();
    void fgs();
    void clearPasswords();
    std::optional<QByteArray> encoded(const QLineEdit *box);

    TDataModule2 &m_dm;
    AccessLevel &m_access;
    Messages &m_messages;
};
