#include "browse/PopupPolicy.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "browse/BrowseHost.h"
#include "browse/BrowseState.h"
#include "browse/ChildWindow.h"
#include "browse/KeyState.h"
#include "browse/NavigationDriver.h"
#include "browse/OfflineState.h"
#include "browse/PageRecorder.h"
#include "browse/PopUpCatcher.h"
#include "browse/PopUpsList.h"
#include "browse/SearchPane.h"
#include "browse/StandaloneWindow.h"
#include "core/AppState.h"
#include "core/Errors.h"
#include "links/Links.h"
#include "users/UserOptions.h"

namespace {

bool Ignoring() {
    return App().Unloading || App().Locked;
}

} // namespace

PopupPolicy::PopupPolicy(const BrowseContext& context, NavigationDriver& navigation, SearchPane* search,
                         PageRecorder& recorder, PaneFactory factory)
    : m_links(context.links), m_navigation(navigation), m_search(search), m_recorder(recorder),
      m_state(context.state), m_windowHandle(context.windowHandle), m_host(context.host),
      m_factory(std::move(factory)), m_beeper([] { QApplication::beep(); }) {
    if (m_search && m_search->Pane())
        connect(m_search->Pane(), &BrowserPane::NewWindow2, this, [this](NewWindowEvent& e) {
            Errors::Guarded(QLatin1String(kBrowseModule), QStringLiteral("wbrSearch_NewWindow2"),
                            [&] { OnNewWindow2(e); });
        });
}

PopupPolicy::~PopupPolicy() {
    // Stand-alone windows belong to the user's session in the browse window.
    for (const QPointer<StandaloneWindow>& window : m_windows) {
        if (!window) continue;
        if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget()))
            delete sub;
        else
            delete window.data();
    }
}

// ----- the decisions --------------------------------------------------------------------------

void PopupPolicy::HandleNewWindow(int pane, NewWindowEvent& e) {
    HandleNewWindow(Control::Links, pane, e);
}

void PopupPolicy::HandleNewWindow(Control control, int index, NewWindowEvent& e) {
    e.Cancel();
    if (Ignoring()) return;
    AppState& app = App();
    // A Link's new windows live in the Link's web profile; the search pane's in the shared one.
    Link* link = control == Control::Links ? m_links.Item(index + 1) : nullptr;
    const QString profileId = link ? link->WebProfileId() : QString();
    if (KeyState::CtrlHeld()) {
        // The address opens in the window the user works in, once the catcher has read it.
        app.LastClickedWindow = 0;
        if (PopUpCatcher* catcher = CreateCatcher(true, profileId, e.url)) e.OpenIn(catcher->Pane());
        return;
    }
    if (OfflineState::IsOffline()) return;

    bool hidePopUps = true;
    if (control == Control::Links) {
        hidePopUps = link ? link->HidePopUps() : true;
        // The Link pane's last navigation stayed on its own site: the site opens its own window.
        BrowseState& state = m_state;
        if (state.AllowNextNewWindow) {
            state.AllowNextNewWindow = false;
            app.LastClickedWindow = 0;
            OpenNewWin(QString(), hidePopUps, &e, false, profileId);
            return;
        }
    }

    // Options, Hide Pop-Ups off: the browse window blocks nothing.
    hidePopUps = hidePopUps && m_state.hidePopUps;
    const quintptr self = m_windowHandle;
    if (app.LastClickedWindow != self && hidePopUps && !KeyState::AltHeld()) {
        app.LastClickedWindow = 0;
        // The search pane's own pop-ups are refused here; the ones it opens by itself are listed
        // through HandleNewWindowV1.
        if (control == Control::Links) {
            if (PopUpCatcher* catcher = CreateCatcher(false, profileId, e.url)) e.OpenIn(catcher->Pane());
        }
        return;
    }
    OpenNewWin(QString(), hidePopUps, &e, app.LastClickedWindow == self, profileId);
    app.LastClickedWindow = 0;
}

void PopupPolicy::HandleNewWindowV1(Control, const QString& url) {
    if (KeyState::CtrlHeld()) {
        OpenInExisting(url);
        return;
    }
    BeepOnPopUp();
    if (url != QLatin1String("about:blank")) AddPopUpItem(url, QString());
}

void PopupPolicy::OnNewWindow2(NewWindowEvent& e) {
    e.Cancel();
    if (Ignoring()) return;
    if (e.userInitiated)
        HandleNewWindow(Control::Search, 0, e);
    else
        HandleNewWindowV1(Control::Search, e.url);
}

void PopupPolicy::HandleNewWindow(StandaloneWindow& window, NewWindowEvent& e) {
    e.Cancel();
    if (Ignoring()) return;
    AppState& app = App();
    const quintptr self = window.WindowHandle();
    const QString profileId = window.Pane()->ProfileId();
    if (app.LastClickedWindow != self && window.HidePopUps() && !KeyState::AltHeld()) {
        app.LastClickedWindow = 0;
        if (PopUpCatcher* catcher = CreateCatcher(false, profileId, e.url)) e.OpenIn(catcher->Pane());
        return;
    }
    OpenNewWin(QString(), window.HidePopUps(), &e, app.LastClickedWindow == self, profileId);
    app.LastClickedWindow = 0;
}

