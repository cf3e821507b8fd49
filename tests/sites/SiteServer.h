#pragma once

#include <functional>
#include <memory>
#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>

namespace sites {

// One request as a page handler sees it.
struct Request {
    QString method;                 // "GET", "POST"
    QString path;                   // without the query
    QMap<QString, QString> params;  // query and form fields (application/x-www-form-urlencoded)
    QMap<QString, QString> headers; // names in lower case
    QByteArray body;

    QString param(const QString& name) const { return params.value(name); }
    QString header(const QString& name) const { return headers.value(name.toLower()); }
    // One cookie of the Cookie header, empty when absent.
    QString cookie(const QString& name) const;
};

// What a handler answers.
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

// A small HTTP server on 127.0.0.1 running on its own threads. Routes are exact paths per
// method and may be added while it runs; an unknown path answers 404.
class SiteServer {
public:
    SiteServer();
    ~SiteServer();

    void Route(const QString& method, const QString& path, Handler handler);
    // Answers every request no route takes (instead of the 404 page).
    void SetFallback(Handler handler);
    // Serves fixed content at a path (GET).
    void Page(const QString& path, const QByteArray& body,
              const QByteArray& contentType = "text/html; charset=utf-8");

    // Binds to a free port and starts serving.
    bool Start();
    void Stop();
    int port() const { return m_port; }
    // "http://127.0.0.1:<port>" + path.
    QString Url(const QString& path = QStringLiteral("/")) const;

    // How many requests for a path were served so far.
    int CountRequests(const QString& path) const;

private:
    struct Impl;
    std::unique_ptr<Impl> m;
    int m_port = 0;
};

} // namespace sites
