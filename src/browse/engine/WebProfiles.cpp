#include "browse/engine/WebProfiles.h"

#include <atomic>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineUrlSchemeHandler>

#include "browse/engine/ProgramPages.h"
#include "core/AppPaths.h"

namespace WebProfiles {
namespace {

std::atomic<bool> g_offline{false};

class OfflineInterceptor : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        // The product's own site is served by the program, on line or off.
        if (ProgramPages::IsSiteAddress(info.requestUrl())) {
            info.redirect(ProgramPages::SchemeUrlFor(info.requestUrl()));
            return;
        }
        if (g_offline.load() && BlockedOffline(info.requestUrl())) info.block(true);
    }
};

// Owns the profiles; a child of the application, so they go before the engine shuts down.
class Registry : public QObject {
public:
    explicit Registry(QObject* parent)
        : QObject(parent), interceptor(new OfflineInterceptor(this)),
          programPages(ProgramPages::Handler(this)) {}
    ~Registry() override {
        // Profiles first (they use the interceptor).
        for (QWebEngineProfile* p : std::as_const(profiles))
            delete p;
        profiles.clear();
        s_instance = nullptr;
    }
    static Registry* Get() {
        if (!s_instance) s_instance = new Registry(QCoreApplication::instance());
        return s_instance;
    }

    QHash<QString, QWebEngineProfile*> profiles;
    QHash<QWebEngineProfile*, int> pages;
    QHash<QWebEngineProfile*, QSet<QString>> certificateOverrides;
    struct Attacher {
        QPointer<QObject> owner;
        std::function<void(QWebEngineProfile*)> attach;
    };
    QList<Attacher> attachers;
    OfflineInterceptor* interceptor;
    QWebEngineUrlSchemeHandler* programPages;

private:
    static Registry* s_instance;
};

Registry* Registry::s_instance = nullptr;

QString Key(const QString& userName) {
    return userName.trimmed().toCaseFolded();
}

void Configure(QWebEngineProfile* profile, Registry* r) {
    profile->setUrlRequestInterceptor(r->interceptor);
    if (ProgramPages::SchemeRegistered())
        profile->installUrlSchemeHandler(ProgramPages::kScheme, r->programPages);
    QWebEngineSettings* s = profile->settings();
    // PDFs show in the pane rather than becoming downloads.
    s->setAttribute(QWebEngineSettings::PluginsEnabled, true);
    s->setAttribute(QWebEngineSettings::PdfViewerEnabled, true);
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
    s->setAttribute(QWebEngineSettings::ErrorPageEnabled, true);
    s->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
    // A page's request for full screen (a video) goes to the pane, which asks the user.
    s->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, true);
}

} // namespace

QWebEngineProfile* ForUser(const QString& userName) {
    Registry* r = Registry::Get();
    const QString key = Key(userName);
    if (QWebEngineProfile* existing = r->profiles.value(key)) return existing;
    QWebEngineProfile* profile = nullptr;
    if (key.isEmpty()) {
        profile = new QWebEngineProfile(r); // keeps nothing on disk
    } else {
        const QString folder = AppPaths::UserProfileFolder(userName);
        AppPaths::MakePrivateFolder(folder);
        profile = new QWebEngineProfile(QFileInfo(folder).fileName(), r);
        profile->setPersistentStoragePath(folder);
        profile->setCachePath(folder + QStringLiteral("/Cache"));
        profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
        profile->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    }
    Configure(profile, r);
    r->profiles.insert(key, profile);
    for (const Registry::Attacher& a : std::as_const(r->attachers))
        if (a.owner) a.attach(profile);
    return profile;
}

bool Exists(const QString& userName) {
    return Registry::Get()->profiles.contains(Key(userName));
}

bool RemoveUserProfile(const QString& userName) {
    Registry* r = Registry::Get();
    const QString key = Key(userName);
    if (key.isEmpty()) return false;
    if (QWebEngineProfile* profile = r->profiles.value(key)) {
        if (r->pages.value(profile) > 0) return false;
        r->profiles.remove(key);
        r->pages.remove(profile);
        r->certificateOverrides.remove(profile);
        delete profile;
    }
    // The engine lets go of the profile's files a moment after the profile object is gone (it
    // still writes its network state), so the folder is removed again a little later, unless
    // the user has a profile again by then.
    const QString folder = AppPaths::UserProfileFolder(userName);
    const auto remove = [folder] { QDir(folder).removeRecursively(); };
    remove();
    for (int delay : {100, 500, 2000, 5000}) {
        QTimer::singleShot(delay, r, [remove, key, r] {
            if (!r->profiles.contains(key)) remove();
        });
    }
    return true;
}

void ClearUserData(const QString& userName) {
    QWebEngineProfile* profile = Registry::Get()->profiles.value(Key(userName));
    if (!profile) return;
    profile->cookieStore()->deleteAllCookies();
    profile->clearHttpCache();
    profile->clearAllVisitedLinks();
}

int PagesUsing(QWebEngineProfile* profile) {
    return Registry::Get()->pages.value(profile);
}

void AddPage(QWebEngineProfile* profile) {
    ++Registry::Get()->pages[profile];
}

void RemovePage(QWebEngineProfile* profile) {
    Registry* r = Registry::Get();
    auto it = r->pages.find(profile);
    if (it != r->pages.end() && --it.value() <= 0) r->pages.erase(it);
}

void OnEveryProfile(QObject* owner, std::function<void(QWebEngineProfile*)> attach) {
    Registry* r = Registry::Get();
    r->attachers.removeIf([](const Registry::Attacher& a) { return a.owner.isNull(); });
    for (QWebEngineProfile* profile : std::as_const(r->profiles))
        attach(profile);
    r->attachers.append({owner, std::move(attach)});
}

void MarkCertificateOverridden(QWebEngineProfile* profile, const QString& host) {
    Registry::Get()->certificateOverrides[profile].insert(host.toLower());
}

bool CertificateOverridden(QWebEngineProfile* profile, const QString& host) {
    return Registry::Get()->certificateOverrides.value(profile).contains(host.toLower());
}

void SetOffline(bool offline) {
    g_offline = offline;
}

bool IsOffline() {
    return g_offline.load();
}

bool BlockedOffline(const QUrl& url) {
    return !ProgramPages::IsSiteAddress(url) && BlockedOffline(url.scheme());
}

bool BlockedOffline(const QString& scheme) {
    const QString s = scheme.toLower();
    return s == QLatin1String("http") || s == QLatin1String("https") || s == QLatin1String("ftp") ||
           s == QLatin1String("ws") || s == QLatin1String("wss");
}

} // namespace WebProfiles
