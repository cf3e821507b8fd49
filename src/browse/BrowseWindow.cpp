#include "browse/BrowseWindow.h"

#include <QCloseEvent>
#include <QDrag>
#include <QElapsedTimer>
#include <QFrame>
#include <QVBoxLayout>

#include "browse/BrowseHost.h"
#include "browse/DesktopBrowser.h"
#include "browse/engine/BrowserPane.h"
#include "browse/engine/WebProfiles.h"
#include "browse/Favorites.h"
#include "browse/IdlePanes.h"
#include "browse/LinkButtonMenu.h"
#include "browse/LinkButtonsPanel.h"
#include "browse/LinkControls.h"
#include "browse/LinkDrag.h"
#include "browse/LinkPanes.h"
#include "browse/LoginDecision.h"
#include "browse/NavigationBar.h"
#include "browse/NavigationDriver.h"
#include "browse/PageLoadTracker.h"
#include "browse/PaneArea.h"
#include "browse/PopupPolicy.h"
#include "browse/SearchPane.h"
#include "browse/SideBar.h"
#include "browse/SideBarSplitter.h"
#include "browse/TabColours.h"
#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Companion.h"
#include "core/Errors.h"
#include "core/Log.h"
#include "core/SettingsStore.h"
#include "core/UrlUtils.h"
#include "links/Links.h"
#include "users/LoginDialog.h"
#include "users/UserOptions.h"

using namespace core;

namespace {

constexpr int kBusyMs = 500;
constexpr int kPrsTimeOutMs = 5000;
constexpr int kShowPageMs = 1000;
constexpr int kGetFavsMs = 150;

} // namespace

// The parts that work on the Links, each given the few others it drives. They refer to each
// other, so they are built together: a part only keeps the references of those built after it.
struct BrowseWindow::Parts {
    Parts(BrowseWindow& w, ::Links& links)
        : context{links, *w.m_panes, w.m_state, w.m_host, w, w.WindowHandle()}, view(w.View()),
          controls(context, view, w, navigation, w.m_dragStartTimer),
          navigation(context, view, controls, tracker, w.m_showPageTimer),
          tracker(context, view, navigation, controls, w.m_recorder),
          login(context, view, w, navigation, tracker, LoginSites::Configured()) {
        tracker.SetLoginDecider(&login);
    }
    BrowseContext context;
    BrowseView view;
    LinkControls controls;
    NavigationDriver navigation;
    PageLoadTracker tracker;
    LoginDecision login;
};

BrowseWindow::BrowseWindow(BrowseHost& host, PaneFactory factory, QWidget* parent)
    : QWidget(parent), m_host(host), m_factory(std::move(factory)) {
    setObjectName(QStringLiteral("frmBrowse"));
    BuildLayout();
    m_tabs = std::make_unique<TabColours>(Buttons(), *m_navBar->PictureView());
    m_linkPanes = std::make_unique<LinkPanes>(View(), *m_panes, m_factory, m_host, m_state);
    m_idle = new IdlePanes(*m_linkPanes, this);

    m_busyTimer.setObjectName(QStringLiteral("busyTimer"));
    m_parseTimeOutTimer.setObjectName(QStringLiteral("parseTimeOutTimer"));
    m_showPageTimer.setObjectName(QStringLiteral("showPageTimer"));
    m_loadFavoritesTimer.setObjectName(QStringLiteral("loadFavoritesTimer"));
    m_dragStartTimer.setObjectName(QStringLiteral("dragStartTimer"));
    m_busyTimer.setInterval(kBusyMs);
    m_parseTimeOutTimer.setInterval(kPrsTimeOutMs);
    m_showPageTimer.setInterval(kShowPageMs);
    m_loadFavoritesTimer.setInterval(kGetFavsMs);
    m_dragStartTimer.setSingleShot(true);
    connect(&m_busyTimer, &QTimer::timeout, this, &BrowseWindow::OnBusyTimer);
    connect(&m_parseTimeOutTimer, &QTimer::timeout, this, &BrowseWindow::OnParseTimeOut);
    connect(&m_showPageTimer, &QTimer::timeout, this, &BrowseWindow::OnShowPageTimer);
    connect(&m_loadFavoritesTimer, &QTimer::timeout, this, &BrowseWindow::OnLoadFavoritesTimer);
    connect(&m_dragStartTimer, &QTimer::timeout, this, [this] {
        if (m_parts) m_parts->controls.OnDragStartTimer();
    });
    ConnectButtons();
}

