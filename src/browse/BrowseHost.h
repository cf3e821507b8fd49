#pragma once

#include <functional>
#include <QList>
#include <QString>

class ChildWindow;
class DownloadList;
class PopUpsList;
class QMdiArea;

// One item of a menu the host shows for the browse window: its text (as a menu shows it, "&"
// written "&&") and what choosing it does.
struct BrowseMenuItem {
    QString text;
    std::function<void()> run;
};

// What the browse layer asks of the window it lives in. The browse code talks upward only
// through this; the frame implements it (FrameBrowseHost), tests may too.
class BrowseHost {
public:
    virtual ~BrowseHost() = default;

    // --- the status bar: panel 1 (the visible Link's status text), the progress panel, the
    // padlock and panel 3 ("Working Offline", "Navigation Cancelled", flashing messages)
    virtual void SetStatusText(int panel, const QString& text) = 0;
    virtual QString StatusText(int panel) const = 0;
    // Panel 1 says "Error on Page " with its picture; `details` stay behind the picture.
    virtual void ShowPageError(const QString& details) = 0;
    virtual bool PageErrorShown() const = 0;
    // Panel 1's text, picture and details cleared.
    virtual void ClearStatus() = 0;
    virtual void ShowPadlock(bool shown) = 0;
    // 1..99 shows a bar, 0 hides it.
    virtual void UpdateProgress(int value) = 0;
    // One tick (every 500 ms, the browse window's busy timer) of the messages that flash.
    virtual void FlashMessages() = 0;

    // --- the program's Work Offline switch as the user sees it (File, Work Offline)
    virtual bool WorkOffline() const = 0;
    virtual void SetWorkOffline(bool offline) = 0;

    // --- the message window while something takes a moment ("Refreshing...")
    virtual void ShowMessage(const QString& text) = 0;
    virtual void HideMessage() = 0;

    // --- the blocked pop-ups of this run
    virtual PopUpsList& PopUps() = 0;
    // This run's downloads.
    virtual DownloadList& Downloads() = 0;

    // --- the user's activity: whether the last input came from the mouse (a click's credit)
    virtual bool LastInputWasMouse() const = 0;

    // --- the child-window area the browse window and the stand-alone windows live in
    virtual QMdiArea* ChildArea() const = 0;
    // The active child window; null when there is none.
    virtual ChildWindow* ActiveChild() const = 0;
    // File, Print on the active child window's page.
    virtual void PrintActivePage() = 0;

    // --- the menus that list the browse window's things
    // Links, Edit Link and Remove Link: one item per Link in button order, and whether each
    // submenu is usable.
    virtual void SetLinkMenus(const QList<BrowseMenuItem>& edit, const QList<BrowseMenuItem>& remove,
                              bool editEnabled, bool removeEnabled) = 0;
    virtual void SetAddLinkEnabled(bool enabled) = 0;
    // Navigate, History: the visible Link's own history; usable when it holds anything.
    virtual void SetHistoryMenu(const QList<BrowseMenuItem>& pages) = 0;

    // --- ends the program without saving anything (a start-up that cannot go on)
    virtual void EndApplication() = 0;
};
