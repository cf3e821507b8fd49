#include <gtest/gtest.h>

#include "core/SiteIdentity.h"
#include "core/StatusCodeText.h"
#include "core/UrlUtils.h"
#include "support/TestSupport.h"

using namespace core;

TEST(UrlUtils, TextRoutinesPageCaptionsAndStatusCodeTexts) {
    using Routine = QString (*)(const QString&);
    const struct {
        Routine routine;
        const char *input, *expected;
    } rows[] = {
        {CompleteUrl, "example", "www.example.com"},
        {CompleteUrl, "mail.example.org", "www.mail.example.org"},
        {CompleteUrl, "www.example.de", "www.example.de.com"},
        {CompleteUrl, "www.example.gov/a/b", "www.example.gov/a/b"},
        // A scheme in any case comes back in lower case, the rest unchanged.
        {CompleteUrl, "https://shop.example.net/cart?x=1", "https://www.shop.example.net/cart?x=1"},
        {CompleteUrl, "HTTP://www.Example.com/Path", "http://www.Example.com/Path"},
        {CompleteUrl, "https://example", "https://example.com"},
        // File names are left alone; the label tests are exact.
        {CompleteUrl, "index.html", "index.html"},
        {CompleteUrl, "Index.HTML", "www.Index.HTML.com"},
        {CompleteUrl, ".com", ""},
        {GetSiteName, "http://www.example.com/p", "example"},
        {GetSiteName, "a.b.example.co.uk", "example.co"},
        {GetSiteName, "http://192.168.1.20/x/y", "192.168.1.20"},
        // Port, user info, query and fragment are not part of the name.
        {GetSiteName, "http://www.example.com?x=1/y", "example"},
        {GetSiteName, "https://user:pw@10.0.0.5:8443/a:b", "10.0.0.5"},
        {GetSiteName, "localhost:3000", "localhost"},
        {GetSiteName, "http://[::1]:8080/", "[::1]"},
        {ProperCase, "  mail.EXAMPLE  ", "Mail.Example"},
        {ProperCase, "  mary-ANN  o'neil ", "Mary-ann  O'neil"}, // a hyphen does not start a word
        {ProperCase, "élise.DUPONT", "Élise.Dupont"},
        {MakeValidFileName, "http://www.example.com/a", "www.example.com-a"},
        {MakeValidFileName, "https://example", "https --example"},
        {MakeValidFileName, "a<b>c:d|e*f?g\"h", "a b c d e f g h"},
        {MakeValidFileName, "C:\\dir\\file", "C -dir-file"},
        {StripPunctuation, " Log-in: now! ", "Login now"},
        {UnescapeUrl, "a%20b", "a b"},
        {UnescapeUrl, "%2541", "A"}, // still a "%" after one pass: decoded again
        {UnescapeUrl, "caf%C3%A9", "café"},
        {UnescapeUrl, "caf%E9", "café"}, // not UTF-8: one character per byte
        {UnescapeUrl, "100%", "100%"},
        {UnescapeUrl, "%zz%4", "%zz%4"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(r.routine(QString::fromUtf8(r.input)), QString::fromUtf8(r.expected)) << r.input;
    EXPECT_EQ(Ellipsis("abcdef", 5) + Ellipsis("abcde", 5) + Ellipsis("abcdef", 2), "ab...abcde...");

    // The caption of a page.
    const QString longTitle(150, QLatin1Char('x'));
    const struct {
        QString title, name, url, expected;
    } captions[] = {
        {"Inbox", "Inbox", "http://mail.example.com/inbox", "Mail.Example - Inbox"},
        // "Welcome to" in the location name keeps the title; in the title it takes the name.
        {"Home", "Welcome to Example", "http://www.example.com/", "Example - Home"},
        {"welcome TO Example Bank", "Example Bank Login", "https://www.examplebank.com/",
         "Examplebank - Example Bank Login"},
        {"Account Summary", "Example Bank", "https://www.examplebank.com/acct",
         "Examplebank - Example Bank - Account Summary"},
        {"EXAMPLE BANK Account", "example bank", "https://www.examplebank.com/",
         "Examplebank - EXAMPLE BANK Account"},
        {"Page", "http://www.example.com/x", "http://www.example.com/x", "Example - Page"},
        // An address by number has no site.
        {"Admin", "Router", "http://10.0.0.5/admin", "Router - Admin"},
        {"Cannot find server", "Cannot find server", "http://nosuch.example.com/a",
         "Nosuch.Example - nosuch.example.com-a"},
        {"", "", "http://www.example.com", "Example"},
        {longTitle, longTitle, "http://www.example.com/", ("Example - " + longTitle).left(100)},
    };
    for (const auto& r : captions)
        EXPECT_EQ(MakePageCaption(r.title, PageLocation{r.name, r.url}), r.expected)
            << r.title.left(40).toStdString();

    // The texts of status codes, at the edges of their table.
    const struct {
        long code;
        const char* text;
    } codes[] = {
        {400, "Invalid syntax."},
        {404, "Object not found."},
        {449, "Retry after doing the appropriate action."},
        {501, "Server does not support the functionality required to fulfill the request."},
        {505, "HTTP version not supported."},
        {-2146697211, "Cannot locate the Internet server or proxy server."},
        {-2146697210, "The site reports that the item you requested could not be found. (HTTP/1.0 404)"},
        {0x800C0005L, "Cannot locate the Internet server or proxy server."}, // the same code, unsigned
        {418, ""},
        {404 + 65536, ""},
    };
    for (const auto& r : codes)
        EXPECT_EQ(StatusCodeText(r.code), QString::fromUtf8(r.text)) << r.code;
}

TEST(SiteIdentity, TheRegistrableDomainFollowsThePublicSuffixListAndCredentialsGoToTheLinksSiteOnly) {
    const struct {
        const char* host;
        const char* site;
    } cases[] = {
        {"www.bank.co.uk", "bank.co.uk"},
        {"login.secure.bank.co.uk", "bank.co.uk"},
        {"WWW.Example.COM.", "example.com"},
        {"co.uk", "co.uk"},
        {"alice.github.io", "alice.github.io"}, // a suffix of the list's private part
        {"b\u00fccher.example.de", "example.de"},
        {"127.0.0.1", "127.0.0.1"},
        {"localhost", "localhost"},
        {"shop.bank.localhost", "bank.localhost"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SiteIdentity::RegistrableDomain(QString::fromUtf8(c.host)), QLatin1String(c.site))
            << c.host;

    // Credentials go to the Link's site only.
    const struct {
        const char* page;
        const char* link;
        QStringList others;
        bool may;
    } sends[] = {
        {"https://login.bank.com/x", "https://www.bank.com/", {}, true},
        {"https://www.bank.com:8443/", "https://bank.com/", {}, true},
        {"https://bank.com.evil.net/", "https://bank.com/", {}, false},
        {"https://alice.github.io/", "https://bob.github.io/", {}, false},
        {"http://www.bank.com/", "https://www.bank.com/", {}, false}, // never unencrypted for https
        {"https://www.bank.com/", "http://bank.com/", {}, true},
        {"https://auth.provider.net/", "https://bank.com/", {"provider.net"}, true},
        {"https://auth.provider.net/", "https://bank.com/", {"https://login.provider.net/sso"}, true},
        {"https://auth.provider.net/", "https://bank.com/", {"other.net", ""}, false},
        {"file:///tmp/login.html", "file:///tmp/login.html", {}, false},
        {"about:blank", "https://bank.com/", {}, false},
    };
    for (const auto& c : sends)
        EXPECT_EQ(SiteIdentity::MayReceiveCredentials(QUrl(QLatin1String(c.page)),
                                                      QUrl(QLatin1String(c.link)), c.others),
                  c.may)
            << c.page << " for " << c.link;
}
