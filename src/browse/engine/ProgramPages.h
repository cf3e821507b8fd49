#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

class QWebEngineUrlSchemeHandler;
class QObject;

// The pages the program serves itself, without any network: the start page that Home opens, the
// "Getting Started" page of a new user, the help page about failing logins and the help pages. They live
// under the program's own URL scheme ("bramblegate://start/"); the addresses of the product's web site
// (http://bramblegate.localhost/...) that Links and dialogs carry are redirected there by the
// profiles (WebProfiles), so they open offline too.
namespace ProgramPages {

constexpr const char* kScheme = "bramblegate";
// The start page (every pane's home page).
constexpr const char* kStartPageUrl = "bramblegate://start/";
// The contents page of the help; the other help pages are beside it (Help::TopicUrl).
constexpr const char* kHelpUrl = "bramblegate://help/";
// The host of the product's web site whose pages the program serves itself.
constexpr const char* kSiteHost = "bramblegate.localhost";

// Registers the scheme with the engine. Must run before the QApplication is made.
void RegisterScheme();
bool SchemeRegistered();

// True for an address of the product's web site (http or https on kSiteHost).
bool IsSiteAddress(const QUrl& url);
// Where a site address is served: http://bramblegate.localhost/Help/QuickStart.asp ->
// bramblegate://help/quickstart.asp.
QUrl SchemeUrlFor(const QUrl& siteUrl);
// True for the program's own pages (its scheme or its site).
bool IsProgramPage(const QString& address);

// The content of a page of the scheme, and its MIME type; an empty content for an unknown page.
QByteArray Content(const QUrl& url, QByteArray* mimeType = nullptr);

// The handler the profiles install for the scheme (one for the whole program).
QWebEngineUrlSchemeHandler* Handler(QObject* owner);

} // namespace ProgramPages
