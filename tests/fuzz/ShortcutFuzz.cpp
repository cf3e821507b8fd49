// Feeds arbitrary bytes to the reading of Internet shortcut (.url) files: a shortcut comes from
// anywhere, so reading one never crashes and yields either nothing or one plausible address.
#include <cstdint>
#include <cstdlib>
#include <QFile>
#include <QTemporaryDir>

#include "browse/FavoritesReader.h"
#include "core/UrlUtils.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fuzz.url"));
    {
        QFile file(path);
        check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(reinterpret_cast<const char*>(data), qsizetype(size));
    }
    const QString address = FavoritesReader::ReadShortcut(path);
    check(address.size() <= FavoritesReader::kMaxAddressLength);
    check(!address.contains(QLatin1Char('\n')) && !address.contains(QLatin1Char('\r')));
    core::GetURLFromFile(path);
    for (const FavoritesReader::Favorite& favorite : FavoritesReader::Favorites(dir.path()))
        check(favorite.address == address);
    return 0;
}
