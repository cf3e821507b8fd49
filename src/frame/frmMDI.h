#pragma once

#include <QMainWindow>
#include <QPointer>

#include "browse/frmBrowse.h"

class ActivityMonitor;
class ChildWindow;
class FrameStatusBar;
class MessageFlasher;
class PopUpsList;
class PopUpsMenu;
class QAction;
class QLabel;
class QMdiArea;
class QMenu;

// The main frame: the menus, the status bar and the MDI area in which the logged-in user's
// browse window lives. Constructing it builds widgets only; the start-up steps after login are
// separate calls (SetUserCaption, LoadBrowseWindow), so that start-up and shutdown can grow
// around them.
class frmMDI : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMDI(QWidget* parent = nullptr);
    ~frmMDI() override;

    // --- start-up steps
    // "Bramblegate - " + the user's name as typed at login.
    void SetUserCaption();
    // Puts the remembered Work Offline state into effect and ticks the menu item.
    void RestoreOfflineState();
    // Loads the user's browse window (its Form_Load makes the Links and their panes), shows it
    // maximised in the MDI area and activates it. The window's panes come from `factory`.
    frmBrowse* LoadBrowseWindow(PaneFactory factory);
    frmBrowse* BrowseWindow() const { return m_browse; }
    // Lets the browse window save (unless EndingOnError) and closes it.
    void UnloadBrowseWindow();

    // --- what the browse window and others use
    FrameStatusBar& StatusBar() const { return *m_statusBar; }
    // The child window the frame's commands go to (the browse window or a stand-alone window);
    // null when there is none.
    ChildWindow* ActiveChild() const;
    QMdiArea* MdiArea() const { return m_mdiArea; }
    // The blocked pop-ups, their menu (mnpPopUpsList, for the "Popup" tool button: BindAction)
    // and the flasher of "New Auto-PopUp" (ticked by the browse window's busy timer).
    PopUpsList& PopUps() const { return *m_popUps; }
    PopUpsMenu& PopUpsListMenu() const { return *m_popUpsMenu; }
    QMenu* mnpPopUpsList() const { return m_mnpPopUpsList; }
    MessageFlasher& Flasher() const { return *m_flasher; }
    // The user's clicks and key presses (the click credit of the pop-up policy; LastActivity
    // for the inactivity lock).
    ActivityMonitor& Activity() const { return *m_activity; }
    // The progress panel.
    void UpdateProgress(int value);
    // Opens an address in the browse window's visible Link.
    void NavigateURL(const QString& url);
    // File, Work Offline: its check mark is the program's offline switch.
    QAction* mnuFileWorkOffline() const { return m_workOffline; }
    bool WorkOfflineChecked() const;
    void SetWorkOfflineChecked(bool checked);
    // The Links menu: Add Link, Edit Link and Remove Link (whose submenus list the Links by
    // name; the browse window fills them), Sort.
    QMenu* mnuLinks() const { return m_mnuLinks; }
    QAction* mnuLinksAdd() const { return m_linksAdd; }
    QMenu* mnuLinksEditName() const { return m_mnuLinksEdit; }
    QMenu* mnuLinksRemoveName() const { return m_mnuLinksRemove; }
    QAction* mnuLinksSort() const { return m_linksSort; }
    // Navigate, History: the visible Link's own history (filled by the browse window).
    QMenu* mnuHistory() const { return m_mnuHistory; }

    // A small message over the window while something takes a moment ("Refreshing...").
    void ShowMessage(const QString& text);
    void HideMessage();
    QString MessageText() const;
    bool MessageShown() const;

    // Ends the program without saving anything (a start-up that cannot go on).
    void EndApplication();
    bool EndRequested() const { return m_endRequested; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void WireBrowseWindow();
    void mnuFileWorkOffline_Click(bool checked);
    void ShowPageError(const QString& tag);

    QMdiArea* m_mdiArea = nullptr;
    FrameStatusBar* m_statusBar = nullptr;
    QPointer<frmBrowse> m_browse;
    QAction* m_workOffline = nullptr;
    QMenu* m_mnuLinks = nullptr;
    QAction* m_linksAdd = nullptr;
    QMenu* m_mnuLinksEdit = nullptr;
    QMenu* m_mnuLinksRemove = nullptr;
    QAction* m_linksSort = nullptr;
    QMenu* m_mnuNavigate = nullptr;
    QMenu* m_mnuHistory = nullptr;
    QLabel* m_message = nullptr;
    bool m_endRequested = false;
    MessageFlasher* m_flasher = nullptr;
    PopUpsList* m_popUps = nullptr;
    QMenu* m_mnpPopUpsList = nullptr;
    PopUpsMenu* m_popUpsMenu = nullptr;
    ActivityMonitor* m_activity = nullptr;
};
