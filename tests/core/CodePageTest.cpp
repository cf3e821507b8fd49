#include <gtest/gtest.h>

#include "core/CodePage.h"

namespace {
QString u(char16_t c) {
    return QString(QChar(c));
}
} // namespace

// The lossy form keeps every character the code page holds (the high ones included) at its own
// byte, and puts "?" for one it cannot hold, one byte per character either way.
TEST(CodePage, LossyEncodingKeepsEveryHeldCharacterAndMarksTheOthers) {
    QString all;
    for (int b = 0; b < 256; ++b)
        all.append(CodePage::ToChar(static_cast<unsigned char>(b)));
    const QByteArray bytes = CodePage::EncodeLossy(all);
    ASSERT_EQ(bytes.size(), 256);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(static_cast<unsigned char>(bytes[b]), b) << b;
    EXPECT_EQ(CodePage::Decode(bytes), all);

    const QString mixed = QStringLiteral("Caf") + u(0x00E9) + u(0x20AC) + u(0x0142) + u(0x4E2D) +
                          QStringLiteral("d") + u(0x2122);
    EXPECT_EQ(CodePage::EncodeLossy(mixed), QByteArray("Caf\xE9\x80??d\x99"));
    EXPECT_EQ(CodePage::EncodeLossy(QString()), QByteArray());
    // A literal "?" stays what it was.
    EXPECT_EQ(CodePage::EncodeLossy(QStringLiteral("a?b")), QByteArray("a?b"));
}
