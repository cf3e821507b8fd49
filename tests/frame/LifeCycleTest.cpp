// The program's life over a real store: the command line, one running copy per OS user, the
// settings version, the first run, the login, what the frame has ready after it, the inactivity lock
// (idle time, Logout, the password prompt, what can be seen and done while locked) and the ways the
// program ends.
#include <QLocalServer>
#include <sys/resource.h>

#include "browse/AddressBox.h"
#include "browse/DownloadsWindow.h"
#include "browse/LinkControls.h"
#include "core/AppPaths.h"
#include "core/Clock.h"
#include "core/Errors.h"
#include "core/Log.h"
#include "frame/ActivityMonitor.h"
#include "frame/CommandLine.h"
#include "frame/HelpWindow.h"
#include "frame/InactivityLock.h"
#include "frame/SingleInstance.h"
#include "FrameSupport.h"
#include "users/MessageWindow.h"
#include "users/UserOptions.h"

using namespace frametest;

namespace {

const QString kGeneral = "General";

TEST(CommandLine, OptionsArgumentsAndTheirAnswers) {
    QTemporaryDir here;
    ASSERT_TRUE(QFile(here.filePath("page one.html")).open(QIODevice::WriteOnly));
    using Action = CommandLine::Action;
    const struct {
        QStringList arguments;
        Action action;
        QStringList addresses;
        const char* text; // contained in the answer
    } cases[] = {
        {{}, Action::Run, {}, ""},
        {{"-h", "http://a.test/"}, Action::Help, {}, "Usage: bramblegate [options] [address...]"},
        {{"--version"}, Action::Version, {}, "Bramblegate 1.5.2\n"},
        {{"--bogus"}, Action::Error, {}, "bramblegate: Unknown option 'bogus'."},
        {{"-x", "a.test"}, Action::Error, {}, "Try 'bramblegate --help'"},
        {{"javascript:alert(1)"}, Action::Error, {}, "\"javascript:alert(1)\" is neither a web address"},
        // The toolkit's options and the engine's arguments are not ours.
        {{"-platform", "offscreen", "-reverse", "http://a.test/x?y=1#z", "--webEngineArgs", "--bogus"},
         Action::Run,
         {"http://a.test/x?y=1#z"},
         ""},
        // As typed into an address box; a file relative to where the program started.
        {{"example.org", "https://b.test/", "page one.html"},
         Action::Run,
         {"http://example.org", "https://b.test/", "file://" + here.path() + "/page%20one.html"},
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const CommandLine line =
            CommandLine::Parse(QStringList{"/usr/bin/bramblegate"} + c.arguments, here.path());
        EXPECT_EQ(line.RequestedAction(), c.action);
        EXPECT_EQ(line.Addresses(), c.addresses);
        EXPECT_TRUE(line.Text().contains(QString::fromUtf8(c.text))) << line.Text().toStdString();
        EXPECT_EQ(line.ExitCode(), c.action == Action::Error ? 2 : 0);
    }
}

TEST(StartUp, TheStoredVersionDecidesCompanionAgreementAndRefusal) {
    const struct {
        const char* stored; // null: never written (the first run)
        bool companion, agreement, refused;
    } cases[] = {
        {nullptr, true, true, false}, {"152", false, false, false},  {"151", true, false, false},
        {"15", true, false, false},   {"1529", false, false, false}, {"160", false, false, true},
        {"9", false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "first run");
        FrameRun run;
        run.CreateUser(kUser, kPassword);
        if (c.stored) core::SaveValue(kGeneral, "Version", QLatin1String(c.stored));
        if (c.refused) run.boxes.Answer(msgbox::OK);
        MainWindow& frame = c.refused ? run.Launch() : run.Start();
        EXPECT_EQ(run.companionRuns, c.companion ? QStringList{" /REGSERVER"} : QStringList());
        EXPECT_EQ(run.agreements, c.agreement ? 1 : 0);
        ExpectBoxes(run.boxes, c.refused ? QStringList{"incorrectVersion"} : QStringList{});
        EXPECT_EQ(frame.Browse() != nullptr, !c.refused);
        EXPECT_EQ(core::GetValue(kGeneral, "Version"),
                  c.refused ? QString::fromLatin1(c.stored) : QString(AppVersion()));
        if (c.refused) { // no login dialog: it would have no script
            EXPECT_EQ(run.TickUntilEnded(), 2);
            EXPECT_EQ(run.ends, kOrderly);
        } else {
            EXPECT_EQ(core::GetValue(kGeneral, "AppPath"), AppPaths::ExecutableFolder());
            EXPECT_TRUE(QFile::exists(AppPaths::DataFolder() + "/Blank.htm"));
            EXPECT_TRUE(run.ends.isEmpty());
        }
    }
}

TEST(StartUp, DecliningTheAgreementOrTheLoginAnErrorOrARunningCopyEndBeforeTheBrowseWindow) {
    const std::pair<std::function<void(FrameRun&)>, EndKinds> starts[] = {
        {[](FrameRun& run) {
             run.acceptAgreement = false;
             run.Launch();
             EXPECT_EQ(core::GetValue(kGeneral, "Version"), QString());
         },
         kOrderly},
        {[](FrameRun& run) {
             run.CreateUser(kUser, kPassword);
             run.Start(QString());
             EXPECT_EQ(run.frame().MessageText(), "Exiting...");
         },
         kOrderly},
        {[](FrameRun& run) {
             run.hooks.version.agreement = [](QWidget*) -> bool {
                 throw BgError(ErrNo::ObjectRequired, "broken");
             };
             run.boxes.Answer(msgbox::OK);
             run.Launch();
             ExpectBoxes(run.boxes, {"problem"});
         },
         kOrderly},
        {[](FrameRun& run) { // a running copy that does not answer
             QLocalServer hung;
             ASSERT_TRUE(hung.listen(SingleInstance::DefaultServerName()));
             QLockFile running(SingleInstance::DefaultLockFile());
             ASSERT_TRUE(running.tryLock(0));
             run.hooks.instanceAnswerMs = 300;
             run.boxes.Answer(msgbox::OK);
             run.Launch();
             ExpectBoxes(run.boxes, {"alreadyOpen"});
         },
         kImmediate},
    };
    for (size_t i = 0; i < std::size(starts); ++i) {
        SCOPED_TRACE(i);
        FrameRun run;
        starts[i].first(run);
        EXPECT_FALSE(App().LoginOK);
        EXPECT_EQ(run.frame().Browse(), nullptr);
        EXPECT_FALSE(run.frame().isVisible());
        EXPECT_EQ(run.TickUntilEnded(), starts[i].second == kOrderly ? 2 : 0);
        EXPECT_FALSE(run.frame().MessageShown());
        EXPECT_EQ(run.ends, starts[i].second);
    }
}

// A settings file written from the documented layout by a tool of its own (the login corpus's
// writer, in Python) must start the program and give back every field of its Link decrypted.
TEST(StartUp, AStoreWrittenByAnotherToolStartsLogsInAndGivesBackItsLink) {
    const QString python = QStandardPaths::findExecutable("python3");
    if (python.isEmpty()) GTEST_SKIP() << "python3 is not installed";
    FrameRun run;
    // The cipher of this user name holds the bytes 1 and 17 (escaped as <CHR..>), that of the
    // password the byte 0x8D, which has no Windows-1252 letter of its own.
    const QString master = "Heron#4812", url = "http://127.0.0.1:9/p/plain-post/";
    const QString name = "zoë0@mail.test", password = "Grün€100";
    QProcess writer;
    writer.start(python, {QStringLiteral(BG_CORPUS_DIR "/settings_writer.py"), run.store.path(), "tester",
                          master, "plain-post", url, name, password, "Business"});
    ASSERT_TRUE(writer.waitForFinished(30000));
    ASSERT_EQ(writer.exitCode(), 0) << writer.readAllStandardError().toStdString();
    run.store.Reopen();
    run.Start("Tester", master);
    EXPECT_EQ(run.agreements + run.companionRuns.size(), 0);
    ASSERT_TRUE(App().LoginOK && run.browse().LinkList().CountUndeleted() == 1);
    const Link* link = run.browse().LinkList().ControlOrderItem(0);
    EXPECT_EQ(
        QStringList({link->Caption(), link->URL(), link->UserName(), link->Password(), link->SelectOption()}),
        QStringList({"plain-post", url, name, password, "Business"}));
    EXPECT_TRUE(link->AutoNavigate() && link->ReqLogin() && link->HidePopUps());
}

// Addresses from the command line and from a later start open in the running copy once its start-up
// Links are open: the first in the visible Link's pane, the others in stand-alone windows.
TEST(StartUp, AfterLoginTheFrameHasItsBarsListsAndBrowseWindowAndOpensTheAddressesOfThisAndLaterStarts) {
    FrameRun run;
    core::SaveValue(kUser + "History", "Older", "http://o.test/");
    core::SaveValue(kUser + "BMs", "Mark", "http://m.test/");
    run.addresses = {"http://first.test/"};
    MainWindow& frame = run.StartWith({"A"});
    EXPECT_EQ(frame.windowTitle(), "Bramblegate - alice");
    EXPECT_TRUE(frame.isVisible() && Toolbar(frame).isVisibleTo(&frame) &&
                BrowseSubWindow(frame)->isMaximized());
    // The master password is in memory now: no core file may hold it.
    rlimit core{};
    ASSERT_EQ(getrlimit(RLIMIT_CORE, &core), 0);
    EXPECT_EQ(core.rlim_cur + core.rlim_max, rlim_t(0));
    // The lists were loaded, and the browse window records into the frame's master history.
    EXPECT_EQ(frame.BookmarkList().Count(), 1);
    EXPECT_EQ(frame.History().Count(), 1);
    run.open("A", "http://a.test/");
    EXPECT_EQ(frame.History().Items().first().url, "http://a.test/");
    // The program itself, for the same OS user, data folder and display, hands its addresses over.
    frame.showMinimized();
    QProcess second;
    second.start(QStringLiteral(BG_PROGRAM_FILE), {"http://one.test/?a=b c", "two.test"});
    ASSERT_TRUE(WaitFor([&] { return second.state() == QProcess::NotRunning; }, 60000));
    EXPECT_EQ(second.exitStatus() + second.exitCode(), 0);
    EXPECT_FALSE(frame.isMinimized() || !run.ends.isEmpty());
    EXPECT_FALSE(QFile::exists(AppPaths::SettingsFile())) << "the second copy went no further";
    EXPECT_EQ(frame.Browse()->PopUps().NewWindows().size(), 0) << "not before the start-up Links";
    run.browse().OnLoadFavoritesTimer();
    EXPECT_EQ(run.pane(run.browse().VisibleIndex()).navigations().last(), "http://first.test/");
    const QList<StandaloneWindow*> windows = frame.Browse()->PopUps().NewWindows();
    ASSERT_EQ(windows.size(), 2);
    EXPECT_EQ(static_cast<FakePane*>(windows[0]->Pane())->navigations(),
              QStringList{"http://one.test/?a=b%20c"});
    // Once running, at once, in the active window; what no address box would open is dropped.
    frame.LifeCycle().OpenAddresses({"javascript:alert(1)", "https://three.test/"});
    EXPECT_EQ(static_cast<FakePane*>(windows[1]->Pane())->navigations(),
              QStringList({"http://two.test", "https://three.test/"}));
    // Options, Hide Pop-Ups is the browse window's switch.
    EXPECT_TRUE(run.browse().m_hidePopUps);
    Trigger(frame, "mnuOptionsHidePopUps");
    EXPECT_FALSE(run.browse().m_hidePopUps);
}

// Each way to end: the close box asks (No leaves everything running), nothing else does; only the
// user's own end saves the session; a favorites refresh that never ends is cut off at the 21st tick.
TEST(Shutdown, EachWayToEndAsksSavesAndEndsAsItShould) {
    const struct {
        const char* name;
        std::function<void(FrameRun&)> end;
        bool refreshEnds; // else it never ends
        EndKinds kind;
        bool saved;
    } ways[] = {
        {"close box",
         [](FrameRun& run) {
             run.boxes.Answer(msgbox::No).Answer(msgbox::Yes);
             EXPECT_FALSE(run.frame().LifeCycle().QueryUnload(ProgramLifeCycle::CloseBox));
             EXPECT_FALSE(App().Unloading || run.frame().LifeCycle().UnloadPending());
             EXPECT_TRUE(run.frame().isVisible() && run.frame().menuBar()->isEnabled());
             EXPECT_TRUE(run.frame().LifeCycle().QueryUnload(ProgramLifeCycle::CloseBox));
             ExpectBoxes(run.boxes, {"exit", "exit"});
         },
         true, kOrderly, true},
        {"File, Exit", [](FrameRun& run) { Trigger(run.frame(), "mnuFileExit"); }, true, kOrderly, true},
        {"closed from code", [](FrameRun& run) { run.frame().close(); }, false, kImmediate, false},
        {"terminated", [](FrameRun&) { ::kill(::getpid(), SIGTERM); }, true, kOrderly, false},
        {"the user logs out",
         [](FrameRun& run) {
             // Asked to save its state while nobody logs out (a checkpoint of the session), it runs on.
             auto* manager = qApp->findChild<QSessionManager*>();
             ASSERT_NE(manager, nullptr);
             emit qApp->commitDataRequest(*manager);
             emit qApp->saveStateRequest(*manager);
             QCoreApplication::processEvents();
             EXPECT_FALSE(run.frame().LifeCycle().EndRequested() || App().Unloading);
             QEvent quit(QEvent::Quit); // the session manager quits the program
             QCoreApplication::sendEvent(qApp, &quit);
         },
         true, kOrderly, false},
        {"an import that succeeded", [](FrameRun&) { ProgramEnd::EndNowWithoutSaving(); }, true, kImmediate,
         false},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        FrameRun run;
        run.StartWith({"A", "B"}); // B moved in front: only a save puts "B" into A's slot
        run.browse().Controls().MoveLink(run.index("B"), run.index("A"));
        App().DiagnosticMode = true;
        const QString logFile = core::LogFolder() + Clock::Now().toString("'/Log'yyMMdd'.Log'");
        QDir().mkpath(core::LogFolder());
        QFile::remove(logFile);
        App().FavoritesReady = false;
        way.end(run);
        if (run.ends.isEmpty()) {
            ASSERT_TRUE(WaitFor([&] { return run.frame().LifeCycle().UnloadPending(); }, 5000));
            EXPECT_EQ(run.frame().MessageText(), "Exiting...");
            EXPECT_FALSE(run.frame().menuBar()->isEnabled());
            EXPECT_EQ(App().EndingOnError, !way.saved && way.kind == kOrderly); // ended from outside
            ProgramEnd::UnloadFrame(); // a second request (a dialog asking for the end too) changes nothing
            EXPECT_EQ(run.TickUntilEnded(4), 4);
            if (way.refreshEnds) App().FavoritesReady = true;
            run.TickUntilEnded();
            EXPECT_EQ(run.frame().LifeCycle().UnloadTicks(), way.refreshEnds ? 5 : 21);
            // The frame's own diagnostic lines of the unload, without their time stamps.
            QStringList lines;
            for (const QByteArray& line : FileBytes(logFile).split('\n'))
                if (line.contains("tmrUnload") || line.contains("MDIForm_UnLoad"))
                    lines << QString::fromUtf8(line.trimmed()).mid(21); // date, time, two blanks
            EXPECT_EQ(lines, way.refreshEnds ? QStringList({"tmrUnload_Timer Unloading...",
                                                            "MDIForm_UnLoad frmBrowse unloaded successfully",
                                                            "MDIForm_UnLoad Completed"})
                                             : QStringList({"tmrUnload_Timer ENDING APPLICATION..."}));
        }
        EXPECT_EQ(run.ends, way.kind);
        EXPECT_EQ(core::GetValue(kUser, "Caption3"), way.saved ? "B" : "A"); // after the user's own two
    }
}

struct LockRun : FrameRun {
    LockRun() {
        Clock::SetNow(QDateTime(QDate(2024, 3, 5), QTime(10, 0, 0)));
        StartWith({"A"});
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame()));
        open("A", "http://a.test/");
    }
    void tick() { browse().OnBusyTimer(); }
    void logout() {
        Trigger(frame(), "mnuFileLogout");
        tick();
        EXPECT_TRUE(App().Locked);
    }
    // Restores the frame; at the next tick the prompt asks and gets these passwords one after
    // another. Records what the prompt asked. The busy timer goes on ticking while the prompt is
    // open: no second prompt.
    void unlock(QStringList passwords) {
        frame().showNormal();
        dialogs.Next([=, this](QDialog& prompt) {
            shown = Child<QLabel>(prompt, "lblPrompt").text();
            tick();
            for (const QString& password : passwords) {
                Child<QLineEdit>(prompt, "txtPassword").setText(password);
                Child<QPushButton>(prompt, "cmdOK").click();
            }
            return prompt.result();
        });
        for (int n = 1; n < std::min<int>(passwords.size(), PasswordPrompt::kMaxTries); ++n)
            boxes.Answer(msgbox::OK); // "wrong password"
        tick();
    }
    QDateTime lastActivity() { return frame().Activity().LastActivity(); }
    QString shown;
};

