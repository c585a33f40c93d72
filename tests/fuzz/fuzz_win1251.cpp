// The Windows-1251 code page and the password encoder: bytes decode to one character each and
// encode back to the same bytes; a text encodes exactly when every character has a byte, and then
// decodes back to itself; a password keeps its length.
#include "data/data_error.h"
#include "data/password_coder.h"
#include "data/win1251.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// The one byte that has no character in the code page.
constexpr char Hole = char(0x98);

void bytesRoundTrip(const QByteArray &bytes)
{
    const QString decoded = Win1251::decode(bytes);
    FUZZ_REQUIRE(decoded.size() == bytes.size(), QString::fromLatin1(bytes.toHex()));
    FUZZ_REQUIRE(Win1251::canEncode(decoded) == !bytes.contains(Hole), QString::fromLatin1(bytes.toHex()));
    if (!bytes.contains(Hole))
        FUZZ_REQUIRE(Win1251::encode(decoded) == bytes, QString::fromLatin1(bytes.toHex()));
}

void textRoundTrip(const QString &text)
{
    const bool encodable = Win1251::canEncode(text);
    QByteArray bytes;
    try {
        bytes = Win1251::encode(text);
    } catch (const DataError &e) {
        FUZZ_REQUIRE(!encodable, text);
        FUZZ_REQUIRE(e.message().contains(QStringLiteral("U+")), e.message());
        return;
    }
    FUZZ_REQUIRE(encodable, text);
    FUZZ_REQUIRE(Win1251::decode(bytes) == text, text);
    FUZZ_REQUIRE(coder(text).size() == text.size(), text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzz::environment();
    bytesRoundTrip(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    textRoundTrip(Fuzz::text(data, size));
    return 0;
}
