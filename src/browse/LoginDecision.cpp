#include "browse/LoginDecision.h"

#include <algorithm>
#include <QPointer>
#include <QTimer>

#include "browse/BrowseState.h"
#include "browse/engine/BrowserPane.h"
#include "browse/LoginFormJudge.h"
#include "browse/LoginKeywords.h"
#include "browse/NavigationDriver.h"
#include "browse/PageLoadTracker.h"
#include "browse/PaneArea.h"
#include "browse/PaneShower.h"
#include "browse/TabColour.h"
#include "browse/TabColours.h"
#include "core/Clock.h"
#include "core/Errors.h"
#include "core/Log.h"
#include "core/UrlUtils.h"
#include "links/Links.h"

using core::WriteLog;
using core::WriteSignInLog;
using LoginKeywords::IsLoginText;

namespace {

constexpr auto ci = Qt::CaseInsensitive;

bool SameText(const QString& a, const QString& b) {
    return a.compare(b, ci) == 0;
}

// "<pane> <address>" as the log lines end: the address without user info, query or fragment.
QString At(int pane, const QString& url) {
    return QString::number(pane) + QLatin1Char(' ') + PageLoadTracker::LogUrl(url);
}

} // namespace

const QString& LoginDecision::kLogoutList = ControlWords::LogoutList();

LoginDecision::LoginDecision(const BrowseContext& context, const BrowseView& view, FormFillerHost& host,
                             NavigationDriver& navigation, PageLoadTracker& tracker, LoginSites sites)
    : m_host(host), m_links(context.links), m_panes(context.panes), m_tabs(view.tabs), m_shower(view.shower),
      m_navigation(navigation), m_tracker(tracker), m_state(context.state), m_context(context.lifetime),
      m_sites(std::move(sites)), m_filler(std::make_unique<FormFiller>(host, m_sites)) {}

void LoginDecision::SetSites(const LoginSites& sites) {
    m_sites = sites;
    m_filler = std::make_unique<FormFiller>(m_host, m_sites);
}

bool LoginDecision::InLogoutList(const QString& linkText) {
    return kLogoutList.contains(linkText.trimmed().toLower());
}

QString LoginDecision::LocationURL(int pane) const {
    BrowserPane* p = m_panes.Pane(pane);
    return p ? p->LocationURL() : QString();
}

// ----- the decision ---------------------------------------------------------------------------

LoginDecider::Result LoginDecision::DocumentComplete(int pane, Link& link, const DocumentPtr& document,
                                                     const QString& url) {
    if (!document || (m_panes.Pane(pane) && m_panes.Pane(pane)->CertificateOverridden()))
        return Result::Continue;
    // A login page has the login time-out from its arrival to build its form: a slow start
    // (many Links loading at once) takes nothing from it.
    if (link.LoginWatchUntil.isValid() && !link.PasswordSent() && (!link.LoggedIn() || link.LoginAssumed()))
        link.LoginWatchUntil =
            std::max(link.LoginWatchUntil, Clock::Now().addSecs(NavigationDriver::kLoginTimeOutSeconds));
    const Result result = Decide(pane, link, document.get(), url);
    Watch(pane, link);
    return result;
}

bool LoginDecision::WatchesPage(const Link& link) {
    const bool opened = link.NavigateMode() == NavigationDriver::ModeStartUp ||
                        link.NavigateMode() == NavigationDriver::ModeButton;
    if (!opened || !link.ReqLogin() || link.Deleted()) return false;
    // Logged in for sure, or given up after a password went.
    if (link.LoggedIn() && (!link.LoginAssumed() || link.PasswordSubmitted)) return false;
    return link.LoginWatchUntil.isValid() && Clock::Now() < link.LoginWatchUntil;
}

void LoginDecision::Watch(int pane, const Link& link) {
    if (BrowserPane* p = m_panes.Pane(pane)) p->WatchPage(WatchesPage(link));
}

bool LoginDecision::HasLoginForm(DomDocument* document) {
    if (!document) return false;
    for (DomElement* form : document->forms())
        if (LoginFormJudge::Judge(form, document).kind == LoginFormJudge::Kind::Login) return true;
    for (const DomFrame& frame : document->frames())
        if (frame.document && HasLoginForm(frame.document)) return true;
    return false;
}

