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

QString GetValueINI(const QString& file, const QString& section, const QString& name, const QString& def) {
    return IniFile::ReadString(file, section, name, def);
}

} // namespace core