BrowseWindow::~BrowseWindow() {
    // The panes go first, and nothing they say while going reaches the window.
    for (QTimer* timer :
         {&m_busyTimer, &m_parseTimeOutTimer, &m_showPageTimer, &m_loadFavoritesTimer, &m_dragStartTimer})
        timer->stop();
    if (m_parts) m_parts->tracker.SetPopupPolicy(nullptr);
    m_popUps.reset(); // its stand-alone windows and catchers go with the window
    delete m_idle;
    m_idle = nullptr;
    for (int i = 0; i <= kPlaceholder; ++i)
        if (BrowserPane* pane = m_panes->Pane(i)) {
            QObject::disconnect(pane, nullptr, this, nullptr);
            QObject::disconnect(pane, nullptr, m_linkPanes.get(), nullptr);
        }
    delete m_panes;
    m_panes = nullptr;
    if (m_links) m_links->SetLinkOwner(nullptr);
    m_parts.reset();
    m_links.reset();
}

void BrowseWindow::BuildLayout() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_navBar = new NavigationBar(this);
    layout->addWidget(m_navBar);
    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    layout->addWidget(rule);

    m_sideSplit = new SideBarSplitter(this);
    m_panes = &m_sideSplit->Panes();
    m_favorites = new Favorites(*this);
    m_sideSplit->Bar().SetPage(1, m_favorites);
    m_search = new SearchPane(*this, m_factory, nullptr,
                              SearchPages::ServicesFor(SearchEngines::Load(App().CurrentUser)));
    m_sideSplit->Bar().SetPage(2, m_search);
    layout->addWidget(m_sideSplit, 1);
}

void BrowseWindow::ConnectButtons() {
    LinkButtonsPanel& buttons = Buttons();
    connect(
        &buttons, &LinkButtonsPanel::LinkMouseDown, this,
        [this](int i, Qt::MouseButton b, const QPoint& at) { m_parts->controls.OnLinkMouseDown(i, b, at); });
    connect(
        &buttons, &LinkButtonsPanel::LinkMouseMove, this,
        [this](int i, const QPoint& at, Qt::MouseButtons b) { m_parts->controls.OnLinkMouseMove(i, at, b); });
    connect(
        &buttons, &LinkButtonsPanel::LinkMouseUp, this,
        [this](int i, Qt::MouseButton b, const QPoint& at) { m_parts->controls.OnLinkMouseUp(i, b, at); });
    connect(&buttons, &LinkButtonsPanel::LinkKeyActivated, this,
            [this](int i) { m_parts->navigation.OpenLink(i); });
    connect(&buttons, &LinkButtonsPanel::LinkDropped, this,
            [this](int i, const QMimeData* mime) { m_parts->controls.OnLinkDrop(i, mime); });
    connect(&buttons, &LinkButtonsPanel::ViewClicked, this,
            [this](int i) { m_parts->controls.OnViewClicked(i); });
    connect(&buttons, &LinkButtonsPanel::Resized, this, [this] {
        if (m_links) m_parts->controls.RefreshButtons();
    });
    connect(&buttons, &LinkButtonsPanel::Scrolled, this, [this] {
        if (m_links) m_parts->controls.RefreshScrolling();
    });
    connect(m_navBar, &NavigationBar::Command, this, &BrowseWindow::RunCommand);
    connect(m_navBar, &NavigationBar::AddressChosen, this,
            [this](const QString& url, int mode) { Nav2Visible(url, mode); });
    connect(m_navBar->PictureView(), &PagePicture::DragRequested, this, &BrowseWindow::StartPageDrag);
    connect(&m_sideSplit->Bar(), &QTabWidget::currentChanged, this,
            [this](int tab) { m_state.sideBarTab = tab; });
}

BrowseView BrowseWindow::View() {
    return {*m_navBar, Buttons(), m_search, *m_tabs, *this, *this};
}

LinkButtonsPanel& BrowseWindow::Buttons() const {
    return *m_sideSplit->Bar().LinksPage();
}

NavigationDriver& BrowseWindow::Navigation() const {
    return m_parts->navigation;
}

LinkControls& BrowseWindow::Controls() const {
    return m_parts->controls;
}

LoginDecision& BrowseWindow::Login() const {
    return m_parts->login;
}

void BrowseWindow::SetLoginDecider(LoginDecider* decider) {
    m_parts->tracker.SetLoginDecider(decider);
}

