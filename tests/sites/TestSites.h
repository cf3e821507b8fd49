#pragma once

#include <memory>
#include <QString>
#include <QStringList>

#include "sites/SiteServer.h"

namespace sites {

// The program's test sites: a main origin and a second origin (another port, so another
// site for the engine) serving the pages of the route table in TestSites.cpp. Both servers
// run from construction to destruction.
//
// Main origin pages (see the table for what each holds):
//   /                 index of all pages          /plain            links, images, scripts
//   /login            the login form (POST; ?next=/path goes there after the login, not to /welcome)
//   /login-strict     a login form whose refusal is a 401 page
//   /welcome          after login: "Sign Out" link
//   /after/anchor|button|image|list   after login: one kind of control leading to /accounts
//   /signed-in        no form, a "Sign Out" link  /no-login         no form, no such link
//   /logout           ends the session            /accounts         a page behind the login
//   /login-onsubmit   login form with an inline onsubmit handler
//   /echo             a field whose own input listener echoes what is typed
//   /frames           frameset: /frame-left here, /frame-right on the second origin
//   /iframes          same-origin and cross-origin iframes, one nested
//   /popup-auto       opens a window from script at load (no click)
//   /popup-three      opens three windows from script at load (/popup-target?n=1, 2, 3)
//   /popup-click      a button and a target=_blank link that open windows on a click
//   /popup-target     the page those windows show; it can close itself
//   /slow?ms=N        answers after N ms (default 3000)
//   /redirect         302 to /plain                /missing  404     /broken  500
//   /doc.pdf          a one-page PDF              /generated?n=N    a page of N elements
//   /script-error     a page whose script fails at load
//   /download         a file to save (?bytes=N, ?name=, ?trickle=ms between 64 KB pieces)
//   /basic-auth       behind the server's own sign-in box (realm "Bramble Vault", kUser/kPassword)
//   /hang-once        the first visit of a ?key= hangs its page; later visits go to /login
//   /ask-permission   asks leave to show notifications; the title says the answer
class TestSites {
public:
    static constexpr const char* kUser = "alice";
    static constexpr const char* kPassword = "wonderland";

    // Ports 0 = any free port.
    explicit TestSites(int port = 0, int otherPort = 0);
    ~TestSites();

    bool ok() const { return m_ok; }
    // Address of a page on the main origin, and on the second origin.
    QString Url(const QString& path = QStringLiteral("/")) const { return m_main.Url(path); }
    QString OtherUrl(const QString& path = QStringLiteral("/")) const { return m_other.Url(path); }
    SiteServer& main() { return m_main; }
    SiteServer& other() { return m_other; }

    // Serves extra content at a path on both origins (tests bring their own small pages).
    void AddPage(const QString& path, const QString& html);

    // Logins the login site accepted and refused, as "user" or "user/option" when the form's
    // list had an option chosen; in the order they arrived.
    QStringList AcceptedLogins() const;
    QStringList RefusedLogins() const;
    // The answers /basic-auth got, in order: "user:password", or "" for a request without one.
    QStringList SignInAttempts() const;
    // The bytes of /download?bytes=N.
    static QByteArray DownloadBytes(int bytes);

    // The whole body of the generated page of n elements (also used by benchmarks).
    static QString GeneratedPage(int elements);

    // What the login site remembers (shared with the request threads).
    struct State;

private:
    SiteServer m_main;
    SiteServer m_other;
    std::shared_ptr<State> m_state;
    bool m_ok = false;
};

// One set of sites per test program, started on first use.
TestSites& SharedSites();

} // namespace sites
