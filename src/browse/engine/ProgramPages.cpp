#include "browse/engine/ProgramPages.h"

#include <QBuffer>
#include <QFile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>

#include "core/AppPaths.h"

namespace ProgramPages {
namespace {

struct Page {
    const char* key;  // host + path, lower case
    const char* file; // below the pages folder of the program's shipped files
    const char* mime;
};

const Page kPages[] = {
    {"start/", "start.html", "text/html"},
    {"start/style.css", "style.css", "text/css"},
    {"help/quickstart.asp", "quickstart.html", "text/html"},
    {"support/loginproblem.asp", "loginproblem.html", "text/html"},
    // The help pages.
    {"help/", "help/contents.html", "text/html"},
    {"help/links.html", "help/links.html", "text/html"},
    {"help/popups.html", "help/popups.html", "text/html"},
    {"help/history.html", "help/history.html", "text/html"},
    {"help/account.html", "help/account.html", "text/html"},
    {"help/options.html", "help/options.html", "text/html"},
    {"help/transfer.html", "help/transfer.html", "text/html"},
    {"help/keys.html", "help/keys.html", "text/html"},
    {"help/browsing.html", "help/browsing.html", "text/html"},
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
    const QString key = Key(url);
    for (const Page& page : kPages) {
        if (key != QLatin1String(page.key)) continue;
        // The pages ship as files (share/bramblegate/pages), so an administrator can adapt them.
        QFile file(AppPaths::ProgramDataFolder() + QStringLiteral("/pages/") + QLatin1String(page.file));
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
