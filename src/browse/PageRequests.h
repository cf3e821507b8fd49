#pragma once

#include <functional>
#include <optional>
#include <QHash>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QSet>

#include "browse/PageDialogs.h"
#include "browse/PaneOverlays.h"

class BrowserPane;
enum class PageEnd;
enum class SiteFeature;
struct SignInRequest;

// What one pane's pages ask besides navigating, answered the program's way:
//  - a server's sign-in box: a Link's own site gets the Link's credentials once, without a
//    question; otherwise, or when they were refused, the user is asked (SignInBox);
//  - the page's dialogs (PageDialogs);
//  - leave for features: a remembered answer of the user's, else the question in a bar over
//    the page (PermissionBar, SitePermissions);
//  - certificate problems, crashes and pages that stop responding: the program's own notice in
//    the pane (PaneNotice), with the way on that each allows.
// While the account is locked nothing is asked: sign-ins and features are refused, dialogs
// answer no. It lives as long as its pane.
class PageRequests : public QObject {
    Q_OBJECT
public:
    using Credentials = std::optional<QPair<QString, QString>>; // user name, password
    struct Hooks {
        // What a sign-in box at this address may be answered with unasked; none: ask the user.
        std::function<Credentials(const QString& url)> credentials;
        // The page's process went.
        std::function<void()> pageLost;
        // The pane has something to say (a certificate problem, a page that stopped answering):
        // whatever hides it (a progress page) should not any more.
        std::function<void()> needsAttention;
    };

    static PageRequests* Attach(BrowserPane* pane, Hooks hooks = {});
    PageRequests(BrowserPane* pane, Hooks hooks);

    // The texts of the notices.
    static QString CertificateText(const QString& url, const QString& description, bool overridable);
    static QString CrashText(PageEnd reason);

private:
    void OnSignIn(SignInRequest& request);
    void OnPermission(const QString& origin, SiteFeature feature);
    void OnCertificateError(const QString& url, const QString& description, bool overridable);
    void OnCrash(PageEnd reason);
    void OnUnresponsive(bool unresponsive);
    void OnNewPage();
    QWidget* Host() const;

    BrowserPane* m_pane;
    Hooks m_hooks;
    PageDialogs m_dialogs;
    QSet<QString> m_autoAnswered;       // sign-ins answered with the Link's credentials, by site and realm
    QHash<QString, QString> m_lastUser; // the user name last given per site and realm
    QPointer<PermissionBar> m_bar;
    QPointer<PaneNotice> m_notice;
};