bool LoginDecision::FillsErrorPage(const Link& link, const DocumentPtr& document) {
    // Only the login page itself: an error answer to a password already sent is a refusal.
    return document && link.ReqLogin() && !link.LoggedIn() && !link.LoginAssumed() && !link.PasswordSent() &&
           !link.PasswordSubmitted && m_filler->MayFill(document->URL(), link) &&
           HasLoginForm(document.get());
}

void LoginDecision::PageChanged(int pane, Link& link) {
    BrowserPane* p = m_panes.Pane(pane);
    if (!p) return;
    if (!WatchesPage(link)) {
        p->WatchPage(false);
        return;
    }
    const int index = link.Index();
    p->RefreshDocument([this, pane, index](DocumentPtr document) {
        Link* current = m_links.Item(index);
        BrowserPane* view = m_panes.Pane(pane);
        if (!document || !current || !view || !WatchesPage(*current)) return;
        if (current->PasswordSent()) {
            AnsweredWithoutNewPage(pane, *current, document.get());
        } else {
            // A login form appeared where none was to be found: the login goes on after all.
            if (current->LoginAssumed()) {
                if (current->PasswordSubmitted || !HasLoginForm(document.get())) return;
                WriteSignInLog(QStringLiteral("PageChanged login form appeared ") +
                               At(pane, view->LocationURL()));
                current->SetLoginAssumed(false);
                current->SetLoggedIn(false);
                m_navigation.SetLoginTimeOut(pane);
            }
            Decide(pane, *current, document.get(), view->LocationURL());
        }
        Watch(pane, *current);
    });
}

void LoginDecision::AnsweredWithoutNewPage(int pane, Link& link, DomDocument* document) {
    BrowserPane* p = m_panes.Pane(pane);
    // Still the login form with a password field shown: the answer has not come (or refused).
    const bool movedOn = p && p->LocationURL() != link.FrameURL();
    if (!movedOn && HasLoginForm(document)) return;
    WriteSignInLog(QStringLiteral("PageChanged answer without a new page ") +
                   At(pane, p ? p->LocationURL() : QString()));
    m_tracker.TakeLoginAnswer(pane);
    // No DocumentComplete follows: the logged-in page is taken as it is now.
    if (!p) return;
    Decide(pane, link, document, p->LocationURL());
    if (m_tabs.Of(pane) == TabColour::LightGreen) m_tabs.Set(pane, TabColour::Green);
    m_navigation.SetLoginTimeOut(pane);
}

LoginDecider::Result LoginDecision::Decide(int pane, Link& link, DomDocument* document, const QString& url) {
    if (document->protocol() == QLatin1String("Unknown Protocol")) {
        WriteLog(QStringLiteral("DocumentComplete Unknown Protocol ") + At(pane, url));
        return Result::Finished;
    }
    if (!link.ReqLogin() || link.LoginAssumed()) return Result::Continue;
    // The answer to the form sent is on its way; its NavigateComplete2 settles the login.
    if (link.PasswordSent()) return Result::Continue;

    // The Link's credentials go to its own site only: a page of another site (a redirect
    // elsewhere) ends the login with nothing filled.
    if (!link.LoggedIn() && !m_filler->MayFill(document->URL(), link)) {
        WriteSignInLog(QStringLiteral("DocumentComplete not the Link's site ") + At(pane, url));
        AssumeLogin(pane, link, url);
        return Result::Finished;
    }

    if (link.LoggedIn()) {
        m_tabs.Set(pane, TabColour::Green);
        if (m_shower.IsVisibleLink(pane)) m_tabs.CopyToView(pane);
        const QString target = link.NavigateAfterLogin();
        if (!target.isEmpty() && !link.NavigateAfterLoginDone() && document->bodyHasContent()) {
            m_navigation.SetProgressText(pane, QStringLiteral("Going to link '") + target +
                                                   QStringLiteral("' - ") + link.ShownCaption() +
                                                   QStringLiteral("  "));
            if (FollowNavigateAfterLogin(document, pane, link)) {
                WriteLog(QStringLiteral("DocumentComplete NavigateAfterLoginDone Index = ") + At(pane, url));
            } else {
                // Looked for once: later pages of the site are not searched again.
                link.SetNavigateAfterLoginDone(true);
                WriteLog(QStringLiteral("DocumentComplete Assumed NavigateAfterLoginDone Index = ") +
                         At(pane, url));
            }
        }
        return Result::Continue;
    }

    if (!document->forms().isEmpty()) {
        // The bank's start page signs in through a link, not through its forms.
        if (!m_sites.bankStartAddress.isEmpty() && SameText(LocationURL(pane), m_sites.bankStartAddress) &&
            ClickBankSignInLink(document))
            return Result::Finished;
    } else if (document->frames().isEmpty()) {
        // Nothing to fill here: the page shows soon, or at once when it looks logged in.
        link.SetLoginTimeOut(Clock::Now().addSecs(kNoFormSeconds));
        WriteSignInLog(QStringLiteral("DocumentComplete Forms = 0 Frames=0 ") + At(pane, url));
        if (HasLogoutLink(document)) AssumeLogin(pane, link, url);
        return Result::Continue;
    }

    if (!(link.ReqLogin() && !link.PasswordSent() && !link.LoggedIn())) return Result::Continue;
    const bool typedBefore = link.IdentifierTyped;
    if (Parse(pane, link, document)) return Result::Finished;
    if (link.IdentifierTyped && !typedBefore) {
        // The user name is typed for a password field the page shows only then: the watch
        // sees it come; without it, the page is looked at again in a moment.
        const int index = link.Index();
        QTimer::singleShot(kTypedWaitMs, &m_context, [this, pane, index] {
            Link* typed = m_links.Item(index);
            if (typed && !typed->PasswordSent() && !typed->LoggedIn() && WatchesPage(*typed))
                PageChanged(pane, *typed);
        });
        return Result::Finished;
    }
    return AfterFailedParse(pane, link, document, url);
}

