#include "platform/settings_registry.h"

#include "data/data_error.h"

#include <QDir>
#include <QSettings>
#include <QStringList>

namespace {

const QString ProgramKey = QStringLiteral("Software\\Lumivark\\ARM_Vozy\\Key");
const QString DataBaseDirValue = QStringLiteral("DataBaseDir");
const QString DataBaseServerValue = QStringLiteral("DataBaseServer");

} // namespace

QString readreg(const QString &keyPath, const QString &valueName)
{
    // The first component is the hive's "Software", which QSettings supplies itself.
    const QStringList components = keyPath.split(u'\\', Qt::SkipEmptyParts);
    if (components.size() < 3)
        return {};
    const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, components.at(1),
                             components.at(2));
    const QString key = QStringList(components.begin() + 3, components.end()).join(u'/');
    const QString fullName = key.isEmpty() ? valueName : key + u'/' + valueName;
    if (!settings.contains(fullName))
        return {};
    const QVariant value = settings.value(fullName);
    if (value.metaType().id() != QMetaType::QString)
        throw DataError(QStringLiteral("Invalid data type for '") + valueName + u'\'');
    return value.toString();
}

QString db_dir()
{
    QString directory = readreg(ProgramKey, DataBaseDirValue);
    if (directory.isEmpty())
        return directory;
    if (!directory.endsWith(u'\\') && !directory.endsWith(u'/'))
        directory += QDir::separator();
    return directory;
}

QString db_server()
{
    return readreg(ProgramKey, DataBaseServerValue).trimmed();
}

QString settingsFilePath()
{
    const QString directory = db_dir();
    if (directory.isEmpty())
        throw DataError(QStringLiteral("Не задан каталог базы данных (значение DataBaseDir в ключе реестра "
                                       "%1). Файл настроек VOZY.INI не может быть открыт.")
                            .arg(ProgramKey));
    return directory + QStringLiteral("VOZY.INI");
}
