#include "data/win1251.h"

#include "data/data_error.h"

#include <QHash>
#include <array>
#include <optional>

namespace {

constexpr char16_t Undefined = 0xFFFD;

// Code points of the bytes 0x80 to 0xFF; 0x00 to 0x7F are ASCII.
constexpr std::array<char16_t, 128> UpperHalf = {
    // 0x80
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, //
    // 0x90
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,    //
    Undefined, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, //
    // 0xA0
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, //
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, //
    // 0xB0
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, //
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, //
    // 0xC0: А to П
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, //
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, //
    // 0xD0: Р to Я
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, //
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, //
    // 0xE0: а to п
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, //
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, //
    // 0xF0: р to я
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, //
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F, //
};

const QHash<char16_t, char> &upperHalfBytes()
{
    static const QHash<char16_t, char> bytes = [] {
        QHash<char16_t, char> result;
        for (std::size_t i = 0; i < UpperHalf.size(); ++i) {
            if (UpperHalf[i] != Undefined)
                result.insert(UpperHalf[i], char(0x80 + i));
        }
        return result;
    }();
    return bytes;
}

// The byte of one UTF-16 unit, or nothing; surrogates never have one.
std::optional<char> byteOf(char16_t unit)
{
    if (unit < 0x80)
        return char(unit);
    const auto &bytes = upperHalfBytes();
    const auto found = bytes.constFind(unit);
    if (found == bytes.cend())
        return std::nullopt;
    return *found;
}

[[noreturn]] void refuse(const QString &text, qsizetype at)
{
    char32_t codePoint = text.at(at).unicode();
    QString shown = text.mid(at, 1);
    if (text.at(at).isHighSurrogate() && at + 1 < text.size() && text.at(at + 1).isLowSurrogate()) {
        codePoint = QChar::surrogateToUcs4(text.at(at), text.at(at + 1));
        shown = text.mid(at, 2);
    } else if (text.at(at).isSurrogate()) {
        shown = QString(QChar(Undefined)); // half a pair cannot be shown
    }
    const QString code = QStringLiteral("U+%1").arg(uint(codePoint), 4, 16, QLatin1Char('0')).toUpper();
    throw DataError(
        QStringLiteral("Символ «%1» (%2) нельзя записать в кодировке Windows-1251.").arg(shown, code));
}

} // namespace

namespace Win1251 {

QByteArray encode(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const std::optional<char> byte = byteOf(text.at(i).unicode());
        if (!byte)
            refuse(text, i);
        bytes.append(*byte);
    }
    return bytes;
}

QString decode(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text.append(QChar(byte < 0x80 ? char16_t(byte) : UpperHalf[byte - 0x80]));
    }
    return text;
}

bool canEncode(const QString &text)
{
    for (const QChar c : text) {
        if (!byteOf(c.unicode()))
            return false;
    }
    return true;
}

} // namespace Win1251