bool LoginDecision::Parse(int pane, Link& link, DomDocument* document) {
    const bool identifierBefore = link.IdentifierSent;
    if (!m_filler->ParsePage(document, pane, link)) return false;
    if (link.IdentifierSent && !identifierBefore && !link.PasswordSent()) {
        // The first step of a two-step login went: the password is asked for next, on a new
        // page or on this one. One login, one deadline from here.
        m_navigation.SetProgressText(pane,
                                     QStringLiteral("Signing In ") + link.Caption() + QStringLiteral("  "));
        m_navigation.ShowProgressPage(pane);
        m_navigation.SetLoginTimeOut(pane);
        link.LoginWatchUntil = Clock::Now().addSecs(NavigationDriver::kLoginTimeOutSeconds);
        // With many pages loading, the user name can reach the page long after this: the
        // password is waited for from the moment it did.
        if (BrowserPane* p = m_panes.Pane(pane)) {
            const QPointer<QObject> window(&m_context);
            const int index = link.Index();
            p->ApplyActions([this, window, pane, index](bool) {
                Link* sent = window ? m_links.Item(index) : nullptr;
                if (!sent || !sent->IdentifierSent || sent->PasswordSent() || sent->LoggedIn()) return;
                sent->LoginWatchUntil = Clock::Now().addSecs(NavigationDriver::kLoginTimeOutSeconds);
                m_navigation.SetLoginTimeOut(pane);
                Watch(pane, *sent);
            });
        }
    }
    return true;
}

LoginDecider::Result LoginDecision::AfterFailedParse(int pane, Link& link, DomDocument* document,
                                                     const QString& url) {
    WriteSignInLog(QStringLiteral("DocumentComplete ParsePage returned False ") + At(pane, url));
    link.SetPasswordSent(false);
    // The sign-in service's own pages are left to the user.
    if (ContainsSite(document->domain(), m_sites.signInServiceDomain) ||
        ContainsSite(document->domain(), m_sites.signInServiceDomain2))
        return Result::Finished;
    const QString location = LocationURL(pane);
    // The bank's page after its login has forms, but none to fill.
    if (!m_sites.bankMainPage.isEmpty() && SameText(location, m_sites.bankMainPage)) return Result::Finished;
    // The site whose button works on the second fill gets that fill a second from now.
    if (ContainsSite(location, m_sites.specialSiteWord)) {
        m_state.ParseAt = Clock::Now();
        m_state.ParseIndex = pane;
        return Result::Finished;
    }
    // A user name for the sign-in service: its sign-in image leads to the service's page.
    if (!link.SignInServiceUsed && link.UserName().contains(QLatin1Char('@')) &&
        m_filler->ClickSignInImage(document)) {
        link.SignInServiceUsed = true;
        return Result::Finished;
    }
    // No login form to be found: the page is shown as it is ("Could not Log-In").
    AssumeLogin(pane, link, url);
    return Result::Finished;
}

