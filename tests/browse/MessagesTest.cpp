// The browse window's message boxes: the answers each offers, and the way out of damaged settings.
#include <tuple>

#include "browse/engine/ProgramPages.h"
#include "browse/LinkControls.h"
#include "browse/NavigationDriver.h"
#include "browse/OfflineState.h"
#include "BrowseSupport.h"

namespace {

using Box = std::tuple<QString, msgbox::Buttons, msgbox::Icon, int>; // the last: the default button

QList<Box> Boxes(const ScriptedBoxes& boxes) {
    QList<Box> out;
    for (const msgbox::Request& r : boxes.shown())
        out.append({r.title, r.buttons, r.icon, r.defaultButton});
    return out;
}

} // namespace

TEST(BrowseMessages, EachBoxOffersItsAnswersWithTheSafeOneFirst) {
    BrowseFixture w({{"b", "http://b.test/"}, {"a", ""}});
    BrowseWindow& browse = w.Load();
    w.boxes().Answer(msgbox::No);
    browse.SortButtons();
    w.boxes().Answer(msgbox::OK);
    w.click("a");
    w.boxes().Answer(msgbox::Yes);
    browse.Controls().RemoveLink(w.index("b"));
    w.boxes().Answer(msgbox::OK);
    browse.Controls().RemoveLink(w.index("a"));
    EXPECT_EQ(w.buttonOrder(), QStringList{"a"}) << "the only Link stays";
    OfflineState::SetConnectionProbe([] { return false; });
    w.boxes().Answer(msgbox::Yes);
    browse.Navigation().CheckOnline();
    OfflineState::SetConnectionProbe([] { return true; });
    w.boxes().Answer(msgbox::No);
    browse.Navigation().CheckOnline();
    EXPECT_EQ(Boxes(w.boxes()),
              QList<Box>({{"Sort Links by Name", msgbox::YesNo, msgbox::Question, 2},
                          {"Invalid URL", msgbox::OKOnly, msgbox::Information, 1},
                          {"Delete Link", msgbox::YesNo, msgbox::Question, 1},
                          {"Cannot delete the only Link", msgbox::OKOnly, msgbox::Exclamation, 1},
                          {"No Internet Connection Found", msgbox::YesNo, msgbox::Question, 2},
                          {"Working Offline", msgbox::YesNo, msgbox::Question, 1}}));
}

TEST(BrowseMessages, DamagedSettingsEndTheProgramOrGiveAHomeLink) {
    const QString severe = "Bramblegate - Severe Error inalice's Settings";
    {
        BrowseFixture damaged;
        damaged.Load();
        damaged.boxes().Answer(msgbox::Cancel).Answer(msgbox::OK);
        damaged.startUp();
        EXPECT_EQ(damaged.boxes().shown().value(0).buttons, msgbox::OKCancel);
        EXPECT_EQ(damaged.boxes().lastTitle(), "Restart Bramblegate");
        EXPECT_TRUE(damaged.frame().LifeCycle().EndRequested() && App().EndingOnError);
        EXPECT_TRUE(damaged.navigations().isEmpty());
        EXPECT_EQ(Links(QLatin1String(BrowseFixture::kUser)).Count(), 0) << "nothing was saved";
    }
    BrowseFixture w;
    w.Load();
    w.boxes().Answer(msgbox::OK);
    w.startUp();
    EXPECT_EQ(w.boxes().lastTitle(), severe);
    EXPECT_EQ(w.buttonOrder(), QStringList({"Home Page$$"}));
    EXPECT_TRUE(App().NewUserCreated);
    const QString start = QString::fromLatin1(ProgramPages::kStartPageUrl);
    EXPECT_EQ(w.navigations(), QStringList({"0 " + start, "0 " + start}));
}
