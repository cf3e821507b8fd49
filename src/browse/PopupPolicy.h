#pragma once

#include <functional>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>

#include "browse/BrowseContext.h"
#include "browse/NewWindowPolicy.h"
#include "browse/PaneArea.h"

class BrowseHost;
class Links;
class NavigationDriver;
class PageRecorder;
class SearchPane;
class StandaloneWindow;
struct BrowseState;
class PopUpCatcher;
class QMdiArea;

// Decides what becomes of a page's request for a new window: it opens in a stand-alone window
// (StandaloneWindow), opens in the window the user is working in, or is blocked. A blocked window from a
// Link pane or a stand-alone window is handed to a catcher (PopUpCatcher) that reads the address it
// was about to load and lists it in the frame's blocked pop-ups (PopUpsList), so it is not lost.
//
// Blocking follows the Link's HidePopUps (stand-alone windows keep the setting of the window they
// came from); a window that follows the user's click in the same window (App().LastClickedWindow,
// kept by the frame's ActivityMonitor) is wanted. Ctrl held opens the window's address in the
// current window instead; Alt held lets a pop-up open.
//
// Part of the browse window; stand-alone windows are MDI children of the frame and go when the
// browse window goes.
class PopupPolicy : public QObject, public NewWindowPolicy {
    Q_OBJECT
public:
    // The panes of the browse window that ask for new windows (there is no message pane here).
    enum class Control { Links, Search };
    using Beeper = std::function<void()>;
    static constexpr const char* kHome = "HOME";

    // Catchers' panes and stand-alone windows' panes come from `factory` (the browse window's).
    // Each gets the web profile of the window it came from, so a new window keeps the session
    // of the page that opened it: a Link's own profile for a Link's page, the user's shared one
    // for the search pane and for windows with no Link behind them.
    // `search`: the sidebar's search pane (null: none). `windowHandle`: the browse window's
    // identity for LastClickedWindow.
    PopupPolicy(const BrowseContext& context, NavigationDriver& navigation, SearchPane* search,
                PageRecorder& recorder, PaneFactory factory);
    ~PopupPolicy() override;

    // --- the decisions
    // NewWindow2 of Link pane `pane` (its control index).
    void HandleNewWindow(int pane, NewWindowEvent& e) override;
    // NewWindow2 of a pane of the browse window; `index` is the Link pane's control index.
    void HandleNewWindow(Control control, int index, NewWindowEvent& e);
    // A window a side pane's page opened without the user's gesture: it never opens by itself; with
    // Ctrl held its address opens in the visible Link pane, otherwise it is listed with a beep.
    void HandleNewWindowV1(Control control, const QString& url);
    // NewWindow2 of the search pane: a window the user asked for goes to HandleNewWindow, one
    // the page opened by itself to HandleNewWindowV1.
    void OnNewWindow2(NewWindowEvent& e);
    // NewWindow2 of a stand-alone window (no Ctrl and no offline test there).
    void HandleNewWindow(StandaloneWindow& window, NewWindowEvent& e);

    // --- operations
    // A new stand-alone window in web profile `profileId` (BrowserPane::ProfileId; the shared
    // one when that Link has gone): on the home page for kHome, on `url` when one is given, else
    // it takes the new window of `e`. Placed inside the frame's client area and shown; it comes
    // to the front when the user asked for it.
    StandaloneWindow* OpenNewWin(const QString& url, bool hidePopUps, NewWindowEvent* e, bool userClicked,
                                 const QString& profileId);
    // Opens an address in the visible Link's pane.
    void OpenInExisting(const QString& url);
    // A catcher for one new window of a page in web profile `profileId` (hand its Pane() to
    // the event). A page that opens windows in a loop gets at most kMaxCatchingPanes engine pages
    // to catch them with at a time; beyond those, a window whose address the request already
    // names is caught without a page, and a blank one is only beeped at (null).
    PopUpCatcher* CreateCatcher(bool openAfterCapture, const QString& profileId,
                                const QString& url = QString());
    static constexpr int kMaxCatchingPanes = 3;
    // An address the user wants from a page of web profile `profileId` (a caught one, an entry of
    // the blocked pop-ups): in the frame's active child, the stand-alone window or the visible
    // Link's pane, when that works in the same profile; else in a new stand-alone window of it.
    void OpenInCurrentWindow(const QString& url, const QString& profileId);
    // Lists a blocked window's address, and the profile of the page that opened it, in the frame.
    void AddPopUpItem(const QString& url, const QString& profileId);
    // Beeps when the user's BeepOnPopup option is on.
    void BeepOnPopUp();

    // --- state
    // Records completed pages of the stand-alone windows.
    PageRecorder& Recorder() const { return m_recorder; }
    BrowseHost& Host() const { return m_host; }
    const PaneFactory& Factory() const { return m_factory; }
    // The stand-alone windows open now, oldest first.
    QList<StandaloneWindow*> NewWindows() const;
    // The catchers still waiting or about to hand their address on.
    QList<PopUpCatcher*> Catchers() const;
    // Tests count the beeps.
    void SetBeeper(Beeper beeper);

    // Where a new stand-alone window goes in an MDI area that holds `open` of them already.
    static QRect NewWindowGeometry(const QSize& client, int open);

private:
    // The profile id while a Link of the user still has it; else the shared one.
    QString LiveProfileId(const QString& profileId) const;
    // The pop-up choice of the Link of a profile (true for the shared profile).
    bool HidePopUpsOf(const QString& profileId) const;

    Links& m_links;
    NavigationDriver& m_navigation;
    SearchPane* m_search;
    PageRecorder& m_recorder;
    BrowseState& m_state;
    quintptr m_windowHandle;
    BrowseHost& m_host;
    PaneFactory m_factory;
    Beeper m_beeper;
    QList<QPointer<StandaloneWindow>> m_windows;
};
