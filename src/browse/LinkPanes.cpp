#include "browse/LinkPanes.h"

#include "browse/BrowseHost.h"
#include "browse/BrowseState.h"
#include "browse/DownloadList.h"
#include "browse/engine/BrowserPane.h"
#include "browse/engine/Download.h"
#include "browse/LinkButtonsPanel.h"
#include "browse/LinkSite.h"
#include "browse/OfflineState.h"
#include "browse/PageLoadTracker.h"
#include "browse/PageRequests.h"
#include "browse/PaneShower.h"
#include "browse/TabColour.h"
#include "browse/TabColours.h"
#include "browse/UserHomePage.h"
#include "core/Clock.h"
#include "core/Errors.h"
#include "links/Links.h"

LinkPanes::LinkPanes(const BrowseView& view, PaneArea& panes, PaneFactory factory, BrowseHost& host,
                     BrowseState& state)
    : m_view(view), m_panes(panes), m_factory(std::move(factory)), m_host(host), m_state(state) {
    connect(UserHomePage::Notifier(), &HomePageNotifier::HomePageChanged, this, [this](const QString& url) {
        for (int i = 0; i < PaneArea::kPlaceholder; ++i)
            if (BrowserPane* pane = m_panes.Pane(i)) pane->SetHomePage(url);
        if (BrowserPane* placeholder = m_panes.Placeholder()) placeholder->SetHomePage(url);
    });
}

void LinkPanes::Attach(Links& links, PageLoadTracker& tracker) {
    m_links = &links;
    m_tracker = &tracker;
    tracker.Connect(0, m_panes.Pane(0));
}

BrowserPane* LinkPanes::CreatePane(int i) {
    if (BrowserPane* existing = m_panes.Pane(i)) return existing;
    if (i < 0 || i >= PaneArea::kPlaceholder) return nullptr;
    BrowserPane* pane = m_factory(&m_panes);
    pane->SetHomePage(UserHomePage::Get());
    pane->SetOffline(OfflineState::IsOffline());
    m_panes.AddPane(i, pane);
    BindPaneProfile(i);
    if (m_tracker) m_tracker->Connect(i, pane); // pane 0 is connected once the Links are read
    ConnectPageRequests(i, pane);
    connect(pane, &BrowserPane::IdleChanged, this,
            [this, i](PaneIdle state) { m_view.buttons.SetViewIdle(i, state); });
    pane->Navigate2(QStringLiteral("about:blank"));
    return pane;
}

BrowserPane* LinkPanes::CreatePlaceholder() {
    BrowserPane* placeholder = m_factory(&m_panes);
    placeholder->SetHomePage(UserHomePage::Get());
    m_panes.AddPane(PaneArea::kPlaceholder, placeholder);
    placeholder->Navigate2(QStringLiteral("about:blank"));
    return placeholder;
}

void LinkPanes::BindPaneProfile(int i) {
    BrowserPane* pane = m_panes.Pane(i);
    const Link* link = m_links ? m_links->Item(i + 1) : nullptr;
    if (!pane) return;
    const bool bound = link && !link->Deleted();
    pane->SetProfileId(bound ? link->WebProfileId() : QString());
    // The page snapshot sends what the Link's after-login link can be.
    pane->SetSnapshotTexts(bound && !link->NavigateAfterLogin().isEmpty()
                               ? QStringList{link->NavigateAfterLogin()}
                               : QStringList());
}

void LinkPanes::ConnectPageRequests(int i, BrowserPane* pane) {
    PageRequests::Hooks hooks;
    // A Link that logs in answers its own site's sign-in box once by itself.
    hooks.credentials = [this, i](const QString& url) -> PageRequests::Credentials {
        Link* link = m_links ? m_links->Item(i + 1) : nullptr;
        if (!link || link->Deleted() || !link->ReqLogin() || link->UserName().isEmpty()) return std::nullopt;
        if (!IsLinksOwnSite(url, link->URL())) return std::nullopt;
        return QPair<QString, QString>(link->UserName(), link->Password());
    };
    hooks.pageLost = [this, i] { PageLost(i); };
    hooks.needsAttention = [this, i] {
        // No login goes on behind a notice: the page shows, with it.
        Link* link = m_links ? m_links->Item(i + 1) : nullptr;
        if (!link || !link->LoginTimeOut().isValid() || link->LoginTimeOut() <= Clock::Now()) return;
        link->SetLoginTimeOut(Clock::Now());
        m_view.shower.BringToFront(i);
    };
    PageRequests::Attach(pane, std::move(hooks));
    connect(pane, &BrowserPane::ZoomChanged, this, [this, i](int percent) {
        Link* link = m_links ? m_links->Item(i + 1) : nullptr;
        if (!link || link->Zoom() == percent) return;
        link->SetZoom(percent);
        Errors::Guarded(QLatin1String(kBrowseModule), QStringLiteral("SaveZoom"),
                        [&] { m_links->SaveZoom(*link); });
    });
}

void LinkPanes::PageLost(int i) {
    Errors::Guarded(QLatin1String(kBrowseModule), QStringLiteral("PageLost"), [&] {
        Link* link = m_links ? m_links->Item(i + 1) : nullptr;
        if (!link) return;
        // Whatever the login waited for will not come: the next load of the page starts it
        // again, and the pane shows what happened instead of the waiting page.
        link->SetPasswordSent(false);
        link->SetLoggedIn(false);
        link->SetLoginAssumed(false);
        link->SetNavigateAfterLoginDone(false);
        link->SetLoginTimeOut(Clock::Now());
        link->SetProgressValue(0);
        link->SetProgressText(QString());
        if (m_state.ParseIndex == i) m_state.ParseAt = QDateTime();
        m_state.awaitingCommit.remove(i);
        if (m_state.loginAnswerPane == i) m_state.loginAnswerPane = -1;
        m_view.tabs.Set(i, TabColour::Yellow);
        if (m_view.shower.IsVisibleLink(i)) {
            m_view.shower.BringToFront(i);
            m_view.view.SetStatusText(QString());
            m_host.UpdateProgress(0);
        }
    });
}

// ----- what the idle panes ask -----------------------------------------------------------------

int LinkPanes::PaneCount() const {
    return kMaxBrowseLinks;
}

BrowserPane* LinkPanes::PaneAt(int index) const {
    return m_panes.Pane(index);
}

bool LinkPanes::PaneOnScreen(int index) const {
    return m_panes.Front() == index || m_panes.IsWorking(index);
}

// A Link logging in must not sleep, nor any pane while a download runs (a download is the
// profile's, not one pane's).
bool LinkPanes::PaneMustStayAwake(int index) const {
    const Link* link = m_links ? m_links->Item(index + 1) : nullptr;
    if (link && !link->Deleted() && link->ReqLogin() && !link->LoggedIn() && !link->LoginAssumed())
        return true;
    if (link && link->LoginTimeOut().isValid() && link->LoginTimeOut() > Clock::Now()) return true;
    for (const Download* download : m_host.Downloads().Items())
        if (download && !download->Finished()) return true;
    return false;
}
