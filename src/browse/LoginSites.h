#pragma once

#include <QString>

// The few sites the auto-login treats in their own way, in one table. The browse window hands
// the same table to the form filler and to the login decision; tests point it at local sites.
// An empty entry means "no such site" (nothing matches it).
struct LoginSites {
    // The external sign-in service: once its sign-in image has been clicked for a Link, only
    // pages of this domain are filled (the service's own page has not arrived before that).
    QString signInServiceDomain;
    // The service's second domain (its account pages): the login decision leaves pages of
    // either domain alone.
    QString signInServiceDomain2;
    // The image on a site's page that starts the service's sign-in: part of its src, and part
    // of its alt text.
    QString signInImageSrc;
    QString signInImageAlt;

    // A site whose login button only works when it is pressed on the second fill of the page:
    // its address prefix (the click is deferred to every second parse) ...
    QString specialSitePrefix;
    // ... and a word of its address (the login decision schedules that second parse).
    QString specialSiteWord;

    // A bank whose own submit handler submits the form a second time when called directly:
    // pages of this domain are submitted with the Enter key only.
    QString bankDomain;
    // The bank's start page, whose login is a "Sign In" link to follow rather than a form.
    QString bankStartAddress;
    // The bank's main page after its login: it has forms but nothing to fill.
    QString bankMainPage;

    // The values the program uses.
    static LoginSites Defaults() {
        LoginSites s;
        s.signInServiceDomain = QStringLiteral("login.passport-example.test");
        s.signInServiceDomain2 = QStringLiteral("accounts.passport-example.test");
        s.signInImageSrc = QStringLiteral("signin.gif");
        s.signInImageAlt = QStringLiteral(".NET Passport");
        s.specialSitePrefix = QStringLiteral("https://secure.twoclick-example.test/");
        s.specialSiteWord = QStringLiteral("twoclick-example");
        s.bankDomain = QStringLiteral("online.riverbank-example.test");
        s.bankStartAddress = QStringLiteral("https://www.riverbank-example.test/");
        s.bankMainPage = QStringLiteral("https://online.riverbank-example.test/main.html");
        return s;
    }
};

// Case-insensitive containment of a configured value; an empty value never matches.
inline bool ContainsSite(const QString& text, const QString& value) {
    return !value.isEmpty() && text.contains(value, Qt::CaseInsensitive);
}
