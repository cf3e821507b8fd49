#pragma once

#include <QString>
#include <QStringList>

// Text routines on addresses and page titles. Their results show up in the address bar,
// history, bookmarks and favorites and are stored, so each follows its rule to the letter,
// odd corners included.
namespace core {

// Where a browser pane is: its location name (usually the page title) and its address.
struct PageLocation {
    QString name;
    QString url;
};

// Completes a typed address: "x" -> "www.x.com", "http://x.com/a" -> "http://www.x.com/a",
// "www.x.de" -> "www.x.de.com", "index.html" unchanged, ".com" -> "".
QString CompleteUrl(const QString& typed);
// The site part of an address without its top-level label: "http://www.x.com/p" -> "x",
// "a.b.x.co.uk" -> "x.co"; an IP address comes back whole.
QString GetSiteName(const QString& address);
// Every word capitalised ("JOHN smith" -> "John Smith"), also after each ".".
QString ProperCase(const QString& text);
// The caption of a page for history, bookmarks and windows: site + " - " + title, at most 100
// characters.
QString MakePageCaption(const QString& title, const PageLocation& browser);
// Characters a file name cannot hold become blanks or "-"; a leading "http --" is dropped.
QString MakeValidFileName(const QString& text);
// Without , . : - _ ! ? and trimmed.
QString StripPunctuation(const QString& text);
// %-escapes decoded; decoded twice when the first pass leaves a "%".
QString UnescapeUrl(const QString& address);
// The address, or "" for the program's own blank page.
QString DisplayUrl(const QString& address);
// The program's own blank page in the data folder, and its address.
QString BlankPagePath();
QString BlankPageUrl();
// Who a page's words come from, as the program names a site to the user: "www.example.com", or
// "www.example.com:8080" on another port; "" for an address of no host.
QString SiteLabel(const QString& address);
// The text cut to `max` characters, the last three of them "...".
QString Ellipsis(const QString& text, int max);
// What a document of this address calls its protocol: "HyperText Transfer Protocol" (http),
// "HyperText Transfer Protocol with Privacy" (https), "File Protocol" (file), otherwise
// "Unknown Protocol".
QString ProtocolText(const QString& url);

} // namespace core
