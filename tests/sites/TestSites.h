#pragma once

#include <memory>
#include <QString>
#include <QStringList>

#include "sites/SiteServer.h"

namespace sites {

// The program's test sites: a main origin and a second origin (another port, so another
// origin for the engine) serving the pages of the route table in TestSites.cpp, where each
// page says what it is for. Both servers run from construction to destruction.
//   /login takes ?next=/path (where an accepted login goes instead of /welcome); refused logins
//   get the form again (200; 401 on /login-strict). /basic-auth is behind the server's own
//   sign-in box (realm "Bramble Vault", kUser/kPassword); /download?bytes=N&name=&trickle=ms.
class TestSites {
public:
    static constexpr const char* kUser = "alice";
    static constexpr const char* kPassword = "wonderland";
    // A second account of the login site (two Links, one site, two accounts).
    static constexpr const char* kSecondUser = "bob";
    static constexpr const char* kSecondPassword = "builder";

    TestSites();
    ~TestSites();

    bool ok() const { return m_ok; }
    // Address of a page on the main origin, and on the second origin.
    QString Url(const QString& path = QStringLiteral("/")) const { return m_main.Url(path); }
    QString OtherUrl(const QString& path = QStringLiteral("/")) const { return m_other.Url(path); }
    SiteServer& main() { return m_main; }

    // Serves extra content at a path on both origins (tests bring their own small pages).
    void AddPage(const QString& path, const QString& html);

    // Logins the login site accepted and refused, as "user/option" (the list's value), in the
    // order they arrived.
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
