#include "data/password_coder.h"
#include "data/win1251.h"
#include "tests/platform/test_helpers.h"

#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;

// The password encoder and the code page it works in.
class PasswordCoderTest : public QObject
{
    Q_OBJECT

private slots:
    // A slip in the table shows as a wrong letter, two bytes sharing one, or a byte not coming back.
    void win1251Table()
    {
        QCOMPARE(Win1251::encode(u"\0zАЯаяЁёЇїІіҐґЎў№«—€\u00A0"_s),
                 "\0z\xC0\xDF\xE0\xFF\xA8\xB8\xAF\xBF\xB2\xB3\xA5\xB4\xA1\xA2\xB9\xAB\x97\x88\xA0"_ba);
        QByteArray all;
        for (int byte = 0; byte < 256; ++byte)
            all.append(char(byte));
        all.remove(0x98, 1);
        const QString text = Win1251::decode(all);
        QCOMPARE(QSet<QChar>(text.begin(), text.end()).size(), 255);
        QCOMPARE(Win1251::encode(text), all);
        QCOMPARE(Win1251::decode("\x98"), u"\uFFFD"_s);
    }

    void refused_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("Latin") << u"пароль ü"_s << u"«ü» (U+00FC)"_s;
        QTest::newRow("beyond 16 bits") << u"a😀"_s << u"«😀» (U+1F600)"_s;
        QTest::newRow("not byte 0x98") << u"\uFFFD"_s << u"«\uFFFD» (U+FFFD)"_s;
    }

    void refused()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        const QString message = u"Символ "_s + shown + u" нельзя записать в кодировке Windows-1251."_s;
        QVERIFY(!Win1251::canEncode(text));
        QCOMPARE(dataErrorOf([&] { Win1251::encode(text); }), message);
        QCOMPARE(dataErrorOf([&] { ::coder(text); }), message);
    }

    void coder_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QByteArray>("encoded");
        QTest::newRow("empty") << QString() << QByteArray();
        // Reduced by the plain predecessor: reducing by the encoded one would give 5F FF 66.
        QTest::newRow("abc") << u"abc"_s << "\x5F\xFF\x03"_ba;
        QTest::newRow("zero bytes in") << u"\0\0"_s << "\xFE\xFE"_ba;
        QTest::newRow("zero byte out") << u"ac"_s << "\x5F\0"_ba;
        QTest::newRow("wrapping both ways") << u"\x01я\x01"_s << "\xFF\xFC\x04"_ba;
        QTest::newRow("Cyrillic") << u"Пароль"_s << "\xCD\x13\x0E\xFC\xFF\x13"_ba;
    }

    void coder()
    {
        QFETCH(QString, password);
        QFETCH(QByteArray, encoded);
        QCOMPARE(::coder(password), encoded);
    }
};

QTEST_GUILESS_MAIN(PasswordCoderTest)
#include "password_coder_test.moc"
