#include "browse/engine/ProgramPages.h"

#include <QBuffer>
#include <QFile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>

static void InitPageResources() {
    Q_INIT_RESOURCE(pages);
}

namespace ProgramPages {
namespace {

struct Page {
    const char* key; // host + path, lower case
    const char* resource;
    const char* mime;
};

const Page kPages[] = {
    {"start/", ":/pages/pages/start.html", "text/html"},
    {"start/style.css", ":/pages/pages/style.css", "text/css"},
    {"help/quickstart.asp", ":/pages/pages/quickstart.html", "text/html"},
    {"support/loginproblem.asp", ":/pages/pages/loginproblem.html", "text/html"},
    // The help pages.
    {"help/", ":/pages/pages/help/contents.html", "text/html"},
    {"help/links.html", ":/pages/pages/help/links.html", "text/html"},
    {"help/popups.html", ":/pages/pages/help/popups.html", "text/html"},
    {"help/history.html", ":/pages/pages/help/history.html", "text/html"},
    {"help/account.html", ":/pages/pages/help/account.html", "text/html"},
    {"help/options.html", ":/pages/pages/help/options.html", "text/html"},
    {"help/transfer.html", ":/pages/pages/help/transfer.html", "text/html"},
    {"help/keys.html", ":/pages/pages/help/keys.html", "text/html"},
    {"help/browsing.html", ":/pages/pages/help/browsing.html", "text/html"},
};

QString Key(const QUrl& url) {
    QString path = url.path();
    if (path.isEmpty()) path = QStringLiteral("/");
    return (url.host() + path).toLower();
}

class PageSchemeHandler : public QWebEngineUrlSchemeHandler {
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    void requestStarted(QWebEngineUrlRequestJob* job) override {
        QByteArray mime;
        const QByteArray content = Content(job->requestUrl(), &mime);
        if (content.isEmpty()) {
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        auto* buffer = new QBuffer(job);
        buffer->setData(content);
        job->reply(mime, buffer);
    }
};

} // namespace

void RegisterScheme() {
    if (SchemeRegistered()) return;
    QWebEngineUrlScheme scheme(kScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    // Not a local scheme: the engine refuses to redirect a web address (the product's site) to
    // a local one. The pages are static and hold nothing private.
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme);
    QWebEngineUrlScheme::registerScheme(scheme);
}

bool SchemeRegistered() {
    return QWebEngineUrlScheme::schemeByName(kScheme).name() == QByteArray(kScheme);
}

bool IsSiteAddress(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           url.host().compare(QLatin1String(kSiteHost), Qt::CaseInsensitive) == 0;
}

QUrl SchemeUrlFor(const QUrl& siteUrl) {
    // The first folder of the site's path becomes the host: /Help/QuickStart.asp -> help/quickstart.asp.
    QString path = siteUrl.path().toLower();
    while (path.startsWith(QLatin1Char('/')))
        path.remove(0, 1);
    const qsizetype slash = path.indexOf(QLatin1Char('/'));
    const QString host = slash < 0 ? path : path.left(slash);
    const QString rest = slash < 0 ? QStringLiteral("/") : path.mid(slash);
    QUrl out;
    out.setScheme(QLatin1String(kScheme));
    out.setHost(host.isEmpty() ? QStringLiteral("start") : host);
    out.setPath(rest);
    return out;
}

bool IsProgramPage(const QString& address) {
    const QUrl url(address);
    return url.scheme().compare(QLatin1String(kScheme), Qt::CaseInsensitive) == 0 || IsSiteAddress(url);
}

QByteArray Content(const QUrl& url, QByteArray* mimeType) {
    static const bool init = (InitPageResources(), true);
    Q_UNUSED(init);
    const QString key = Key(url);
    for (const Page& page : kPages) {
        if (key != QLatin1String(page.key)) continue;
        QFile file(QLatin1String(page.resource));
        if (!file.open(QIODevice::ReadOnly)) return {};
        if (mimeType) *mimeType = page.mime;
        return file.readAll();
    }
    return {};
}

QWebEngineUrlSchemeHandler* Handler(QObject* owner) {
    return new PageSchemeHandler(owner);
}

} // namespace ProgramPages
