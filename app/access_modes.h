#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class QAction;
class QWidget;

// Who is logged in, for the rest of the run, and the two access levels: every window registers the
// controls that only an administrator may use when it is built, and adm_on / adm_off switch all of
// them whether or not their window is shown. A control registered while ordinary mode holds (as at
// start, before anyone has logged in) is switched to it at once, so nothing starts out unlocked.
class AccessLevel : public QObject
{
    Q_OBJECT

public:
    explicit AccessLevel(QObject *parent = nullptr);

    // Shown and enabled for administrators; hidden and disabled otherwise, so that neither its
    // menu entry nor its shortcut can run it.
    void addAdminAction(QAction *action);
    void addAdminWidget(QWidget *widget);
    // Enabled for administrators, disabled otherwise; stays visible.
    void addAdminEnabled(QWidget *widget);
    // A data control: enabled in the window colour for administrators, disabled and silver otherwise.
    void addAdminDataControl(QWidget *control);

    void adm_on();
    void adm_off();

    // The access flag: true in administrator mode.
    bool check_adm() const { return m_admin; }

    // The logged-in employee's staff Id as decimal text; empty before the first login.
    const QString &operatorId() const { return m_operatorId; }
    void setOperatorId(const QString &id) { m_operatorId = id; }

Q_SIGNALS:
    // After every switch, with all registered controls already set.
    void modeChanged(bool administrator);

private:
    void apply();
    void applyTo(QAction *action) const;
    void applyToWidget(QWidget *widget) const;
    void applyToEnabled(QWidget *widget) const;
    void applyToDataControl(QWidget *control) const;

    bool m_admin = false;
    QString m_operatorId;
    // A window may be destroyed before the next switch; its controls simply drop out.
    QList<QPointer<QAction>> m_actions;
    QList<QPointer<QWidget>> m_widgets;
    QList<QPointer<QWidget>> m_enabled;
    QList<QPointer<QWidget>> m_dataControls;
};
