#include "browse/NavigationDriver.h"

#include "browse/SearchPane.h"

#include <QCoreApplication>
#include <QTimer>

#include "browse/BrowseHost.h"
#include "browse/BrowseState.h"
#include "browse/engine/BrowserPane.h"
#include "browse/LinkControls.h"
#include "browse/NavigationBar.h"
#include "browse/OfflineState.h"
#include "browse/PageLoadTracker.h"
#include "browse/PaneArea.h"
#include "browse/PaneShower.h"
#include "browse/TabColour.h"
#include "browse/TabColours.h"
#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Errors.h"
#include "core/Log.h"
#include "core/MessageBox.h"
#include "core/SecretCipher.h"
#include "links/Links.h"

using namespace core;

namespace {

bool ByButtonOrStartUp(const Link& link) {
    return link.NavigateMode() == NavigationDriver::ModeStartUp ||
           link.NavigateMode() == NavigationDriver::ModeButton;
}

} // namespace

NavigationDriver::NavigationDriver(const BrowseContext& context, const BrowseView& view,
                                   LinkControls& controls, PageLoadTracker& tracker, QTimer& showPageTimer)
    : m_links(context.links), m_panes(context.panes), m_navBar(view.navBar), m_tabs(view.tabs),
      m_shower(view.shower), m_view(view.view), m_controls(controls), m_tracker(tracker),
      m_search(view.search), m_showPageTimer(showPageTimer), m_host(context.host), m_state(context.state) {}

bool NavigationDriver::IsDummy(const QString& url) {
    return url.compare(QLatin1String(kDummyUrl), Qt::CaseInsensitive) == 0;
}

QString NavigationDriver::ProgressPageMarkup(const QString& progressText) {
    return QStringLiteral("<html><BODY><FONT size=2 FAMILY=SANSSERIF FACE=Arial><B>Please wait... <br>") +
           progressText.toHtmlEscaped() + QStringLiteral("</B></BODY></html>");
}

// ----- opening Links --------------------------------------------------------------------------

void NavigationDriver::OpenLink(int i) {
    Errors::Guarded(QLatin1String(kBrowseModule), QStringLiteral("OpenLink"), [&] {
        m_controls.StopDragStart();
        m_state.contextLinkIndex = -1;
        Links& links = m_links;
        Link* link = links.Item(i + 1);
        if (!link || link->Deleted()) return;
        m_shower.EnsureAppFocus();
        if (link->URL().isEmpty()) {
            MsgBox(QStringLiteral("The Web Address for this Link is invalid."), msgbox::OKOnly,
                   msgbox::Information, QStringLiteral("Invalid URL"));
            return;
        }
        link->SetNavigateMode(ModeButton);
        links.SetForceVisible(i + 1);
        links.SetNavigateStopped(false);
        DoNavigate(i);
        m_shower.ShowPane(i);
        m_shower.EnsureAppFocus();
    });
}

bool NavigationDriver::DoNavigate(int i) {
    Links& links = m_links;
    if (links.NavigateStopped()) return false;
    const bool offline = OfflineState::IsOffline();
    Link* link = links.Item(i + 1);
    BrowserPane* pane = m_panes.Pane(i);
    if (!link || !pane) return false;
    m_state.navigationStarted = true;
    link->SetLoggedIn(false);
    link->SetLoginAssumed(false);
    link->SetNavigateAfterLoginDone(false);
    link->SetPasswordSent(false);
    link->SetNavigationError(false);
    link->SignInServiceUsed = false;
    link->IdentifierTyped = false;
    link->IdentifierSent = false;
    link->PasswordSubmitted = false;
    link->LoginWatchUntil = Clock::Now().addSecs(kLoginTimeOutSeconds);
    link->SetTitle(QString());

    m_tabs.Set(i, TabColour::ButtonFace);
    if (m_shower.IsVisibleLink(i)) m_tabs.CopyToView(i);

    const QString url = link->URL();
    // Whatever the pane completes before the new page commits belongs to the page being left.
    m_state.awaitingCommit.insert(i);
    Errors::Quietly([&] {
        if (IsDummy(url)) {
            pane->GoHome();
            m_navBar.SetAddressText(QStringLiteral("Please wait..."));
        } else if (!offline && link->ReqLogin()) {
            // A pane that has shown nothing yet has no page name to show.
            QString from = pane->LocationName();
            if (from.isEmpty() || from == QLatin1String("about:blank")) from = link->ShownCaption();
            link->SetProgressText(QStringLiteral("Getting ") + from);
            SetLoginTimeOut(i);
            if (ByButtonOrStartUp(*link)) {
                SetProgressText(i, link->ProgressText());
                ShowProgressPage(i);
            }
            pane->Navigate2(url);
        } else {
            pane->Navigate2(url);
        }
    });
    m_shower.RefreshWorkingPanes();
    return true;
}

