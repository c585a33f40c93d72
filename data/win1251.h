#pragma once

#include <QByteArray>
#include <QString>

// Windows-1251, the single-byte Cyrillic code page in which the system's passwords are encoded.
// Written out here because Qt 6 without ICU has no converter for it.
namespace Win1251 {

// Throws DataError naming the first character that has no byte in the code page.
QByteArray encode(const QString &text);

// Byte 0x98, the one hole in the code page, decodes to U+FFFD.
QString decode(const QByteArray &bytes);

bool canEncode(const QString &text);

} // namespace Win1251
