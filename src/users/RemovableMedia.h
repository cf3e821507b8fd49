#pragma once

#include <QString>

// Whether a path lies on removable media (a USB stick, a memory card, a floppy): files there are
// written through a temporary file on the local disk, then copied over in one go.
namespace RemovableMedia {

// True for a path below /media or /run/media (where removable media are mounted), or on a
// mounted block device whose disk says it is removable (<sysRoot>/block/<disk>/removable is
// "1"). The path need not exist yet; its nearest existing folder decides.
bool IsOnRemovableMedia(const QString& path, const QString& sysRoot = QStringLiteral("/sys"));

// The disk of a block device node or name: "/dev/sdb1" -> "sdb", "mmcblk0p1" -> "mmcblk0",
// "sr0" -> "sr0". Partitions are found through <sysRoot>/class/block/<name>/partition.
QString DiskOfDevice(const QString& device, const QString& sysRoot = QStringLiteral("/sys"));

} // namespace RemovableMedia