TEST(Lock, IdleMinutesOrLogoutLockNothingIsSeenOrDoneWhileLockedAndTheSixthWrongPasswordEnds) {
    LockRun run;
    MainWindow& frame = run.frame();
    App().Options->SetAutoLogOutMts(1);
    const QDateTime start = Clock::Now();
    Clock::Advance(50 * 1000);
    QTest::keyClick(&frame, Qt::Key_Shift);
    Clock::Advance(60 * 1000);
    QTest::mouseMove(run.browse().Buttons().LinkButtonAt(run.index("A")));
    QTest::mouseMove(&frame, QPoint(30, 200));
    EXPECT_EQ(run.lastActivity(), start.addSecs(50)) << "moving the mouse is no activity";
    run.tick();
    EXPECT_FALSE(App().Locked) << "60 seconds are not more than one minute";
    Clock::Advance(1000);
    run.tick();
    ASSERT_TRUE(App().Locked);
    // Everything minimised, no page visible, no command usable, no navigation.
    EXPECT_TRUE(frame.isMinimized() && BrowseSubWindow(frame)->isMinimized() && frame.LockedView());
    EXPECT_FALSE(run.browse().isVisible() || frame.menuBar()->isEnabled() || Toolbar(frame).isEnabled());
    EXPECT_TRUE(run.pane("A").RaiseBeforeNavigate2("http://a.test/next"));
    QTest::mouseClick(&Child<QPushButton>(frame, "cmdUnlock"), Qt::RightButton);
    EXPECT_EQ(run.lastActivity(), start.addSecs(50)) << "a press while locked is no activity";
    run.tick(); // no prompt while the frame stays minimised

    Clock::Advance(5000);
    run.unlock({"wrong", kPassword});
    EXPECT_EQ(run.shown, InactivityLock::kIdlePrompt);
    EXPECT_EQ(run.boxes.count(), 1);
    EXPECT_FALSE(App().Locked || frame.LockedView() || frame.LifeCycle().UnloadPending());
    EXPECT_TRUE(frame.menuBar()->isEnabled() && BrowseSubWindow(frame)->isMaximized());
    EXPECT_EQ(run.lastActivity(), Clock::Now());
    EXPECT_FALSE(run.pane("A").RaiseBeforeNavigate2("http://a.test/next"));

    App().Options->SetAutoLogOutMts(0); // the idle lock is off; Logout still locks

    // Windows that are not dialogs, and the list of matches under the address box.
    frame.ShowMessage("Refreshing...");
    frame.ShowHelp("Contents");
    frame.ShowDownloads();
    QWidget* downloads = frame.findChild<DownloadsWindow*>();
    auto& help = Child<HelpWindow>(frame, "frmHelp");
    auto& address = Child<AddressBox>(run.browse(), "cmbAddress");
    address.AddUrlItem("http://a.test/one");
    frame.activateWindow();
    address.setFocus();
    address.lineEdit()->clear();
    QTest::keyClicks(&address, "a.test/o");
    ASSERT_TRUE(address.MatchList()->isVisible() && help.isVisible() && downloads->isVisible());
    // Options is open with a change typed in when the lock comes.
    bool visibleAfterLock = true;
    run.dialogs.Next([&](QDialog& options) {
        options.show();
        Child<QLineEdit>(options, "txtSSN").setText("987-65-4321");
        run.logout();
        visibleAfterLock = options.isVisible();
        return options.result();
    });
    Trigger(frame, "mnuOptionsBramblegate");
    EXPECT_FALSE(visibleAfterLock || MessageWindow::IsShown() || help.isVisible() || downloads->isVisible() ||
                 address.MatchList()->isVisible() || frame.statusBar()->isVisible());
    EXPECT_EQ(core::GetValue(kUser, "SSN"), QString());
    // A window that opens while locked (a page's box, a late dialog) closes as it shows.
    QDialog late;
    late.show();
    EXPECT_TRUE(WaitFor([&] { return !late.isVisible(); }, 2000));
    // Back: the hidden windows return, the cancelled dialog and the matches do not.
    run.unlock({kPassword});
    EXPECT_TRUE(MessageWindow::IsShown() && help.isVisible() && downloads->isVisible() &&
                frame.statusBar()->isVisible() && !address.MatchList()->isVisible());
    EXPECT_EQ(App().Options->SSN(), QString());
    frame.HideMessage();

    // Unlocking gives every window back its state, a minimised one too; while locked no key works.
    auto* standAlone = qobject_cast<QMdiSubWindow*>(run.OpenWindow("http://b.test/").parentWidget());
    QMdiSubWindow* browse = BrowseSubWindow(frame);
    standAlone->setWindowState(Qt::WindowNoState);
    browse->setWindowState(Qt::WindowMinimized);
    run.logout();
    EXPECT_TRUE(browse->isMinimized() && standAlone->isMinimized());
    frame.showNormal(); // as a window system that does not minimise would leave it
    QStringList fired;
    QList<QKeySequence> keys{QKeySequence(Qt::Key_F5), QKeySequence(Qt::Key_Escape),
                             QKeySequence(Qt::Key_Return), QKeySequence(Qt::ALT | Qt::Key_Left),
                             QKeySequence(Qt::Key_F10)};
    for (QAction* action : frame.findChildren<QAction*>()) {
        QObject::connect(action, &QAction::triggered, &frame, [&, action] { fired << action->objectName(); });
        keys << action->shortcuts();
    }
    const QStringList navigations = run.pane("A").navigations();
    QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : &frame;
    for (const QKeySequence& key : keys)
        if (!key.isEmpty())
            for (QWidget* target : {focus, static_cast<QWidget*>(&frame)})
                QTest::keyClick(target, key[0].key(), key[0].keyboardModifiers());
    QCoreApplication::processEvents();
    EXPECT_GT(keys.size(), 30);
    EXPECT_EQ(fired, QStringList());
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(run.pane("A").navigations(), navigations);
    run.unlock({kPassword});
    EXPECT_TRUE(browse->isMinimized() &&
                !(standAlone->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)));

    run.logout();
    run.unlock({"one", "two", "three", "four", "five", "six"});
    EXPECT_EQ(run.shown, InactivityLock::kLogoutPrompt);
    EXPECT_EQ(run.boxes.count(), 6) << "the one before, four wrong and the last chance";
    EXPECT_TRUE(App().Unloading && frame.LockedView()) << "the pages stay hidden while it ends";
    EXPECT_EQ(run.TickUntilEnded(), 2);
    EXPECT_EQ(run.ends, kOrderly);
}

} // namespace
