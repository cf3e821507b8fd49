#pragma once

#include <memory>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include "sites/SiteServer.h"

namespace sites {

// Login pages as sites make them today, and pages that are no login at all, served on
// 127.0.0.1 under several host names: "bank.localhost" is the site the Links point at, and
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

    // A page of the lab: where it is, what a Link opening it at start must lead to.
    struct Page {
        const char* name;
        const char* about;
        // The fields the login must deliver, as "name=value" with the placeholders USER and
        // PASS, in any order, at `to` (below /<name>/); empty: the page must receive nothing.
        QStringList expected;
        const char* to;
    };

    LoginLab();
    ~LoginLab();
    bool ok() const { return m_ok; }

    // http://<host>:<port><path>
    QString Url(const QString& path, const QString& host = QStringLiteral("bank.localhost")) const;
    QString OtherSiteUrl(const QString& path) const {
        return Url(path, QStringLiteral("elsewhere.localhost"));
    }

    // Forgets what was received so far.
    void Forget();
    // Everything sent to addresses below /<name>/, in order.
    QList<Sent> Received(const QString& name) const;
    // The fields of everything sent below /<name>/ as "path name=value ..." lines, for messages.
    QString Describe(const QString& name) const;

    // The login layouts, and the pages that must receive nothing.
    static const QList<Page>& Layouts();
    static const QList<Page>& WrongPages();

private:
    struct State;
    SiteServer m_server;
    std::shared_ptr<State> m_state;
    bool m_ok = false;
};

} // namespace sites
