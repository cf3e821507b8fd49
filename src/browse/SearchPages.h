#pragma once

#include <array>
#include <QString>

// The three outside search services of the search pane, and the local pages the program writes
// for them (plus its blank page).
struct SearchService {
    QString choice;       // the value stored as the user's SearchChoice ("Msn", "Google", "Yahoo")
    QString caption;      // the option button's caption
    QString page;         // the local page's file name in the program's data folder
    QString searchUrl;    // where the page's form is sent (GET)
    QString host;         // the host that serves the result pages ("name" or "name:port")
    QString redirectPath; // the path of its redirect and preview links, found anywhere in an address
    QString advancedUrl;  // its advanced search (or options) page
};

// Indexed by the option button: 0, 1, 2.
using SearchServiceTable = std::array<SearchService, 3>;

namespace SearchPages {

// The services the program ships with.
SearchServiceTable DefaultServices();
// The index of a stored SearchChoice value (compared without regard to case); 0 (the default
// service) for anything unknown.
int IndexOfChoice(const SearchServiceTable& services, const QString& choice);

// The program's blank page, exactly as it is written.
QString BlankHtml();
// The local search page of a service.
QString PageHtml(int index, const SearchService& service);
// Where a service's local page is, and its address.
QString PagePath(const SearchService& service, const QString& folder);
QString PageUrl(const SearchService& service, const QString& folder);

// Writes Blank.htm and the three search pages into the folder (the program's data folder),
// each replacing the file that is there, so a damaged page is repaired by restarting. False
// when a page could not be written.
bool CreateHtmFiles(const SearchServiceTable& services = DefaultServices(),
                    const QString& folder = QString());

} // namespace SearchPages
