#include <gtest/gtest.h>

#include "core/SiteIdentity.h"

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
