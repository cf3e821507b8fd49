// Feeds arbitrary text (page titles, typed and dropped addresses) to the address and caption
// routines: they must never crash, and their results keep their promises.
#include <cstdint>
#include <cstdlib>
#include <QString>

#include "core/UrlUtils.h"

using namespace core;

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first NUL splits the input into a title and an address.
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype split = bytes.indexOf('\0');
    const QString title = QString::fromUtf8(split < 0 ? bytes : bytes.left(split));
    const QString url = split < 0 ? title : QString::fromUtf8(bytes.mid(split + 1));

    CompleteUrl(url);
    GetSiteName(url);
    ProperCase(title);
    check(MakePageCaption(title, PageLocation{title, url}).size() <= 100);
    const QString file = MakeValidFileName(title);
    for (const char* bad : {"/", "\\", ":", "*", "?", "\"", "<", ">", "|"})
        check(!file.contains(QLatin1String(bad)));
    StripPunctuation(title);
    UnescapeUrl(url);
    DisplayUrl(url);
    for (int max : {0, 3, 4, 20})
        check(Ellipsis(title, max).size() <= qMax(max, 3));
    return 0;
}
