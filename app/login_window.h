#pragma once

#include <QSystemTrayIcon>
#include <QWidget>

#include <functional>
#include <optional>

class AccessLevel;
class Database;
class Messages;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TForm23;

// Login window: who works at the workstation; the program's main window, from start to end.
class TForm0 : public QWidget
{
    Q_OBJECT

public:
    // Runs the creation steps at once. Without a store (it could not be opened) the user list stays
    // empty; the program entry reports the store and ends.
    TForm0(Database *store, AccessLevel &access, Messages &messages, std::function<void()> quit,
           QWidget *parent = nullptr);
    ~TForm0() override;

    // The windows created after this one: shown after a login, and the tariff reloaded at each showing.
    void setMainWindow(QWidget *mainWindow) { m_mainWindow = mainWindow; }
    void setTariffWindow(TForm23 *tariff) { m_tariff = tariff; }

    bool check_adm() const;
    const QString &operatorId() const;
    int failureCount() const { return m_failures; }
    bool hasTrayIcon() const { return m_tray != nullptr; }

    // The tray icon's activation; public so that the shell's tests can double-click without a tray.
    void trayActivated(QSystemTrayIcon::ActivationReason reason);

    void Button1Click(); // "Войти"

    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QComboBox *ComboBox1 = nullptr; // surnames of the staff with an access entry
    QComboBox *ComboBox2 = nullptr; // their staff Ids, item for item; never shown
    QLineEdit *Edit1 = nullptr;     // password
    QPushButton *Button1 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildForm();
    void FormCreate();
    void addTrayIcon();
    void readStaff();
    void dsfgh();
    bool sdf(QEvent *event) const;
    std::optional<QByteArray> typedPassword();

    Database *m_store;
    AccessLevel &m_access;
    Messages &m_messages;
    std::function<void()> m_quit;
    QWidget *m_mainWindow = nullptr;
    TForm23 *m_tariff = nullptr;
    QSystemTrayIcon *m_tray = nullptr;
    int m_failures = 0;
};
