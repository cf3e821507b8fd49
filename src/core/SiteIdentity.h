#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// Which site an address belongs to, as browsers draw the line: its registrable domain, the
// part of the host name one owner holds below a public suffix ("www.bank.co.uk" and
// "login.bank.co.uk" are both "bank.co.uk"). The public suffix list is the system's (libpsl).
namespace SiteIdentity {

// The registrable domain of a host name, in lower case (international names in their ASCII
// form). An IP address, a single label ("localhost") and a name that is itself a public suffix
// come back whole. Empty for an empty host.
QString RegistrableDomain(const QString& host);

// The registrable domain of an address's host; empty for an address without a host.
QString SiteOf(const QUrl& url);

// Whether `page` may receive the credentials of a Link at `link`: same site as the Link or as
// one of `otherSites` (host names or addresses), and never an http page for an https Link.
bool MayReceiveCredentials(const QUrl& page, const QUrl& link, const QStringList& otherSites = {});

} // namespace SiteIdentity