void NavigationDriver::NavigateURL(const QString& url) {
    Nav2Visible(url, ModeUser);
}

void NavigationDriver::Nav2Visible(const QString& url, int mode) {
    Errors::Guarded(QLatin1String(kBrowseModule), QStringLiteral("Nav2Visible"), [&] {
        Links& links = m_links;
        if (url.isEmpty() || links.Visible() < 1) return;
        Link* link = links.Item(links.Visible());
        BrowserPane* pane = m_panes.Pane(links.Visible() - 1);
        if (!link || !pane) return;
        const int i = link->Index() - 1;
        m_tabs.Set(i, TabColour::ButtonFace);
        m_tabs.CopyToView(i);
        links.RenewLink(link->Index());
        m_navBar.HideAddressMatches();
        if (mode != ModeKeep) link->SetNavigateMode(mode);
        m_navBar.SetAddressText(url);
        m_state.awaitingCommit.insert(i);
        Errors::Quietly([&] { pane->Navigate2(url); });
        // Whatever login the Link was waiting for is over: its pane shows what the user asked for.
        link->SetLoginTimeOut(QDateTime());
        m_shower.BringToFront(i);
    });
}

// ----- progress page and login deadline -------------------------------------------------------

bool NavigationDriver::ShowsProgressPage(const Link& link) const {
    return link.LoginTimeOut().isValid() && link.LoginTimeOut() > Clock::Now();
}

void NavigationDriver::SetProgressText(int i, const QString& text) {
    Link* link = m_links.Item(i + 1);
    if (!link) return;
    link->SetProgressText(text);
    if (m_shower.IsVisibleLink(i)) m_view.SetStatusText(text);
}

void NavigationDriver::ShowProgressPage(int i) {
    Link* link = m_links.Item(i + 1);
    if (!link || !m_shower.IsVisibleLink(i)) return;
    if (link->ProgressText().contains(QLatin1String("error"), Qt::CaseInsensitive))
        link->SetLoginTimeOut(Clock::Now());
    if (BrowserPane* placeholder = m_panes.Placeholder())
        Errors::Quietly([&] { placeholder->SetBodyHtml(ProgressPageMarkup(link->ProgressText())); });
    SetProgressText(i, link->ProgressText());
    if (ShowsProgressPage(*link)) m_panes.ShowPlaceholder();
}

void NavigationDriver::SetLoginTimeOut(int i) {
    Link* link = m_links.Item(i + 1);
    if (!link) return;
    if (ByButtonOrStartUp(*link) && link->ReqLogin()) {
        if (!link->LoggedIn() && !link->LoginAssumed()) {
            link->SetLoginTimeOut(Clock::Now().addSecs(kLoginTimeOutSeconds));
            m_showPageTimer.start();
        } else if (link->ProgressValue() == 0) {
            link->SetLoginTimeOut(Clock::Now().addSecs(-1));
            m_shower.ShowPane(i);
        }
        // Still loading: the progress reset at DocumentComplete comes back here.
    } else {
        link->SetLoginTimeOut(QDateTime());
    }
}

void NavigationDriver::OnShowPageTimer() {
    Errors::Guarded(QLatin1String(kBrowseModule), QStringLiteral("tmrShowPage_Timer"), [&] {
        Links& links = m_links;
        if (links.Visible() < 1) return;
        Link* link = links.Item(links.Visible());
        if (!link) return;
        const QDateTime now = Clock::Now();
        const bool passwordAnswered = link->PasswordSentTime().isValid() &&
                                      Clock::WholeSecondsBetween(link->PasswordSentTime(), now) >= 1;
        const bool deadlinePassed = !(link->LoginTimeOut().isValid() && link->LoginTimeOut() > now);
        if ((passwordAnswered || deadlinePassed) &&
            (m_panes.IsPlaceholderShown() || link->LoginTimeOut().isValid())) {
            link->SetLoginTimeOut(QDateTime());
            links.SetForceVisible(link->Index());
            m_shower.ShowPane(link->Index() - 1);
            return;
        }
        for (Link* other : links)
            if (!other->Deleted() && other->LoginTimeOut().isValid() && other->LoginTimeOut() > now) return;
        m_showPageTimer.stop();
        m_shower.BringToFront(link->Index() - 1);
    });
}

