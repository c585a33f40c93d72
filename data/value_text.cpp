#include "data/value_text.h"

#include "data/clock.h"
#include "data/data_error.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>

namespace ValueText {
namespace {

QLocale numberLocale()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}

// The order of day, month and year in the locale's short date format, and its separator.
struct DateOrder
{
    QString order; // a permutation of "dmy"
    QChar separator;
};

DateOrder dateOrder()
{
    const QString format = QLocale().dateFormat(QLocale::ShortFormat);
    DateOrder result;
    for (const QChar c : format) {
        const QChar lower = c.toLower();
        if ((lower == QLatin1Char('d') || lower == QLatin1Char('m') || lower == QLatin1Char('y')) &&
            !result.order.contains(lower))
            result.order += lower;
        else if (result.separator.isNull() && !c.isLetter() && !c.isSpace())
            result.separator = c;
    }
    if (result.order.size() != 3)
        result.order = QStringLiteral("dmy");
    if (result.separator.isNull())
        result.separator = QLatin1Char('.');
    return result;
}

int expandYear(int year, int digits)
{
    if (digits > 2)
        return year;
    // Like the usual century window: the year lies within fifty years of the clock's year.
    const int current = Clock::today().year();
    int full = current - current % 100 + year;
    if (full > current + 50)
        full -= 100;
    else if (full <= current - 50)
        full += 100;
    return full;
}

// At most `width` characters, never half of one: a character outside the basic plane takes two places.
QString cutToWidth(const QString &text, int width)
{
    QString cut = text.left(width);
    if (!cut.isEmpty() && cut.back().isHighSurrogate())
        cut.chop(1);
    return cut;
}

QVariant fromStoreValue(FieldType type, const QVariant &value)
{
    if (value.isNull())
        return {};
    switch (type) {
    case FieldType::AutoInc:
    case FieldType::Integer:
        return value.toLongLong();
    case FieldType::Number:
        return value.toDouble();
    case FieldType::Logical:
        return value.toBool();
    default:
        return value;
    }
}

} // namespace

QString formatNumber(double value)
{
    if (std::isnan(value) || std::isinf(value))
        return QString::number(value);
    return numberLocale().toString(value, 'g', 15);
}

double parseNumber(const QString &text)
{
    bool ok = false;
    const double value = numberLocale().toDouble(text.trimmed(), &ok);
    if (!ok || std::isnan(value) || std::isinf(value))
        throw DataError(
            QStringLiteral("'%1' is not a valid floating point value").arg(quotedInMessage(text)));
    return value;
}

// The locale's short format, with the year in full: a two-digit year would read back into the hundred
// years around the clock's year, and a date of birth in 1950 would come back as 2050.
QString formatDate(const QDate &date)
{
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return QLocale().toString(date, format);
}

QString formatTime(const QTime &time)
{
    // The locale's long format without its time zone, worked out once per locale: a grid shows
    // thousands of times.
    static QLocale formatLocale(QLocale::C);
    static QString format;
    const QLocale locale;
    if (format.isNull() || locale != formatLocale) {
        format = locale.timeFormat(QLocale::LongFormat);
        format.remove(QRegularExpression(QStringLiteral("\\s*t+\\s*")));
        format = format.trimmed();
        formatLocale = locale;
    }
    return locale.toString(time, format);
}

QDate parseDate(const QString &text)
{
    const QString trimmed = text.trimmed();
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})$"));
    if (const auto m = iso.match(trimmed); m.hasMatch()) {
        const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        if (date.isValid())
            return date;
    }
    // The program writes dates in its own fixed form day.month.year (the calendar's date buttons, the
    // report's date box " 7.12.26"), which the locale's short form need not read: in en_US the same
    // text is no date at all. Where the locale itself separates with points, its own order holds.
    const DateOrder order = dateOrder();
    if (order.separator != QLatin1Char('.')) {
        if (const QDate date = parseDotted(trimmed); date.isValid())
            return date;
    }
    const QStringList parts = trimmed.split(order.separator);
    int day = 0, month = 0, year = 0;
    bool ok = parts.size() == 3;
    for (int i = 0; ok && i < 3; ++i) {
        const QString part = parts.at(i).trimmed();
        static const QRegularExpression digits(QStringLiteral("^\\d{1,4}$"));
        ok = digits.match(part).hasMatch();
        if (!ok)
            break;
        const int n = part.toInt();
        switch (order.order.at(i).unicode()) {
        case 'd':
            day = n;
            break;
        case 'm':
            month = n;
            break;
        default:
            year = expandYear(n, part.size());
        }
    }
    const QDate date(year, month, day);
    if (!ok || !date.isValid())
        throw DataError(QStringLiteral("'%1' is not a valid date").arg(quotedInMessage(text)));
    return date;
}

QDate parseDotted(const QString &text)
{
    static const QRegularExpression dotted(
        QStringLiteral("^\\s*(\\d{1,2})\\s*\\.\\s*(\\d{1,2})\\s*\\.\\s*(\\d{2}|\\d{4})\\s*$"));
    const auto m = dotted.match(text);
    if (!m.hasMatch())
        return {};
    const QString year = m.captured(3);
    return QDate(expandYear(year.toInt(), year.size()), m.captured(2).toInt(), m.captured(1).toInt());
}

