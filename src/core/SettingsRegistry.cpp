#include "core/SettingsRegistry.h"

#include "core/SettingsStore.h"

namespace SettingsRegistry {
namespace {

const QString kSoftware = QStringLiteral("Software\\");

SettingsStore* store() {
    return SettingsStore::Current();
}

QString join(const QString& key, const QString& subkey) {
    return key + QLatin1Char('\\') + subkey;
}

} // namespace

long OpenKey(const QString& path, HKEY* key) {
    *key = -1;
    SettingsStore* s = store();
    if (!s) return kInvalidHandle;
    const SettingsStore::KeyId id = s->CreateKey(kSoftware + path);
    if (id < 0) return kAccessDenied;
    *key = id;
    return kSuccess;
}

long CloseKey(HKEY) {
    return kSuccess;
}

long SetKeyValue(const QString& key, const QString& subkey, const QString& valueName, const QVariant& value,
                 int kind) {
    HKEY h;
    long status = OpenKey(join(key, subkey), &h);
    if (status != kSuccess) return status;
    switch (kind) {
    case REG_SZ: {
        QByteArray data = value.toString().toUtf8();
        data.append('\0');
        status = store()->SetValue(h, valueName, REG_SZ, data) ? kSuccess : kAccessDenied;
        break;
    }
    case REG_DWORD: {
        const qint32 n = value.toInt();
        status = store()->SetValue(h, valueName, REG_DWORD,
                                   QByteArray(reinterpret_cast<const char*>(&n), sizeof n))
                     ? kSuccess
                     : kAccessDenied;
        break;
    }
    default:
        break;
    }
    CloseKey(h);
    return status;
}

QVariant GetKeyValue(const QString& key, const QString& subkey, const QString& valueName,
                     const QVariant& defaultValue) {
    HKEY h;
    if (OpenKey(join(key, subkey), &h) != kSuccess) return defaultValue;
    int kind = 0;
    QByteArray data;
    if (!store()->GetValue(h, valueName, &kind, &data)) return defaultValue;
    switch (kind) {
    case REG_SZ: {
        if (!data.isEmpty() && data.endsWith('\0')) data.chop(1);
        const QString text = QString::fromUtf8(data);
        return text.isEmpty() ? defaultValue : QVariant(text);
    }
    case REG_BINARY: {
        if (data.size() < 2) return defaultValue;
        const qint16 n = qint16(quint8(data[0]) | (quint8(data[1]) << 8));
        return QVariant(int(n));
    }
    default:
        return QVariant(QString());
    }
}

long EnumKey(const QString& path, int index, QString* name, int* nameLength) {
    SettingsStore* s = store();
    if (!s) return kInvalidHandle;
    const SettingsStore::KeyId id = s->FindKey(kSoftware + path);
    if (id < 0) return kFileNotFound;
    const QString found = s->SubKeyName(id, index);
    if (found.isNull()) return kNoMoreItems;
    if (nameLength && found.size() >= *nameLength) return kMoreData;
    *name = found;
    if (nameLength) *nameLength = found.size();
    return kSuccess;
}

long DeleteKeyTree(const QString& path) {
    SettingsStore* s = store();
    if (!s) return kInvalidHandle;
    StoreTransaction transaction; // the whole tree goes, or none of it
    // Depth first, always index 0: deleting a subkey shifts the others down.
    for (;;) {
        QString child;
        int length = 255;
        if (EnumKey(path, 0, &child, &length) != kSuccess) break;
        if (DeleteKeyTree(join(path, child)) != kSuccess) break;
    }
    const SettingsStore::KeyId id = s->FindKey(kSoftware + path);
    if (id < 0) return kFileNotFound;
    const long status = s->DeleteKey(id) ? kSuccess : kAccessDenied;
    transaction.Commit();
    return status;
}

long DeleteKeyValue(const QString& key, const QString& subkey, const QString& valueName) {
    HKEY h;
    long status = OpenKey(join(key, subkey), &h);
    if (status != kSuccess) return status;
    if (!valueName.isEmpty()) {
        status = store()->DeleteValue(h, valueName) ? kSuccess : kFileNotFound;
        CloseKey(h);
        return status;
    }
    CloseKey(h);
    return DeleteKeyTree(join(key, subkey));
}

} // namespace SettingsRegistry
