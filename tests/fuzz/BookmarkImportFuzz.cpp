// Other browsers' bookmarks (a Chromium file as it is, a Firefox database of any tree built from the
// input) for the favorites import: it writes only Internet shortcuts, only below its own folder.
#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>
#include <sqlite3.h>

#include "browse/FavoritesImport.h"
#include "Fuzz.h"

static void Write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    Check(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Records: type (1 byte), parent (1 byte), title, NUL, address, NUL.
static void WritePlaces(const QString& path, const QByteArray& records) {
    sqlite3* db = nullptr;
    Check(sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK);
    sqlite3_exec(db,
                 "CREATE TABLE moz_places(id INTEGER PRIMARY KEY, url TEXT);"
                 "CREATE TABLE moz_bookmarks(id INTEGER PRIMARY KEY, type INT, fk INT, parent INT,"
                 " position INT, title TEXT, guid TEXT);"
                 "INSERT INTO moz_bookmarks VALUES(1, 2, NULL, 0, 0, '', 'root________'),"
                 " (2, 2, NULL, 1, 0, 'menu', 'menu________'), (3, 2, NULL, 1, 1, 'toolbar', 'toolbar_____');"
                 "BEGIN",
                 nullptr, nullptr, nullptr);
    const QList<QByteArray> parts = records.split('\0');
    for (int i = 0, id = 4; i < parts.size() && id < 2000; i += 2, ++id) {
        const QByteArray head = parts[i].leftJustified(2, '\0'), url = parts.value(i + 1);
        char* sql = sqlite3_mprintf("INSERT INTO moz_places VALUES(%d, %Q);"
                                    "INSERT INTO moz_bookmarks VALUES(%d, %d, %d, %d, %d, %Q, '')",
                                    id, url.constData(), id, quint8(head[0]) % 4, id,
                                    quint8(head[1]) % (id + 2), id, head.mid(2).constData());
        sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
        sqlite3_free(sql);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const QByteArray input = Bytes(data + 1, size - 1);
    QTemporaryDir dir;
    const QString root = dir.filePath("favorites");
    int written = 0;
    if (data[0] & 1) {
        Write(dir.filePath("chromium/Default/Bookmarks"), input);
        written = FavoritesImport::ImportFromChromium(dir.filePath("chromium"), "Fuzz", root);
    } else {
        Write(dir.filePath("firefox/profiles.ini"), "[Profile0]\nPath=.\nIsRelative=1\nDefault=1\n");
        WritePlaces(dir.filePath("firefox/places.sqlite"), input);
        written = FavoritesImport::ImportFromFirefox(dir.filePath("firefox"), root);
    }
    Check(written >= 0 && written <= FavoritesImport::kMaxBookmarks);
    const QString inside = QDir(root).canonicalPath() + '/';
    for (QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
         it.hasNext();) {
        const QFileInfo entry(it.next());
        Check(entry.canonicalFilePath().startsWith(inside) && !entry.isSymLink());
        if (entry.isFile()) Check(entry.fileName().endsWith(".url") && written-- > 0);
    }
    Check(written == 0);
    return 0;
}
