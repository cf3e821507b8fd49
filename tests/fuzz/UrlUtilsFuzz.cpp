// Page titles, typed and dropped addresses for the address and caption routines: their results
// keep their promises. The first NUL splits the input into a title and an address.
#include <QRegularExpression>

#include "core/UrlUtils.h"
#include "Fuzz.h"

using namespace core;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QList<QByteArray> parts = Bytes(data, size).split('\0');
    const QString title = QString::fromUtf8(parts.value(0)),
                  url = parts.size() > 1 ? QString::fromUtf8(parts[1]) : title;
    CompleteUrl(url);
    GetSiteName(url);
    ProperCase(title);
    StripPunctuation(title);
    UnescapeUrl(url);
    DisplayUrl(url);
    Check(MakePageCaption(title, PageLocation{title, url}).size() <= 100);
    Check(!MakeValidFileName(title).contains(QRegularExpression(R"([/\\:*?"<>|])")));
    for (int max : {0, 3, 4, 20})
        Check(Ellipsis(title, max).size() <= qMax(max, 3));
    return 0;
}
