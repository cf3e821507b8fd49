#include "sites/TestSites.h"

#include <chrono>
#include <httplib.h>
#include <mutex>
#include <thread>

namespace sites {

QString Request::cookie(const QString& name) const {
    for (const QString& part : header(QStringLiteral("cookie")).split(QLatin1Char(';')))
        if (part.section(QLatin1Char('='), 0, 0).trimmed() == name)
            return part.section(QLatin1Char('='), 1).trimmed();
    return {};
}

QString Doc(const QString& title, const QString& body) {
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + title + "</title></head>" +
           (body.startsWith("<frameset") ? body : "<body>" + body + "</body>") + "</html>";
}

void Reply::Redirect(const QString& location, int code) {
    status = code;
    AddHeader("Location", location.toUtf8());
    Html(QStringLiteral("<html><body>Moved to <a href=\"%1\">%1</a></body></html>").arg(location));
}

struct SiteServer::Impl {
    httplib::Server server;
    std::thread thread;
    mutable std::mutex mutex;
    QMap<QString, Handler> routes; // "METHOD path"
    Handler fallback;
    QStringList requests;

    void Serve(const httplib::Request& in, httplib::Response& out) {
        Request request;
        request.method = QString::fromStdString(in.method);
        request.path = QString::fromStdString(in.path);
        for (const auto& [key, value] : in.params)
            request.params.insert(QString::fromStdString(key), QString::fromStdString(value));
        for (const auto& [key, value] : in.headers)
            request.headers.insert(QString::fromStdString(key).toLower(), QString::fromStdString(value));
        request.body = QByteArray::fromStdString(in.body);

        const QString key = request.method + QLatin1Char(' ') + request.path;
        Handler handler;
        {
            std::lock_guard lock(mutex);
            requests.append(key);
            handler = routes.value(key, fallback);
        }
        Reply reply;
        if (handler) {
            handler(request, reply);
        } else {
            reply.status = 404;
            reply.Html(Doc("Not Found", "<h1>Not Found</h1>"));
        }
        out.status = reply.status;
        for (const auto& [name, value] : reply.headers)
            out.set_header(name.toStdString(), value.toStdString());
        if (reply.trickleMs <= 0) {
            out.set_content(reply.body.toStdString(), reply.contentType.toStdString());
            return;
        }
        const QByteArray body = reply.body;
        const int pause = reply.trickleMs;
        out.set_content_provider(size_t(body.size()), reply.contentType.toStdString(),
                                 [body, pause](size_t offset, size_t length, httplib::DataSink& sink) {
                                     const size_t piece = std::min<size_t>(length, 64 * 1024);
                                     if (offset > 0)
                                         std::this_thread::sleep_for(std::chrono::milliseconds(pause));
                                     return sink.write(body.constData() + offset, piece);
                                 });
    }
};

SiteServer::SiteServer() : m(std::make_unique<Impl>()) {
    auto serve = [this](const httplib::Request& in, httplib::Response& out) { m->Serve(in, out); };
    m->server.Get(".*", serve);
    m->server.Post(".*", serve);
    // Short keep-alive, so that stopping does not wait long on the browser's idle connections.
    m->server.set_keep_alive_timeout(1);
}

SiteServer::~SiteServer() {
    Stop();
}

void SiteServer::Route(const QString& method, const QString& path, Handler handler) {
    std::lock_guard lock(m->mutex);
    m->routes.insert(method.toUpper() + QLatin1Char(' ') + path, std::move(handler));
}

void SiteServer::SetFallback(Handler handler) {
    std::lock_guard lock(m->mutex);
    m->fallback = std::move(handler);
}

void SiteServer::Page(const QString& path, const QByteArray& body, const QByteArray& contentType) {
    Route(QStringLiteral("GET"), path, [body, contentType](const Request&, Reply& reply) {
        reply.body = body;
        reply.contentType = contentType;
    });
}

bool SiteServer::Start() {
    if (m->thread.joinable()) return true;
    m_port = m->server.bind_to_any_port("127.0.0.1");
    if (m_port <= 0) return false;
    m->thread = std::thread([this] { m->server.listen_after_bind(); });
    return true;
}

void SiteServer::Stop() {
    if (!m->thread.joinable()) return;
    m->server.stop();
    m->thread.join();
}

QString SiteServer::Url(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
}

int SiteServer::CountRequests(const QString& path) const {
    std::lock_guard lock(m->mutex); // the server takes GET and POST only
    return int(m->requests.count("GET " + path) + m->requests.count("POST " + path));
}

} // namespace sites