// Hours, minutes and seconds, on the 24-hour clock or, where the locale shows times so, on the
// 12-hour clock with its morning or afternoon mark before or after them.
QTime parseTime(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{1,2})\\s*[:.]\\s*(\\d{1,2})(?:\\s*[:.]\\s*(\\d{1,2}))?$"));
    QString clock = text.trimmed();
    int afternoon = -1; // no mark
    const QLocale locale;
    for (const auto &[mark, pm] : {std::pair{locale.amText(), 0}, std::pair{locale.pmText(), 1},
                                   std::pair{QStringLiteral("AM"), 0}, std::pair{QStringLiteral("PM"), 1}}) {
        if (afternoon >= 0 || mark.isEmpty())
            continue;
        if (clock.endsWith(mark, Qt::CaseInsensitive)) {
            clock.chop(mark.size());
            afternoon = pm;
        } else if (clock.startsWith(mark, Qt::CaseInsensitive)) {
            clock.remove(0, mark.size());
            afternoon = pm;
        }
    }
    const auto m = pattern.match(clock.trimmed());
    int hour = m.hasMatch() ? m.captured(1).toInt() : -1;
    if (afternoon >= 0)
        hour = hour < 1 || hour > 12 ? -1 : hour % 12 + 12 * afternoon;
    const QTime time = m.hasMatch() ? QTime(hour, m.captured(2).toInt(), m.captured(3).toInt()) : QTime();
    if (!time.isValid())
        throw DataError(QStringLiteral("'%1' is not a valid time").arg(quotedInMessage(text)));
    return time;
}

QString display(FieldType type, const QVariant &value)
{
    if (value.isNull())
        return {};
    switch (type) {
    case FieldType::AutoInc:
    case FieldType::Integer:
        return QString::number(value.toLongLong());
    case FieldType::Number:
        return formatNumber(value.toDouble());
    case FieldType::Date:
        return formatDate(value.toDate());
    case FieldType::Time:
        return formatTime(value.toTime());
    case FieldType::Logical:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case FieldType::Text:
        return value.toString();
    case FieldType::Blob:
        return QString::fromLatin1(value.toByteArray().toHex(' '));
    }
    return value.toString();
}

QVariant parse(const FieldDef &field, const QString &text)
{
    if (text.trimmed().isEmpty() && field.type != FieldType::Text)
        return {};
    switch (field.type) {
    case FieldType::AutoInc:
    case FieldType::Integer: {
        bool ok = false;
        const qlonglong n = text.trimmed().toLongLong(&ok);
        if (!ok || n < INT32_MIN || n > INT32_MAX)
            throw DataError(QStringLiteral("'%1' is not a valid integer value").arg(quotedInMessage(text)));
        return n;
    }
    case FieldType::Number:
        try {
            return parseNumber(text);
        } catch (const DataError &) {
            throw DataError(QStringLiteral("'%1' is not a valid floating point value for field '%2'")
                                .arg(quotedInMessage(text), field.name));
        }
    case FieldType::Date:
        return parseDate(text);
    case FieldType::Time:
        return parseTime(text);
    case FieldType::Logical: {
        const QString t = text.trimmed().toLower();
        if (t == QLatin1String("true") || t == QLatin1String("t") || t == QLatin1String("1"))
            return true;
        if (t == QLatin1String("false") || t == QLatin1String("f") || t == QLatin1String("0"))
            return false;
        throw DataError(QStringLiteral("'%1' is not a valid boolean value for field '%2'")
                            .arg(quotedInMessage(text), field.name));
    }
    case FieldType::Text:
        return text.isEmpty() ? QVariant() : QVariant(cutToWidth(text, field.width));
    case FieldType::Blob:
        return text.toUtf8();
    }
    return {};
}

QVariant coerce(const FieldDef &field, const QVariant &value)
{
    if (value.isNull() || !value.isValid())
        return {};
    if (value.typeId() == QMetaType::QString && field.type != FieldType::Text &&
        field.type != FieldType::Blob)
        return parse(field, value.toString());
    switch (field.type) {
    case FieldType::Text: {
        const QString text =
            value.typeId() == QMetaType::Double ? formatNumber(value.toDouble()) : value.toString();
        // An empty text is no text, as when it is typed: the filters' "is null" finds it.
        return text.isEmpty() ? QVariant() : QVariant(cutToWidth(text, field.width));
    }
    case FieldType::AutoInc:
    case FieldType::Integer: {
        // A number set by the program is held to the range that typed text is.
        bool ok = false;
        const double wide = value.toDouble(&ok);
        if (!ok || std::isnan(wide) || wide < INT32_MIN || wide > INT32_MAX)
            throw DataError(
                QStringLiteral("'%1' is not a valid integer value").arg(quotedInMessage(value.toString())));
        return value.toLongLong();
    }
    case FieldType::Date:
        return value.toDate();
    case FieldType::Time:
        return value.toTime();
    case FieldType::Blob:
        return value.toByteArray();
    default:
        return fromStoreValue(field.type, value);
    }
}

} // namespace ValueText
