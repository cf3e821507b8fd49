#include "browse/PageLoadTracker.h"

#include <QUrl>

#include "browse/BrowseHost.h"
#include "browse/BrowseState.h"
#include "browse/engine/BrowserPane.h"
#include "browse/engine/ProgramPages.h"
#include "browse/engine/WebProfiles.h"
#include "browse/LinkControls.h"
#include "browse/LoginDecider.h"
#include "browse/NavigationBar.h"
#include "browse/NavigationDriver.h"
#include "browse/NewWindowPolicy.h"
#include "browse/OfflineState.h"
#include "browse/PageRecorder.h"
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
#include "core/UrlUtils.h"
#include "links/Links.h"

using namespace core;

namespace {

constexpr auto ci = Qt::CaseInsensitive;
constexpr int kProgressTimeOutSeconds = 20;
const QString kWorkingOffline = QStringLiteral("Working Offline");
const QString kNavigationCancelled = QStringLiteral("Navigation Cancelled");

bool IsBlank(const QString& url) {
    return url.isEmpty() || url == QLatin1String("about:blank") || url == QLatin1String("http:///");
}

bool ByButtonOrStartUp(const Link& link) {
    return link.NavigateMode() == NavigationDriver::ModeStartUp ||
           link.NavigateMode() == NavigationDriver::ModeButton;
}

QString Num(int i) {
    return QString::number(i);
}

} // namespace

PageLoadTracker::PageLoadTracker(const BrowseContext& context, const BrowseView& view,
                                 NavigationDriver& navigation, LinkControls& controls, PageRecorder& recorder)
    : m_links(context.links), m_panes(context.panes), m_navBar(view.navBar), m_tabs(view.tabs),
      m_shower(view.shower), m_view(view.view), m_navigation(navigation), m_controls(controls),
      m_recorder(recorder), m_context(context.lifetime), m_windowHandle(context.windowHandle),
      m_host(context.host), m_state(context.state),
      m_errors(context.links, context.panes, *this, context.state) {}

bool PageLoadTracker::Ignoring() const {
    return App().Unloading || App().Locked;
}

QString PageLoadTracker::LogUrl(const QString& url) {
    const QUrl parsed(url);
    if (!parsed.isValid() || parsed.scheme().isEmpty()) return url;
    return parsed.adjusted(QUrl::RemoveUserInfo | QUrl::RemoveQuery | QUrl::RemoveFragment).toString();
}

// ----- connecting a pane ----------------------------------------------------------------------

