#include "core/IniValues.h"

#include <QDir>
#include <QFileInfo>

#include "core/Errors.h"
#include "core/IniFile.h"
#include "core/SecretCipher.h"

namespace core {

void WriteValueINI(const QString& file, const QString& section, const QString& name, const QString& value) {
    const QString folder = QFileInfo(file).absolutePath();
    if (!QDir(folder).exists()) QDir().mkpath(folder);
    QString error;
    const IniFile::Status status = IniFile::WriteStringToFile(file, section, name, value, &error);
    if (status == IniFile::Status::Ok) return;
    const long number =
        status == IniFile::Status::NotEncodable ? SecretCipher::kErrNotEncodable : kErrIniWrite;
    throw BgError(number, QStringLiteral("modGeneral.WriteValueINI"), error);
}

void SaveValueINI(const QString& file, const QString& section, const QString& name, const QString& value,
                  bool encrypt) {
    WriteValueINI(file, section, name, encrypt ? SecretCipher::EncryptMessage(value) : value);
}

QString GetValueINI(const QString& file, const QString& section, const QString& name, const QString& def) {
    return IniFile::ReadString(file, section, name, def);
}

int GetSectionINI(const QString& file, const QString& section, QStringList& names, QStringList& values) {
    names.clear();
    values.clear();
    IniFile ini;
    ini.Load(file);
    for (const IniFile::Entry& entry : ini.GetSection(section)) {
        names.append(entry.name);
        values.append(entry.value);
    }
    return int(names.size());
}

} // namespace core
