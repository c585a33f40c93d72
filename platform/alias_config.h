#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The table store's persistent alias configuration: named entries, each a list of "NAME=value"
// parameter lines kept in order. The file is INI-like and UTF-8, one "[ALIAS]" section per alias:
//
//     [VOZY]
//     PATH=/srv/vozy/
//     DEFAULT DRIVER=PARADOX
//     TYPE=STANDARD
//
// Alias names are case-sensitive. Changes stay in memory until save().
class AliasConfig
{
public:
    // Loads the file; a missing file is an empty configuration, an unreadable or malformed one
    // throws DataError.
    explicit AliasConfig(QString path);

    // aliases.cfg in the directory that holds the program's settings.
    static QString defaultPath();

    const QString &path() const { return m_path; }

    QStringList aliasNames() const;

    // Throws DataError for an alias that does not exist.
    QStringList params(const QString &alias) const;
    void modifyAlias(const QString &alias, const QStringList &params);

    // The type is kept as the last parameter, "TYPE=<type>". Throws DataError when the alias exists.
    void addAlias(const QString &alias, const QString &type, const QStringList &params);

    // Replaces the file in one step; a failure throws DataError and leaves the old file as it was.
    void save() const;

private:
    struct Alias
    {
        QString name;
        QStringList params;
    };

    void load();
    qsizetype indexOf(const QString &alias) const;
    qsizetype existing(const QString &alias) const;

    QString m_path;
    QList<Alias> m_aliases;
};

// Makes sure the alias exists with PATH=<dir> as its first parameter, adding a STANDARD alias with
// the default driver when it is missing, and saves the configuration either way.
void setup_alias(AliasConfig &config, const QString &name, const QString &driver, const QString &dir);