// ----- start-up -------------------------------------------------------------------------------

bool NavigationDriver::CheckOnline() {
    const bool offline = OfflineState::IsOffline();
    const bool connection = OfflineState::HasConnection();
    if (!offline && !connection) {
        if (MsgBox(
                QStringLiteral("A connection to the Internet could not be found. ") + CR + CR +
                    QStringLiteral(
                        "Do you want to work Offline? If you don't want to work Offline, please ") +
                    CR +
                    QStringLiteral("connect to the Internet first and then come back here and click 'No'. ") +
                    CR + CR,
                msgbox::YesNo, msgbox::Question, QStringLiteral("No Internet Connection Found"),
                2) == msgbox::Yes) {
            OfflineState::SetOffline(true);
            m_host.SetWorkOffline(true);
        }
    } else if (offline && connection) {
        if (MsgBox(QString::fromLatin1(ProductName()) + QStringLiteral(" is now in Offline mode.") + CR + CR +
                       QStringLiteral("Do you want to go Online?") + CR + CR,
                   msgbox::YesNo, msgbox::Question, QStringLiteral("Working Offline")) == msgbox::Yes) {
            OfflineState::SetOffline(false);
            m_host.SetWorkOffline(false);
        }
    } else if (offline) {
        m_host.SetWorkOffline(true);
    }
    return true;
}

bool NavigationDriver::DamagedSettings() {
    const QString user = App().CurrentUser;
    const QString product = QString::fromLatin1(ProductName());
    const QString text =
        QStringLiteral("A severe error has been found in this User's setttings.") + CR +
        QStringLiteral("If you think you are receiving this message in error, please ") + CR +
        QStringLiteral("click CANCEL to exit the application and retry again later.") + CR + CR +
        QStringLiteral("If you have backed up this User's settings in the past and wish to") + CR +
        QStringLiteral("restore them, please click OK. You will be able to restore the settings") + CR +
        QStringLiteral("from a saved file by going to menu 'File/Settings/Import From File'.  ") + CR + CR +
        QStringLiteral("Otherwise, you may have to recreate all your Links and ignore all ") + CR +
        QStringLiteral("past settings for this User. ") + CR + CR +
        QStringLiteral("Click OK to continue, click CANCEL to Retry again.") + CR + CR;
    if (MsgBox(text, msgbox::OKCancel, msgbox::Critical,
               product + QStringLiteral(" - Severe Error in") + user + QStringLiteral("'s Settings")) ==
        msgbox::OK) {
        Links& links = m_links;
        links.Add(QStringLiteral("Home Page$$"), SecretCipher::EncryptMessage(QStringLiteral("BGDummy")),
                  QString(), QString(), QString(), QString(), true, false, -1, true);
        App().NewUserCreated = true;
        m_controls.LoadControl(links.Count() - 1, false);
        return true;
    }
    MsgBox(product + QStringLiteral(" will now exit. Please start again."), msgbox::OKOnly, msgbox::Critical,
           QStringLiteral("Restart ") + product);
    WriteLog(QStringLiteral("frmBrowse AutoNavigate ENDING APPLICATION...serious error"));
    m_host.EndApplication();
    return false;
}

