#include "browse/PopupPolicy.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "browse/frmNewWin.h"
#include "browse/frmPopUps.h"
#include "browse/KeyState.h"
#include "browse/NavigationDriver.h"
#include "browse/OfflineState.h"
#include "browse/SearchPane.h"
#include "core/AppState.h"
#include "core/Errors.h"
#include "browse/BrowseHost.h"
#include "browse/ChildWindow.h"
#include "browse/PopUpsList.h"
#include "links/Links.h"
#include "users/cOptions.h"

namespace {

bool Ignoring() {
    return App().gbUnloading || App().Locked;
}

} // namespace

PopupPolicy::PopupPolicy(frmBrowse& window, BrowseHost& host, PaneFactory factory)
    : w(window), m_host(host), m_factory(std::move(factory)), m_beeper([] { QApplication::beep(); }) {
    if (SearchPane* search = w.search(); search && search->wbrSearch())
        connect(search->wbrSearch(), &BrowserPane::NewWindow2, this, [this](NewWindowEvent& e) {
            Errors::Guarded(QLatin1String(frmBrowse::kModule), QStringLiteral("wbrSearch_NewWindow2"),
                            [&] { wbrSearch_NewWindow2(e); });
        });
}

PopupPolicy::~PopupPolicy() {
    // Stand-alone windows belong to the user's session in the browse window.
    for (const QPointer<frmNewWin>& window : m_windows) {
        if (!window) continue;
        if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget()))
            delete sub;
        else
            delete window.data();
    }
}

// ----- the decisions --------------------------------------------------------------------------

void PopupPolicy::HandleNewWindow(int pane, NewWindowEvent& e) {
    HandleNewWindow(Control::wbr, pane, e);
}

void PopupPolicy::HandleNewWindow(Control control, int index, NewWindowEvent& e) {
    e.cancel();
    if (Ignoring()) return;
    AppState& app = App();
    // A Link's new windows live in the Link's web profile; the search pane's in the shared one.
    Link* link = control == Control::wbr && w.HasLinks() ? w.links().Item(index + 1) : nullptr;
    const QString profileId = link ? link->WebProfileId() : QString();
    if (KeyState::CtrlHeld()) {
        // The address opens in the window the user works in, once the catcher has read it.
        app.glFormDocClicked = 0;
        if (frmPopUps* catcher = CreateCatcher(true, profileId, e.url)) e.openIn(catcher->wbPopup());
        return;
    }
    if (OfflineState::IsOffline()) return;

    bool hidePopUps = true;
    if (control == Control::wbr) {
        hidePopUps = link ? link->HidePopUps() : true;
        // The Link pane's last navigation stayed on its own site: the site opens its own window.
        BrowseState& state = w.State();
        if (state.AllowNextNewWindow) {
            state.AllowNextNewWindow = false;
            app.glFormDocClicked = 0;
            OpenNewWin(QString(), hidePopUps, &e, false, profileId);
            return;
        }
    }

    // Options, Hide Pop-Ups off: the browse window blocks nothing.
    hidePopUps = hidePopUps && w.pbHidePopUps;
    const quintptr self = w.WindowHandle();
    if (app.glFormDocClicked != self && hidePopUps && !KeyState::AltHeld()) {
        app.glFormDocClicked = 0;
        // The search pane's own pop-ups are refused here; the ones it opens by itself are listed
        // through HandleNewWindowV1.
        if (control == Control::wbr) {
            if (frmPopUps* catcher = CreateCatcher(false, profileId, e.url)) e.openIn(catcher->wbPopup());
        }
        return;
    }
    OpenNewWin(QString(), hidePopUps, &e, app.glFormDocClicked == self, profileId);
    app.glFormDocClicked = 0;
}

void PopupPolicy::HandleNewWindowV1(Control, const QString& url) {
    if (KeyState::CtrlHeld()) {
        OpenInExisting(url);
        return;
    }
    BeepOnPopUp();
    if (url != QLatin1String("about:blank")) AddPopUpItem(url, QString());
}

void PopupPolicy::wbrSearch_NewWindow2(NewWindowEvent& e) {
    e.cancel();
    if (Ignoring()) return;
    if (e.userInitiated)
        HandleNewWindow(Control::wbrSearch, 0, e);
    else
        HandleNewWindowV1(Control::wbrSearch, e.url);
}

