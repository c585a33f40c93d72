#include "data/connection_string.h"

#include "data/data_error.h"

#include <QSet>
#include <QSqlDatabase>
#include <QStringList>

#include <algorithm>

namespace {

// The keys of the server's client library, less those that carry a secret or change what the
// connection is for.
const QSet<QString> &knownKeys()
{
    static const QSet<QString> keys{
        QStringLiteral("host"),
        QStringLiteral("hostaddr"),
        QStringLiteral("port"),
        QStringLiteral("dbname"),
        QStringLiteral("user"),
        QStringLiteral("passfile"),
        QStringLiteral("channel_binding"),
        QStringLiteral("connect_timeout"),
        QStringLiteral("client_encoding"),
        QStringLiteral("options"),
        QStringLiteral("application_name"),
        QStringLiteral("fallback_application_name"),
        QStringLiteral("keepalives"),
        QStringLiteral("keepalives_idle"),
        QStringLiteral("keepalives_interval"),
        QStringLiteral("keepalives_count"),
        QStringLiteral("tcp_user_timeout"),
        QStringLiteral("sslmode"),
        QStringLiteral("sslcompression"),
        QStringLiteral("sslcert"),
        QStringLiteral("sslkey"),
        QStringLiteral("sslrootcert"),
        QStringLiteral("sslcrl"),
        QStringLiteral("sslcrldir"),
        QStringLiteral("sslsni"),
        QStringLiteral("requirepeer"),
        QStringLiteral("ssl_min_protocol_version"),
        QStringLiteral("ssl_max_protocol_version"),
        QStringLiteral("gssencmode"),
        QStringLiteral("krbsrvname"),
        QStringLiteral("gsslib"),
        QStringLiteral("service"),
        QStringLiteral("target_session_attrs"),
    };
    return keys;
}

DataError malformed(const QString &text, const QString &why)
{
    return DataError(QStringLiteral("Непонятное подключение к серверу базы данных «%1»: %2. Ожидается "
                                    "host=... port=... dbname=... user=...")
                         .arg(quotedInMessage(text), why));
}

} // namespace

ConnectionString ConnectionString::parse(const QString &text)
{
    ConnectionString parsed;
    qsizetype i = 0;
    const qsizetype end = text.size();
    const auto skipBlanks = [&] {
        while (i < end && text.at(i).isSpace())
            ++i;
    };
    for (skipBlanks(); i < end; skipBlanks()) {
        const qsizetype keyStart = i;
        while (i < end && text.at(i) != u'=' && !text.at(i).isSpace())
            ++i;
        const QString key = text.mid(keyStart, i - keyStart);
        skipBlanks();
        if (i == end || text.at(i) != u'=')
            throw malformed(text, QStringLiteral("после «%1» нет знака «=»").arg(key));
        if (key.isEmpty())
            throw malformed(text, QStringLiteral("перед знаком «=» нет имени"));
        ++i;
        skipBlanks();
        QString value;
        if (i < end && text.at(i) == u'\'') {
            ++i;
            bool closed = false;
            for (; i < end; ++i) {
                if (text.at(i) == u'\\' && i + 1 < end) {
                    value += text.at(++i);
                } else if (text.at(i) == u'\'') {
                    closed = true;
                    ++i;
                    break;
                } else {
                    value += text.at(i);
                }
            }
            if (!closed)
                throw malformed(text, QStringLiteral("значение «%1» не закрыто кавычкой").arg(key));
        } else {
            for (; i < end && !text.at(i).isSpace(); ++i) {
                if (text.at(i) == u'\\' && ++i == end)
                    break; // a backslash at the very end escapes nothing
                value += text.at(i);
            }
        }
        if (key == QLatin1String("password") || key == QLatin1String("sslpassword"))
            throw DataError(
                QStringLiteral("Пароль к серверу базы данных не записывают в настройки программы: "
                               "его берут из файла ~/.pgpass пользователя."));
        if (!knownKeys().contains(key))
            throw malformed(text, QStringLiteral("неизвестный параметр «%1»").arg(key));
        parsed.set(key, value);
    }
    return parsed;
}

QString ConnectionString::value(const QString &key) const
{
    for (const auto &[k, v] : m_pairs) {
        if (k == key)
            return v;
    }
    return {};
}

bool ConnectionString::contains(const QString &key) const
{
    return std::any_of(m_pairs.begin(), m_pairs.end(), [&](const auto &pair) { return pair.first == key; });
}

void ConnectionString::set(const QString &key, const QString &value)
{
    for (auto &pair : m_pairs) {
        if (pair.first == key) {
            pair.second = value;
            return;
        }
    }
    m_pairs.append({key, value});
}

void ConnectionString::remove(const QString &key)
{
    m_pairs.removeIf([&](const auto &pair) { return pair.first == key; });
}

// The connection's host, port, database and user as the driver takes them; its other keys go to the
// driver as they were written.
void ConnectionString::applyTo(QSqlDatabase &db) const
{
    QStringList options;
    for (const auto &[key, value] : m_pairs) {
        if (key == QLatin1String("host")) {
            db.setHostName(value);
        } else if (key == QLatin1String("port")) {
            bool number = false;
            db.setPort(value.toInt(&number));
            if (!number)
                throw DataError(
                    QStringLiteral("Порт сервера базы данных должен быть числом: «%1».").arg(value));
        } else if (key == QLatin1String("dbname")) {
            db.setDatabaseName(value);
        } else if (key == QLatin1String("user")) {
            db.setUserName(value);
        } else if (value.contains(QLatin1Char(';'))) {
            // The driver separates its options by ";" whatever the quotes.
            throw DataError(
                QStringLiteral("Параметр подключения к серверу базы данных «%1» не может содержать «;».")
                    .arg(key));
        } else {
            options << key + QLatin1Char('=') + ConnectionString::quoted(value);
        }
    }
    db.setConnectOptions(options.join(QLatin1Char(';')));
}

QString ConnectionString::quoted(const QString &value)
{
    QString escaped = value;
    escaped.replace(u'\\', QStringLiteral("\\\\"));
    escaped.replace(u'\'', QStringLiteral("\\'"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

QString ConnectionString::text() const
{
    QStringList parts;
    for (const auto &[key, value] : m_pairs) {
        const bool plain = !value.isEmpty() && std::none_of(value.begin(), value.end(), [](QChar c) {
            return c.isSpace() || c == u'\'' || c == u'\\';
        });
        parts << key + QLatin1Char('=') + (plain ? value : quoted(value));
    }
    return parts.join(QLatin1Char(' '));
}
