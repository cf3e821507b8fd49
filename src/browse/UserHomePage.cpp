#include "browse/UserHomePage.h"

#include <QCoreApplication>

#include "browse/engine/ProgramPages.h"
#include "core/AppState.h"
#include "core/Settings.h"
#include "core/StoredNames.h"

namespace UserHomePage {
namespace {

QString StartPage() {
    return QString::fromLatin1(ProgramPages::kStartPageUrl);
}

} // namespace

HomePageNotifier* Notifier() {
    static HomePageNotifier* notifier = new HomePageNotifier(QCoreApplication::instance());
    return notifier;
}

QString Get() {
    if (App().CurrentUser.isEmpty()) return StartPage();
    return core::GetValue(App().CurrentUser, stored::user::kHomePage, StartPage());
}

void Set(const QString& url) {
    if (App().CurrentUser.isEmpty()) return;
    const QString page = url.trimmed().isEmpty() ? StartPage() : url.trimmed();
    // The start page is the default: nothing stored for it.
    if (page == StartPage())
        core::DeleteValue(App().CurrentUser, stored::user::kHomePage);
    else
        core::SaveValue(App().CurrentUser, stored::user::kHomePage, page);
    emit Notifier()->HomePageChanged(page);
}

} // namespace UserHomePage
