#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "browse/BrowseSupport.h"
#include "browse/Favorites.h"
#include "browse/PopupPolicy.h"
#include "browse/StandaloneWindow.h"
#include "browse/UserHomePage.h"
#include "core/Clock.h"
#include "core/Companion.h"
#include "core/Settings.h"

using namespace browsetest;

// Link panes, the placeholder and stand-alone windows.
TEST(BrowseHomePage, PanesGoHomeToTheUsersHomePageAndFollowAChange) {
    BrowseFixture w({{"Bank", "https://bank.example/"}});
    core::SaveValue(BrowseFixture::kUser, "HomePage", "https://home.example/");
    BrowseWindow& browse = w.Load();
    EXPECT_EQ(w.pane(0).HomePage(), "https://home.example/");
    EXPECT_EQ(browse.Placeholder()->HomePage(), "https://home.example/");
    StandaloneWindow* window =
        browse.PopUps().OpenNewWin(QLatin1String(PopupPolicy::kHome), true, nullptr, true, QString());
    EXPECT_EQ(static_cast<FakePane*>(window->Pane())->navigations(), QStringList{"https://home.example/"});

    UserHomePage::Set("https://news.example/");
    w.clearNavigations();
    w.pane(0).GoHome();
    EXPECT_EQ(w.navigations(), QStringList({"0 https://news.example/"}));
    EXPECT_EQ(browse.Placeholder()->HomePage(), "https://news.example/");
    window->RunCommand(WindowCommand::Home);
    EXPECT_EQ(static_cast<FakePane*>(window->Pane())->navigations().last(), "https://news.example/");
    UserHomePage::Set(QString());
    EXPECT_EQ(w.pane(0).HomePage(), "bramblegate://start/");
    EXPECT_EQ(window->Pane()->HomePage(), "bramblegate://start/");
}

TEST(BrowseCompanion, StartedFromTheFavoritesTimerAfterAQuietSpell) {
    QTemporaryDir dir;
    const QString record = dir.path() + "/called.txt";
    QFile script(dir.path() + "/bghelper");
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(("#!/bin/sh\necho \"$#\" >> '" + record + "'\n").toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    Companion::SetFolder(dir.path());

    BrowseFixture w({{"Bank", "https://bank.example/"}});
    BrowseWindow& browse = w.Load();
    w.startUp();
    Clock::SetNow(QDateTime(QDate(2024, 5, 1), QTime(10, 0)));
    browse.favorites()->RefreshFavorites(false);
    Clock::Advance(30000);
    browse.OnLoadFavoritesTimer();
    Clock::Advance(16000);
    browse.OnLoadFavoritesTimer();
    browse.OnLoadFavoritesTimer(); // once per quiet spell
    EXPECT_TRUE(WaitFor([&] { return QFile(record).size() > 0; }));
    QTest::qWait(300);
    QFile file(record);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "0\n"); // started once, without arguments
    Companion::SetFolder(QString());
}
