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
// Every page is at /<name>; whatever its forms or scripts send goes to an address below
// /<name>/, which records the fields it received (form fields, or the members of a JSON body)
// and answers with a welcome page that has a "Sign out" link.
class LoginLab {
public:
    static constexpr const char* kUser = "carol@bank.example";
    static constexpr const char* kPassword = "s3cret-Pass!";

    struct Sent {
        QString path; // the address it went to, without the query
        QString method;
        QMap<QString, QString> fields; // query and body fields together
    };

    // A page of the lab and what a Link opening it must lead to.
    struct Page {
        const char* name;
        const char* about; // nullptr: part of another page (a frame, a later step)
        const char* title;
        // The fields the login must deliver to an address ending in /got, as "name=value" with
        // the placeholders USER and PASS; empty: the page must receive nothing at all.
        QStringList expected;
        const char* body;        // %P stands for the lab's port, %F for a plain login form
        const char* option = ""; // the list option the Link chooses
        int status = 200;
    };

    LoginLab();
    ~LoginLab();
    bool ok() const { return m_ok; }

    // http://<host>:<port><path>
    QString Url(const QString& path, const QString& host = QStringLiteral("bank.localhost")) const;

    void Forget();
    // Everything sent to addresses below /<name>/, in order.
    QList<Sent> Received(const QString& name) const;
    // The same as "METHOD path name=value ..." lines, for messages.
    QString Describe(const QString& name) const;

    // The login layouts, and the pages that must receive nothing.
    static QList<Page> Layouts();
    static QList<Page> WrongPages();

private:
    struct State;
    SiteServer m_server;
    std::shared_ptr<State> m_state;
    bool m_ok = false;
};

} // namespace sites