void BrowseWindow::SetPopupPolicy(NewWindowPolicy* policy) {
    m_parts->tracker.SetPopupPolicy(policy);
}

// ----- lifetime -------------------------------------------------------------------------------

void BrowseWindow::ReadIdleMinutes() {
    if (App().Options) {
        m_idle->SetMinutes(App().Options->FreezeAfterMinutes(), App().Options->DiscardAfterMinutes());
        return;
    }
    const UserOptions options(App().CurrentUser);
    m_idle->SetMinutes(options.FreezeAfterMinutes(), options.DiscardAfterMinutes());
}

void BrowseWindow::Load() {
    QElapsedTimer elapsed;
    elapsed.start();
    WriteLog(QStringLiteral("frmBrowse Form_Load Begin Proc"));
    if (App().Unloading) {
        WriteLog(QStringLiteral("frmBrowse Form_Load gbUnloading=True calling ClearBeforeUnload"));
        WriteLog(QStringLiteral("frmBrowse Form_Load gbUnloading=True Ending Application..."));
        m_host.EndApplication();
        return;
    }
    Errors::Guarded(QLatin1String(kModule), QStringLiteral("Form_Load"), [&] {
        const QString user = App().CurrentUser;
        ReadIdleMinutes();
        m_sideSplit->ReadWidths(user, width());

        // Pane 0 and the placeholder belong to the window, whatever Links there are.
        CreatePane(0);
        m_linkPanes->CreatePlaceholder();

        m_links = std::make_unique<::Links>(user);
        m_parts = std::make_unique<Parts>(*this, *m_links);
        m_linkButtonMenu = new LinkButtonMenu(m_parts->controls, m_state, this);
        m_popUps = std::make_unique<PopupPolicy>(m_parts->context, m_parts->navigation, m_search, m_recorder,
                                                 m_factory);
        m_parts->tracker.SetPopupPolicy(m_popUps.get());
        m_linkPanes->Attach(*m_links, m_parts->tracker);
        m_links->SetLinkOwner(&m_parts->navigation);
        connect(m_links.get(), &Links::ControlsLoaded, this,
                [this] { m_parts->controls.RefreshmnuLinksEditRemove(); });
        connect(m_links.get(), &Links::VisibleChanged, this, &BrowseWindow::VisibleChanged);
        connect(m_links.get(), &Links::StatusPanelText, this,
                [this](int panel, const QString& text) { m_host.SetStatusText(panel, text); });
        m_parts->controls.LoadControls();
        // Web data of Links that are gone (a removal the program could not finish, an import).
        QStringList ids;
        for (const Link* link : *m_links)
            ids << link->Id();
        if (m_links->Count() > 0) WebProfiles::PruneLinkProfiles(user, ids);
        m_links->SetFontSize(Pane(0)->TextSize());
        m_navBar->LoadAddresses();
        m_navBar->AttachRecorder(m_recorder);
    });
    WriteLog(QStringLiteral("Form_Load Elapsed ") +
             QString::number(double(elapsed.elapsed()) / 1000.0, 'f', 3));
    m_state.finishedLoading = true;
    m_busyTimer.start();
    m_loadFavoritesTimer.start();
}

void BrowseWindow::Activate() {
    Errors::Guarded(QLatin1String(kModule), QStringLiteral("Activate"), [&] {
        if (!m_parseTimeOutTimer.isActive()) m_parseTimeOutTimer.start();
        EnsureAppFocus();
    });
}

void BrowseWindow::Unload() {
    if (m_unloaded) return;
    m_unloaded = true;
    for (QTimer* timer :
         {&m_busyTimer, &m_parseTimeOutTimer, &m_showPageTimer, &m_loadFavoritesTimer, &m_dragStartTimer})
        timer->stop();
    if (App().EndingOnError || !m_links) return;
    Errors::Guarded(QLatin1String(kModule), QStringLiteral("Form_Unload"), [&] {
        StoreTransaction transaction;
        m_sideSplit->SaveWidths(App().CurrentUser);
        m_links->SaveLinks(true);
        m_navBar->SaveAddresses();
        transaction.CommitOrThrow(QStringLiteral("Your Links and window settings"));
    });
}

void BrowseWindow::closeEvent(QCloseEvent* event) {
    // The browse window closes with the program, not on its own.
    if (!m_unloaded && !App().Unloading) {
        event->ignore();
        return;
    }
    Unload();
    event->accept();
}

