#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWebEngineProfile>
#include <sys/stat.h>

#include "browse/engine/WebEnginePane.h"
#include "browse/engine/WebProfiles.h"
#include "core/AppPaths.h"
#include "e2e/E2eSupport.h"
#include "links/LinkIds.h"
#include "sites/TestSites.h"
#include "support/TestSupport.h"

namespace {

using sites::SharedSites;
using sites::TestSites;

int Mode(const QString& path) {
    struct stat info {};
    if (stat(QFile::encodeName(path).constData(), &info) != 0) return -1;
    return int(info.st_mode & 0777);
}

QString Visit(WebEnginePane& pane, const QString& path) {
    EventLog log(&pane);
    return LoadAndWait(pane, log, SharedSites().Url(path)) ? pane.LocationURL() : QString();
}

bool LogIn(WebEnginePane& pane) {
    Visit(pane, QStringLiteral("/login"));
    DocumentPtr doc = pane.Document();
    doc->getElementById("user")->SetValue(QString::fromLatin1(TestSites::kUser));
    doc->getElementById("pass")->SetValue(QString::fromLatin1(TestSites::kPassword));
    doc->getElementById("signin")->Click();
    return WaitFor(
        [&] { return pane.LocationURL() == SharedSites().Url(QStringLiteral("/welcome")) && !pane.Busy(); });
}

TEST(WebProfiles, EachUserHasAPrivateProfileAndItsOwnSession) {
    QWebEngineProfile* ann = WebProfiles::ForUser(QStringLiteral("Ann"));
    EXPECT_EQ(WebProfiles::ForUser(QStringLiteral(" ann ")), ann);
    const QString folder = AppPaths::UserProfileFolder(QStringLiteral("Ann"));
    EXPECT_TRUE(QDir(folder).exists());
    EXPECT_EQ(Mode(folder), 0700);
    EXPECT_EQ(QDir(ann->persistentStoragePath()), QDir(folder));
    EXPECT_FALSE(ann->isOffTheRecord());
    EXPECT_EQ(ann->persistentCookiesPolicy(), QWebEngineProfile::AllowPersistentCookies);
    EXPECT_TRUE(WebProfiles::ForUser(QString())->isOffTheRecord());

    WebEnginePane annPane(QStringLiteral("Ann"));
    ASSERT_TRUE(LogIn(annPane));
    WebEnginePane annOther(QStringLiteral("ANN"));
    WebEnginePane bobPane(QStringLiteral("Bob"));
    EXPECT_EQ(Visit(annOther, QStringLiteral("/welcome")), SharedSites().Url(QStringLiteral("/welcome")));
    EXPECT_EQ(Visit(bobPane, QStringLiteral("/welcome")), SharedSites().Url(QStringLiteral("/login")));
    EXPECT_NE(bobPane.Profile(), annPane.Profile());

    // One of Ann's Links signs in on its own; nothing of it shows in her shared session.
    WebEnginePane annLink(QStringLiteral("Ann"));
    annLink.SetProfileId(LinkIds::New());
    ASSERT_TRUE(LogIn(annLink));
    EXPECT_NE(annLink.Profile(), annPane.Profile());
    Visit(annPane, QStringLiteral("/logout"));
    EXPECT_EQ(Visit(annOther, QStringLiteral("/welcome")), SharedSites().Url(QStringLiteral("/login")));
    EXPECT_EQ(Visit(annLink, QStringLiteral("/welcome")), SharedSites().Url(QStringLiteral("/welcome")));
    ASSERT_TRUE(LogIn(annPane));

    // Ann is deleted while her panes still run: every session of hers ends at once.
    WebProfiles::ClearUserData(QStringLiteral("ann"));
    Pump(1000); // the engine clears its cache and cookies in the background; loads wait meanwhile
    WebEnginePane again(QStringLiteral("Ann"));
    EXPECT_EQ(Visit(again, QStringLiteral("/welcome")), SharedSites().Url(QStringLiteral("/login")));
    EXPECT_EQ(Visit(annLink, QStringLiteral("/welcome")), SharedSites().Url(QStringLiteral("/login")));
}

TEST(WebProfiles, EachLinkHasAProfileInsideItsUsersFolder) {
    const QString user = QStringLiteral("Dora"), id = LinkIds::New(), onDisk = LinkIds::New();
    // What works per profile (downloads, notifications) joins every Link's as it is made.
    QObject owner;
    QList<QWebEngineProfile*> attached;
    WebProfiles::OnEveryProfile(&owner, [&](QWebEngineProfile* profile) { attached << profile; });
    EXPECT_FALSE(WebProfiles::Exists(user, id)) << "made only when first used";
    QWebEngineProfile* link = WebProfiles::ForLink(user, id);
    EXPECT_TRUE(attached.contains(link));
    EXPECT_EQ(WebProfiles::ForLink(QStringLiteral(" DORA "), id), link);
    EXPECT_NE(link, WebProfiles::ForUser(user));
    EXPECT_NE(link, WebProfiles::ForLink(QStringLiteral("Eve"), id));
    EXPECT_EQ(WebProfiles::ForLink(user, QString()), WebProfiles::ForUser(user));
    const QString folder = AppPaths::LinkProfileFolder(user, id);
    EXPECT_EQ(QDir(link->persistentStoragePath()), QDir(folder));
    EXPECT_TRUE(folder.startsWith(AppPaths::UserProfileFolder(user) + QLatin1Char('/')));
    EXPECT_EQ(Mode(folder), 0700);
    EXPECT_EQ(link->persistentCookiesPolicy(), QWebEngineProfile::AllowPersistentCookies);
    // What is no id never becomes a folder, nor another Link's profile.
    QWebEngineProfile* bad = WebProfiles::ForLink(user, QStringLiteral("../../Eve"));
    EXPECT_TRUE(bad->isOffTheRecord());
    EXPECT_NE(bad, WebProfiles::ForUser(user));

    // Every profile of the user: the shared one, the open ones and those only on the disk.
    QDir().mkpath(AppPaths::LinkProfileFolder(user, onDisk));
    const QList<QWebEngineProfile*> all = WebProfiles::EveryProfileOf(user);
    EXPECT_EQ(all.size(), 3);
    EXPECT_TRUE(all.contains(link) && all.contains(WebProfiles::ForUser(user)));
    EXPECT_TRUE(all.contains(WebProfiles::ForLink(user, onDisk)));
    EXPECT_FALSE(all.contains(WebProfiles::ForLink(QStringLiteral("Eve"), id)));

    // Closing them leaves the files; pruning leaves the open ones and those kept.
    EXPECT_TRUE(WebProfiles::CloseUserProfiles(user));
    EXPECT_FALSE(WebProfiles::Exists(user, id) || WebProfiles::Exists(user));
    EXPECT_TRUE(QDir(folder).exists());
    WebProfiles::PruneLinkProfiles(user, {id});
    EXPECT_TRUE(QDir(folder).exists());
    EXPECT_FALSE(QDir(AppPaths::LinkProfileFolder(user, onDisk)).exists());
}

TEST(WebProfiles, RemovingAProfileWaitsForItsPanesAndDeletesTheFolder) {
    const QString user = QStringLiteral("Carol");
    const QString folder = AppPaths::UserProfileFolder(user);
    auto pane = std::make_unique<WebEnginePane>(user);
    ASSERT_FALSE(Visit(*pane, QStringLiteral("/plain")).isEmpty());
    ASSERT_TRUE(QDir(folder).exists());
    EXPECT_FALSE(WebProfiles::RemoveUserProfile(user));
    EXPECT_TRUE(QDir(folder).exists());
    QWebEngineProfile* profile = pane->Profile();
    pane.reset();
    EXPECT_EQ(WebProfiles::PagesUsing(profile), 0);
    EXPECT_TRUE(WebProfiles::RemoveUserProfile(user));
    EXPECT_FALSE(WebProfiles::Exists(user));
    EXPECT_TRUE(WaitFor([&] { return !QDir(folder).exists(); }, 8000));
    Pump(2500); // the engine writes nothing back afterwards
    EXPECT_FALSE(QDir(folder).exists());
}

TEST(WebProfiles, OfflineBlocksNetworkLoadsButNotLocalPages) {
    QTemporaryDir dir;
    QFile out(dir.filePath(QStringLiteral("local.html")));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly) &&
                out.write("<html><head><title>Local</title></head></html>") > 0);
    out.close();
    const QString fileUrl = QUrl::fromLocalFile(out.fileName()).toString();
    const QString plain = SharedSites().Url(QStringLiteral("/plain"));

    WebEnginePane pane(QStringLiteral("offline"));
    WebEnginePane other(QStringLiteral("offline"));
    EventLog log(&pane);
    WebProfiles::SetOffline(true);
    ASSERT_TRUE(LoadAndWait(pane, log, plain));
    EXPECT_TRUE(
        log.events.contains(QStringLiteral("NavigateError %1 ").arg(PaneError::CannotConnect) + plain));
    EXPECT_TRUE(pane.IsErrorPage());
    ASSERT_TRUE(LoadAndWait(pane, log, fileUrl));
    EXPECT_EQ(pane.LocationName(), "Local");
    EXPECT_EQ(pane.Document()->protocol(), "File Protocol");
    WebProfiles::SetOffline(false);
    ASSERT_TRUE(LoadAndWait(pane, log, plain));
    EXPECT_FALSE(pane.IsErrorPage());

    // One pane offline on its own; the other still loads.
    pane.SetOffline(true);
    ASSERT_TRUE(LoadAndWait(pane, log, SharedSites().Url(QStringLiteral("/echo"))));
    EXPECT_TRUE(pane.IsErrorPage());
    EXPECT_EQ(Visit(other, QStringLiteral("/echo")), SharedSites().Url(QStringLiteral("/echo")));
    EXPECT_FALSE(other.IsErrorPage());
    pane.SetOffline(false);
    // A missing local file is "object not found".
    const QString missing = QStringLiteral("file:///no/such/file.html");
    ASSERT_TRUE(LoadAndWait(pane, log, missing));
    EXPECT_TRUE(
        log.events.contains(QStringLiteral("NavigateError %1 ").arg(PaneError::ObjectNotFound) + missing));
}

} // namespace