void PageLoadTracker::Connect(int i, BrowserPane* pane) {
    const QString module = QLatin1String(kBrowseModule);
    // Every handler runs under the error reporter; while the program ends or is locked, only
    // BeforeNavigate2 runs (it refuses the navigation).
    auto run = [this, module](const char* procedure, const std::function<void()>& step) {
        if (Ignoring()) return;
        Errors::Guarded(module, QLatin1String(procedure), step);
    };
    QObject::connect(pane, &BrowserPane::BeforeNavigate2, &m_context, [this, i, module](NavigateEvent& e) {
        Errors::Guarded(module, QStringLiteral("wbr_BeforeNavigate2"), [&] { BeforeNavigate2(i, e); });
    });
    QObject::connect(pane, &BrowserPane::NavigateComplete2, &m_context,
                     [this, i, run](const QString& url, bool top) {
                         run("wbr_NavigateComplete2", [&] { NavigateComplete2(i, url, top); });
                     });
    QObject::connect(pane, &BrowserPane::DownloadBegin, &m_context,
                     [this, i, run] { run("wbr_DownloadBegin", [&] { DownloadBegin(i); }); });
    QObject::connect(pane, &BrowserPane::DownloadComplete, &m_context,
                     [this, i, run] { run("wbr_DownloadComplete", [&] { DownloadComplete(i); }); });
    QObject::connect(pane, &BrowserPane::DocumentComplete, &m_context,
                     [this, i, run](const QString& url, bool top) {
                         run("wbr_DocumentComplete", [&] { DocumentComplete(i, url, top); });
                     });
    QObject::connect(pane, &BrowserPane::FileDownload, &m_context,
                     [this, i, run] { run("wbr_FileDownload", [&] { FileDownload(i); }); });
    QObject::connect(pane, &BrowserPane::NavigateError, &m_context,
                     [this, i, run](const QString& url, bool top, long code) {
                         run("wbr_NavigateError", [&] { NavigateError(i, url, top, code); });
                     });
    QObject::connect(pane, &BrowserPane::NewWindow2, &m_context, [this, i, module](NewWindowEvent& e) {
        Errors::Guarded(module, QStringLiteral("wbr_NewWindow2"), [&] { NewWindow2(i, e); });
    });
    QObject::connect(pane, &BrowserPane::CommandStateChange, &m_context,
                     [this, i, run](int command, bool enable) {
                         run("wbr_CommandStateChange", [&] { CommandStateChange(i, command, enable); });
                     });
    QObject::connect(pane, &BrowserPane::SetSecureLockIcon, &m_context, [this, i, run](int state) {
        run("wbr_SetSecureLockIcon", [&] { SetSecureLockIcon(i, state); });
    });
    QObject::connect(pane, &BrowserPane::TitleChange, &m_context, [this, i, run](const QString& title) {
        run("wbr_TitleChange", [&] { TitleChange(i, title); });
    });
    QObject::connect(pane, &BrowserPane::ScriptError, &m_context,
                     [this, i, run](const QString& description, const QString& url, int line) {
                         run("oHtmlWin_onerror", [&] { ScriptError(i, description, url, line); });
                     });
    // An error inside a frame (an ad's, typically) is not the page's: it only goes to the log.
    QObject::connect(pane, &BrowserPane::FrameScriptError, &m_context,
                     [](const QString& description, const QString& url, int line) {
                         WriteErrorLog(QStringLiteral("oHtmlWinFrame_onerror ") + description +
                                       QLatin1Char(' ') + url + QLatin1Char(' ') + Num(line));
                     });
    QObject::connect(pane, &BrowserPane::StatusTextChange, &m_context, [this, i, run](const QString& text) {
        run("wbr_StatusTextChange", [&] { StatusTextChange(i, text); });
    });
    QObject::connect(pane, &BrowserPane::ProgressChange, &m_context, [this, i, run](int percent) {
        run("wbr_ProgressChange", [&] { ProgressChange(i, percent); });
    });
    QObject::connect(pane, &BrowserPane::PageChanged, &m_context, [this, i, run] {
        run("wbr_PageChanged", [&] {
            Link* link = m_links.Item(i + 1);
            if (link && i < PaneArea::kPlaceholder && ByButtonOrStartUp(*link) && m_loginDecider)
                m_loginDecider->PageChanged(i, *link);
        });
    });
}

// ----- handlers -------------------------------------------------------------------------------