// ----- panes ----------------------------------------------------------------------------------

BrowserPane* BrowseWindow::Pane(int i) const {
    return m_panes->Pane(i);
}

BrowserPane* BrowseWindow::Placeholder() const {
    return m_panes->Placeholder();
}

BrowserPane* BrowseWindow::CreatePane(int i) {
    return m_linkPanes->CreatePane(i);
}

void BrowseWindow::BindPaneProfile(int i) {
    m_linkPanes->BindPaneProfile(i);
}

void BrowseWindow::ReleasePane(int i) {
    m_panes->ReleasePane(i);
}

bool BrowseWindow::IsPlaceholderShown() const {
    return m_panes->IsPlaceholderShown();
}

void BrowseWindow::ShowPlaceholder() {
    m_panes->ShowPlaceholder();
}

int BrowseWindow::VisibleIndex() const {
    return m_links && m_links->Visible() >= 1 ? m_links->Visible() - 1 : -1;
}

void BrowseWindow::ShowPane(int i) {
    if (!m_links) return;
    Link* link = m_links->Item(i + 1);
    if (!link || link->Deleted() || !Pane(i)) return;
    const int visible = m_links->Visible();
    const int forced = m_links->ForceVisible();
    if (visible >= 1 && visible != i + 1 && forced != i + 1) return;
    if (visible != i + 1 || forced > 0) {
        m_links->SetVisible(i + 1); // VisibleChanged brings it to the front
        return;
    }
    BringToFront(i);
}

void BrowseWindow::BringToFront(int i) {
    Link* link = m_links ? m_links->Item(i + 1) : nullptr;
    if (!link || !IsVisibleLink(i)) return;
    const bool waiting = link->LoginTimeOut().isValid() && link->LoginTimeOut() > Clock::Now();
    // The pane leaving the front was seen until now; the one coming wakes if it sleeps.
    const int before = m_panes->Front();
    if (before >= 0 && before != kPlaceholder && before != i) m_idle->Seen(before);
    m_idle->Seen(i);
    if (waiting && Placeholder())
        m_panes->ShowPlaceholder();
    else
        m_panes->Show(i);
    RefreshCaption();
    m_tabs->CopyToView(i);
}

void BrowseWindow::RefreshCaption() {
    const int i = VisibleIndex();
    Link* link = i >= 0 ? m_links->Item(i + 1) : nullptr;
    if (!link) return;
    QString title = link->Title();
    if (title.isEmpty() && Pane(i)) title = Pane(i)->LocationName();
    if (title.isEmpty() || title == QLatin1String("about:blank") || m_panes->IsPlaceholderShown())
        title = link->ShownCaption();
    setWindowTitle(title);
}

void BrowseWindow::RefreshHistoryMenu() {
    QList<BrowseMenuItem> pages;
    const int i = VisibleIndex();
    Link* link = i >= 0 ? m_links->Item(i + 1) : nullptr;
    if (link) {
        for (const HisList::ItemPtr& item : link->LinkHisList()) {
            const QString url = item->URL;
            pages.append(
                {QString(Ellipsis(item->Caption, 70)).replace(QLatin1Char('&'), QStringLiteral("&&")),
                 [self = QPointer<BrowseWindow>(this), url] {
                     if (self) self->NavigateURL(url);
                 }});
        }
    }
    m_host.SetHistoryMenu(pages);
}

// ----- tabs, page picture, address box, status ------------------------------------------------

QColor BrowseWindow::TabColour(int i) const {
    return m_tabs->Of(i);
}

QColor BrowseWindow::ViewColour() const {
    return m_tabs->ViewColour();
}

QString BrowseWindow::AddressText() const {
    return m_navBar->AddressText();
}

bool BrowseWindow::IsAddressBeingEdited() const {
    return m_navBar->IsAddressBeingEdited();
}

void BrowseWindow::SetStatusText(const QString& text) {
    m_state.statusText = text;
    // A script error keeps its panel until the next page.
    if (!m_host.PageErrorShown()) m_host.SetStatusText(1, text);
}

// ----- operations -----------------------------------------------------------------------------

Link* BrowseWindow::AddLink(const QString& caption, const QString& url, const QString& userName,
                            const QString& pw, const QString& selectOption, const QString& navigateAfterLogin,
                            bool autoNavigate, bool reqLogin) {
    return m_parts->controls.AddLink(caption, url, userName, pw, selectOption, navigateAfterLogin,
                                     autoNavigate, reqLogin);
}

