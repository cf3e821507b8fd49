// Which web profile each pane of the browse window works in, and what becomes of a Link's web
// data when the Link goes, over fake panes and real folders.
#include <QDir>

#include "browse/LinkControls.h"
#include "browse/PopupPolicy.h"
#include "browse/StandaloneWindow.h"
#include "BrowseSupport.h"
#include "core/AppPaths.h"
#include "core/AppState.h"
#include "core/Settings.h"
#include "links/LinkIds.h"
#include "links/Links.h"
#include "support/StoreFault.h"

using namespace browsetest;

namespace {

QString folderOf(const QString& id) {
    return AppPaths::LinkProfileFolder(QLatin1String(BrowseFixture::kUser), id);
}

// Web data on the disk, as a page of the Link would have left it.
void makeWebData(const QString& id) {
    QDir().mkpath(folderOf(id) + QStringLiteral("/Local Storage"));
}

} // namespace

TEST(LinkProfiles, EachPaneAndItsNewWindowsWorkInTheirLinksProfile) {
    BrowseFixture w({{"Mail work", "http://mail.test/"},
                     {"Mail home", "http://mail.test/"},
                     {"Portal", "http://sso.test/"}});
    core::SaveValue(QLatin1String(BrowseFixture::kUser), QStringLiteral("ShareCookies3"), "True");
    BrowseWindow& browse = w.Load();
    const QString work = w.link("Mail work").Id(), home = w.link("Mail home").Id();
    EXPECT_TRUE(LinkIds::IsValid(work) && LinkIds::IsValid(home));
    EXPECT_NE(work, home);
    EXPECT_EQ(w.pane(w.index("Mail work")).ProfileId(), work) << "pane 0, made before the Links were read";
    EXPECT_EQ(w.pane(w.index("Mail home")).ProfileId(), home);
    EXPECT_EQ(w.pane(w.index("Portal")).ProfileId(), QString()) << "shares the user's cookies";
    EXPECT_EQ(browse.Placeholder()->ProfileId(), QString());

    // New Window takes the visible Link's profile, and a window's New Window its own.
    w.click(QStringLiteral("Mail home"));
    browse.RunCommand(WindowCommand::NewWindow);
    ASSERT_EQ(browse.PopUps().NewWindows().size(), 1);
    StandaloneWindow* first = browse.PopUps().NewWindows().first();
    EXPECT_EQ(first->Pane()->ProfileId(), home);
    first->RunCommand(WindowCommand::NewWindow);
    ASSERT_EQ(browse.PopUps().NewWindows().size(), 2);
    EXPECT_EQ(browse.PopUps().NewWindows().last()->Pane()->ProfileId(), home);

    // The editor turns sharing on for one Link and off for another: their panes follow.
    browse.SetLinkEditorOpener([&](LinkEditorHost&, QWidget*, const Link*) {
        w.link("Mail home").SetShareCookies(true);
        w.link("Portal").SetShareCookies(false);
    });
    browse.OpenLinkEditor(&w.link("Mail home"));
    EXPECT_EQ(w.pane(w.index("Mail home")).ProfileId(), QString());
    EXPECT_EQ(w.pane(w.index("Portal")).ProfileId(), w.link("Portal").Id());
    EXPECT_EQ(w.pane(w.index("Mail work")).ProfileId(), work);
}

TEST(LinkProfiles, ARemovedLinksWebDataGoesOnceStoredAndLeftoversGoAtTheNextStart) {
    BrowseFixture w(
        {{"One", "http://one.test/"}, {"Two", "http://two.test/"}, {"Three", "http://three.test/"}});
    const QStringList ids = LinkIds::Stored(QLatin1String(BrowseFixture::kUser));
    ASSERT_EQ(ids.size(), 3);
    const QString gone = LinkIds::New();
    for (const QString& id : ids + QStringList{gone})
        makeWebData(id);
    BrowseWindow& browse = w.Load();
    EXPECT_FALSE(QDir(folderOf(gone)).exists()) << "no Link has it";
    for (const QString& id : ids)
        EXPECT_TRUE(QDir(folderOf(id)).exists());

    // A removal the store refuses keeps the Link, and so its web data.
    {
        StoreFault fault(StoreFault::ReadOnly);
        w.boxes().Answer(msgbox::Yes);    // delete it?
        w.boxes().Answer(msgbox::Cancel); // not saved: no retry
        browse.Controls().RemoveLink(w.index("Two"));
    }
    EXPECT_EQ(w.boxes().lastTitle(), QStringLiteral("Not Saved"));
    EXPECT_FALSE(w.link("Two").Deleted());
    EXPECT_TRUE(QDir(folderOf(w.link("Two").Id())).exists());

    // The first Link goes: its web data, and its page with pane 0, which a fresh pane replaces.
    const QString one = w.link("One").Id();
    QPointer<BrowserPane> pane0(browse.Pane(0));
    w.boxes().Answer(msgbox::Yes);
    browse.Controls().RemoveLink(w.index("One"));
    EXPECT_FALSE(QDir(folderOf(one)).exists());
    EXPECT_TRUE(QDir(folderOf(w.link("Two").Id())).exists());
    EXPECT_TRUE(QDir(folderOf(w.link("Three").Id())).exists());
    EXPECT_TRUE(pane0.isNull());
    ASSERT_TRUE(browse.Pane(0));
    EXPECT_EQ(browse.Pane(0)->ProfileId(), QString());

    // A pop-up listed from the removed Link opens in the shared profile, not in a new copy of it.
    w.click(QStringLiteral("Two"));
    browse.PopUps().OpenInCurrentWindow(QStringLiteral("http://one.test/offer"), one);
    ASSERT_EQ(browse.PopUps().NewWindows().size(), 1);
    EXPECT_EQ(browse.PopUps().NewWindows().first()->Pane()->ProfileId(), QString());
    EXPECT_FALSE(QDir(folderOf(one)).exists());
}