void PageLoadTracker::BeforeNavigate2(int i, NavigateEvent& e) {
    const QString& url = e.url;
    if (url == QLatin1String("about:blank") || url == QLatin1String("http:///")) return;
    BrowserPane* pane = m_panes.Pane(i);
    BrowseState& state = m_state;

    // Whether the new window that may follow is the site's own doing.
    const DocumentPtr current = pane ? pane->Document() : nullptr;
    const QString domain = current ? current->domain() : QString();
    if (GetSiteName(url).contains(domain, ci)) {
        if (current && !domain.isEmpty()) state.AllowNextNewWindow = true;
    } else {
        if (!url.contains(QLatin1String("javascript:"), ci))
            App().LastClickedWindow = 0;
        else if (App().LastClickedWindow != 0)
            App().LastClickedWindow = m_windowHandle;
        state.AllowNextNewWindow = false;
    }

    if (m_shower.IsVisibleLink(i)) {
        m_host.ClearStatus();
        state.scriptErrorTag.clear();
    }
    Links& links = m_links;
    // A cancelled navigation leaves the current page in place, its completion still to come.
    const auto cancel = [&] {
        e.cancel = true;
        state.awaitingCommit.remove(i);
    };
    if (links.NavigateStopped() || App().Locked || App().Unloading) {
        cancel();
        return;
    }
    if (i >= PaneArea::kPlaceholder) return;
    // Script and mail addresses bring no new page.
    if (e.topLevel && !url.startsWith(QLatin1String("javascript:"), ci) &&
        !url.startsWith(QLatin1String("mailto:"), ci))
        state.awaitingCommit.insert(i);

    const bool offline = OfflineState::IsOffline();
    Link* link = links.Item(i + 1);
    if (!link) return;
    if (e.topLevel && (links.Visible() < 1 || links.Visible() == i + 1)) {
        if (!url.startsWith(QLatin1String("mailto:"), ci) &&
            !url.startsWith(QLatin1String("view-source:"), ci))
            m_navBar.SetAddressText(url);
        state.topLevelNavigationPending = true;
        // The dummy Link becomes the first real site opened in it (the program's own pages do not
        // count: they are where it starts).
        if (NavigationDriver::IsDummy(link->URL()) && !ProgramPages::IsProgramPage(url)) {
            QString caption = ProperCase(GetSiteName(url));
            if (caption.isEmpty()) caption = LinkControls::CleanCaption(url);
            links.UpdateLink(link->Index(), caption, SecretCipher::EncryptMessage(url), QString(), QString(),
                             QString(), QString(), true, false);
            m_controls.SetButtonCaption(i);
            m_controls.RefreshmnuLinksEditRemove();
        }
    } else {
        state.topLevelNavigationPending = false;
    }

    if (!state.finishedLoading && offline) {
        SetLinkProgress(i, 0);
        cancel();
        return;
    }
    if (offline && !FindIsPageAvailable(url)) {
        if (StripFragment(url) != StripFragment(link->FrameURL()) &&
            link->NavigateMode() == NavigationDriver::ModeStartUp)
            cancel();
        return;
    }
    if (!offline) SetLinkProgress(i, 5);
    m_navigation.SetLoginTimeOut(i);

    const QColor colour = m_tabs.Of(i);
    if (colour == TabColour::Green) {
        m_tabs.Set(i, IsInLinkDomain(GetSiteName(url), link->URL()) ? TabColour::LightGreen
                                                                    : TabColour::LightYellow);
    } else if (!(colour == TabColour::Yellow && link->PasswordSent())) {
        m_tabs.Set(i, TabColour::LightYellow);
    }
    if (link->PasswordSent()) link->SetPasswordSentTime(QDateTime());
    if (m_shower.IsVisibleLink(i)) m_tabs.CopyToView(i);
}

void PageLoadTracker::NavigateComplete2(int i, const QString& url, bool topLevel) {
    if (i >= PaneArea::kPlaceholder) return;
    if (topLevel) m_state.awaitingCommit.remove(i);
    if (IsBlank(url)) return;
    Links& links = m_links;
    if (links.CountUndeleted() == 0 || links.NavigateStopped()) {
        SetLinkProgress(i, 0);
        return;
    }
    BrowserPane* pane = m_panes.Pane(i);
    Link* link = links.Item(i + 1);
    if (!pane || !link) return;
    if (!pane->IsHtmlDocument()) {
        SetLinkProgress(i, 0);
        m_shower.ShowPane(i);
        return;
    }
    if (pane->IsErrorPage()) return;
    if (topLevel) {
        link->SetFrameURL(url);
        // The committed address, after any redirect: whether the Link's own site answered.
        link->SetIsInDomain(IsInLinkDomain(GetSiteName(url), link->URL()));
        SetWbrDoc(i);
        WriteLog(QStringLiteral("NavigateComplete ") + Num(i) + QLatin1Char(' ') + LogUrl(url) +
                 QStringLiteral(" pdisp=object"));
    } else {
        WriteLog(QStringLiteral("NavigateComplete ") + Num(i) + QLatin1Char(' ') + LogUrl(url) +
                 QStringLiteral(" pdisp<>object"));
    }
    // The site answered the login form.
    if (link->PasswordSent()) TakeLoginAnswer(i, true);
}

void PageLoadTracker::TakeLoginAnswer(int i, bool committed) {
    Link* link = m_links.Item(i + 1);
    if (!link) return;
    link->SetLoggedIn(true);
    link->SetLoginAssumed(false);
    link->SetPasswordSent(false);
    if (committed) m_state.loginAnswerPane = i;
    if (m_tabs.Of(i) != TabColour::Red && link->IsInDomain()) {
        m_tabs.Set(i, TabColour::LightGreen);
        if (m_shower.IsVisibleLink(i)) m_tabs.CopyToView(i);
        m_navigation.SetLoginTimeOut(i);
        m_shower.ShowPane(i);
    }
}

void PageLoadTracker::DownloadBegin(int i) {
    if (m_shower.IsVisibleLink(i)) {
        m_host.ClearStatus();
        m_state.scriptErrorTag.clear();
    }
    const bool offline = OfflineState::IsOffline();
    if (m_host.WorkOffline() != offline) m_host.SetWorkOffline(offline);
    m_state.topLevelNavigationPending = false;
    if (m_state.loginAnswerPane == i) m_state.loginAnswerPane = -1;
}