Link* BrowseWindow::UpdateLink(int index, const QString& caption, const QString& url, const QString& userName,
                               const QString& pw, const QString& selectOption,
                               const QString& navigateAfterLogin, bool autoNavigate, bool reqLogin) {
    return m_parts->controls.UpdateLink(index, caption, url, userName, pw, selectOption, navigateAfterLogin,
                                        autoNavigate, reqLogin);
}

bool BrowseWindow::VerifyPassword(QWidget* parent) {
    return LoginDialog::RunVerify(parent);
}

void BrowseWindow::Nav2Visible(const QString& url, int navigateMode) {
    if (m_parts) m_parts->navigation.Nav2Visible(url, navigateMode);
}

void BrowseWindow::NavigateURL(const QString& url) {
    if (m_parts) m_parts->navigation.NavigateURL(url);
}

void BrowseWindow::ShowTab(int tab) {
    if (tab < 0 || tab > 2) return;
    m_sideSplit->ShowTab(tab);
    m_state.sideBarTab = tab;
}

void BrowseWindow::SortButtons() {
    m_parts->controls.SortButtons();
}

void BrowseWindow::SideBarShowHide() {
    m_sideSplit->ShowHide();
}

bool BrowseWindow::SideBarShown() const {
    return m_sideSplit->Shown();
}

void BrowseWindow::EnsureAppFocus() {
    BrowserPane* pane = Pane(VisibleIndex());
    if (!pane) return;
    // The page itself, not the pane's frame around it.
    QWidget* target = pane->Widget();
    for (QWidget* child : target->findChildren<QWidget*>())
        if (child->focusPolicy() != Qt::NoFocus) {
            target = child;
            break;
        }
    target->setFocus(Qt::OtherFocusReason);
}

// ----- VisibleChanged -------------------------------------------------------------------------

void BrowseWindow::VisibleChanged() {
    Errors::Guarded(QLatin1String(kModule), QStringLiteral("VisibleChanged"), [&] {
        m_links->SetForceVisible(-1);
        Link* link = m_links->Item(m_links->Visible());
        if (!link) return;
        const int i = link->Index() - 1;
        BrowserPane* pane = Pane(i);
        if (!pane) return;
        m_parts->tracker.SetWbrDoc(i);
        m_navBar->HideAddressMatches();
        if (!pane->Busy() && pane->ReadyState() >= PaneReadyState::Interactive)
            m_navBar->SetAddressText(pane->LocationURL());
        m_parts->tracker.UpdateLockIcon(i);
        if (link->LoginTimeOut().isValid() && link->LoginTimeOut() > Clock::Now()) {
            ShowPlaceholder();
            m_parts->navigation.ShowProgressPage(i);
        }
        for (Link* other : *m_links)
            if (!other->Deleted() && other != link) Buttons().SetCurrent(other->Index() - 1, false);
        Buttons().SetCurrent(i, true);
        m_navBar->SetBackForward(link->CanGoBack(), link->CanGoForward());
        BringToFront(i);
        SetStatusText(link->ProgressText());
        m_host.UpdateProgress(link->ProgressValue());
        RefreshHistoryMenu();
        Buttons().EnsureRowVisible(link->ControlOrder());
    });
}

// ----- frame commands -------------------------------------------------------------------------

void BrowseWindow::RunCommand(WindowCommand command) {
    if (!m_links) return;
    switch (command) {
    case WindowCommand::Back:
        m_parts->navigation.GoBack();
        break;
    case WindowCommand::Forward:
        m_parts->navigation.GoForward();
        break;
    case WindowCommand::Stop:
        m_parts->navigation.Stop();
        break;
    case WindowCommand::Refresh:
        m_parts->navigation.Refresh();
        break;
    case WindowCommand::Home:
        m_parts->navigation.GoHome();
        break;
    case WindowCommand::SearchTab:
        ShowTab(2);
        break;
    case WindowCommand::FavoritesTab:
        ShowTab(1);
        break;
    case WindowCommand::AddressBar:
    case WindowCommand::FocusAddress:
        m_navBar->FocusAddress();
        break;
    case WindowCommand::NewWindow:
        // A window the user asked for: its first page is no pop-up. It is the visible Link's.
        App().LastClickedWindow = WindowHandle();
        m_popUps->OpenNewWin(QLatin1String(PopupPolicy::kHome), true, nullptr, true,
                             ActivePane() ? ActivePane()->ProfileId() : QString());
        break;
    case WindowCommand::OpenInBrowser:
        if (ActivePane()) DesktopBrowser::Open(ActivePane()->LocationURL());
        break;
    }
}

