#include "core/AppPaths.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace AppPaths {

QString AppDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QString DataFolder() {
    const QString path = AppDataFolder() + QStringLiteral("/Bramblegate");
    if (!QDir(path).exists()) MakePrivateFolder(path);
    return path;
}

QString ExecutableFolder() {
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
}

namespace {
QString g_programDataFolder;

// The installed place first: a build folder never has that layout above the executable.
QString FirstExisting(const QStringList& candidates) {
    for (const QString& path : candidates)
        if (QFileInfo::exists(path)) return QDir::cleanPath(path);
    return QDir::cleanPath(candidates.first());
}
} // namespace

QString ProgramDataFolder() {
    if (!g_programDataFolder.isEmpty()) return g_programDataFolder;
    const QString exe = ExecutableFolder() + QLatin1Char('/');
    return FirstExisting({exe + QStringLiteral(BG_DATA_FROM_BIN), exe + QStringLiteral("share/bramblegate")});
}

QString HelperProgram(const QString& name) {
    const QString exe = ExecutableFolder() + QLatin1Char('/');
    return FirstExisting({exe + QStringLiteral(BG_LIBEXEC_FROM_BIN) + QLatin1Char('/') + name, exe + name});
}

void SetProgramDataFolder(const QString& folder) {
    g_programDataFolder = folder;
}

QString SettingsFile() {
    return DataFolder() + QStringLiteral("/settings.sqlite");
}

QString FavoritesFolder() {
    return DataFolder() + QStringLiteral("/Favorites");
}

QString ProfilesFolder() {
    return DataFolder() + QStringLiteral("/Profiles");
}

QString UserProfileFolder(const QString& userName) {
    // User names may hold characters a file name cannot; the folder is named by a digest of the
    // name as the store compares it (without letter case), so every spelling finds one folder.
    const QByteArray digest =
        QCryptographicHash::hash(userName.trimmed().toCaseFolded().toUtf8(), QCryptographicHash::Sha256);
    return ProfilesFolder() + QLatin1Char('/') + QString::fromLatin1(digest.toHex().left(32));
}

bool MakePrivateFolder(const QString& path) {
    QDir dir;
    if (!dir.mkpath(path)) return false;
    return QFile::setPermissions(path,
                                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

} // namespace AppPaths
