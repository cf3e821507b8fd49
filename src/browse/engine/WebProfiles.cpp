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
#include "links/LinkIds.h"

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

    // Forgets a profile and deletes it; false while a page uses it.
    bool Close(const QString& key) {
        QWebEngineProfile* profile = profiles.value(key);
        if (!profile) return true;
        if (pages.value(profile) > 0) return false;
        profiles.remove(key);
        pages.remove(profile);
        certificateOverrides.remove(profile);
        doomed.remove(profile);
        delete profile;
        return true;
    }

    QHash<QString, QWebEngineProfile*> profiles; // by Key(user, link id)
    QHash<QWebEngineProfile*, int> pages;
    QHash<QWebEngineProfile*, QSet<QString>> certificateOverrides;
    // Profiles of removed Links: they go with their last page, and their folders with them.
    QHash<QWebEngineProfile*, QString> doomed;
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

QString UserKey(const QString& userName) {
    return userName.trimmed().toCaseFolded();
}

// A user's shared profile has the empty Link id.
QString Key(const QString& userName, const QString& linkId = {}) {
    return UserKey(userName) + QLatin1Char('\n') + linkId;
}

bool IsUsersKey(const QString& key, const QString& userName) {
    return key.startsWith(Key(userName));
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

// Deletes a folder now and again a little later: the engine lets go of a profile's files a
// moment after the profile object is gone (it still writes its network state). Not while a
// profile of that key exists again by then.
void RemoveFolderSoon(const QString& folder, const QString& key) {
    Registry* r = Registry::Get();
    const auto remove = [folder] { QDir(folder).removeRecursively(); };
    remove();
    for (int delay : {100, 500, 2000, 5000}) {
        QTimer::singleShot(delay, r, [remove, key, r] {
            if (!r->profiles.contains(key)) remove();
        });
    }
}

QString FolderOf(const QString& userName, const QString& linkId) {
    return linkId.isEmpty() ? AppPaths::UserProfileFolder(userName)
                            : AppPaths::LinkProfileFolder(userName, linkId);
}

QWebEngineProfile* Make(const QString& userName, const QString& linkId) {
    Registry* r = Registry::Get();
    QWebEngineProfile* profile = nullptr;
    const bool badId = !linkId.isEmpty() && !LinkIds::IsValid(linkId);
    if (UserKey(userName).isEmpty() || badId) {
        profile = new QWebEngineProfile(r); // keeps nothing on disk
    } else {
        const QString folder = FolderOf(userName, linkId);
        AppPaths::MakePrivateFolder(AppPaths::UserProfileFolder(userName));
        AppPaths::MakePrivateFolder(folder);
        const QString userFolder = QFileInfo(AppPaths::UserProfileFolder(userName)).fileName();
        profile =
            new QWebEngineProfile(linkId.isEmpty() ? userFolder : userFolder + QLatin1Char('-') + linkId, r);
        profile->setPersistentStoragePath(folder);
        profile->setCachePath(folder + QStringLiteral("/Cache"));
        profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
        profile->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    }
    Configure(profile, r);
    r->profiles.insert(Key(userName, linkId), profile);
    for (const Registry::Attacher& a : std::as_const(r->attachers))
        if (a.owner) a.attach(profile);
    return profile;
}

void ForgetData(QWebEngineProfile* profile) {
    profile->cookieStore()->deleteAllCookies();
    profile->clearHttpCache();
    profile->clearAllVisitedLinks();
}

} // namespace

QWebEngineProfile* ForUser(const QString& userName) {
    return ForLink(userName, QString());
}

QWebEngineProfile* ForLink(const QString& userName, const QString& linkId) {
    if (QWebEngineProfile* existing = Registry::Get()->profiles.value(Key(userName, linkId))) return existing;
    return Make(userName, linkId);
}

bool Exists(const QString& userName) {
    return Exists(userName, QString());
}

bool Exists(const QString& userName, const QString& linkId) {
    return Registry::Get()->profiles.contains(Key(userName, linkId));
}

bool RemoveUserProfile(const QString& userName) {
    if (UserKey(userName).isEmpty() || !CloseUserProfiles(userName)) return false;
    RemoveFolderSoon(AppPaths::UserProfileFolder(userName), Key(userName));
    return true;
}

void RemoveLinkProfile(const QString& userName, const QString& linkId) {
    if (UserKey(userName).isEmpty() || !LinkIds::IsValid(linkId)) return;
    Registry* r = Registry::Get();
    const QString key = Key(userName, linkId);
    const QString folder = AppPaths::LinkProfileFolder(userName, linkId);
    if (QWebEngineProfile* profile = r->profiles.value(key); profile && !r->Close(key)) {
        // Its last pages (a stand-alone window of the Link) see nothing of the Link's session
        // any more; the rest goes with them.
        ForgetData(profile);
        r->doomed.insert(profile, folder);
        return;
    }
    RemoveFolderSoon(folder, key);
}

void PruneLinkProfiles(const QString& userName, const QStringList& keep) {
    if (UserKey(userName).isEmpty()) return;
    Registry* r = Registry::Get();
    const QDir folder(AppPaths::LinkProfilesFolder(userName));
    for (const QString& id : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (keep.contains(id) || r->profiles.contains(Key(userName, id))) continue;
        // A profile closed a moment ago may still be writing into its folder.
        RemoveFolderSoon(folder.filePath(id), Key(userName, id));
    }
}

bool CloseUserProfiles(const QString& userName) {
    Registry* r = Registry::Get();
    QStringList keys;
    for (auto it = r->profiles.cbegin(); it != r->profiles.cend(); ++it) {
        if (!IsUsersKey(it.key(), userName)) continue;
        if (r->pages.value(it.value()) > 0) return false;
        keys << it.key();
    }
    for (const QString& key : std::as_const(keys))
        r->Close(key);
    return true;
}

QList<QWebEngineProfile*> EveryProfileOf(const QString& userName) {
    Registry* r = Registry::Get();
    QList<QWebEngineProfile*> all{ForUser(userName)};
    QStringList ids;
    if (!UserKey(userName).isEmpty())
        ids = QDir(AppPaths::LinkProfilesFolder(userName)).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (auto it = r->profiles.cbegin(); it != r->profiles.cend(); ++it)
        if (IsUsersKey(it.key(), userName)) ids << it.key().mid(Key(userName).size());
    ids.removeDuplicates();
    for (const QString& id : std::as_const(ids)) {
        if (!LinkIds::IsValid(id)) continue;
        QWebEngineProfile* profile = ForLink(userName, id);
        if (!r->doomed.contains(profile) && !all.contains(profile)) all << profile;
    }
    return all;
}

void ClearUserData(const QString& userName) {
    // Every profile of the user open in this run, the Links' too; the folders go with the user's.
    Registry* r = Registry::Get();
    for (auto it = r->profiles.cbegin(); it != r->profiles.cend(); ++it)
        if (IsUsersKey(it.key(), userName)) ForgetData(it.value());
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
    if (it == r->pages.end() || --it.value() > 0) return;
    r->pages.erase(it);
    if (!r->doomed.contains(profile)) return;
    // Not inside the page's own destruction.
    QTimer::singleShot(0, r, [r, profile] {
        const QString key = r->profiles.key(profile);
        const QString folder = r->doomed.value(profile);
        if (key.isEmpty() || !r->doomed.contains(profile) || !r->Close(key)) return;
        RemoveFolderSoon(folder, key);
    });
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
