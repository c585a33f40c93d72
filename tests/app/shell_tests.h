#pragma once

#include "data/password_coder.h"
#include "tests/support/test_database.h"
#include "tests/support/ui_support.h"

#include <QLocale>
#include <QObject>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

// Every test class of the executable registers itself, so that one main runs them all.
using ShellTestRun = std::function<int(int, char **)>;
QList<ShellTestRun> &shellTests();

template <typename TestClass> bool registerShellTest()
{
    shellTests().append([](int argc, char **argv) {
        TestClass test;
        return QTest::qExec(&test, argc, argv);
    });
    return true;
}

#define SHELL_TEST(TestClass)                                                                                \
    [[maybe_unused]] static const bool registered##TestClass = registerShellTest<TestClass>()

inline void useRussianLocale()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}

// What a test of the shell starts from: a fresh store, the user's settings (the registry stand-in
// and the alias file) in a directory of its own, the message seam, and an observed end of the program.
class Shell
{
public:
    Shell()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
        // In the tests' server half the workstation finds its store on the server, as configured.
        if (TestDatabase::onServer())
            setDataBaseServer(db.connection());
    }
    Shell(const Shell &) = delete;
    Shell &operator=(const Shell &) = delete;

    // The registry value DataBaseDir; an invalid value removes it.
    void setDataBaseDir(const QVariant &value)
    {
        QSettings registry(QSettings::NativeFormat, QSettings::UserScope, "Lumivark", "ARM_Vozy");
        if (value.isValid())
            registry.setValue("Key/DataBaseDir", value);
        else
            registry.remove("Key/DataBaseDir");
        registry.sync();
    }

    void setDataBaseServer(const QString &connection)
    {
        QSettings registry(QSettings::NativeFormat, QSettings::UserScope, "Lumivark", "ARM_Vozy");
        registry.setValue("Key/DataBaseServer", connection);
        registry.sync();
    }

    qint64 employee(const QString &family) { return db.insert("sotrud", {{"Family", family}}); }

    // An access entry; a null password is an entry whose password was never set.
    qint64 entry(qint64 employeeId, const QString &password, bool administrator = false)
    {
        QVariantMap fields{{"IdOperator", employeeId}, {"G", administrator}};
        if (!password.isNull())
            fields.insert("Pwl", coder(password));
        return db.insert("pwl", fields);
    }

    QString settingsDir() const { return m_settings.path(); }
    std::function<void()> quit()
    {
        return [this] { ++quits; };
    }

    TestDatabase db;
    ScriptedMessages messages;
    int quits = 0;

private:
    QTemporaryDir m_settings;
};
