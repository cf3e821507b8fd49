#include "frame/VersionCheck.h"

#include "browse/SearchPages.h"
#include "core/AppPaths.h"
#include "core/AppState.h"
#include "core/Log.h"
#include "core/MessageBox.h"
#include "core/Settings.h"
#include "core/StoredNames.h"

using namespace core;

namespace VersionCheck {

QString Normalise(const QString& version) {
    return (version + QStringLiteral("000")).left(3);
}

int LeadingNumber(const QString& text) {
    int i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    int value = 0;
    for (; i < text.size() && text.at(i).isDigit() && value < 100000000; ++i)
        value = value * 10 + text.at(i).digitValue();
    return value;
}

bool CheckVersion(const Hooks& hooks, QWidget* parent) {
    const QString general = stored::kGeneral;
    const QString stored = ReadText(general, stored::general::kVersion);
    const QString product = QString::fromLatin1(ProductName());
    if (LeadingNumber(stored) == 0) {
        if (hooks.startCompanion) hooks.startCompanion(kRegisterArguments);
        if (hooks.agreement && !hooks.agreement(parent)) return false;
    } else {
        const int storedNumber = LeadingNumber(Normalise(stored));
        const int ownNumber = LeadingNumber(Normalise(AppVersion()));
        if (storedNumber > ownNumber) {
            MsgBox(QStringLiteral("This is an older version of ") + product +
                       QStringLiteral(" and is not compatible with product settings in the Registry.") + CR +
                       product + QStringLiteral(" must exit now."),
                   msgbox::OKOnly, msgbox::Critical, QStringLiteral("Incorrect Version"));
            WriteLog(QStringLiteral("frmMDI Form_Load ENDING APPLICATION... Old Version"));
            return false;
        }
        if (storedNumber < ownNumber && hooks.startCompanion) hooks.startCompanion(kRegisterArguments);
    }
    SaveValue(general, stored::general::kVersion.name, AppVersion());
    if (GetValue(general, stored::general::kAppPath).isEmpty())
        SaveValue(general, stored::general::kAppPath,
                  App().DiagnosticMode ? QStringLiteral("C:\\Program Files\\Bramblegate")
                                       : AppPaths::ExecutableFolder());
    // The local pages are written anew at every start, so a damaged one is repaired.
    SearchPages::CreateHtmFiles();
    return true;
}

} // namespace VersionCheck
