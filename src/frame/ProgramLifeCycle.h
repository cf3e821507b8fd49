#pragma once

#include <functional>
#include <memory>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include "frame/VersionCheck.h"

class SessionEndFilter;
class SettingsStore;
class SingleInstance;
class TerminationSignals;
class UserOptions;
class MainWindow;

// The program from its start to its end, around the main window: one copy per data folder, the
// start-up steps (store, version, login, options, bars, browse window, lists), the hooks through
// which dialogs, signals and the desktop end the program, and the shutdown (asked, scheduled on
// the unload timer, forced after 10.5 seconds). Run() does it all for main(); tests call the
// steps themselves and replace how the process ends.
class ProgramLifeCycle : public QObject {
    Q_OBJECT
public:
    // Why the program is asked to end.
    enum UnloadMode {
        CloseBox = 0,      // the user closed the main window
        Code = 1,          // File, Exit, or the program itself
        SessionEnding = 2, // the desktop session is ending
        Terminated = 3,    // the system or a task manager ends the program
    };
    // How the process ends: Orderly after the unload (the event loop returns, nothing is left to
    // save), Immediate at once (a second copy, the forced end, after an import).
    enum class EndKind { Orderly, Immediate };
    using EndProcessHandler = std::function<void(EndKind)>;

    // What start-up asks outside the program; tests replace it.
    struct StartUpHooks {
        VersionCheck::Hooks version;
        // How long a second start waits for the running copy's answer.
        int instanceAnswerMs = 5000;
    };

    static constexpr int kUnloadIntervalMs = 500;
    // The forced end: 21 ticks, 10.5 seconds after the unload was confirmed.
    static constexpr int kForcedEndTicks = 21;

    explicit ProgramLifeCycle(MainWindow& window);
    ~ProgramLifeCycle() override;

    // Start-up, then the event loop; returns the exit code.
    int Run();

    void SetStartUpHooks(StartUpHooks hooks) { m_hooks = std::move(hooks); }
    void SetEndProcessHandler(EndProcessHandler handler) { m_endProcess = std::move(handler); }
    // Addresses of the command line: handed to a copy that runs already, or opened here once the
    // user is logged in and the start-up Links are open.
    void SetStartAddresses(const QStringList& addresses) { m_pendingAddresses = addresses; }
    // Opens addresses from outside (a later start's) as soon as the program can: the first in the
    // active child window as if typed into its address box, each further one in a stand-alone
    // window. Only web addresses and files are taken.
    void OpenAddresses(const QStringList& addresses);
    // Opens what is waiting, when the user is logged in, the start-up Links are open and the
    // account is not locked.
    void OpenPendingAddresses();

    // The start-up; any error ends the program with "Problem Encountered".
    void StartUp();
    bool CheckVersion();
    // Start-up went through to the end (the splash window is gone).
    bool Initialised() const { return m_initialised; }

    // Confirms (close box only) and schedules the unload on the unload timer; a second request
    // while one is pending changes nothing. False when the user said No.
    bool QueryUnload(UnloadMode mode);
    // One tick of the unload timer (every kUnloadIntervalMs while the unload is pending).
    void UnloadTick();
    int UnloadTicks() const { return m_unloadTicks; }
    // Unloads every window (the browse window saves unless EndingOnError) and ends the process.
    void Unload();
    // Ends the program without saving anything (a start-up that cannot go on).
    void EndApplication();
    // An unload is pending or done.
    bool EndRequested() const { return m_unloadPending || m_unloadDone || m_ended; }
    bool UnloadPending() const { return m_unloadPending; }
    bool UnloadDone() const { return m_unloadDone; }
    // The process has been asked to end.
    bool Ended() const { return m_ended; }

private:
    void RunStartUp();
    void InstallHooks();
    void RemoveHooks();
    bool OpenStore();
    void ActivatePrevInstance();
    void ActivateFromOtherCopy();
    void EndProcess(EndKind kind);
    // The options and the store go last, after every window that uses them.
    void ReleaseSettings();

    MainWindow& m_window;
    StartUpHooks m_hooks;
    EndProcessHandler m_endProcess;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<UserOptions> m_options;
    std::unique_ptr<SingleInstance> m_instance;
    QPointer<TerminationSignals> m_termination;
    QPointer<SessionEndFilter> m_sessionEnd;
    QPointer<QWidget> m_splash;
    QStringList m_pendingAddresses;
    QTimer* m_unloadTimer = nullptr;
    quint16 m_unloadTicks = 0;
    bool m_initialised = false;
    bool m_hooksInstalled = false;
    bool m_unloadPending = false;
    bool m_unloadDone = false;
    bool m_ended = false;
    bool m_ownsProcess = false;
    bool m_inEventLoop = false;
    bool m_busyCursor = false;
};