void PageLoadTracker::DownloadComplete(int i) {
    if (i >= PaneArea::kPlaceholder) return;
    BrowserPane* pane = m_panes.Pane(i);
    Link* link = m_links.Item(i + 1);
    if (!pane || !link) return;
    const QString location = pane->LocationURL();
    if (IsBlank(location) || location.startsWith(QLatin1String("file://"), ci)) return;
    if (m_shower.IsVisibleLink(i)) {
        SetWbrDoc(i);
        if (!m_navBar.IsAddressBeingEdited() && pane->ReadyState() >= PaneReadyState::Interactive &&
            m_navBar.AddressText() != DisplayUrl(location)) {
            m_navBar.SetAddressText(location);
            UpdateLockIcon(i);
        }
    }
    if (pane->IsHtmlDocument() && !pane->IsErrorPage()) {
        WriteLog(QStringLiteral("DownloadComplete ") + Num(i) + QLatin1Char(' ') + LogUrl(location) +
                 QStringLiteral(" ReadyState=") + Num(pane->ReadyState()));
        if (pane->ReadyState() >= PaneReadyState::Interactive &&
            (link->Title().isEmpty() || link->Title().compare(QLatin1String("cannot find server"), ci) == 0))
            TitleChange(i, location);
    }
}

void PageLoadTracker::DocumentComplete(int i, const QString& url, bool topLevel) {
    if (i >= PaneArea::kPlaceholder) return;
    Links& links = m_links;
    if (links.NavigateStopped()) {
        OnParseTimeOut();
        return;
    }
    if (!topLevel) {
        WriteLog(QStringLiteral("DocumentComplete pdisp<>object ") + Num(i) + QLatin1Char(' ') + LogUrl(url));
        return;
    }
    // The page being left finished after the pane was sent on (the Link clicked again, a link
    // followed): the new page is still to come, and the Link's fresh login state must not be
    // judged on the old one.
    if (m_state.awaitingCommit.contains(i)) return;
    BrowserPane* pane = m_panes.Pane(i);
    if (!pane) return;
    const DocumentPtr document = pane->Document();
    if (IsBlank(pane->LocationURL()) || !document) return;
    WriteLog(QStringLiteral("DocumentComplete pdisp Object=True ") + Num(i) + QLatin1Char(' ') + LogUrl(url));
    SetLinkProgress(i, 0);
    // The Link's page has loaded: there is something to view now.
    m_controls.SetViewShown(i, true);
    if (!pane->IsHtmlDocument()) return;
    Link* link = links.Item(i + 1);
    if (!link) return;
    // Some sites send their login page with an error status (401, 403): it is filled like any
    // other. Anything else on an error page shows at once.
    const bool loginOnErrorPage = pane->IsErrorPage() && ByButtonOrStartUp(*link) && m_loginDecider &&
                                  m_loginDecider->FillsErrorPage(*link, document);
    if (pane->IsErrorPage() && !loginOnErrorPage) {
        link->SetLoginTimeOut(Clock::Now());
        return;
    }
    if (links.CountUndeleted() == 0) return;
    if (m_shower.IsVisibleLink(i)) SetWbrDoc(i);

    SettleTabColour(i, *link);

    LoginDecider::Result decision = LoginDecider::Result::Continue;
    if (ByButtonOrStartUp(*link) && m_loginDecider)
        decision = m_loginDecider->DocumentComplete(i, *link, document, url);
    RecordPage(i);
    if (decision == LoginDecider::Result::Finished) return;
    CheckDocImages(document);
}

void PageLoadTracker::NavigateError(int i, const QString& url, bool topLevel, long statusCode) {
    m_errors.NavigateError(i, url, topLevel, statusCode);
}

void PageLoadTracker::NewWindow2(int i, NewWindowEvent& e) {
    e.Cancel();
    if (Ignoring()) return;
    if (NewWindowPolicy* policy = m_popupPolicy) policy->HandleNewWindow(i, e);
}

