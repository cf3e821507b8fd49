#pragma once

#include "browse/PageRecorder.h"
#include <functional>
#include <memory>
#include <QColor>
#include <QPoint>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "browse/BrowseContext.h"
#include "browse/BrowseState.h"
#include "browse/ChildWindow.h"
#include "browse/FavoritesHost.h"
#include "browse/FormFillerHost.h"
#include "browse/LinkControlsHost.h"
#include "browse/PaneArea.h"
#include "browse/PaneShower.h"
#include "browse/SearchPaneHost.h"
#include "links/Link.h"
#include "links/LinkEditorHost.h"

class BrowserPane;
class Links;
class BrowseHost;
class LinkButtonsPanel;
class LinkControls;
class LinkPanes;
class LoginDecider;
class LoginDecision;
class NavigationBar;
class NavigationDriver;
class PageLoadTracker;
class PaneArea;
class NewWindowPolicy;
class PopupPolicy;
class IdlePanes;
class QDrag;
class LinkButtonMenu;
class SideBarSplitter;
class Favorites;
class SearchPane;
class TabColours;

// The browse window of the logged-in user: the sidebar with the Link buttons, one browser pane
// per Link plus the placeholder pane, and the navigation bar. It builds the layout, then (once the
// Links are read) the small parts that each do one job, and wires them to each other and to the
// few window operations they need (PaneShower, LinkView, LinkControlsHost); what they share comes
// to them as a BrowseContext and a BrowseView:
//   LinkControls     the Link buttons and menus: load, add, edit, remove, sort, drag and drop
//   NavigationDriver every navigation of a Link pane, the progress page, start-up navigation, and
//                    the Links' login notifications (LinkOwner)
//   PageLoadTracker  the panes' engine events: progress, tab colours, padlock, history
//   LoginDecision    a completed page while its Link logs in
//   PopupPolicy      new windows of the panes
//   LinkPanes        making each Link's pane and wiring its profile, page requests and idle state
// The window implements LinkEditorHost (what the Link editor calls).
class BrowseWindow : public QWidget,
                     public ChildWindow,
                     public PaneShower,
                     public LinkView,
                     public LinkControlsHost,
                     public LinkEditorHost,
                     public FavoritesHost,
                     public SearchPaneHost,
                     public FormFillerHost {
    Q_OBJECT
public:
    // Control index of the placeholder pane.
    static constexpr int kPlaceholder = PaneArea::kPlaceholder;
    // Links one lifetime of the window can hold (control indexes 0 to 100).
    static constexpr int kMaxLinks = kMaxBrowseLinks;
    // Module text of the window's error reports.
    static constexpr const char* kModule = kBrowseModule;

    BrowseWindow(BrowseHost& host, PaneFactory factory, QWidget* parent = nullptr);
    ~BrowseWindow() override;

    // --- lifetime
    // Loads the user's Links and makes their buttons and panes (pane 0 and the placeholder always).
    void Load();
    // The window has come to the front: starts the parse time-out timer, focuses the page.
    void Activate();
    // The user's freeze and discard minutes changed (or are read for the first time).
    void ReadIdleMinutes();
    IdlePanes& Idle() const { return *m_idle; }
    // Saves the Links in compact form unless App().EndingOnError, and stops the timers.
    void Unload();

    // --- parts and state
    // What the window asks of the one it lives in (status bar, menus, pop-up list, ...).
    BrowseHost& Host() const { return m_host; }
    ::Links& LinkList() const { return *m_links; }
    bool HasLinks() const { return m_links != nullptr; }
    BrowseState& State() { return m_state; }
    // The parts below exist once Load has read the Links.
    NavigationDriver& Navigation() const;
    LinkControls& Controls() const;
    LinkButtonsPanel& Buttons() const;
    PaneArea& Panes() const { return *m_panes; }

    // --- panes (control index i = Link Index - 1)
    BrowserPane* Pane(int i) const;
    BrowserPane* Placeholder() const;
    // Makes pane i (offline as the program is, navigated to "about:blank", behind the others)
    // and connects its events; the existing one when it is there.
    BrowserPane* CreatePane(int i) override;
    void ReleasePane(int i) override;
    // Pane i works in its Link's web profile: the Link's own, or the user's shared one when the
    // Link shares its cookies (or is gone).
    void BindPaneProfile(int i) override;
    bool IsPlaceholderShown() const;
    void ShowPlaceholder();
    // The show-pane step: makes Link i the visible one when it is to be (it was asked for, or no
    // Link is on show) and brings its pane to the front, or the placeholder while its login is
    // pending; also the window caption and the page picture. A Link opened in the background
    // leaves the visible one alone.
    void ShowPane(int i) override;
    // Pane i (or the placeholder while Link i waits for its login) in front, without changing
    // which Link is visible.
    void BringToFront(int i) override;
    // The window caption: the visible Link's page title (or its caption).
    void RefreshCaption() override;
    // Navigate, History: the visible Link's own history.
    void RefreshHistoryMenu() override;
    // The visible Link's control index, -1 when none.
    int VisibleIndex() const override;

    // --- tab colours (the view buttons), the page picture, the address box
    QColor TabColour(int i) const;
    QColor ViewColour() const;
    QString AddressText() const;
    bool IsAddressBeingEdited() const;

    // --- status bar, through the host
    // The status text of the visible Link (panel 1).
    void SetStatusText(const QString& text) override;
    QString StatusText() const { return m_state.statusText; }

    // --- operations other windows call
    Link* AddLink(const QString& caption, const QString& url, const QString& userName, const QString& pw,
                  const QString& selectOption, const QString& navigateAfterLogin, bool autoNavigate,
                  bool reqLogin) override;
    Link* UpdateLink(int index, const QString& caption, const QString& url, const QString& userName,
                     const QString& pw, const QString& selectOption, const QString& navigateAfterLogin,
                     bool autoNavigate, bool reqLogin) override;
    void Nav2Visible(const QString& url, int navigateMode) override;
    bool VerifyPassword(QWidget* parent) override;
    void NavigateURL(const QString& url) override;
    // 0 Links, 1 Favorites, 2 Search; shows the sidebar first when it is hidden.
    void ShowTab(int tab);
    void SortButtons();
    void SideBarShowHide();
    bool SideBarShown() const;
    // Keyboard focus to the visible page.
    void EnsureAppFocus() override;

    // --- FormFillerHost: what the auto-login's form filler asks of the window (BrowseWindowLogin.cpp)
    bool NavigateStopped() const override;
    void NavigatePane(int index, const QString& url) override;
    QString SSN() const override;
    int SignInParseCount() const override { return m_state.signInParseCount; }
    void SetSignInParseCount(int count) override { m_state.signInParseCount = count; }
    void RememberActiveControl() override;
    void RestoreActiveControl() override;
    // The window's own login decision (installed as the LoginDecider at construction).
    LoginDecision& Login() const;

    // --- the Links' VisibleChanged event
    void VisibleChanged();

    // --- the main window's commands on this window
    void RunCommand(WindowCommand command) override;
    // The visible Link's pane.
    BrowserPane* ActivePane() const override;
    QWidget* Widget() override { return this; }

    // --- timer ticks (the timers are children named busyTimer, parseTimeOutTimer, showPageTimer,
    // loadFavoritesTimer and dragStartTimer)
    void OnBusyTimer();
    void OnParseTimeOut();
    void OnShowPageTimer();
    void OnLoadFavoritesTimer();
    // Panes whose Link logs in work behind the front one (PaneArea::SetWorking) until the login
    // is settled; run by the busy timer and when a Link is opened.
    void RefreshWorkingPanes() override;

    // --- the Link buttons' context menu (Add, Edit, Remove)
    void ShowContextMenu(const QPoint& globalPos) override;

    // --- seams other parts plug into (none is owned)
    // The login decision; without one every completed document goes on to the image check.
    void SetLoginDecider(LoginDecider* decider);
    // The answer to new windows of the Link panes (the window's own PopUps() unless replaced;
    // null: they are cancelled).
    void SetPopupPolicy(NewWindowPolicy* policy);
    // The pop-up policy: new windows of every pane, stand-alone windows, catchers.
    PopupPolicy& PopUps() const { return *m_popUps; }
    // Master history and known addresses; without one pages go only into the Links' histories.
    // Records completed pages into the Link's history, the master history (once the frame
    // hands it over) and the known addresses of the address box.
    PageRecorder& Recorder() { return m_recorder; }
    // Shows the Link editor: `link` null for "Add Link", else the Link to edit. Without one the
    // Add and Edit commands are disabled.
    using LinkEditorOpener = std::function<void(LinkEditorHost& host, QWidget* parent, const Link* link)>;
    void SetLinkEditorOpener(LinkEditorOpener opener);
    bool HasLinkEditor() const override { return bool(m_editorOpener); }
    void OpenLinkEditor(const Link* link) override;
    // Runs a drag to its end (QDrag::exec); tests replace it.
    using DragRunner = std::function<void(QDrag& drag)>;
    void SetDragRunner(DragRunner runner) { m_dragRunner = std::move(runner); }
    void RunDrag(QDrag& drag) override;

    // Runs first on every busy tick while the program is not exiting (the frame's inactivity
    // lock); when it says true, the tick does nothing else.
    void SetLockCheck(std::function<bool()> check) { m_lockCheck = std::move(check); }
    // Options, Hide Pop-Ups: whether the window's pop-up blocking is switched on.
    bool& m_hidePopUps = m_state.hidePopUps;

    // This window's identity for LastClickedWindow.
    quintptr WindowHandle() const override { return reinterpret_cast<quintptr>(this); }

    // FavoritesHost
    Links* FavoritesLinks() override { return m_links.get(); }
    core::PageLocation VisiblePage() const override;
    Favorites* FavoritesPanel() const { return m_favorites; }
    SearchPane* SearchPanel() const { return m_search; }

signals:
    // The Links marked to load at start have been opened (and a Link is on show).
    void StartUpNavigated();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildLayout();
    void ConnectButtons();
    // What the helpers share of the window on screen.
    BrowseView View();
    void StartPageDrag();

    BrowseHost& m_host;
    PaneFactory m_factory;
    BrowseState m_state;
    std::unique_ptr<::Links> m_links;
    // The window's parts, built by Load once the Links are read.
    struct Parts;
    std::unique_ptr<Parts> m_parts;
    std::unique_ptr<TabColours> m_tabs;

    NavigationBar* m_navBar = nullptr;
    SideBarSplitter* m_sideSplit = nullptr;
    Favorites* m_favorites = nullptr;
    SearchPane* m_search = nullptr;
    PaneArea* m_panes = nullptr;
    LinkButtonMenu* m_linkButtonMenu = nullptr; // made by Load, with the Link controls

    QTimer m_busyTimer{this};
    QTimer m_parseTimeOutTimer{this};
    QTimer m_showPageTimer{this};
    QTimer m_loadFavoritesTimer{this};
    QTimer m_dragStartTimer{this};
    bool m_getFavsRan = false;
    bool m_unloaded = false;

    std::unique_ptr<PopupPolicy> m_popUps;
    std::unique_ptr<LinkPanes> m_linkPanes;
    IdlePanes* m_idle = nullptr;
    QPointer<QWidget> m_activeControl; // remembered around a submission by the Enter key
    PageRecorder m_recorder{nullptr, nullptr};
    LinkEditorOpener m_editorOpener;
    DragRunner m_dragRunner;
    std::function<bool()> m_lockCheck;
};