// ----- operations -----------------------------------------------------------------------------

QRect PopupPolicy::NewWindowGeometry(const QSize& client, int open) {
    // Three quarters of the frame's client area, each further window a step down and right.
    const QSize size =
        QSize(client.width() * 3 / 4, client.height() * 3 / 4).expandedTo(QSize(480, 360)).boundedTo(client);
    const int step = 16 + 24 * (open % 8);
    QPoint at(step, step);
    if (at.x() + size.width() > client.width()) at.setX(qMax(0, client.width() - size.width()));
    if (at.y() + size.height() > client.height()) at.setY(qMax(0, client.height() - size.height()));
    return QRect(at, size);
}

StandaloneWindow* PopupPolicy::OpenNewWin(const QString& url, bool hidePopUps, NewWindowEvent* e,
                                          bool userClicked, const QString& profileId) {
    QMdiArea* area = m_host.ChildArea();
    m_windows.removeIf([](const QPointer<StandaloneWindow>& window) { return window.isNull(); });
    const int open = int(NewWindows().size());
    auto* window = new StandaloneWindow(*this, m_factory);
    window->SetHidePopUps(hidePopUps);
    window->Pane()->SetProfileId(LiveProfileId(profileId));
    m_windows.append(window);
    QMdiSubWindow* sub = area->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setGeometry(NewWindowGeometry(area->viewport()->size(), open));
    if (url == QLatin1String(kHome))
        window->Pane()->GoHome();
    else if (!url.isEmpty())
        window->Pane()->Navigate2(url);
    else if (e)
        e->OpenIn(window->Pane());
    sub->show();
    // A window the site opened by itself does not take the keyboard from the user.
    if (userClicked) area->setActiveSubWindow(sub);
    return window;
}

void PopupPolicy::OpenInExisting(const QString& url) {
    if (url.isEmpty()) return;
    m_navigation.Nav2Visible(url, NavigationDriver::ModeKeep);
}

PopUpCatcher* PopupPolicy::CreateCatcher(bool openAfterCapture, const QString& profileId,
                                         const QString& url) {
    int catching = 0;
    for (PopUpCatcher* catcher : Catchers())
        if (catcher->Pane()) ++catching;
    if (catching < kMaxCatchingPanes) {
        if (BrowserPane* pane = m_factory ? m_factory(nullptr) : nullptr)
            return new PopUpCatcher(*this, pane, openAfterCapture, profileId);
    }
    if (url.isEmpty() || url == QLatin1String("about:blank")) {
        BeepOnPopUp();
        return nullptr;
    }
    return new PopUpCatcher(*this, nullptr, openAfterCapture, profileId, url);
}

void PopupPolicy::OpenInCurrentWindow(const QString& url, const QString& profileId) {
    const QString wanted = LiveProfileId(profileId);
    ChildWindow* active = m_host.ActiveChild();
    BrowserPane* pane = active ? active->ActivePane() : nullptr;
    if (pane && pane->ProfileId() != wanted) {
        // Never in another Link's session: the address gets a window of its own profile.
        App().LastClickedWindow = active->WindowHandle();
        OpenNewWin(url, HidePopUpsOf(wanted), nullptr, true, wanted);
    } else if (auto* standAlone = dynamic_cast<StandaloneWindow*>(active); standAlone && standAlone->Pane()) {
        standAlone->Pane()->Navigate2(url);
    } else {
        OpenInExisting(url);
    }
}

void PopupPolicy::AddPopUpItem(const QString& url, const QString& profileId) {
    m_host.PopUps().AddPopUpItem(url, profileId);
}

QString PopupPolicy::LiveProfileId(const QString& profileId) const {
    if (profileId.isEmpty()) return QString();
    for (const Link* link : m_links)
        if (!link->Deleted() && link->WebProfileId() == profileId) return profileId;
    return QString(); // the Link went, and its web data with it (or it shares the user's now)
}

bool PopupPolicy::HidePopUpsOf(const QString& profileId) const {
    if (!profileId.isEmpty())
        for (const Link* link : m_links)
            if (!link->Deleted() && link->Id() == profileId) return link->HidePopUps();
    return true;
}

void PopupPolicy::BeepOnPopUp() {
    const bool beep = App().Options ? App().Options->BeepOnPopUp() : true;
    if (beep && m_beeper) m_beeper();
}

// ----- state ----------------------------------------------------------------------------------

QList<StandaloneWindow*> PopupPolicy::NewWindows() const {
    QList<StandaloneWindow*> open;
    for (const QPointer<StandaloneWindow>& window : m_windows)
        if (window && !window->Closing()) open.append(window);
    return open;
}

QList<PopUpCatcher*> PopupPolicy::Catchers() const {
    QList<PopUpCatcher*> waiting;
    for (PopUpCatcher* catcher : findChildren<PopUpCatcher*>(Qt::FindDirectChildrenOnly))
        if (!catcher->Unloaded()) waiting.append(catcher);
    return waiting;
}

void PopupPolicy::SetBeeper(Beeper beeper) {
    m_beeper = std::move(beeper);
}