void PageLoadTracker::CommandStateChange(int i, int command, bool enable) {
    if (i >= PaneArea::kPlaceholder || command == -1) return;
    Link* link = m_links.Item(i + 1);
    if (!link) return;
    if (command == PaneCommand::Forward) link->SetCanGoForward(enable);
    if (command == PaneCommand::Back) link->SetCanGoBack(enable);
    if (m_shower.IsVisibleLink(i)) m_navBar.SetBackForward(link->CanGoBack(), link->CanGoForward());
}

void PageLoadTracker::SetSecureLockIcon(int i, int state) {
    if (!m_state.navigationStarted || i >= PaneArea::kPlaceholder) return;
    Link* link = m_links.Item(i + 1);
    if (!link) return;
    link->SecureLock = state;
    UpdateLockIcon(i);
}

void PageLoadTracker::TitleChange(int i, const QString& title) {
    if (i >= PaneArea::kPlaceholder) return;
    Link* link = m_links.Item(i + 1);
    if (!link) return;
    link->SetTitle(title);
    if (m_shower.IsVisibleLink(i)) m_view.RefreshCaption();
}

void PageLoadTracker::ScriptError(int i, const QString& description, const QString& url, int line) {
    if (!m_shower.IsVisibleLink(i) || m_state.currentDocumentPane != i) return;
    // The engine's own error page is not the site's: nothing of it is reported.
    if (BrowserPane* pane = m_panes.Pane(i); pane && pane->IsErrorPage()) return;
    const QString tag = QStringLiteral("Line: ") + Num(line) + CRLF + QStringLiteral("Error: ") +
                        description + CRLF + QStringLiteral("URL: ") + url;
    m_state.scriptErrorTag = tag;
    m_host.ShowPageError(tag);
}

void PageLoadTracker::StatusTextChange(int i, const QString& text) {
    if (!m_shower.IsVisibleLink(i)) return;
    if (m_host.PageErrorShown()) return;
    m_host.SetStatusText(1, text.isEmpty() ? m_state.statusText : text);
}

void PageLoadTracker::ProgressChange(int i, int percent) {
    BrowserPane* pane = m_panes.Pane(i);
    if (i >= PaneArea::kPlaceholder || percent <= 0 || !pane) return;
    SetLinkProgress(i, percent);
}

// ----- operations -----------------------------------------------------------------------------

void PageLoadTracker::SettleTabColour(int i, const Link& link) {
    const QColor colour = m_tabs.Of(i);
    if (colour == TabColour::LightYellow)
        m_tabs.Set(i, TabColour::Yellow);
    else if (colour == TabColour::LightGreen && link.LoggedIn())
        m_tabs.Set(i, TabColour::Green);
    if (m_shower.IsVisibleLink(i)) m_tabs.CopyToView(i);
}

void PageLoadTracker::FileDownload(int i) {
    if (i >= PaneArea::kPlaceholder) return;
    Link* link = m_links.Item(i + 1);
    if (!link) return;
    // No document follows a file: the pane still shows the page it had, so nothing waits for
    // one and the "Please wait..." page gives the pane back.
    SetLinkProgress(i, 0);
    SettleTabColour(i, *link);
    link->SetLoginTimeOut(QDateTime());
    if (m_shower.IsVisibleLink(i)) m_shower.ShowPane(i);
}

void PageLoadTracker::SetLinkProgress(int i, int value) {
    Links& links = m_links;
    if (links.CountUndeleted() == 0 || i >= PaneArea::kPlaceholder || !m_state.finishedLoading) return;
    Link* link = links.Item(i + 1);
    if (!link) return;
    link->SetProgressValue(value);
    const bool visible = m_shower.IsVisibleLink(i);
    if (value != 0) {
        links.SetProgressTimeOut(Clock::Now().addSecs(kProgressTimeOutSeconds));
        if (link->ProgressValue() >= 100) link->SetProgressValue(0);
        if (visible) {
            m_state.browseProgress = link->ProgressValue();
            m_host.UpdateProgress(m_state.browseProgress);
        }
        if (!ByButtonOrStartUp(*link)) return;
        if (link->PasswordSent() || link->LoggedIn() || link->LoginAssumed()) {
            if (link->ProgressValue() == 0) m_navigation.SetLoginTimeOut(i);
            return;
        }
        if (link->ProgressValue() > 0)
            m_navigation.SetProgressText(i, QStringLiteral("Getting ") + link->ShownCaption() +
                                                QStringLiteral("  "));
        if (link->ReqLogin() && visible) {
            if (link->ProgressValue() == 0) m_navigation.SetLoginTimeOut(i);
            m_navigation.ShowProgressPage(i);
        }
    } else if (visible) {
        m_navigation.SetProgressText(i, QString());
        m_state.browseProgress = 0;
        m_host.UpdateProgress(0);
    }
}

