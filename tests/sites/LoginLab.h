#pragma once

#include <memory>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include "sites/SiteServer.h"

namespace sites {

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

    struct Sent {
        QString path; // without the query
        QString method;
        QMap<QString, QString> fields; // query and body fields together
    };

    // A page of the lab and what a Link opening it must lead to.
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
    bool ok() const { return m_ok; }
    // http://<host>:<port><path>
    QString Url(const QString& path, const QString& host = QStringLiteral("bank.localhost")) const;

    void Forget();
    // Everything sent below /<name>/, in order, and the same as "METHOD path name=value ..." lines.
    QList<Sent> Received(const QString& name) const;
    QString Describe(const QString& name) const;

    // The login layouts (true), or the pages that must receive nothing (false).
    static QList<Page> Pages(bool login);

private:
    struct State;
    SiteServer m_server;
    std::shared_ptr<State> m_state;
    bool m_ok = false;
};

} // namespace sites
