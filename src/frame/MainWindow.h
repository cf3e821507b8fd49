#pragma once

#include <functional>
#include <memory>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include "browse/Bookmarks.h"
#include "browse/BrowseWindow.h"
#include "browse/MasterHistory.h"
#include "frame/TerminationSignals.h"
#include "frame/VersionCheck.h"
#include "frame/ViewSettings.h"

class ActivityMonitor;
class BookmarksMenu;
class DownloadList;
class DownloadsWindow;
class EngineDownloads;
class HelpWindow;
class ChildWindow;
class UserOptions;
class Download;
class FrameBrowseHost;
class FrameStatusBar;
class FrameToolbar;
class InactivityLock;
class MasterHistoryMenu;
class MessageFlasher;
class PageCommands;
class PopUpsList;
class PopUpsMenu;
class QAction;
class QActionGroup;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QStackedWidget;
class QToolBar;
class SessionEndFilter;
class SettingsStore;
class SingleInstance;

// The main frame: the first and the last window of the program. It carries the menus, the button
// bar `tbr`, the IE links strip, the status bar and the MDI area in which the logged-in user's
// browse window (and any stand-alone windows) live. Its commands act on the active child window;
// it does not navigate itself.
//
// Constructing it builds widgets only. Load runs the whole start-up (one copy per OS
// user, the settings version, the login, the options, the bars, the browse window, the master
// history and the bookmarks); QueryUnload and the unload timer end the program. Run()
// does both for main(); tests call the steps themselves and replace how the process ends.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Why the frame is being unloaded.
    enum UnloadMode {
        CloseBox = 0,      // the user closed the frame
        Code = 1,          // File, Exit, or the program itself
        SessionEnding = 2, // the desktop session is ending
        Terminated = 3,    // the system or a task manager ends the program
    };
    // How the process ends: Orderly after the unload (the event loop returns, nothing is left to
    // save), Immediate at once (a second copy, the forced end, after an import).
    enum class EndKind { Orderly, Immediate };
    using EndProcessHandler = std::function<void(EndKind)>;

    // What start-up asks outside the frame; tests replace it.
    struct StartUpHooks {
        VersionCheck::Hooks version;
        // How long a second start waits for the running copy's answer.
        int instanceAnswerMs = 5000;
    };

    static constexpr int kUnloadIntervalMs = 500;
    // The forced end: 21 ticks, 10.5 seconds after the unload was confirmed.
    static constexpr int kForcedEndTicks = 21;

    explicit MainWindow(PaneFactory factory = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    // --- the program: start-up, then the event loop; returns the exit code
    int Run();

    // --- start-up
    void SetStartUpHooks(StartUpHooks hooks) { m_hooks = std::move(hooks); }
    // Addresses of the command line: handed to a copy that runs already, or opened here once
    // the user is logged in and the start-up Links are open.
    void SetStartAddresses(const QStringList& addresses) { m_pendingAddresses = addresses; }
    // Opens addresses from outside (a later start's) as soon as the frame can: the first in the
    // active child window as if typed into its address box, each further one in a stand-alone
    // window. Only web addresses and files are taken.
    void OpenAddresses(const QStringList& addresses);
    void SetEndProcessHandler(EndProcessHandler handler) { m_endProcess = std::move(handler); }
    // Steps 1 to 18 of start-up; any error ends the program with "Problem Encountered".
    void Load();
    bool CheckVersion();
    // Start-up went through to the end (the splash window is gone).
    bool Initialised() const { return m_initialised; }
    // "Bramblegate - " + the user's name as typed at login.
    void SetUserCaption();
    // Puts the remembered Work Offline state into effect and ticks the menu item.
    void RestoreOfflineState();
    // Builds the button bar for a screen this wide (default: the frame's screen) and applies the
    // user's View settings to the bars.
    void ToolbarResetData(int screenWidth = -1);
    // Loads the user's browse window (its Load makes the Links and their panes), shows it
    // maximised in the MDI area and activates it. The window's panes come from `factory`.
    BrowseWindow* LoadBrowseWindow(PaneFactory factory);
    BrowseWindow* Browse() const { return m_browse; }
    QMdiSubWindow* BrowseSubWindow() const;
    // Lets the browse window save (unless EndingOnError) and closes it.
    void UnloadBrowseWindow();

    // --- shutdown
    // Confirms (close box only) and schedules the unload on UnloadTimer; a second request while
    // one is pending changes nothing. False when the user said No.
    bool QueryUnload(UnloadMode mode);
    void OnUnloadTimer();
    QTimer& UnloadTimer() { return m_unloadTimer; }
    int UnloadTicks() const { return m_unloadTicks; }
    // Unloads every window (the browse window saves unless EndingOnError) and ends the process.
    void Unload();
    // Ends the program without saving anything (a start-up that cannot go on).
    void EndApplication();
    // An unload is pending or done.
    bool EndRequested() const { return m_unloadPending || m_unloadDone || m_ended; }
    bool UnloadPending() const { return m_unloadPending; }
    // The process has been asked to end.
    bool Ended() const { return m_ended; }

    // --- the children
    // The active child window (the browse window when no other is active); null before login.
    ChildWindow* ActiveChild() const;
    QMdiArea* MdiArea() const { return m_mdiArea; }
    // Window menu.
    void Cascade();
    void TileHorizontal();
    void TileVertical();
    void ArrangeIcons();
    void CloseAll();
    // The inactivity lock: hides every page, the bars and the status bar and takes the commands
    // out of use, or back.
    void SetLockedView(bool locked);
    bool LockedView() const;
    // What the frame shows while the account is locked.
    QWidget* LockPage() const { return m_lockPage; }
    InactivityLock* Lock() const { return m_lock.get(); }
    // The user's clicks and key presses (the click credit of the pop-up policy; LastActivity
    // for the inactivity lock).
    ActivityMonitor& Activity() const { return *m_activity; }

    // --- toolbar, bars, view
    FrameToolbar& Toolbar() const { return *m_toolbar; }
    QToolBar* LinksToolbar() const { return m_linksToolbar; }
    QWidget* LinksBar() const { return m_linksBar; }
    void OnToolbarButton(const QString& key);
    // Enables or disables the View, Toolbars items (off in full screen).
    void EnableViewToolbarsMenus(bool enabled);
    QMenu* ToolbarsMenu() const { return m_toolbarsMenu; }
    // View, Full Screen: on or off.
    void FullScreen(bool on);
    bool IsFullScreen() const { return m_fullScreen; }
    const ViewSettings& View() const { return m_view; }
    // The frame's menu actions by object name ("mnuFileExit", "mnuViewStatusBar", ...).
    QAction* MenuAction(const QString& name) const;

    // --- lists the frame owns
    MasterHistory& masterHistory() { return m_masterHistory; }
    Bookmarks& bookmarks() { return m_bookmarks; }
    QMenu* MasterHistoryPopup() const { return m_masterHistoryPopup; }
    QMenu* BookmarksPopup() const { return m_bookmarksPopup; }
    // The blocked pop-ups, their menu (PopUpsPopup, under the "Popup" button and the
    // Navigate menu's item) and the flasher of "New Auto-PopUp" (ticked by the browse window's
    // busy timer).
    PopUpsList& PopUps() const { return *m_popUps; }
    PopUpsMenu& PopUpsListMenu() const { return *m_popUpsMenu; }
    QMenu* PopUpsPopup() const { return m_popUpsPopup; }
    MessageFlasher& Flasher() const { return *m_flasher; }
    // Bookmarks the active child's page.
    void AddBookmark();
    // After the options were applied: the lists follow their new limits.
    void OptionsApplied();
    PageCommands& Page() const { return *m_pageCommands; }
    // This run's downloads and their window (File, Downloads; Ctrl+J).
    DownloadList& Downloads() const { return *m_downloads; }
    DownloadsWindow* ShowDownloads();
    // The help of a topic, in the help window (beside a modal dialog when one is up).
    void ShowHelp(const QString& topic);
    HelpWindow* Help() const { return m_helpWindow; }
    // The user's home page (every pane's Home).
    static QString HomePage();

    // --- what the browse window and others use
    FrameStatusBar& StatusBar() const { return *m_statusBar; }
    // The progress panel.
    void UpdateProgress(int value);
    // Opens an address in the active child window.
    void NavigateURL(const QString& url);
    // File, Work Offline: its check mark is the program's offline switch.
    QAction* WorkOfflineAction() const { return m_workOffline; }
    bool WorkOfflineChecked() const;
    void SetWorkOfflineChecked(bool checked);
    // The Links menu: Add Link, Edit Link and Remove Link (whose submenus list the Links by
    // name; the browse window fills them), Sort.
    QMenu* LinksMenu() const { return m_linksMenu; }
    QAction* AddLinkAction() const { return m_linksAdd; }
    QMenu* EditLinkMenu() const { return m_editLinkMenu; }
    QMenu* RemoveLinkMenu() const { return m_removeLinkMenu; }
    QAction* SortLinksAction() const { return m_linksSort; }
    // Navigate, History: the visible Link's own history (filled by the browse window).
    QMenu* HistoryMenu() const { return m_historyMenu; }

    // The program's message window while something takes a moment ("Refreshing...").
    void ShowMessage(const QString& text);
    void HideMessage();
    QString MessageText() const;
    bool MessageShown() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    QMenu* createPopupMenu() override;

private:
    void BuildMenus();
    void BuildFileMenu();
    void BuildEditMenu();
    void BuildViewMenu();
    void BuildFavoritesMenu();
    void BuildNavigateMenu();
    void BuildLinksMenu();
    void BuildOptionsMenu();
    void BuildWindowMenu();
    void BuildHelpMenu();
    QAction* AddCommand(QMenu* menu, const QString& name, const QString& text, std::function<void()> run,
                        const QList<QKeySequence>& shortcuts = {});
    void RunStartUp();
    QWidget* BuildLockPage();
    void InstallHooks();
    void RemoveHooks();
    bool OpenStore();
    void ActivatePrevInstance();
    void ActivateFromOtherCopy();
    void OpenPendingAddresses();
    void WireBrowseWindow();
    void ApplyView();
    void ToggleView(const char* name, bool shown);
    void SetTextLabels(bool on);
    void ButtonClick(const QString& key);
    void ShowToolbarsMenu(const QPoint& globalPos);
    void ShowPageError(const QString& tag);
    void OnWorkOffline(bool checked);
    void OnFileClose();
    void OnImportFavorites();
    void OnHidePopUps(bool checked);
    void OnProgramOptions();
    void NavigateActive(const QString& url);
    void DownloadStarted(Download* download);
    // Ctrl+L, Alt+D, F6: the keyboard into the active child's address box.
    void FocusAddress();
    void OpenFind();
    void RefreshTextSizeMenu();
    void RefreshCommandStates();
    void EndProcess(EndKind kind);
    void UnloadOtherWindows();

    PaneFactory m_factory;
    StartUpHooks m_hooks;
    EndProcessHandler m_endProcess;

    QStackedWidget* m_stack = nullptr;
    QMdiArea* m_mdiArea = nullptr;
    QWidget* m_lockPage = nullptr;
    QWidget* m_findBar = nullptr;
    FrameStatusBar* m_statusBar = nullptr;
    FrameToolbar* m_toolbar = nullptr;
    QToolBar* m_linksToolbar = nullptr;
    QWidget* m_linksBar = nullptr;
    QPointer<BrowseWindow> m_browse;
    std::unique_ptr<FrameBrowseHost> m_browseHost;

    QHash<QString, QAction*> m_commands;
    QAction* m_workOffline = nullptr;
    QMenu* m_toolbarsMenu = nullptr;
    QMenu* m_textSizeMenu = nullptr;
    QActionGroup* m_textSizes = nullptr;
    QMenu* m_linksMenu = nullptr;
    QAction* m_linksAdd = nullptr;
    QMenu* m_editLinkMenu = nullptr;
    QMenu* m_removeLinkMenu = nullptr;
    QAction* m_linksSort = nullptr;
    QMenu* m_navigateMenu = nullptr;
    QMenu* m_historyMenu = nullptr;

    MasterHistory m_masterHistory;
    Bookmarks m_bookmarks;
    QMenu* m_masterHistoryPopup = nullptr;
    QMenu* m_bookmarksPopup = nullptr;
    QMenu* m_popUpsPopup = nullptr;
    MessageFlasher* m_flasher = nullptr;
    PopUpsList* m_popUps = nullptr;
    PopUpsMenu* m_popUpsMenu = nullptr;
    MasterHistoryMenu* m_masterHistoryMenu = nullptr;
    BookmarksMenu* m_bookmarksMenu = nullptr;
    std::unique_ptr<PageCommands> m_pageCommands;
    DownloadList* m_downloads = nullptr;
    EngineDownloads* m_engineDownloads = nullptr;
    QPointer<DownloadsWindow> m_downloadsWindow;
    HelpWindow* m_helpWindow = nullptr;

    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<UserOptions> m_options;
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<InactivityLock> m_lock;
    ActivityMonitor* m_activity = nullptr;
    QPointer<TerminationSignals> m_termination;
    QPointer<SessionEndFilter> m_sessionEnd;
    QPointer<QWidget> m_splash;

    QStringList m_pendingAddresses;
    QTimer m_unloadTimer;
    quint16 m_unloadTicks = 0;
    ViewSettings m_view;
    Qt::WindowStates m_stateBeforeFullScreen = Qt::WindowNoState;
    bool m_fullScreen = false;
    bool m_lockedView = false;
    bool m_initialised = false;
    bool m_hooksInstalled = false;
    bool m_unloadPending = false;
    bool m_unloadDone = false;
    bool m_ended = false;
    bool m_ownsProcess = false;
    bool m_inEventLoop = false;
    bool m_busyCursor = false;
};
