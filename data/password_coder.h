#pragma once

#include <QByteArray>
#include <QString>

// The form in which a password is stored and compared: each byte less its predecessor in the plain
// text with bit value 2 flipped (the first byte counts a predecessor of 0), modulo 256. One-way by
// use, not by strength: nothing ever decodes it. Output bytes may be anything, zero included.
QByteArray coder(const QByteArray &plainBytes);

// Encodes the Windows-1251 bytes of the text; a character outside the code page throws DataError.
QByteArray coder(const QString &text);
