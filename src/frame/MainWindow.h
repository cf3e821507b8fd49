#pragma once

#include <memory>
#include <QMainWindow>
#include <QPointer>

#include "browse/Bookmarks.h"
#include "browse/BrowseWindow.h"
#include "browse/MasterHistory.h"
#include "frame/MainCommand.h"
#include "frame/ProgramLifeCycle.h"
#include "frame/ViewSettings.h"

class ActivityMonitor;
class ChildWindow;
class Download;
class DownloadList;
class DownloadsWindow;
class EngineDownloads;
class FrameBrowseHost;
class FrameStatusBar;
class FrameToolbar;
class HelpWindow;
class InactivityLock;
class MainCommands;
class MainMenus;
class MessageFlasher;
class PageCommands;
class PopUpsList;
class QMdiArea;
class QMdiSubWindow;
class QStackedWidget;
class QToolBar;

// The main window: the first and the last window of the program. It carries the menus and the
// button bar (MainMenus), the links strip, the status bar and the MDI area in which the logged-in
// user's browse window (and any stand-alone windows) live. Its commands act on the active child
// window; it does not navigate itself. The program's start-up and shutdown are its LifeCycle().
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(PaneFactory factory = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    ProgramLifeCycle& LifeCycle() const { return *m_lifeCycle; }
    // Ends the program without saving anything.
    void EndApplication() { m_lifeCycle->EndApplication(); }

    // --- what start-up and shutdown do to the window
    // "Bramblegate - " + the user's name as typed at login.
    void SetUserCaption();
    // Puts the remembered Work Offline state into effect and ticks the menu item.
    void RestoreOfflineState();
    // Builds the button bar for a screen this wide (default: the window's screen) and applies the
    // user's View settings to the bars.
    void ToolbarResetData(int screenWidth = -1);
    void LoadLinksBar();
    // The user's history list and bookmarks.
    void LoadLists();
    // Loads the user's browse window (its Load makes the Links and their panes), shows it
    // maximised in the MDI area and activates it. Its panes come from `factory` (default: the
    // window's own).
    BrowseWindow* LoadBrowseWindow(PaneFactory factory = {});
    BrowseWindow* Browse() const { return m_browse; }
    // Lets the browse window save (unless EndingOnError) and closes it.
    void UnloadBrowseWindow();
    // Closes every other window of the program.
    void UnloadOtherWindows();
    // The menu bar, the bars and the windows take input, or nothing does.
    void SetInputEnabled(bool enabled);
    // The inactivity lock, from the start-up to the end.
    void InstallLock();
    void RemoveLock();
    InactivityLock* Lock() const { return m_lock.get(); }

    // --- the children
    // The active child window (the browse window when no other is active); null before login.
    ChildWindow* ActiveChild() const;
    // Opens an address in the active child window.
    void NavigateActive(const QString& url);
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
    // The user's clicks and key presses (the click credit of the pop-up policy; LastActivity
    // for the inactivity lock).
    ActivityMonitor& Activity() const { return *m_activity; }

    // --- commands and view
    // What a menu item or a button of the bar does.
    void RunCommand(MainCommand command, bool checked = false);
    // View, Full Screen: on or off.
    void FullScreen(bool on);
    // View, Toolbars: one of the bars (ViewSettings::kButtons ...) shown or not; text labels.
    void ToggleView(const stored::Value<bool>& bar, bool shown);
    void SetTextLabels(bool on);
    // Edit, Find and Find Next: the find bar on the active page.
    void OpenFind();
    void FindNext();
    // File, Close: the active stand-alone window.
    void CloseActiveWindow();
    // File, Work Offline.
    void WorkOffline(bool checked);
    bool IsFullScreen() const { return m_fullScreen; }
    const ViewSettings& View() const { return m_view; }

    // --- lists the window owns
    MasterHistory& History() { return m_masterHistory; }
    Bookmarks& BookmarkList() { return m_bookmarks; }
    // The blocked pop-ups and the flasher of "New Auto-PopUp" (ticked by the browse window's
    // busy timer).
    PopUpsList& PopUps() const { return *m_popUps; }
    MessageFlasher& Flasher() const { return *m_flasher; }
    // Bookmarks the active child's page.
    void AddBookmark();
    // After the options were applied: the lists follow their new limits.
    void OptionsApplied();
    PageCommands& Page() const { return *m_pageCommands; }
    // This run's downloads and their window (File, Downloads; Ctrl+J).
    DownloadList& Downloads() const { return *m_downloads; }
    void ShowDownloads();
    // The help of a topic, in the help window (beside a modal dialog when one is up).
    void ShowHelp(const QString& topic);
    // The user's home page (every pane's Home).
    static QString HomePage();

    // --- what the browse window and others use
    // The progress panel.
    void UpdateProgress(int value);
    // Opens an address in the browse window.
    void NavigateURL(const QString& url);
    // File, Work Offline: its check mark is the program's offline switch.
    bool WorkOfflineChecked() const;
    void SetWorkOfflineChecked(bool checked);

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
    QMdiSubWindow* BrowseSubWindow() const;
    QWidget* BuildLockPage();
    void BuildLists();
    void BuildMenus();
    void WireBrowseWindow();
    void ApplyView();
    void EnableViewToolbarsMenus(bool enabled);
    void ShowPageError(const QString& tag);
    void DownloadStarted(Download* download);

    PaneFactory m_factory;
    std::unique_ptr<ProgramLifeCycle> m_lifeCycle;

    QStackedWidget* m_stack = nullptr;
    QMdiArea* m_mdiArea = nullptr;
    QWidget* m_lockPage = nullptr;
    QWidget* m_findBar = nullptr;
    FrameStatusBar* m_statusBar = nullptr;
    FrameToolbar* m_toolbar = nullptr;
    QToolBar* m_linksToolbar = nullptr;
    QWidget* m_linksBar = nullptr;
    MainMenus* m_menus = nullptr;
    std::unique_ptr<MainCommands> m_commands;
    QPointer<BrowseWindow> m_browse;
    std::unique_ptr<FrameBrowseHost> m_browseHost;

    MasterHistory m_masterHistory;
    Bookmarks m_bookmarks;
    MessageFlasher* m_flasher = nullptr;
    PopUpsList* m_popUps = nullptr;
    std::unique_ptr<PageCommands> m_pageCommands;
    DownloadList* m_downloads = nullptr;
    EngineDownloads* m_engineDownloads = nullptr;
    QPointer<DownloadsWindow> m_downloadsWindow;
    HelpWindow* m_helpWindow = nullptr;
    std::unique_ptr<InactivityLock> m_lock;
    ActivityMonitor* m_activity = nullptr;

    ViewSettings m_view;
    Qt::WindowStates m_stateBeforeFullScreen = Qt::WindowNoState;
    bool m_fullScreen = false;
    bool m_lockedView = false;
};