void LoginDecision::DeferredParse(int pane, Link& link, const DocumentPtr& document) {
    if (document) Parse(pane, link, document.get());
}

void LoginDecision::AssumeLogin(int pane, Link& link, const QString& url) {
    link.SetLoggedIn(true);
    WriteLog(QStringLiteral("DocumentComplete - Assumed Login Index = ") + At(pane, url));
    link.SetLoginAssumed(true);
    ClearLoginTimeOut(pane);
    m_navigation.SetLoginTimeOut(pane);
    m_shower.ShowPane(pane);
}

bool LoginDecision::ClickBankSignInLink(DomDocument* document) {
    for (DomElement* a : document->links()) {
        DomElement* control = nullptr;
        Errors::Quietly([&] {
            if (a->nodeName() != QLatin1String("A") || !IsLoginText(a->outerHTML())) return;
            DomElement* first = a->firstChild();
            if (first && IsLoginText(first->outerHTML())) control = first;
        });
        if (control) {
            control->Click();
            return true;
        }
    }
    return false;
}

bool LoginDecision::HasLogoutLink(DomDocument* document) {
    for (DomElement* a : document->links()) {
        bool found = false;
        Errors::Quietly([&] { found = InLogoutList(a->innerText()); });
        if (found) return true;
    }
    return false;
}

void LoginDecision::ClearLoginTimeOut(int pane) {
    if (pane < 0) {
        for (Link* link : m_links)
            if (!link->Deleted()) link->SetLoginTimeOut(QDateTime());
        return;
    }
    if (Link* link = m_links.Item(pane + 1)) link->SetLoginTimeOut(QDateTime());
}

// ----- after the login ------------------------------------------------------------------------

bool LoginDecision::FollowNavigateAfterLogin(DomDocument* document, int pane, Link& link) {
    Q_UNUSED(pane);
    const QString target = link.NavigateAfterLogin();
    bool found = FollowIn(document, target);
    for (const DomFrame& frame : document->frames()) {
        if (found) break;
        // A frame of another site cannot be read: skipped.
        if (frame.document) found = FollowIn(frame.document, target);
    }
    if (found) link.SetNavigateAfterLoginDone(true);
    return found;
}

bool LoginDecision::FollowIn(DomDocument* document, const QString& text) {
    const QList<DomElement*>& all = document->all();
    // First the control whose own text is the one asked for ...
    for (DomElement* e : all) {
        bool used = false;
        Errors::Quietly([&] {
            const QString& node = e->nodeName();
            if (node == QLatin1String("SELECT")) {
                // Every option is visited; a list whose option matched counts as used.
                for (DomElement* option : e->children()) {
                    if (option->nodeName() != QLatin1String("OPTION")) continue;
                    if (SameText(option->innerText(), text)) {
                        option->SetSelected(true);
                        e->FireChange();
                        used = true;
                    } else {
                        option->SetSelected(false);
                    }
                }
            } else if (node == QLatin1String("A")) {
                DomElement* first = e->childElementCount() > 0 ? e->firstChild() : nullptr;
                if (SameText(e->innerText().trimmed(), text) ||
                    (first && !first->isText() && SameText(first->alt().trimmed(), text))) {
                    e->Click();
                    used = true;
                }
            } else if (node == QLatin1String("INPUT")) {
                const QString type = e->type().toUpper();
                if ((type == QLatin1String("SUBMIT") || type == QLatin1String("BUTTON")) &&
                    SameText(e->value().trimmed(), text)) {
                    e->Click();
                    used = true;
                } else if (type == QLatin1String("IMAGE") &&
                           SameText(core::StripPunctuation(e->alt()), core::StripPunctuation(text))) {
                    e->Click();
                    used = true;
                }
            }
        });
        if (used) return true;
    }
    // ... then the first link whose address holds it.
    for (DomElement* e : all) {
        bool used = false;
        Errors::Quietly([&] {
            if (e->nodeName() == QLatin1String("A") && e->href().contains(text, ci)) {
                e->Click();
                used = true;
            }
        });
        if (used) return true;
    }
    return false;
}
