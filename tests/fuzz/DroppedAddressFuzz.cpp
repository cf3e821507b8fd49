// Feeds arbitrary drag data to what a Link button makes of a drop (text, the browsers' address
// format, the program's own button format, a file list): never a crash, and an address only when
// it is one.
#include <cstdint>
#include <cstdlib>
#include <QMimeData>
#include <QUrl>

#include "browse/LinkDrag.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    // The first byte chooses the formats, the rest is their data, split at NULs.
    const QList<QByteArray> parts =
        QByteArray(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1)).split('\0');
    const QByteArray part0 = parts.value(0), part1 = parts.value(1), part2 = parts.value(2);
    QMimeData mime;
    const std::uint8_t which = data[0];
    if (which & 1) mime.setText(QString::fromUtf8(part0));
    if (which & 2) mime.setData(QStringLiteral("UniformResourceLocator"), part1);
    if (which & 4) mime.setData(QStringLiteral("BGFmtByte"), part0);
    if (which & 8) mime.setUrls({QUrl(QString::fromUtf8(part2))});
    if (which & 16) mime.setData(QStringLiteral("application/x-bramblegate-page"), part2);
    const LinkDrag::Drop drop = LinkDrag::Parse(&mime);
    switch (drop.kind) {
    case LinkDrag::Drop::None:
        check(drop.url.isEmpty());
        break;
    case LinkDrag::Drop::LinkButton:
        check(drop.sourceIndex >= 0);
        break;
    case LinkDrag::Drop::Address:
        check(!drop.url.isEmpty() && !drop.url.contains(QLatin1Char('\n')));
        break;
    }
    return 0;
}
