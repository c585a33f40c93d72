#include "data/data_error.h"
#include "tools/setup_store.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QTextStream>

namespace {

int usage(QTextStream &err)
{
    err << "Usage: vozy-setup [--demo] DIR\n"
           "       vozy-setup [--demo] --postgres \"host=... port=... dbname=... user=...\"\n"
           "Creates DIR/bd/vozy.db: an empty store with the first administrator (no password),\n"
           "or with --demo a small city with drivers on the line and two dispatchers.\n"
           "With --postgres the same in an empty database on a PostgreSQL server, the password\n"
           "taken from ~/.pgpass; the program is pointed at it by DataBaseServer beside DataBaseDir.\n";
    return 2;
}

// The demo works where the program looks for its settings: when no database directory is registered
// for this user yet, or the registered one is gone (a demo directory removed since), the demo's
// directory becomes it. A value naming a directory that exists is left as it is.
void registerDatabaseDir(const QString &dir, QTextStream &out)
{
    QSettings registry(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Lumivark"),
                       QStringLiteral("ARM_Vozy"));
    const QString key = QStringLiteral("Key/DataBaseDir");
    const QString current = registry.value(key).toString();
    if (!current.isEmpty() && QDir(QDir::fromNativeSeparators(current)).exists()) {
        out << "DataBaseDir is already set: " << current << "\n";
        return;
    }
    if (!current.isEmpty())
        out << "DataBaseDir named a directory that no longer exists: " << current << "\n";
    registry.setValue(key, QDir::toNativeSeparators(dir));
    registry.sync();
    out << "DataBaseDir set to " << QDir::toNativeSeparators(dir) << " in " << registry.fileName() << "\n";
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = app.arguments().mid(1);
    const bool demo = args.removeAll(QStringLiteral("--demo")) > 0;
    if (args.size() == 2 && args.first() == QLatin1String("--postgres")) {
        try {
            SetupStore::createOnServer(args.at(1), demo);
        } catch (const DataError &e) {
            err << "vozy-setup: " << e.message() << "\n";
            return 1;
        }
        out << "Created the store on the server: " << args.at(1) << (demo ? " with demo data" : "") << "\n"
            << "Point each workstation at it: DataBaseServer=\"" << args.at(1) << "\" in group Key of "
            << QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Lumivark"),
                         QStringLiteral("ARM_Vozy"))
                   .fileName()
            << "\n";
        return 0;
    }
    if (args.size() != 1 || args.first().startsWith(QLatin1Char('-')))
        return usage(err);
    const QString dir = QDir(args.first()).absolutePath();
    try {
        SetupStore::create(dir, demo);
    } catch (const DataError &e) {
        err << "vozy-setup: " << e.message() << "\n";
        return 1;
    }
    out << "Created " << QDir::toNativeSeparators(QDir(dir).filePath(QStringLiteral("bd/vozy.db")))
        << (demo ? " with demo data" : "") << "\n";
    if (demo)
        registerDatabaseDir(dir, out);
    return 0;
}
