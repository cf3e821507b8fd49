// Drag data for what a Link button makes of a drop (text, the browsers' address format, the
// program's own button format, a file list): an address only when it is one. The first byte
// chooses the formats, the rest is their data, split at NULs.
#include <QMimeData>
#include <QUrl>

#include "browse/LinkDrag.h"
#include "Fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const QList<QByteArray> parts = Bytes(data + 1, size - 1).split('\0');
    QMimeData mime;
    if (data[0] & 1) mime.setText(QString::fromUtf8(parts.value(0)));
    if (data[0] & 2) mime.setData("UniformResourceLocator", parts.value(1));
    if (data[0] & 4) mime.setData("BGFmtByte", parts.value(0));
    if (data[0] & 8) mime.setUrls({QUrl(QString::fromUtf8(parts.value(2)))});
    if (data[0] & 16) mime.setData("application/x-bramblegate-page", parts.value(2));
    const LinkDrag::Drop drop = LinkDrag::Parse(&mime);
    if (drop.kind == LinkDrag::Drop::None) Check(drop.url.isEmpty());
    if (drop.kind == LinkDrag::Drop::LinkButton) Check(drop.sourceIndex >= 0);
    if (drop.kind == LinkDrag::Drop::Address) Check(!drop.url.isEmpty() && !drop.url.contains('\n'));
    return 0;
}
