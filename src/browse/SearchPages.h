#pragma once

#include <QList>
#include <QString>

#include "users/SearchEngines.h"

// The search pane's services (the user's search engines), and the local pages the program
// writes for them (plus its blank page).
struct SearchService {
    QString choice;       // the value stored as the user's SearchChoice ("Msn", "Google", "Yahoo", a name)
    QString caption;      // the option button's caption
    QString page;         // the local page's file name in the program's data folder
    QString searchUrl;    // where the page's form is sent (GET)
    QString field;        // the form's text field, whose value is the searched words
    QString host;         // the host whose pages are the service's own ("name" or "name:port"; its
                          // subdomains count too)
    QString redirectPath; // the path of its redirect and preview links, found anywhere in an address
    QString advancedUrl;  // its advanced search (or options) page
    QString queryUrl;     // the engine's query address, "%s" where the words go
    // The page of one of the first three services (0, 1, 2), laid out as they always were; -1:
    // a page made from the query address alone.
    int layout = -1;
};

// Indexed by the option button.
using SearchServiceTable = QList<SearchService>;

namespace SearchPages {

// The services of a list of engines, and of the built-in ones.
SearchServiceTable ServicesFor(const QList<SearchEngine>& engines);
SearchServiceTable DefaultServices();
// The index of a stored SearchChoice value (compared without regard to case); 0 (the first
// service) for anything unknown.
int IndexOfChoice(const SearchServiceTable& services, const QString& choice);

// The program's blank page, exactly as it is written.
QString BlankHtml();
// The local search page of a service.
QString PageHtml(const SearchService& service);
// Where a service's local page is, and its address.
QString PagePath(const SearchService& service, const QString& folder);
QString PageUrl(const SearchService& service, const QString& folder);
// The words of a search that a service's local page sends to itself (a query address whose
// words are not one field of its query); empty when the address is none.
QString LocalQueryWords(const QString& url);
// The text field of the pages that send their words to themselves.
constexpr const char* kLocalField = "bgwords";

// Writes Blank.htm and the services' pages into the folder (the program's data folder), each
// replacing the file that is there, so a damaged page is repaired by restarting. False when a
// page could not be written.
bool CreateHtmFiles(const SearchServiceTable& services = DefaultServices(),
                    const QString& folder = QString());
// Writes one service's page.
bool WritePage(const SearchService& service, const QString& folder = QString());

} // namespace SearchPages
