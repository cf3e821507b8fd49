#include "core/CodePage.h"

#include <array>

namespace CodePage {
namespace {

// 0x80..0x9F of Windows-1252. The unassigned bytes map to the C1 control of the same value.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

} // namespace

QChar ToChar(unsigned char b) {
    if (b >= 0x80 && b <= 0x9F) return QChar(kHigh[b - 0x80]);
    return QChar(char16_t(b));
}

bool ToByte(QChar c, unsigned char* b) {
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
        *b = static_cast<unsigned char>(u);
        return true;
    }
    for (size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] == u) {
            *b = static_cast<unsigned char>(0x80 + i);
            return true;
        }
    }
    return false;
}

bool Encode(const QString& text, QByteArray* bytes, QChar* badChar) {
    bytes->clear();
    bytes->reserve(text.size());
    for (QChar c : text) {
        unsigned char b;
        if (!ToByte(c, &b)) {
            if (badChar) *badChar = c;
            return false;
        }
        bytes->append(static_cast<char>(b));
    }
    return true;
}

QString Decode(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (char b : bytes)
        text.append(ToChar(static_cast<unsigned char>(b)));
    return text;
}

QByteArray EncodeLossy(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (QChar c : text) {
        unsigned char b;
        bytes.append(ToByte(c, &b) ? static_cast<char>(b) : '?');
    }
    return bytes;
}

bool CanEncode(const QString& text) {
    unsigned char b;
    for (QChar c : text)
        if (!ToByte(c, &b)) return false;
    return true;
}

} // namespace CodePage
