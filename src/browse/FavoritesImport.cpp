#include "browse/FavoritesImport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>
#include <QUrl>
#include <sqlite3.h>
#include <vector>

#include "browse/FavoritesReader.h"
#include "core/Errors.h"
#include "core/IniFile.h"

namespace FavoritesImport {

namespace {

// One bookmark or folder, as read from a source.
struct Bookmark {
    QString title;
    QString url; // empty for a folder
    bool folder = false;
    std::vector<Bookmark> children;
};

bool IsImportable(const QString& url) {
    if (url.isEmpty() || url.size() > FavoritesReader::kMaxAddressLength) return false;
    for (QChar c : url)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) return false;
    const QString scheme = QUrl(url).scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
           scheme == QLatin1String("ftp") || scheme == QLatin1String("file");
}

bool ReadableFile(const QFileInfo& info) {
    return info.isFile() && !info.isSymLink() && info.size() <= kMaxSourceSize;
}

// Writes bookmarks below a folder, making folders only when something goes into them.
class Writer {
public:
    int written = 0;

    void Write(const std::vector<Bookmark>& items, const QString& folder, int depth) {
        if (depth > kMaxDepth) return;
        for (const Bookmark& item : items) {
            if (written >= kMaxBookmarks) return;
            if (item.folder) {
                QString name = FavoritesReader::SafeFileName(item.title);
                if (name.isEmpty()) name = QStringLiteral("Folder");
                Write(item.children, folder + QLatin1Char('/') + name, depth + 1);
            } else if (IsImportable(item.url)) {
                WriteOne(item, folder);
            }
        }
    }

private:
    void WriteOne(const Bookmark& item, const QString& folder) {
        QString name = FavoritesReader::SafeFileName(item.title);
        if (name.isEmpty()) name = FavoritesReader::SafeFileName(QUrl(item.url).host());
        if (name.isEmpty()) name = QStringLiteral("Bookmark");
        if (!QDir().mkpath(folder)) return;
        // The same name with another address gets a number; the same bookmark again is skipped.
        for (int n = 1; n <= 50; ++n) {
            const QString file = folder + QLatin1Char('/') + name +
                                 (n > 1 ? QStringLiteral(" (%1)").arg(n) : QString()) +
                                 QStringLiteral(".url");
            const QFileInfo info(file);
            if (info.exists() || info.isSymLink()) {
                if (FavoritesReader::ReadShortcut(file) == item.url.trimmed()) return;
                continue;
            }
            if (FavoritesReader::WriteShortcut(file, item.url)) ++written;
            return;
        }
    }
};

int WriteSource(const std::vector<Bookmark>& roots, const QString& favoritesRoot, const QString& name) {
    Writer writer;
    writer.Write(roots, favoritesRoot + QStringLiteral("/Imported from ") + name, 0);
    return writer.written;
}

// ----- Firefox -------------------------------------------------------------------------------

QString FirefoxProfile(const QString& firefoxFolder) {
    const QString ini = firefoxFolder + QStringLiteral("/profiles.ini");
    QStringList candidates;
    if (QFileInfo(ini).isFile()) {
        IniFile profiles;
        if (profiles.Load(ini) == IniFile::Status::Ok) {
            // The profile an installation last used comes first, then the one marked default.
            QStringList marked, others;
            for (const QString& section : profiles.SectionNames()) {
                if (section.startsWith(QLatin1String("Install"), Qt::CaseInsensitive)) {
                    const QString path = profiles.GetString(section, QStringLiteral("Default"));
                    if (!path.isEmpty()) candidates.append(firefoxFolder + QLatin1Char('/') + path);
                } else if (section.startsWith(QLatin1String("Profile"), Qt::CaseInsensitive)) {
                    const QString path = profiles.GetString(section, QStringLiteral("Path"));
                    if (path.isEmpty()) continue;
                    const bool relative =
                        profiles.GetString(section, QStringLiteral("IsRelative"), "1") != "0";
                    const QString full = relative ? firefoxFolder + QLatin1Char('/') + path : path;
                    (profiles.GetString(section, QStringLiteral("Default")) == "1" ? marked : others)
                        .append(full);
                }
            }
            candidates << marked << others;
        }
    }
    for (const QFileInfo& dir :
         QDir(firefoxFolder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        candidates.append(dir.filePath());
    for (const QString& candidate : candidates) {
        const QString places = QDir::cleanPath(candidate) + QStringLiteral("/places.sqlite");
        if (ReadableFile(QFileInfo(places))) return places;
    }
    return QString();
}

QString Text(sqlite3_stmt* statement, int column) {
    const void* text = sqlite3_column_text16(statement, column);
    if (!text) return QString();
    return QString::fromUtf16(static_cast<const char16_t*>(text),
                              sqlite3_column_bytes16(statement, column) / 2);
}

std::vector<Bookmark> ReadPlaces(const QString& path) {
    struct Row {
        qint64 id;
        int type;
        qint64 parent;
        QString title, url, guid;
    };
    std::vector<Bookmark> roots;
    sqlite3* db = nullptr;
    const QByteArray name = QFile::encodeName(path);
    if (sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return roots;
    }
    QHash<qint64, QList<int>> children; // parent id -> rows, in position order
    std::vector<Row> rows;
    sqlite3_stmt* statement = nullptr;
    const char* query = "SELECT b.id, b.type, b.parent, b.title, p.url, b.guid FROM moz_bookmarks b "
                        "LEFT JOIN moz_places p ON p.id = b.fk ORDER BY b.parent, b.position";
    if (sqlite3_prepare_v2(db, query, -1, &statement, nullptr) == SQLITE_OK) {
        while (sqlite3_step(statement) == SQLITE_ROW && rows.size() < size_t(kMaxBookmarks) * 4) {
            rows.push_back({sqlite3_column_int64(statement, 0), sqlite3_column_int(statement, 1),
                            sqlite3_column_int64(statement, 2), Text(statement, 3), Text(statement, 4),
                            Text(statement, 5)});
            children[rows.back().parent].append(int(rows.size() - 1));
        }
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);

    // The built-in folders by their fixed ids; the tag folders repeat bookmarks and are left out.
    static const QHash<QString, QString> builtIn = {
        {QStringLiteral("menu________"), QStringLiteral("Bookmarks Menu")},
        {QStringLiteral("toolbar_____"), QStringLiteral("Bookmarks Toolbar")},
        {QStringLiteral("unfiled_____"), QStringLiteral("Other Bookmarks")},
        {QStringLiteral("mobile______"), QStringLiteral("Mobile Bookmarks")}};
    QSet<qint64> seen;
    std::function<void(qint64, std::vector<Bookmark>&, int)> fill =
        [&](qint64 parent, std::vector<Bookmark>& out, int depth) {
            if (depth > kMaxDepth || seen.contains(parent)) return;
            seen.insert(parent);
            for (int index : children.value(parent)) {
                const Row& row = rows[size_t(index)];
                if (row.type == 2) {
                    Bookmark folder{row.title, QString(), true, {}};
                    fill(row.id, folder.children, depth + 1);
                    out.push_back(std::move(folder));
                } else if (row.type == 1) {
                    out.push_back({row.title, row.url, false, {}});
                }
            }
        };
    for (const Row& row : rows) {
        if (row.guid != QLatin1String("root________")) continue;
        seen.insert(row.id);
        for (int index : children.value(row.id)) {
            const Row& top = rows[size_t(index)];
            if (top.type != 2 || !builtIn.contains(top.guid)) continue;
            Bookmark folder{builtIn.value(top.guid), QString(), true, {}};
            fill(top.id, folder.children, 1);
            roots.push_back(std::move(folder));
        }
        break;
    }
    return roots;
}

// ----- Chromium ------------------------------------------------------------------------------

void ReadChromiumNode(const QJsonObject& node, std::vector<Bookmark>& out, int depth) {
    if (depth > kMaxDepth) return;
    const QString type = node.value(QLatin1String("type")).toString();
    const QString name = node.value(QLatin1String("name")).toString();
    if (type == QLatin1String("url")) {
        out.push_back({name, node.value(QLatin1String("url")).toString(), false, {}});
    } else if (type == QLatin1String("folder")) {
        Bookmark folder{name, QString(), true, {}};
        for (const QJsonValue& child : node.value(QLatin1String("children")).toArray())
            if (child.isObject()) ReadChromiumNode(child.toObject(), folder.children, depth + 1);
        out.push_back(std::move(folder));
    }
}

std::vector<Bookmark> ReadChromiumBookmarks(const QString& path) {
    std::vector<Bookmark> roots;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return roots;
    const QByteArray bytes = file.read(kMaxSourceSize + 1);
    if (bytes.size() > kMaxSourceSize) return roots;
    const QJsonObject top = QJsonDocument::fromJson(bytes).object();
    const QJsonObject rootsObject = top.value(QLatin1String("roots")).toObject();
    const struct {
        const char* key;
        const char* name;
    } known[] = {
        {"bookmark_bar", "Bookmarks Bar"}, {"other", "Other Bookmarks"}, {"synced", "Mobile Bookmarks"}};
    for (const auto& root : known) {
        const QJsonObject node = rootsObject.value(QLatin1String(root.key)).toObject();
        if (node.isEmpty()) continue;
        Bookmark folder{QLatin1String(root.name), QString(), true, {}};
        for (const QJsonValue& child : node.value(QLatin1String("children")).toArray())
            if (child.isObject()) ReadChromiumNode(child.toObject(), folder.children, 1);
        roots.push_back(std::move(folder));
    }
    return roots;
}

} // namespace

Sources Sources::FromEnvironment() {
    Sources sources;
    const QString home = QDir::homePath();
    sources.firefox = home + QStringLiteral("/.mozilla/firefox");
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty()) config = home + QStringLiteral("/.config");
    sources.chromium = {{config + QStringLiteral("/chromium"), QStringLiteral("Chromium")},
                        {config + QStringLiteral("/google-chrome"), QStringLiteral("Chrome")}};
    return sources;
}

int ImportFromFirefox(const QString& firefoxFolder, const QString& favoritesRoot) {
    if (firefoxFolder.isEmpty() || !QFileInfo(firefoxFolder).isDir()) return 0;
    const QString places = FirefoxProfile(firefoxFolder);
    if (places.isEmpty()) return 0;
    // The browser may be running and holds the database open: read a private copy, with the
    // write-ahead log that carries its latest changes.
    QTemporaryDir temp;
    if (!temp.isValid()) return 0;
    const QString copy = temp.filePath(QStringLiteral("places.sqlite"));
    if (!QFile::copy(places, copy)) return 0;
    const QFileInfo wal(places + QStringLiteral("-wal"));
    if (ReadableFile(wal)) QFile::copy(wal.filePath(), copy + QStringLiteral("-wal"));
    return WriteSource(ReadPlaces(copy), favoritesRoot, QStringLiteral("Firefox"));
}

int ImportFromChromium(const QString& configFolder, const QString& name, const QString& favoritesRoot) {
    if (configFolder.isEmpty() || !QFileInfo(configFolder).isDir()) return 0;
    QStringList profiles{configFolder + QStringLiteral("/Default")};
    for (const QFileInfo& dir :
         QDir(configFolder)
             .entryInfoList({QStringLiteral("Profile *")}, QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        profiles.append(dir.filePath());
    for (const QString& profile : profiles) {
        const QFileInfo bookmarks(profile + QStringLiteral("/Bookmarks"));
        if (ReadableFile(bookmarks))
            return WriteSource(ReadChromiumBookmarks(bookmarks.filePath()), favoritesRoot, name);
    }
    return 0;
}

int ImportFavorites(const QString& favoritesRoot, const Sources& sources) {
    int count = 0;
    Errors::Quietly([&] { count += ImportFromFirefox(sources.firefox, favoritesRoot); });
    for (const Sources::Chromium& chromium : sources.chromium)
        Errors::Quietly([&] { count += ImportFromChromium(chromium.folder, chromium.name, favoritesRoot); });
    return count;
}

} // namespace FavoritesImport
