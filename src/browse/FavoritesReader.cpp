#include "browse/FavoritesReader.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "core/AppPaths.h"
#include "core/CodePage.h"
#include "core/IniFile.h"
#include "core/UrlUtils.h"

namespace FavoritesReader {

namespace {

const QString kSection = QStringLiteral("InternetShortcut");
const QString kKey = QStringLiteral("URL");
const QString kExtension = QStringLiteral(".url");

// Addresses that would run code in whatever page is on show instead of loading a page.
bool IsScriptAddress(const QString& address) {
    static const char* const schemes[] = {"javascript:", "vbscript:", "data:"};
    for (const char* scheme : schemes)
        if (address.startsWith(QLatin1String(scheme), Qt::CaseInsensitive)) return true;
    return false;
}

} // namespace

QList<Folder> SubFolders(const QString& folder) {
    QList<Folder> out;
    const QDir dir(folder);
    const QFileInfoList infos =
        dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Readable, QDir::Name | QDir::IgnoreCase);
    out.reserve(infos.size());
    for (const QFileInfo& info : infos)
        out.append({info.fileName(), info.filePath()});
    return out;
}

QList<Favorite> Favorites(const QString& folder) {
    QList<Favorite> out;
    const QDir dir(folder);
    const QFileInfoList infos =
        dir.entryInfoList(QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& info : infos) {
        if (!IsShortcutName(info.fileName())) continue;
        const QString name = DisplayName(info.fileName());
        if (name.trimmed().isEmpty()) continue;
        const QString address = ReadShortcut(info.filePath());
        if (address.isEmpty()) continue;
        out.append({name, address, info.filePath()});
    }
    return out;
}

QString ReadShortcut(const QString& path) {
    const QFileInfo info(path);
    // A fifo or a device would block or never end; a huge file is no shortcut.
    if (!info.isFile() || info.size() > kMaxShortcutSize) return QString();
    IniFile shortcut;
    if (shortcut.Load(path) != IniFile::Status::Ok) return QString();
    // (A value ends at a NUL, as the reader splits lines there.)
    const QString address = shortcut.GetString(kSection, kKey).left(kMaxAddressLength).trimmed();
    for (QChar c : std::as_const(address))
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) return QString();
    if (IsScriptAddress(address)) return QString();
    return address;
}

bool IsShortcutName(const QString& fileName) {
    return fileName.endsWith(kExtension, Qt::CaseInsensitive);
}

QString DisplayName(const QString& fileName) {
    return IsShortcutName(fileName) ? fileName.left(fileName.size() - kExtension.size()) : fileName;
}

bool WriteShortcut(const QString& path, const QString& address, QString* error) {
    // The file is 8-bit text; an address with other characters goes in its encoded form.
    QString stored = address.trimmed();
    if (!CodePage::CanEncode(stored)) stored = QString::fromLatin1(QUrl(stored).toEncoded());
    IniFile shortcut;
    if (shortcut.WriteString(kSection, kKey, stored) != IniFile::Status::Ok ||
        shortcut.Save(path) != IniFile::Status::Ok) {
        if (error) *error = shortcut.ErrorString();
        return false;
    }
    return true;
}

QString SafeFileName(const QString& text, int maxLength) {
    QString name = core::MakeValidFileName(text);
    for (QChar& c : name)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) c = QLatin1Char(' ');
    name = name.simplified();
    // A leading dot would hide the file; ".." would be no name at all.
    while (name.startsWith(QLatin1Char('.')) || name.startsWith(QLatin1Char(' ')))
        name.remove(0, 1);
    name = name.left(maxLength).trimmed();
    while (name.endsWith(QLatin1Char('.')))
        name.chop(1);
    return name.trimmed();
}

bool EnsureFavoritesFolder(const QString& root) {
    if (QFileInfo(root).isDir()) return true;
    if (!AppPaths::MakePrivateFolder(root)) return false;
    const QString links = root + QStringLiteral("/Links");
    QDir().mkpath(links);
    // A few places most people look up now and then, so the tree is not empty at first.
    const struct {
        const char* folder;
        const char* name;
        const char* address;
    } starters[] = {
        {"", "Wikipedia", "https://www.wikipedia.org/"},
        {"", "OpenStreetMap", "https://www.openstreetmap.org/"},
        {"/Links", "Internet Archive", "https://archive.org/"},
    };
    for (const auto& s : starters)
        WriteShortcut(root + QLatin1String(s.folder) + QLatin1Char('/') + QLatin1String(s.name) + kExtension,
                      QLatin1String(s.address));
    return true;
}

} // namespace FavoritesReader
