#pragma once

#include "data/field_type.h"

#include <QDate>
#include <QTime>
#include <QVariant>

// Field values as people read and type them, in the notation of the locale (QLocale()).
namespace ValueText {

// The shortest form with at most 15 significant digits, the locale's decimal separator, no grouping.
QString formatNumber(double value);
// Throws DataError "'%s' is not a valid floating point value".
double parseNumber(const QString &text);

QString formatDate(const QDate &date); // the locale's short date format, the year in full
QString formatTime(const QTime &time); // the locale's long time format, without a time zone
// Day, month and year in the locale's order and separator; a one- or two-digit year falls in the
// hundred years around the clock's year. Throws DataError "'%s' is not a valid date".
QDate parseDate(const QString &text);
// The program's own date text, whatever the locale: day, month and year joined by points, each part
// one or two digits (the year also four), blanks allowed around them, as the calendar's date buttons
// and the report's date box write it (" 7.12.26", "5.3.1970"). A two-digit year falls as in
// parseDate. Invalid when the text has another form or names no date.
QDate parseDotted(const QString &text);
// Hours, minutes and optional seconds, on the 24-hour clock or with the locale's AM or PM mark.
// Throws DataError "'%s' is not a valid time".
QTime parseTime(const QString &text);

// The value's text as a bound control or grid shows it; empty for null.
QString display(FieldType type, const QVariant &value);
// Text typed for a field, converted to its type; empty text is null. Throws DataError with the
// conversion message for the field.
QVariant parse(const FieldDef &field, const QString &text);
// A value of any type converted to the field's type (texts cut to the field's width, never inside a
// character).
QVariant coerce(const FieldDef &field, const QVariant &value);

} // namespace ValueText
