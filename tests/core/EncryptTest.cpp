#include <gtest/gtest.h>

#include "core/CodePage.h"
#include "core/SecretCipher.h"

using namespace SecretCipher;

// The stored form of a secret: these bytes are what every store and export file holds.
TEST(Encrypt, KnownAnswersAndEveryByteRoundTrips) {
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
    QString codePage;
    for (int b = 0; b < 256; ++b)
        codePage.append(CodePage::ToChar(static_cast<unsigned char>(b)));
    const QString enc = EncryptMessage(codePage, "Master12");
    EXPECT_FALSE(enc.contains(QChar(0)) || enc.contains(QChar('\r')) || enc.contains(QChar('\n')));
    EXPECT_EQ(DecryptMessage(enc, "Master12"), codePage);
}
