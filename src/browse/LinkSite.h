#pragma once

#include <QString>

// Whether an address belongs to a Link's own site, for handing the Link's credentials to a
// server's sign-in box: the same registrable domain as the Link's address ("www.bank.com" and
// "login.bank.com" are one site, "bank.com.evil.net" is not), and never plain http for an https
// Link.
bool IsLinksOwnSite(const QString& url, const QString& linkUrl);
