#include "browse/LoginSites.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "core/AppPaths.h"
#include "core/IniFile.h"

namespace {
const QString kFileName = QStringLiteral("login-sites.ini");
} // namespace

QStringList LoginSites::SharedLoginSites() const {
    QStringList out;
    for (const QString& domain : {signInServiceDomain, signInServiceDomain2})
        if (!domain.isEmpty()) out << domain;
    return out;
}

LoginSites LoginSites::FromFile(const QString& path) {
    IniFile ini;
    LoginSites s;
    if (path.isEmpty() || ini.Load(path) != IniFile::Status::Ok) return s;
    const auto get = [&](const char* section, const char* key) {
        return ini.GetString(QLatin1String(section), QLatin1String(key)).trimmed();
    };
    s.signInServiceDomain = get("SignInService", "Domain");
    s.signInServiceDomain2 = get("SignInService", "Domain2");
    s.signInImageSrc = get("SignInService", "ImageSrc");
    s.signInImageAlt = get("SignInService", "ImageAlt");
    s.specialSitePrefix = get("SecondFill", "Prefix");
    s.specialSiteWord = get("SecondFill", "Word");
    s.bankDomain = get("Bank", "Domain");
    s.bankStartAddress = get("Bank", "StartAddress");
    s.bankMainPage = get("Bank", "MainPage");
    return s;
}

QString LoginSites::ConfiguredFile() {
    QStringList folders;
    const QString own = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    for (const QString& folder : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation))
        if (folder != own) folders << folder + QStringLiteral("/Bramblegate");
    folders << AppPaths::ProgramDataFolder();
    for (const QString& folder : folders) {
        const QFileInfo file(QDir(folder).filePath(kFileName));
        if (file.isFile()) return file.canonicalFilePath();
    }
    return {};
}

const LoginSites& LoginSites::Configured() {
    static const LoginSites sites = FromFile(ConfiguredFile());
    return sites;
}