void PageLoadTracker::CheckDocImages(const DocumentPtr& document) {
    if (!document) return;
    const auto again = [](const DomDocument& doc) {
        for (DomElement* image : doc.images())
            if (image->readyState() != QLatin1String("complete"))
                Errors::Quietly([image] { image->SetSrc(image->src()); });
    };
    again(*document);
    for (const DomFrame& frame : document->frames()) {
        if (!frame.document) break; // another site's frame: the rest is not ours to read
        again(*frame.document);
    }
}

bool PageLoadTracker::FindIsPageAvailable(const QString& url) {
    if (!m_host.WorkOffline()) return false;
    return !WebProfiles::BlockedOffline(QUrl(url));
}

QString PageLoadTracker::StripFragment(const QString& url) {
    const qsizetype hash = url.lastIndexOf(QLatin1Char('#'));
    return hash < 0 ? url : url.left(hash);
}

bool PageLoadTracker::IsInLinkDomain(const QString& targetDomain, const QString& linkUrl) {
    const QString site = GetSiteName(linkUrl);
    if (targetDomain.contains(site, ci)) return true;
    for (const QString& label : site.split(QLatin1Char('.')))
        if (targetDomain.contains(label, ci)) return true;
    return false;
}

void PageLoadTracker::UpdateLockIcon(int i) {
    if (!m_shower.IsVisibleLink(i)) return; // the padlock is the visible page's
    Link* link = m_links.Item(i + 1);
    m_host.ShowPadlock(link && link->SecureLock != 0);
}

void PageLoadTracker::SetWbrDoc(int i) {
    if (!m_shower.IsVisibleLink(i)) return;
    if (m_state.currentDocumentPane != i) m_state.scriptErrorTag.clear();
    m_state.currentDocumentPane = i;
}

void PageLoadTracker::RecordPage(int i) {
    BrowserPane* pane = m_panes.Pane(i);
    Link* link = m_links.Item(i + 1);
    if (!pane || !link) return;
    const DocumentPtr document = pane->Document();
    if (!document || document->protocol() == QLatin1String("Unknown Protocol")) return;
    // The pages of a login under way (the login form, its answer) are not history.
    if (link->ReqLogin() && ByButtonOrStartUp(*link) && !link->LoggedIn() && !link->LoginAssumed()) return;
    const QString title = document->title().isEmpty() ? pane->LocationName() : document->title();
    m_recorder.RecordPage(
        link->LinkHisList(),
        VisitedPage{title, PageLocation{pane->LocationName(), pane->LocationURL()}, document->protocol()});
    if (m_shower.IsVisibleLink(i)) m_view.RefreshHistoryMenu();
}

// ----- timers ---------------------------------------------------------------------------------

void PageLoadTracker::OnParseTimeOut() {
    BrowseHost& host = m_host;
    if (OfflineState::IsOffline() && host.StatusText(3) != kWorkingOffline)
        host.SetStatusText(3, kWorkingOffline);
    m_state.topLevelNavigationPending = false;
    Links& links = m_links;
    const QDateTime timeOut = links.ProgressTimeOut();
    if (!timeOut.isValid() || timeOut <= Clock::Now() || links.NavigateStopped()) {
        for (Link* link : links)
            link->SetProgressText(QString());
        for (int i = 0; i < links.Count(); ++i)
            SetLinkProgress(i, 0);
    }
}

void PageLoadTracker::OnBusyTimer() {
    if (App().Unloading) return;
    BrowseState& state = m_state;
    if (state.ParseAt.isValid() && state.ParseAt.msecsTo(Clock::Now()) >= 1000) {
        state.ParseAt = QDateTime();
        const int i = state.ParseIndex;
        BrowserPane* pane = m_panes.Pane(i);
        Link* link = m_links.Item(i + 1);
        if (pane && link && m_loginDecider) m_loginDecider->DeferredParse(i, *link, pane->Document());
    }
    BrowseHost& host = m_host;
    if (!m_links.NavigateStopped() && host.StatusText(3) == kNavigationCancelled)
        host.SetStatusText(3, QString());
}
