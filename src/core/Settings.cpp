#include "core/Settings.h"

#include "core/AppState.h"
#include "core/SecretCipher.h"
#include "core/SettingsRegistry.h"
#include "core/SettingsStore.h"

namespace core {

QString AppKeyName() {
    return stored::kProductKey;
}

void SaveValue(const QString& subkey, const QString& valueName, const QString& text, bool encrypt) {
    const QString stored = (encrypt && !text.isEmpty()) ? SecretCipher::EncryptMessage(text) : text;
    SettingsRegistry::SetKeyValue(AppKeyName(), subkey, valueName, stored, SettingsRegistry::REG_SZ);
}

QString GetValue(const QString& subkey, const QString& valueName, const DefaultValue& def, bool decrypt) {
    const QString text = SettingsRegistry::GetKeyValue(AppKeyName(), subkey, valueName, def.text).toString();
    return decrypt ? SecretCipher::DecryptMessage(text) : text;
}

bool ValueExists(const QString& subkey, const QString& valueName) {
    return SettingsRegistry::GetKeyValue(AppKeyName(), subkey, valueName, QStringLiteral("-1")).toString() !=
           QLatin1String("-1");
}

void DeleteValue(const QString& subkey, const QString& valueName) {
    SettingsRegistry::DeleteKeyValue(AppKeyName(), subkey,
                                     valueName == QLatin1String("-1") ? QString() : valueName);
}

int EnumValues(const QString& fullPath, QStringList& names, QStringList& values, int /*initialBuffer*/) {
    SettingsStore* store = SettingsStore::Current();
    if (!store) return 0;
    const SettingsStore::KeyId key = store->FindKey(fullPath);
    if (key < 0) return 0;
    const QList<SettingsStore::Value> all = store->Values(key);
    names.clear();
    values.clear();
    for (const SettingsStore::Value& v : all) {
        QString text;
        if (v.kind == SettingsRegistry::REG_SZ || v.kind == SettingsRegistry::REG_EXPAND_SZ) {
            QByteArray data = v.data;
            if (data.endsWith('\0')) data.chop(1);
            text = QString::fromUtf8(data);
        } else {
            text = QStringLiteral("Unsupported data type: ") + QString::number(v.kind);
        }
        QString name = v.name;
        names.append(name.remove(QChar(0)).trimmed());
        values.append(text.remove(QChar(0)).trimmed());
    }
    return int(names.size());
}

bool CBool(const QString& text, bool fallback) {
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
    bool ok = false;
    const double n = t.toDouble(&ok);
    return ok ? n != 0 : fallback;
}

int CInt(const QString& text, int fallback) {
    bool ok = false;
    const double n = text.trimmed().toDouble(&ok);
    return ok ? int(qRound(n)) : fallback;
}

} // namespace core
