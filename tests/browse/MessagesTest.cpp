// The browse window's message boxes, each checked here once (what it says and the answers it offers),
// and the way out of damaged settings: the scenarios only name the boxes by title.
#include <tuple>

#include "browse/engine/ProgramPages.h"
#include "browse/LinkControls.h"
#include "browse/NavigationDriver.h"
#include "browse/OfflineState.h"
#include "BrowseSupport.h"

namespace {

// Title, text, buttons, icon and the default button.
using Box = std::tuple<QString, QString, msgbox::Buttons, msgbox::Icon, int>;

QList<Box> Boxes(const ScriptedBoxes& boxes) {
    QList<Box> out;
    for (const msgbox::Request& r : boxes.shown())
        out.append({r.title, r.text, r.buttons, r.icon, r.defaultButton});
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
              QList<Box>(
                  {{"Sort Links by Name",
                    "Are you sure you want to Re-Order all Link buttons alphabetically?\rThis action "
                    "cannot be undone.\r\r",
                    msgbox::YesNo, msgbox::Question, 2},
                   {"Invalid URL", "The Web Address for this Link is invalid.", msgbox::OKOnly,
                    msgbox::Information, 1},
                   {"Delete Link", "Are you sure you want to delete the Link 'b' ?\r\r", msgbox::YesNo,
                    msgbox::Question, 1},
                   {"Cannot delete the only Link",
                    "Cannot delete the only available link. To delete this link \r\ncreate another "
                    "one first and then delete it.\r\r",
                    msgbox::OKOnly, msgbox::Exclamation, 1},
                   {"No Internet Connection Found",
                    "A connection to the Internet could not be found. \r\rDo you want to work "
                    "Offline? If you don't want to work Offline, please \rconnect to the Internet "
                    "first and then come back here and click 'No'. \r\r",
                    msgbox::YesNo, msgbox::Question, 2},
                   {"Working Offline", "Bramblegate is now in Offline mode.\r\rDo you want to go Online?\r\r",
                    msgbox::YesNo, msgbox::Question, 1}}));
}

TEST(BrowseMessages, DamagedSettingsEndTheProgramOrGiveAHomeLink) {
    const QString severe = "Bramblegate - Severe Error inalice's Settings";
    {
        BrowseFixture damaged;
        damaged.boxes().Answer(msgbox::Cancel).Answer(msgbox::OK);
        damaged.Load().OnLoadFavoritesTimer();
        EXPECT_EQ(
            Boxes(damaged.boxes()),
            QList<Box>(
                {{severe,
                  "A severe error has been found in this User's setttings.\rIf you think you are "
                  "receiving this message in error, please \rclick CANCEL to exit the application and "
                  "retry again later.\r\rIf you have backed up this User's settings in the past and "
                  "wish to\rrestore them, please click OK. You will be able to restore the settings\rfrom "
                  "a saved file by going to menu 'File/Settings/Import From File'.  \r\rOtherwise, you "
                  "may have to recreate all your Links and ignore all \rpast settings for this User. "
                  "\r\rClick OK to continue, click CANCEL to Retry again.\r\r",
                  msgbox::OKCancel, msgbox::Critical, 1},
                 {"Restart Bramblegate", "Bramblegate will now exit. Please start again.", msgbox::OKOnly,
                  msgbox::Critical, 1}}));
        EXPECT_TRUE(damaged.frame().LifeCycle().EndRequested() && App().EndingOnError);
        EXPECT_TRUE(damaged.navigations().isEmpty());
        EXPECT_EQ(Links(QLatin1String(BrowseFixture::kUser)).Count(), 0) << "nothing was saved";
    }
    BrowseFixture w;
    w.boxes().Answer(msgbox::OK);
    w.Load().OnLoadFavoritesTimer();
    EXPECT_EQ(w.boxes().lastTitle(), severe);
    EXPECT_EQ(w.buttonOrder(), QStringList({"Home Page$$"}));
    EXPECT_TRUE(App().NewUserCreated);
    const QString start = QString::fromLatin1(ProgramPages::kStartPageUrl);
    EXPECT_EQ(w.navigations(), QStringList({"0 " + start, "0 " + start}));
}
