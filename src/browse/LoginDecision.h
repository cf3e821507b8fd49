#pragma once

#include <memory>
#include <QString>

#include "browse/BrowseContext.h"
#include "browse/FormFiller.h"
#include "browse/LoginDecider.h"
#include "browse/LoginSites.h"

class Link;
class Links;
class NavigationDriver;
class PageLoadTracker;
class PaneArea;
class PaneShower;
class QObject;
class TabColours;
struct BrowseState;

// What becomes of a Link's completed top-level page while the Link logs in: fill and send its
// login form, take a page without one as logged in (or give up: "Could not Log-In"), and once
// logged in follow the page link the Link names (NavigateAfterLogin). Also the deferred second
// parse of the one site that needs it.
//
// The form filling itself is the FormFiller's, with `host` as its host.
class LoginDecision : public LoginDecider {
public:
    // The texts of a page link that shows a logged-in page (items separated by "*"; a link's
    // text matches when it occurs anywhere within the list).
    static const QString& kLogoutList;
    // How long a page without any form may wait before it shows.
    static constexpr int kNoFormSeconds = 5;
    // How long a page may take to show the password field after the user name was typed.
    static constexpr int kTypedWaitMs = 2000;

    // Its delayed steps run only while `context.lifetime` lives; `host` answers the form filler.
    LoginDecision(const BrowseContext& context, const BrowseView& view, FormFillerHost& host,
                  NavigationDriver& navigation, PageLoadTracker& tracker, LoginSites sites = {});

    // The site table of the decision and of its form filler (tests point it at local sites).
    void SetSites(const LoginSites& sites);
    const LoginSites& Sites() const { return m_sites; }
    FormFiller& Filler() { return *m_filler; }

    // LoginDecider
    Result DocumentComplete(int pane, Link& link, const DocumentPtr& document, const QString& url) override;
    void DeferredParse(int pane, Link& link, const DocumentPtr& document) override;
    void PageChanged(int pane, Link& link) override;
    bool FillsErrorPage(const Link& link, const DocumentPtr& document) override;

    // Whether the Link's page is still watched for its login: a login form that a script builds
    // late, the second step of a two-step login, or the answer to a form a script sent without
    // a new page. From the Link's opening until its login time-out, while it is not logged in.
    static bool WatchesPage(const Link& link);
    // Whether any form of the page (or of its readable frames) is a login form.
    static bool HasLoginForm(DomDocument* document);

    // No login deadline any more for the Link of this pane; -1: for every Link.
    void ClearLoginTimeOut(int pane);
    // Uses the page control whose text is the Link's NavigateAfterLogin (in the page or, failing
    // that, in its frames). True when one was found and used; the Link's NavigateAfterLoginDone
    // is then set.
    bool FollowNavigateAfterLogin(DomDocument* document, int pane, Link& link);

    // Whether a link text reads as a way out of a logged-in site (an empty text does).
    static bool InLogoutList(const QString& linkText);

private:
    Result Decide(int pane, Link& link, DomDocument* document, const QString& url);
    Result AfterFailedParse(int pane, Link& link, DomDocument* document, const QString& url);
    // Runs the form filler; on the first step of a two-step login, the Link waits for the next.
    bool Parse(int pane, Link& link, DomDocument* document);
    void Watch(int pane, const Link& link);
    // The answer to a form a script sent: the page moved on without a new document.
    void AnsweredWithoutNewPage(int pane, Link& link, DomDocument* document);
    bool ClickBankSignInLink(DomDocument* document);
    bool HasLogoutLink(DomDocument* document);
    void AssumeLogin(int pane, Link& link, const QString& url);
    static bool FollowIn(DomDocument* document, const QString& text);
    QString LocationURL(int pane) const;

    FormFillerHost& m_host;
    Links& m_links;
    PaneArea& m_panes;
    TabColours& m_tabs;
    PaneShower& m_shower;
    NavigationDriver& m_navigation;
    PageLoadTracker& m_tracker;
    BrowseState& m_state;
    QObject& m_context;
    LoginSites m_sites;
    std::unique_ptr<FormFiller> m_filler;
};
