#include "users/RemovableMedia.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

namespace RemovableMedia {
namespace {

QString readFirstLine(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QString();
    return QString::fromLatin1(file.readLine(64)).trimmed();
}

// The nearest folder of the path that exists, with links resolved.
QString existingFolder(const QString& path) {
    QFileInfo info(QDir::cleanPath(QDir(path).absolutePath()));
    QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
    while (!QFileInfo(folder).isDir()) {
        const QString parent = QFileInfo(folder).absolutePath();
        if (parent == folder) break;
        folder = parent;
    }
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() ? folder : canonical;
}

bool underFolder(const QString& path, const QString& folder) {
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

} // namespace

QString DiskOfDevice(const QString& device, const QString& sysRoot) {
    QString name = device;
    if (name.startsWith(QLatin1String("/dev/"))) {
        // /dev/disk/by-... and /dev/mapper names are links to the node that sysfs knows.
        const QString resolved = QFileInfo(name).canonicalFilePath();
        name = resolved.isEmpty() ? name.mid(5) : QFileInfo(resolved).fileName();
    }
    if (name.isEmpty() || name.contains(QLatin1Char('/'))) return QString();
    const QString entry = sysRoot + QStringLiteral("/class/block/") + name;
    if (!QFileInfo::exists(entry + QStringLiteral("/partition"))) return name;
    // A partition's sysfs folder sits inside its disk's folder.
    const QString resolved = QFileInfo(entry).canonicalFilePath();
    if (resolved.isEmpty()) return name;
    return QFileInfo(QFileInfo(resolved).absolutePath()).fileName();
}

bool IsOnRemovableMedia(const QString& path, const QString& sysRoot) {
    if (path.isEmpty()) return false;
    auto mediaFolder = [](const QString& p) {
        return underFolder(p, QStringLiteral("/media")) || underFolder(p, QStringLiteral("/run/media"));
    };
    if (mediaFolder(QDir::cleanPath(QDir(path).absolutePath()))) return true;
    const QString folder = existingFolder(path);
    if (mediaFolder(folder)) return true;
    const QStorageInfo storage(folder);
    if (!storage.isValid()) return false;
    const QString device = QString::fromLocal8Bit(storage.device());
    if (!device.startsWith(QLatin1String("/dev/"))) return false; // tmpfs, overlay, network shares
    const QString disk = DiskOfDevice(device, sysRoot);
    if (disk.isEmpty()) return false;
    return readFirstLine(sysRoot + QStringLiteral("/block/") + disk + QStringLiteral("/removable")) ==
           QLatin1String("1");
}

} // namespace RemovableMedia
