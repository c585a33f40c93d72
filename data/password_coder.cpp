#include "data/password_coder.h"

#include "data/win1251.h"

QByteArray coder(const QByteArray &plainBytes)
{
    QByteArray encoded(plainBytes.size(), Qt::Uninitialized);
    unsigned char predecessor = 0;
    for (qsizetype i = 0; i < plainBytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(plainBytes.at(i));
        encoded[i] = char(static_cast<unsigned char>(byte - (predecessor ^ 2u)));
        predecessor = byte;
    }
    return encoded;
}

QByteArray coder(const QString &text)
{
    return coder(Win1251::encode(text));
}
