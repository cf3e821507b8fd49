#include <gtest/gtest.h>

#include "core/CodePage.h"
#include "core/Errors.h"
#include "core/SecretCipher.h"

using namespace SecretCipher;

namespace {
QByteArray cipherBytes(const QString& printable) {
    QString unescaped = printable;
    UnescapeControlChars(unescaped);
    QByteArray bytes;
    EXPECT_TRUE(CodePage::Encode(unescaped, &bytes));
    return bytes;
}
QString u(char16_t c) {
    return QString(QChar(c));
}
} // namespace

TEST(Encrypt, KnownAnswers) {
    struct Case {
        const char* text;
        const char* pass;
        const char* hex;
        QString printable;
    };
    const Case cases[] = {
        {"secret", "pass", "5d2e4a96f0ca", QStringLiteral("].J") + u(0x2013) + QString::fromUtf8("ðÊ")},
        {"alice1", "alice1", "ab2ba9e11d1b", QString::fromUtf8("«+©á<CHR29><CHR27>")},
        {"BGDummy", "alice1", "880084f7154794",
         u(0x02C6) + "<CHR0>" + u(0x201E) + QString::fromUtf8("÷<CHR21>G") + u(0x201D)},
        {"hunter2", "Master12", "e56d4eeafd4612", QString::fromUtf8("åmNêýF<CHR18>")},
    };
    for (const Case& c : cases) {
        const QString enc = EncryptMessage(QString::fromUtf8(c.text), QString::fromUtf8(c.pass));
        EXPECT_EQ(cipherBytes(enc).toHex(), QByteArray(c.hex)) << c.text;
        EXPECT_EQ(enc, c.printable) << c.text;
        EXPECT_EQ(DecryptMessage(enc, QString::fromUtf8(c.pass)), QString::fromUtf8(c.text));
    }
}

TEST(Encrypt, PrintableFormRules) {
    EXPECT_EQ(EncryptMessage(QString(), QStringLiteral("x")), QString());
    EXPECT_EQ(DecryptMessage(QString(), QStringLiteral("x")), QString());

    // Every byte value survives the round trip, and the printable form never holds NUL, CR or LF.
    QString all;
    for (int b = 0; b < 256; ++b)
        all.append(CodePage::ToChar(static_cast<unsigned char>(b)));
    for (const char* pass : {"pass", "Master12", "a"}) {
        const QString enc = EncryptMessage(all, QString::fromLatin1(pass));
        EXPECT_FALSE(enc.contains(QChar(0)) || enc.contains(QChar('\r')) || enc.contains(QChar('\n')));
        EXPECT_GE(enc.size(), all.size());
        EXPECT_EQ(DecryptMessage(enc, QString::fromLatin1(pass)), all);
    }
    // Same secret, same phrase: same form; another phrase: another form.
    EXPECT_EQ(EncryptMessage("abc", "one"), EncryptMessage("abc", "one"));
    EXPECT_NE(EncryptMessage("abc", "one"), EncryptMessage("abc", "two"));
    // A wrong phrase gives unreadable text of the same length, not an error.
    const QString wrong = DecryptMessage(EncryptMessage("hunter2", "Master12"), "master12");
    EXPECT_EQ(wrong.size(), 7);
    EXPECT_NE(wrong, QStringLiteral("hunter2"));
}

TEST(Encrypt, EscapingIsNotEscapedItself) {
    QString text = QStringLiteral("a<CHR13>b<CHR7>");
    UnescapeControlChars(text);
    EXPECT_EQ(text, QStringLiteral("a\rb\a"));
    EscapeControlChars(text);
    EXPECT_EQ(text, QStringLiteral("a<CHR13>b<CHR7>"));
    QString lower = QStringLiteral("<chr13>");
    UnescapeControlChars(lower);
    EXPECT_EQ(lower, QStringLiteral("<chr13>")); // exact as to case
}

TEST(Encrypt, RefusesTextOutsideTheCodePage) {
    try {
        EncryptMessage(QStringLiteral("пароль"), QStringLiteral("pass"));
        FAIL() << "no error";
    } catch (const BgError& e) {
        EXPECT_EQ(e.Number(), kErrNotEncodable);
        EXPECT_TRUE(e.Description().contains(QStringLiteral("п")));
    }
    EXPECT_THROW(EncryptMessage(QStringLiteral("abc"), QStringLiteral("日本")), BgError);
}