// ----- timers ---------------------------------------------------------------------------------

void BrowseWindow::OnBusyTimer() {
    if (!App().Unloading && m_lockCheck && m_lockCheck()) return;
    m_host.FlashMessages();
    if (m_links) m_parts->tracker.OnBusyTimer();
    RefreshWorkingPanes();
}

void BrowseWindow::RefreshWorkingPanes() {
    if (!m_links || App().Unloading) return;
    for (Link* link : *m_links) {
        const int i = link->Index() - 1;
        BrowserPane* pane = i >= 0 && i < kPlaceholder ? m_panes->Pane(i) : nullptr;
        if (!pane) continue;
        const bool working = !link->Deleted() && LoginDecision::WatchesPage(*link);
        if (!working && m_panes->IsWorking(i)) pane->WatchPage(false);
        m_panes->SetWorking(i, working);
    }
}

void BrowseWindow::OnParseTimeOut() {
    if (m_links)
        Errors::Guarded(QLatin1String(kModule), QStringLiteral("tmrPrsTimeOut_Timer"),
                        [&] { m_parts->tracker.OnParseTimeOut(); });
}

void BrowseWindow::OnShowPageTimer() {
    if (m_links) m_parts->navigation.OnShowPageTimer();
}

void BrowseWindow::OnLoadFavoritesTimer() {
    // The first tick opens the Links marked to load at start; later ticks keep the favorites
    // tree in step with the folder (cheap when nothing changed).
    if (!m_links) return;
    if (!m_getFavsRan) {
        m_getFavsRan = true;
        m_parts->navigation.AutoNavigate();
        if (m_state.startUpNavigationDone) emit StartUpNavigated();
        return;
    }
    if (App().Unloading) return;
    m_favorites->OnLoadFavoritesTimer();
    // The companion tidies up after a quiet spell of the favorites.
    if (m_favorites->HelperDue()) Companion::Start(QString());
}

BrowserPane* BrowseWindow::ActivePane() const {
    const int i = VisibleIndex();
    return i >= 0 ? Pane(i) : nullptr;
}

core::PageLocation BrowseWindow::VisiblePage() const {
    const int i = VisibleIndex();
    BrowserPane* pane = i >= 0 ? Pane(i) : nullptr;
    if (!pane) return {};
    return {pane->LocationName(), pane->LocationURL()};
}

// ----- context menu, editor, drags ------------------------------------------------------------

void BrowseWindow::ShowContextMenu(const QPoint& globalPos) {
    if (m_linkButtonMenu) m_linkButtonMenu->Popup(globalPos, HasLinkEditor());
}

void BrowseWindow::SetLinkEditorOpener(LinkEditorOpener opener) {
    m_editorOpener = std::move(opener);
    m_host.SetAddLinkEnabled(HasLinkEditor());
    if (m_links) m_parts->controls.RefreshmnuLinksEditRemove();
}

void BrowseWindow::OpenLinkEditor(const Link* link) {
    if (!m_editorOpener) return;
    m_editorOpener(*this, this, link);
    // The editor may have added a Link or changed whether one shares the user's cookies: its
    // pane's next page opens in the profile that goes with that.
    if (m_links)
        for (const Link* each : *m_links)
            BindPaneProfile(each->Index() - 1);
}

void BrowseWindow::RunDrag(QDrag& drag) {
    if (m_dragRunner)
        m_dragRunner(drag);
    else
        drag.exec(Qt::CopyAction | Qt::LinkAction, Qt::CopyAction);
}

void BrowseWindow::StartPageDrag() {
    const int i = VisibleIndex();
    BrowserPane* pane = Pane(i);
    if (!pane || pane->LocationURL().isEmpty() || pane->LocationURL() == QLatin1String("about:blank")) return;
    Link* link = m_links->Item(i + 1);
    const QString title = link && !link->Title().isEmpty() ? link->Title() : pane->LocationName();
    auto* drag = new QDrag(m_navBar->PictureView());
    drag->setMimeData(LinkDrag::PageMimeData(pane->LocationURL(), title));
    RunDrag(*drag);
}
