// Internet shortcut (.url) files come from anywhere: reading one yields nothing or one plausible
// address, the same through every reader.
#include <QFile>
#include <QTemporaryDir>

#include "browse/FavoritesReader.h"
#include "Fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir dir;
    QFile file(dir.filePath("fuzz.url"));
    Check(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
          file.write(Bytes(data, size)) == qint64(size) && file.flush());
    const QString address = FavoritesReader::ReadShortcut(file.fileName());
    Check(address.size() <= FavoritesReader::kMaxAddressLength && !address.contains('\n') &&
          !address.contains('\r'));
    for (const FavoritesReader::Favorite& favorite : FavoritesReader::Favorites(dir.path()))
        Check(favorite.address == address);
    return 0;
}
