#include "core/AppPaths.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
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
