#include <gtest/gtest.h>

#include "core/CodePage.h"
#include "core/Errors.h"
#include "core/SecretCipher.h"

using namespace SecretCipher;

namespace {
// Every character of the code page, at its own byte.
QString codePage() {
    QString all;
    for (int b = 0; b < 256; ++b)
        all.append(CodePage::ToChar(static_cast<unsigned char>(b)));
    return all;
}
} // namespace

// The stored form of a secret: these bytes are what every store and export file holds.
TEST(Encrypt, KnownAnswersPrintableFormRulesAndTheLossyCodePage) {
    const struct {
        const char *text, *pass, *hex;
        QString printable;
    } cases[] = {
        {"secret", "pass", "5d2e4a96f0ca", QStringLiteral("].J\u2013\u00f0\u00ca")},
        {"alice1", "alice1", "ab2ba9e11d1b", QStringLiteral("\u00ab+\u00a9\u00e1<CHR29><CHR27>")},
        {"BGDummy", "alice1", "880084f7154794", QStringLiteral("\u02c6<CHR0>\u201e\u00f7<CHR21>G\u201d")},
        {"hunter2", "Master12", "e56d4eeafd4612", QStringLiteral("\u00e5mN\u00ea\u00fdF<CHR18>")},
    };
    for (const auto& c : cases) {
        const QString enc = EncryptMessage(QString::fromUtf8(c.text), QString::fromUtf8(c.pass));
        QString unescaped = enc;
        UnescapeControlChars(unescaped);
        QByteArray bytes;
        EXPECT_TRUE(CodePage::Encode(unescaped, &bytes));
        EXPECT_EQ(bytes.toHex(), QByteArray(c.hex)) << c.text;
        EXPECT_EQ(enc, c.printable) << c.text;
        EXPECT_EQ(DecryptMessage(enc, QString::fromUtf8(c.pass)), QString::fromUtf8(c.text));
    }

    EXPECT_EQ(EncryptMessage(QString(), "x") + DecryptMessage(QString(), "x"), QString());
    // Every byte value survives the round trip, and the printable form never holds NUL, CR or LF.
    for (const char* pass : {"pass", "Master12", "a"}) {
        const QString enc = EncryptMessage(codePage(), QString::fromLatin1(pass));
        EXPECT_FALSE(enc.contains(QChar(0)) || enc.contains(QChar('\r')) || enc.contains(QChar('\n')));
        EXPECT_EQ(DecryptMessage(enc, QString::fromLatin1(pass)), codePage());
    }
    // A wrong phrase gives unreadable text of the same length, not an error.
    const QString wrong = DecryptMessage(EncryptMessage("hunter2", "Master12"), "master12");
    EXPECT_TRUE(wrong.size() == 7 && wrong != "hunter2");
    // Escapes are exact as to case, and never escaped themselves.
    QString text = QStringLiteral("a<CHR13>b<CHR7><chr13>");
    UnescapeControlChars(text);
    EXPECT_EQ(text, QStringLiteral("a\rb\a<chr13>"));
    EscapeControlChars(text);
    EXPECT_EQ(text, QStringLiteral("a<CHR13>b<CHR7><chr13>"));
    // Text outside the code page is refused, naming the character.
    try {
        EncryptMessage(QStringLiteral("\u043f\u0430\u0440\u043e\u043b\u044c"), QStringLiteral("pass"));
        ADD_FAILURE() << "no error";
    } catch (const BgError& e) {
        EXPECT_EQ(e.Number(), kErrNotEncodable);
        EXPECT_TRUE(e.Description().contains(QChar(0x43f)));
    }
    EXPECT_THROW(EncryptMessage(QStringLiteral("abc"), QStringLiteral("\u65e5\u672c")), BgError);
    // The lossy form keeps every held character at its own byte and puts "?" for one it cannot hold.
    const QByteArray bytes = CodePage::EncodeLossy(codePage());
    ASSERT_EQ(bytes.size(), 256);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(static_cast<unsigned char>(bytes[b]), b) << b;
    EXPECT_EQ(CodePage::Decode(bytes), codePage());
    EXPECT_EQ(CodePage::EncodeLossy(QStringLiteral("Caf\u00e9\u20ac\u0142\u4e2d?d\u2122")),
              QByteArray("Caf\xE9\x80???d\x99"));
}