void NavigationDriver::AutoNavigate() {
    Errors::Guarded(QLatin1String(kBrowseModule), QStringLiteral("AutoNavigate"), [&] {
        CheckOnline();
        // The search pane shows the service the user chose last; a pane not on show loads it
        // when its tab first opens, so it costs no renderer before that.
        if (SearchPane* search = m_search; search && search->isVisible()) search->ApplySearchChoice();
        Links& links = m_links;
        if (links.CountUndeleted() == 0 && !App().NewUserCreated) {
            if (!DamagedSettings()) return;
        }
        int opened = 0;
        for (int order = 0; order < links.Count(); ++order) {
            QCoreApplication::processEvents();
            if (App().Unloading) return;
            Link* link = links.ControlOrderItem(order);
            if (!link || !link->AutoNavigate()) continue;
            link->SetNavigateMode(ModeStartUp);
            bool issued = false;
            Errors::Quietly([&] { issued = DoNavigate(link->Index() - 1); });
            if (issued && ++opened == 1) {
                links.SetForceVisible(link->Index());
                SetProgressText(link->Index() - 1, QStringLiteral("Loading, Please wait..."));
                m_shower.ShowPane(link->Index() - 1);
                m_shower.EnsureAppFocus();
                QCoreApplication::processEvents();
            }
        }
        m_state.startUpNavigationDone = true;
        m_state.navigationStarted = true;
        if (opened > 0 && !App().NewUserCreated) return;

        // Nothing opened (or a new user): the first Link in button order is shown.
        links.SetVisible(-1);
        if (!OfflineState::IsOffline())
            if (BrowserPane* pane0 = m_panes.Pane(0)) pane0->SetOffline(false);
        if (Link* first = links.Item(1)) first->SetNavigateMode(ModeUser);
        const int firstIndex = links.ControlOrderItemIndex(0);
        Link* first = links.Item(firstIndex);
        BrowserPane* pane = m_panes.Pane(firstIndex - 1);
        if (!first || !pane) return;
        links.SetForceVisible(firstIndex);
        const QString url = first->URL();
        Errors::Quietly([&] {
            if (IsDummy(url))
                pane->GoHome();
            else
                pane->Navigate2(url);
        });
        m_shower.ShowPane(firstIndex - 1);
    });
}

// ----- the frame's navigation commands --------------------------------------------------------

void NavigationDriver::GoBack() {
    const int i = m_shower.VisibleIndex();
    BrowserPane* pane = m_panes.Pane(i);
    if (!pane || !pane->CanGoBack()) return;
    m_links.Item(i + 1)->SetNavigateMode(ModeUser);
    pane->GoBack();
}

void NavigationDriver::GoForward() {
    const int i = m_shower.VisibleIndex();
    BrowserPane* pane = m_panes.Pane(i);
    if (!pane || !pane->CanGoForward()) return;
    m_links.Item(i + 1)->SetNavigateMode(ModeUser);
    pane->GoForward();
}

void NavigationDriver::GoHome() {
    const int i = m_shower.VisibleIndex();
    BrowserPane* pane = m_panes.Pane(i);
    if (!pane) return;
    Link* link = m_links.RenewLink(i + 1);
    if (link) link->SetNavigateMode(ModeUser);
    pane->GoHome();
    m_shower.BringToFront(i);
}

void NavigationDriver::Refresh() {
    if (BrowserPane* pane = m_panes.Pane(m_shower.VisibleIndex())) pane->Refresh();
}

void NavigationDriver::Stop() {
    Links& links = m_links;
    links.SetNavigateStopped(true);
    const int i = m_shower.VisibleIndex();
    Link* link = links.Item(i + 1);
    BrowserPane* pane = m_panes.Pane(i);
    if (!link || !pane) return;
    pane->Stop();
    // A stopped login is over: no more waiting for it.
    link->SetPasswordSent(false);
    link->SetLoggedIn(false);
    link->SetLoginTimeOut(QDateTime());
    m_tracker.SetLinkProgress(i, 0);
    m_shower.BringToFront(i);
}

// ----- the Links' login notifications ---------------------------------------------------------

void NavigationDriver::PasswordSent(int index) {
    Errors::Guarded(QLatin1String(kBrowseModule), QStringLiteral("PasswordSent"), [&] {
        Link* link = m_links.Item(index);
        if (!link) return;
        SetProgressText(index - 1,
                        QStringLiteral("Signing In ") + link->ShownCaption() + QStringLiteral("  "));
        ShowProgressPage(index - 1);
        SetLoginTimeOut(index - 1);
    });
}

void NavigationDriver::LoggedIn(int index) {
    Errors::Guarded(QLatin1String(kBrowseModule), QStringLiteral("LoggedIn"),
                    [&] { SetLoginTimeOut(index - 1); });
}

void NavigationDriver::LoginAssumed(int index) {
    Errors::Guarded(QLatin1String(kBrowseModule), QStringLiteral("LoginAssumed"), [&] {
        SetProgressText(index - 1, QStringLiteral("Could not Log-In"));
        SetLoginTimeOut(index - 1);
    });
}

void NavigationDriver::NavigationError(int index) {
    Errors::Guarded(QLatin1String(kBrowseModule), QStringLiteral("NavigationError"), [&] {
        SetProgressText(index - 1, QStringLiteral("NavigationError"));
        SetLoginTimeOut(index - 1);
    });
}
