#pragma once

#include <QString>
#include <QStringList>

// The few sites the auto-login treats in their own way, in one table. The browse window hands
// the same table to the form filler and to the login decision; tests point it at local sites.
// An empty entry means "no such site" (nothing matches it).
//
// The program's values are configuration, not code: they come from "login-sites.ini", shipped
// beside the program and changed by an administrator (see Configured()).
struct LoginSites {
    // The external sign-in service: once its sign-in image has been clicked for a Link, only
    // pages of this domain are filled (the service's own page has not arrived before that).
    // Its site may receive every Link's credentials.
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

    // The sites other than a Link's own that may receive its credentials: the sign-in service.
    QStringList SharedLoginSites() const;

    // The table in an initialisation file:
    //   [SignInService]  Domain, Domain2, ImageSrc, ImageAlt
    //   [SecondFill]     Prefix, Word
    //   [Bank]           Domain, StartAddress, MainPage
    // Missing keys stay empty; a missing or unreadable file gives an empty table.
    static LoginSites FromFile(const QString& path);
    // The file the program reads: the first of the administrator's copy in the system's
    // configuration folders (/etc/xdg/Bramblegate/login-sites.ini) and the one shipped with the
    // program (in its share/bramblegate). The user's own configuration folder is not read: the
    // people sharing the account must not widen where credentials may go. Empty when there is
    // none.
    static QString ConfiguredFile();
    // The program's table, read from ConfiguredFile() once per run.
    static const LoginSites& Configured();
};

// Case-insensitive containment of a configured value; an empty value never matches.
inline bool ContainsSite(const QString& text, const QString& value) {
    return !value.isEmpty() && text.contains(value, Qt::CaseInsensitive);
}
