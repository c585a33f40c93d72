#include "platform/alias_config.h"

#include "data/data_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStringDecoder>

namespace {

bool hasLineBreak(const QString &text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

bool isHeader(const QString &line)
{
    return line.startsWith(u'[') && line.endsWith(u']');
}

// What the file could not read back as the same alias.
void checkName(const QString &alias)
{
    if (alias.isEmpty() || hasLineBreak(alias))
        throw DataError(QStringLiteral("Недопустимое имя псевдонима «%1».").arg(alias));
}

void checkParams(const QString &alias, const QStringList &params)
{
    for (const QString &param : params) {
        if (!param.contains(u'=') || param.startsWith(u'[') || hasLineBreak(param))
            throw DataError(QStringLiteral("Недопустимый параметр «%1» псевдонима «%2».").arg(param, alias));
    }
}

} // namespace

AliasConfig::AliasConfig(QString path)
    : m_path(std::move(path))
{
    load();
}

QString AliasConfig::defaultPath()
{
    // Beside the registry stand-in's file; where the native format is no file, its INI twin.
#if defined(Q_OS_WIN) || defined(Q_OS_DARWIN)
    const QSettings::Format format = QSettings::IniFormat;
#else
    const QSettings::Format format = QSettings::NativeFormat;
#endif
    const QSettings settings(format, QSettings::UserScope, QStringLiteral("Lumivark"),
                             QStringLiteral("ARM_Vozy"));
    return QFileInfo(settings.fileName()).absolutePath() + QStringLiteral("/aliases.cfg");
}

QStringList AliasConfig::aliasNames() const
{
    QStringList names;
    for (const Alias &alias : m_aliases)
        names.append(alias.name);
    return names;
}

QStringList AliasConfig::params(const QString &alias) const
{
    return m_aliases.at(existing(alias)).params;
}

void AliasConfig::modifyAlias(const QString &alias, const QStringList &params)
{
    const qsizetype index = existing(alias);
    checkParams(alias, params);
    m_aliases[index].params = params;
}

void AliasConfig::addAlias(const QString &alias, const QString &type, const QStringList &params)
{
    checkName(alias);
    if (indexOf(alias) >= 0)
        throw DataError(QStringLiteral("Псевдоним «%1» уже существует.").arg(alias));
    const QStringList all = params + QStringList{QStringLiteral("TYPE=") + type};
    checkParams(alias, all);
    m_aliases.append({alias, all});
}

void AliasConfig::save() const
{
    QString text;
    for (const Alias &alias : m_aliases) {
        text += u'[' + alias.name + QStringLiteral("]\n");
        for (const QString &param : alias.params)
            text += param + u'\n';
        text += u'\n';
    }
    const QByteArray bytes = text.toUtf8();

    // The directory is missing until the first start on this account.
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw DataError(
            QStringLiteral("Не удалось сохранить настройки псевдонимов в файл «%1».").arg(m_path));
}

void AliasConfig::load()
{
    QFile file(m_path);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly))
        throw DataError(
            QStringLiteral("Не удалось прочитать настройки псевдонимов из файла «%1».").arg(m_path));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw DataError(
            QStringLiteral("Не удалось прочитать настройки псевдонимов из файла «%1».").arg(m_path));

    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes);
    const auto malformed = [this](qsizetype lineNumber) {
        return DataError(QStringLiteral("Файл настроек псевдонимов «%1» повреждён (строка %2).")
                             .arg(m_path, QString::number(lineNumber)));
    };
    if (decoder.hasError())
        throw DataError(
            QStringLiteral("Файл настроек псевдонимов «%1» повреждён: текст не в кодировке UTF-8.")
                .arg(m_path));

    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        if (isHeader(line)) {
            const QString name = line.mid(1, line.size() - 2);
            if (name.isEmpty() || indexOf(name) >= 0)
                throw malformed(i + 1);
            m_aliases.append({name, {}});
        } else if (m_aliases.isEmpty() || !line.contains(u'=') || line.startsWith(u'[')) {
            throw malformed(i + 1);
        } else {
            m_aliases.last().params.append(line);
        }
    }
}

qsizetype AliasConfig::indexOf(const QString &alias) const
{
    for (qsizetype i = 0; i < m_aliases.size(); ++i) {
        if (m_aliases.at(i).name == alias)
            return i;
    }
    return -1;
}

qsizetype AliasConfig::existing(const QString &alias) const
{
    const qsizetype index = indexOf(alias);
    if (index < 0)
        throw DataError(QStringLiteral("Псевдоним «%1» не найден.").arg(alias));
    return index;
}

void setup_alias(AliasConfig &config, const QString &name, const QString &driver, const QString &dir)
{
    const QString pathParam = QStringLiteral("PATH=") + dir;
    if (config.aliasNames().contains(name, Qt::CaseSensitive)) {
        QStringList params = config.params(name);
        if (params.value(0) != pathParam) {
            // An alias without parameters has no first line to correct: PATH becomes it.
            if (params.isEmpty())
                params.append(pathParam);
            else
                params.first() = pathParam;
            config.modifyAlias(name, params);
        }
    } else {
        config.addAlias(name, QStringLiteral("STANDARD"),
                        {pathParam, QStringLiteral("DEFAULT DRIVER=") + driver});
    }
    config.save();
}
