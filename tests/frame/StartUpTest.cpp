// Start-up of the frame over a real store: the settings version, the first run, the login, the
// failures that end the program before the browse window, and what the frame has ready after.
#include <QFile>
#include <QMdiSubWindow>
#include <QToolBar>
#include <sys/resource.h>

#include "browse/PageRecorder.h"
#include "core/AppPaths.h"
#include "core/AppState.h"
#include "core/Errors.h"
#include "core/Settings.h"
#include "frame/FrameToolbar.h"
#include "frame/MainWindow.h"
#include "FrameSupport.h"
#include "links/Links.h"
#include "users/UserOptions.h"

using namespace frametest;

namespace {

const QString kGeneral = QStringLiteral("General");

TEST(StartUp, TheStoredVersionDecidesCompanionAgreementAndRefusal) {
    const QString incorrect =
        QStringLiteral("This is an older version of Bramblegate and is not compatible with "
                       "product settings in the Registry.\rBramblegate must exit now.");
    struct Case {
        const char* stored; // null: never written (the first run)
        bool companion;
        bool agreement;
        bool refused;
    } cases[] = {
        {nullptr, true, true, false}, {"152", false, false, false},  {"151", true, false, false},
        {"15", true, false, false},   {"1529", false, false, false}, {"160", false, false, true},
        {"9", false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "first run");
        FrameRun run;
        run.CreateUser(kUser, kPassword);
        if (c.stored)
            core::SaveValue(kGeneral, QStringLiteral("Version"), QLatin1String(c.stored));
        else
            core::DeleteValue(kGeneral, QStringLiteral("Version"));
        MainWindow& frame = run.Start();
        EXPECT_EQ(run.companionRuns,
                  c.companion ? QStringList{QStringLiteral(" /REGSERVER")} : QStringList());
        EXPECT_EQ(run.agreements, c.agreement ? 1 : 0);
        if (c.refused) {
            ASSERT_EQ(run.boxes.count(), 1);
            EXPECT_EQ(run.boxes.lastText(), incorrect);
            EXPECT_EQ(run.boxes.lastTitle(), QStringLiteral("Incorrect Version"));
            EXPECT_EQ(run.boxes.shown().last().icon, msgbox::Critical);
            EXPECT_EQ(run.dialogs.count(), 0) << "no login after a refused version";
            EXPECT_EQ(frame.Browse(), nullptr);
            EXPECT_TRUE(App().EndingOnError);
            EXPECT_EQ(run.TickUntilEnded(), 2);
            EXPECT_EQ(run.ends, QList<ProgramLifeCycle::EndKind>{ProgramLifeCycle::EndKind::Orderly});
            EXPECT_EQ(FrameRun::Stored(kGeneral, QStringLiteral("Version")), QLatin1String(c.stored));
        } else {
            EXPECT_EQ(run.boxes.count(), 0) << run.boxes.lastText().toStdString();
            ASSERT_NE(frame.Browse(), nullptr);
            EXPECT_TRUE(frame.LifeCycle().Initialised());
            EXPECT_EQ(FrameRun::Stored(kGeneral, QStringLiteral("Version")), AppVersion());
            EXPECT_EQ(FrameRun::Stored(kGeneral, QStringLiteral("AppPath")), AppPaths::ExecutableFolder());
            EXPECT_TRUE(QFile::exists(AppPaths::DataFolder() + QStringLiteral("/Blank.htm")));
            EXPECT_TRUE(run.ends.isEmpty());
        }
    }
}

TEST(StartUp, DecliningTheAgreementOrTheLoginEndsBeforeTheBrowseWindow) {
    {
        FrameRun run;
        run.acceptAgreement = false;
        MainWindow& frame = run.Start();
        EXPECT_EQ(run.agreements, 1);
        EXPECT_EQ(run.dialogs.count(), 0);
        EXPECT_EQ(FrameRun::Stored(kGeneral, QStringLiteral("Version")), QString());
        EXPECT_TRUE(frame.LifeCycle().UnloadPending());
        EXPECT_EQ(run.TickUntilEnded(), 2);
        EXPECT_EQ(run.ends, QList<ProgramLifeCycle::EndKind>{ProgramLifeCycle::EndKind::Orderly});
    }
    {
        FrameRun run;
        run.CreateUser(kUser, kPassword);
        MainWindow& frame = run.Start(QString());
        EXPECT_EQ(run.dialogs.count(), 1);
        EXPECT_FALSE(App().LoginOK);
        EXPECT_EQ(frame.Browse(), nullptr);
        EXPECT_FALSE(frame.isVisible());
        EXPECT_TRUE(frame.MessageShown());
        EXPECT_EQ(frame.MessageText(), QStringLiteral("Exiting..."));
        EXPECT_EQ(run.TickUntilEnded(), 2);
        EXPECT_FALSE(frame.MessageShown());
        EXPECT_EQ(run.ends, QList<ProgramLifeCycle::EndKind>{ProgramLifeCycle::EndKind::Orderly});
    }
}

TEST(StartUp, AnErrorDuringStartUpSaysSoAndEnds) {
    FrameRun run;
    run.hooks.version.agreement = [](QWidget*) -> bool {
        throw BgError(ErrNo::ObjectRequired, QStringLiteral("test"), QStringLiteral("broken"));
    };
    MainWindow& frame = run.Start();
    ASSERT_EQ(run.boxes.count(), 1);
    EXPECT_EQ(run.boxes.lastText(),
              QStringLiteral("Bramblegate has encountered a problem. It needs to exit now. "
                             "Please retry again or contact Support for help."));
    EXPECT_EQ(run.boxes.lastTitle(), QStringLiteral("Problem Encountered"));
    EXPECT_EQ(run.boxes.shown().last().icon, msgbox::Critical);
    EXPECT_TRUE(App().EndingOnError);
    EXPECT_EQ(frame.Browse(), nullptr);
    EXPECT_EQ(run.TickUntilEnded(), 2);
}

TEST(StartUp, AfterLoginTheFrameHasItsUserBarsListsAndBrowseWindow) {
    FrameRun run;
    run.CreateUser(kUser, kPassword);
    run.AddLink(kUser, kPassword, QStringLiteral("A"), QStringLiteral("http://a.test/"));
    core::SaveValue(kUser + QStringLiteral("History"), QStringLiteral("Older"),
                    QStringLiteral("http://o.test/"));
    core::SaveValue(kUser + QStringLiteral("BMs"), QStringLiteral("Mark"), QStringLiteral("http://m.test/"));
    MainWindow& frame = run.Start();
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Bramblegate - alice"));
    EXPECT_TRUE(frame.isVisible());
    EXPECT_TRUE(Toolbar(frame).isVisibleTo(&frame));
    EXPECT_EQ(Toolbar(frame).Keys().size(), 20);
    EXPECT_TRUE(BrowseSubWindow(frame)->isMaximized());
    EXPECT_EQ(App().Options->AutoLogOutMts(), 30);
    // The master password is in memory now: no core file may hold it.
    rlimit core{};
    ASSERT_EQ(getrlimit(RLIMIT_CORE, &core), 0);
    EXPECT_EQ(core.rlim_cur, rlim_t(0));
    EXPECT_EQ(core.rlim_max, rlim_t(0));
    // The lists were loaded, and the browse window records into the frame's master history.
    EXPECT_EQ(frame.masterHistory().Count(), 1);
    EXPECT_EQ(frame.bookmarks().Items(),
              (QList<Bookmark>{{QStringLiteral("Mark"), QStringLiteral("http://m.test/")}}));
    run.open(QStringLiteral("A"), QStringLiteral("http://a.test/"));
    ASSERT_EQ(frame.masterHistory().Count(), 2);
    EXPECT_EQ(frame.masterHistory().Items().first().url, QStringLiteral("http://a.test/"));
    // Options, Hide Pop-Ups is the browse window's switch.
    EXPECT_TRUE(run.browse().m_hidePopUps);
    frame.findChild<QAction*>(QStringLiteral("mnuOptionsHidePopUps"))->trigger();
    EXPECT_FALSE(run.browse().m_hidePopUps);
}

} // namespace
