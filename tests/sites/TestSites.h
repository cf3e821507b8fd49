#pragma once

#include <functional>
#include <memory>
#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>

class QSslServer;

namespace sites {

// One request as a page handler sees it: the path without the query, the query's and the
// url-encoded form's fields, header names in lower case.
struct Request {
    QString method, path;
    QMap<QString, QString> params, headers;
    QByteArray body;

    QString param(const QString& name) const { return params.value(name); }
    QString header(const QString& name) const { return headers.value(name.toLower()); }
    QString cookie(const QString& name) const;
};

struct Reply {
    int status = 200;
    QByteArray body;
    QByteArray contentType = "text/html; charset=utf-8";
    QList<QPair<QByteArray, QByteArray>> headers;
    // Above 0: the body goes out in pieces of 64 KB with this pause between them (a slow download).
    int trickleMs = 0;

    void Html(const QString& html) { body = html.toUtf8(); }
    void Redirect(const QString& location, int code = 302);
    void AddHeader(const QByteArray& name, const QByteArray& value) { headers.append({name, value}); }
};

using Handler = std::function<void(const Request&, Reply&)>;

// A whole HTML page (a body starting with <frameset> stands in for the body).
QString Doc(const QString& title, const QString& body);

// A small HTTP server on 127.0.0.1, on any free port, running on its own threads from
// construction. Routes are exact paths per method and may be added while it runs; an unknown
// path answers 404.
class SiteServer {
public:
    SiteServer();
    ~SiteServer();

    void Route(const QString& method, const QString& path, Handler handler);
    void SetFallback(Handler handler);
    void Page(const QString& path, const QByteArray& body,
              const QByteArray& contentType = "text/html; charset=utf-8");

    void Stop();
    int port() const { return m_port; }
    QString Url(const QString& path = QStringLiteral("/")) const;

    int CountRequests(const QString& path) const;

private:
    struct Impl;
    std::unique_ptr<Impl> m;
    int m_port = 0;
};

// The program's test sites: a main origin and a second origin (another port, so another
// origin for the engine) serving the pages of the route table in TestSites.cpp, where each
// page says what it is for.
//   /login takes ?next=/path (where an accepted login goes instead of /welcome); refused logins
//   get the form again (200; 401 on /login-strict). /basic-auth is behind the server's own
//   sign-in box (realm "Bramble Vault", kUser/kPassword); /download?bytes=N&name=&trickle=ms.
class TestSites {
public:
    static constexpr const char* kUser = "alice";
    static constexpr const char* kPassword = "wonderland";
    static constexpr const char* kSecondUser = "bob";
    static constexpr const char* kSecondPassword = "builder";

    TestSites();
    ~TestSites();

    QString Url(const QString& path = QStringLiteral("/")) const { return m_main.Url(path); }
    QString OtherUrl(const QString& path = QStringLiteral("/")) const { return m_other.Url(path); }
    SiteServer& main() { return m_main; }

    void AddPage(const QString& path, const QString& html);

    // Logins the login site accepted and refused, as "user/option", in order.
    QStringList AcceptedLogins() const;
    QStringList RefusedLogins() const;
    // The answers /basic-auth got, in order: "user:password", or "" for a request without one.
    QStringList SignInAttempts() const;
    static QByteArray DownloadBytes(int bytes);
    static QString GeneratedPage(int elements);

    struct State;

private:
    SiteServer m_main;
    SiteServer m_other;
    std::shared_ptr<State> m_state;
};

TestSites& SharedSites();

// Login pages as sites make them, and pages that are no login at all, served on 127.0.0.1
// under several host names: "bank.localhost" is the site the Links point at, and
// "elsewhere.localhost" another site (the engine sends every *.localhost name to the loopback
// address; the public suffix list makes each name its own site).
//
// Every page is at /<name>; whatever its forms or scripts send below /<name>/ is recorded (form
// fields, or the members of a JSON body) and answered with a welcome page with a "Sign out" link.
class LoginLab {
public:
    static constexpr const char* kUser = "carol@bank.example";
    static constexpr const char* kPassword = "s3cret-Pass!";

    struct Page {
        const char* name;
        const char* about; // nullptr: part of another page (a frame, a later step)
        const char* title;
        // The fields the login must deliver to /<name>/.../got, as "name=value" with the
        // placeholders USER and PASS; empty: the page must receive nothing at all.
        QStringList expected;
        const char* body;
        const char* option = ""; // the list option the Link chooses
        int status = 200;
    };

    LoginLab();
    QString Url(const QString& path, const QString& host = QStringLiteral("bank.localhost")) const;

    void Forget();
    // Everything sent below /<name>/, in order, as "METHOD path name=value ..." (the path without
    // the query; the query's and the body's fields together, by name).
    QStringList Received(const QString& name) const;

    // The login layouts (true), or the pages that must receive nothing (false).
    static QList<Page> Pages(bool login);

private:
    struct State;
    SiteServer m_server;
    std::shared_ptr<State> m_state;
};

// An https site on 127.0.0.1 whose certificate is signed by nobody: every browser finds it not
// valid. Every path answers with the same small login page; `Posts()` counts the forms sent to it.
// Runs in the thread that made it (its events need the loop).
class TlsSite {
public:
    TlsSite();
    ~TlsSite();

    QString Url(const QString& path = QStringLiteral("/")) const;
    int Posts() const { return m_posts; }

private:
    std::unique_ptr<QSslServer> m_server;
    int m_posts = 0;
};

} // namespace sites