void PopupPolicy::HandleNewWindow(frmNewWin& window, NewWindowEvent& e) {
    e.cancel();
    if (Ignoring()) return;
    AppState& app = App();
    const quintptr self = window.WindowHandle();
    const QString profileId = window.WB()->ProfileId();
    if (app.glFormDocClicked != self && window.HidePopUps() && !KeyState::AltHeld()) {
        app.glFormDocClicked = 0;
        if (frmPopUps* catcher = CreateCatcher(false, profileId, e.url)) e.openIn(catcher->wbPopup());
        return;
    }
    OpenNewWin(QString(), window.HidePopUps(), &e, app.glFormDocClicked == self, profileId);
    app.glFormDocClicked = 0;
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

frmNewWin* PopupPolicy::OpenNewWin(const QString& url, bool hidePopUps, NewWindowEvent* e, bool userClicked,
                                   const QString& profileId) {
    QMdiArea* area = m_host.ChildArea();
    m_windows.removeIf([](const QPointer<frmNewWin>& window) { return window.isNull(); });
    const int open = int(NewWindows().size());
    auto* window = new frmNewWin(*this, m_factory);
    window->SetHidePopUps(hidePopUps);
    window->WB()->SetProfileId(LiveProfileId(profileId));
    m_windows.append(window);
    QMdiSubWindow* sub = area->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setGeometry(NewWindowGeometry(area->viewport()->size(), open));
    if (url == QLatin1String(kHome))
        window->WB()->GoHome();
    else if (!url.isEmpty())
        window->WB()->Navigate2(url);
    else if (e)
        e->openIn(window->WB());
    sub->show();
    // A window the site opened by itself does not take the keyboard from the user.
    if (userClicked) area->setActiveSubWindow(sub);
    return window;
}

void PopupPolicy::OpenInExisting(const QString& url) {
    if (url.isEmpty() || !w.HasLinks()) return;
    w.Nav2Visible(url, NavigationDriver::ModeKeep);
}

frmPopUps* PopupPolicy::CreateCatcher(bool openAfterCapture, const QString& profileId, const QString& url) {
    int catching = 0;
    for (frmPopUps* catcher : Catchers())
        if (catcher->wbPopup()) ++catching;
    if (catching < kMaxCatchingPanes) {
        if (BrowserPane* pane = m_factory ? m_factory(nullptr) : nullptr)
            return new frmPopUps(*this, pane, openAfterCapture, profileId);
    }
    if (url.isEmpty() || url == QLatin1String("about:blank")) {
        BeepOnPopUp();
        return nullptr;
    }
    return new frmPopUps(*this, nullptr, openAfterCapture, profileId, url);
}

void PopupPolicy::OpenInCurrentWindow(const QString& url, const QString& profileId) {
    const QString wanted = LiveProfileId(profileId);
    ChildWindow* active = m_host.ActiveChild();
    BrowserPane* pane = active ? active->ActivePane() : nullptr;
    if (pane && pane->ProfileId() != wanted) {
        // Never in another Link's session: the address gets a window of its own profile.
        App().glFormDocClicked = active->WindowHandle();
        OpenNewWin(url, HidePopUpsOf(wanted), nullptr, true, wanted);
    } else if (auto* standAlone = dynamic_cast<frmNewWin*>(active); standAlone && standAlone->WB()) {
        standAlone->WB()->Navigate2(url);
    } else {
        OpenInExisting(url);
    }
}

void PopupPolicy::AddPopUpItem(const QString& url, const QString& profileId) {
    m_host.PopUps().AddPopUpItem(url, profileId);
}

QString PopupPolicy::LiveProfileId(const QString& profileId) const {
    if (profileId.isEmpty() || !w.HasLinks()) return QString();
    for (const Link* link : w.links())
        if (!link->Deleted() && link->WebProfileId() == profileId) return profileId;
    return QString(); // the Link went, and its web data with it (or it shares the user's now)
}

bool PopupPolicy::HidePopUpsOf(const QString& profileId) const {
    if (!profileId.isEmpty() && w.HasLinks())
        for (const Link* link : w.links())
            if (!link->Deleted() && link->Id() == profileId) return link->HidePopUps();
    return true;
}

void PopupPolicy::BeepOnPopUp() {
    const bool beep = App().Options ? App().Options->BeepOnPopUp() : true;
    if (beep && m_beeper) m_beeper();
}

// ----- state ----------------------------------------------------------------------------------

QList<frmNewWin*> PopupPolicy::NewWindows() const {
    QList<frmNewWin*> open;
    for (const QPointer<frmNewWin>& window : m_windows)
        if (window && !window->Closing()) open.append(window);
    return open;
}

QList<frmPopUps*> PopupPolicy::Catchers() const {
    QList<frmPopUps*> waiting;
    for (frmPopUps* catcher : findChildren<frmPopUps*>(Qt::FindDirectChildrenOnly))
        if (!catcher->Unloaded()) waiting.append(catcher);
    return waiting;
}

void PopupPolicy::SetBeeper(Beeper beeper) {
    m_beeper = std::move(beeper);
}
