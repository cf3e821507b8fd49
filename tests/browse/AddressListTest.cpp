#include <gtest/gtest.h>

#include "browse/AddressList.h"
#include "browse/HistoryTestSupport.h"
#include "core/SettingsRegistry.h"

using namespace core;

namespace {
AddressList Known(const QStringList& urls) {
    AddressList list;
    for (const QString& url : urls)
        list.AddUrlItem(url, 1000);
    return list;
}

const QStringList kAddresses = {
    "http://yahoo.com/mail", "https://secure.example.com", "http://www.yandex.ru/",
    "http://example.com/",   "ftp://files.example.com/",   "https://www.yammer.com/",
    "http://www.wiki.org/",  "http://Yacht.example.net/",
};
} // namespace

TEST(AddressMatching, SchemePrefixFollowsWhatHasBeenTyped) {
    struct Case {
        const char* typed;
        const char* prefix;
    };
    const Case cases[] = {
        {"ya", "http://"},
        {"h", ""},
        {"ht", ""},
        {"HTTP:/", ""},
        {"f", ""},
        {"ftp:/", ""},
        {"ftx", "http://"},
        {"http:x", "http://"},
        {"example.com", "http://"},
        {"http://x", ""},
        {"ftp://x", ""},
        {"https", ""},
        {"https:", ""},
        {"https:/", ""},
        {"httpsx", "https://"},
        {"https://a", ""},
        {"httpsite.com", "https://"},
        {"www.ya", "http://"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AddressList::SchemePrefix(c.typed), QString(c.prefix)) << c.typed;
}

TEST(AddressMatching, OffersKnownAddressesForWhatWasTyped) {
    const AddressList list = Known(kAddresses);
    // A bare word: http:// in front, then the same with www.
    EXPECT_EQ(list.MatchTypedAddress("ya"),
              QStringList({"http://yahoo.com/mail", "http://Yacht.example.net/", "http://www.yandex.ru/"}));
    // The beginning of a scheme: no prefix, so every http and https address qualifies.
    EXPECT_EQ(list.MatchTypedAddress("ht"),
              QStringList({"http://yahoo.com/mail", "https://secure.example.com", "http://www.yandex.ru/",
                           "http://example.com/", "https://www.yammer.com/", "http://www.wiki.org/",
                           "http://Yacht.example.net/"}));
    EXPECT_EQ(list.MatchTypedAddress("HTTPS:"),
              QStringList({"https://secure.example.com", "https://www.yammer.com/"}));
    EXPECT_EQ(list.MatchTypedAddress("ftp"), QStringList({"ftp://files.example.com/"}));
    EXPECT_EQ(list.MatchTypedAddress("https://www.ya"), QStringList({"https://www.yammer.com/"}));
    EXPECT_TRUE(list.MatchTypedAddress("zz").isEmpty());
    EXPECT_TRUE(list.MatchTypedAddress("").isEmpty());
    // "w" matches http://w... and http://www.w...: the one address is offered once.
    EXPECT_EQ(list.MatchTypedAddress("w"), QStringList({"http://www.yandex.ru/", "http://www.wiki.org/"}));
}

TEST(AddressMatching, RetriesWithWwwOnlyWhenNothingElseMatches) {
    const AddressList list = Known({"http://www.yandex.ru/", "http://www.yahoo.com/", "https://ya.example/"});
    EXPECT_EQ(list.MatchTypedAddress("ya"), QStringList({"http://www.yandex.ru/", "http://www.yahoo.com/"}));
    // Typed with www. already: no second www.
    EXPECT_TRUE(Known({"http://www.www.ya.com/"}).MatchTypedAddress("www.yb").isEmpty());
    EXPECT_EQ(list.FindString("http://www.ya", 0), 1);
    EXPECT_EQ(list.FindString("http://www.ya", 1), 0); // wraps round
    EXPECT_EQ(list.FindString("nothing"), -1);
}

TEST(AddressList, KeepsOneFewerThanTheHistoryLimitAndEachAddressOnce) {
    AddressList list;
    EXPECT_TRUE(list.AddUrlItem("http://a.com/", 3).added);
    EXPECT_TRUE(list.AddUrlItem("http://b.com/", 3).added);
    EXPECT_FALSE(list.AddUrlItem("HTTP://A.COM/", 3).added); // known in another letter case
    const AddressList::Change third = list.AddUrlItem("http://c.com/", 3);
    EXPECT_TRUE(third.added);
    EXPECT_TRUE(third.droppedFirst);
    EXPECT_EQ(list.Urls(), QStringList({"http://b.com/", "http://c.com/"}));

    AddressList none;
    EXPECT_FALSE(none.AddUrlItem("http://a.com/", 0).added);
    EXPECT_EQ(none.Count(), 0);
}

TEST(AddressList, SavedListComesBackInOrderWithinTheLimit) {
    LoggedInUser ann;
    AddressList list = Known({"http://one.com/", "https://two.com/", "http://three.com/"});
    list.SaveVisitedUrls(ann.user());
    EXPECT_EQ(ann.Stored("Urls"),
              QStringList({"Url0=http://one.com/", "Url1=https://two.com/", "Url2=http://three.com/"}));
    EXPECT_EQ(GetValue(ann.user(), "Urls"), "3");

    // Something not http among the stored values is passed over.
    SaveValue(ann.user() + "Urls", "Url3", "file:///etc/passwd");
    SaveValue(ann.user() + "Urls", "Url4", "http://five.com/");
    ann.temp().Reopen();
    AddressList loaded;
    loaded.LoadVisitedUrls(ann.user(), 100);
    EXPECT_EQ(loaded.Urls(),
              QStringList({"http://one.com/", "https://two.com/", "http://three.com/", "http://five.com/"}));

    // Only as many values as the limit are looked at; the list keeps one fewer.
    AddressList limited;
    limited.LoadVisitedUrls(ann.user(), 3);
    EXPECT_EQ(limited.Urls(), QStringList({"https://two.com/", "http://three.com/"}));
}

TEST(AddressList, TypedAddressesOfTheSharedKey) {
    LoggedInUser ann;
    const QString key = "Microsoft\\Internet Explorer";
    SettingsRegistry::SetKeyValue(key, "TypedURLs", "url1", "http://typed1.com/", SettingsRegistry::REG_SZ);
    SettingsRegistry::SetKeyValue(key, "TypedURLs", "url2", "mailto:x@y.z", SettingsRegistry::REG_SZ);
    SettingsRegistry::SetKeyValue(key, "TypedURLs", "url3", "https://typed3.com/", SettingsRegistry::REG_SZ);
    SettingsRegistry::SetKeyValue(key, "TypedURLs", "url5", "http://after-gap.com/",
                                  SettingsRegistry::REG_SZ);
    AddressList list;
    list.GetTypedURLs(100, ann.temp().folder()); // a home without other browsers
    EXPECT_EQ(list.Urls(), QStringList({"http://typed1.com/", "https://typed3.com/"}));

    // url0 given: read too; the loop stops when n reaches the limit.
    SettingsRegistry::SetKeyValue(key, "TypedURLs", "url0", "http://typed0.com/", SettingsRegistry::REG_SZ);
    AddressList limited;
    limited.GetTypedURLs(3, ann.temp().folder());
    EXPECT_EQ(limited.Urls(), QStringList({"http://typed0.com/", "http://typed1.com/"}));
    // Imports only fill free places.
    AddressList own;
    own.AddUrlItem("http://mine.com/", 3);
    own.GetTypedURLs(3, ann.temp().folder());
    EXPECT_EQ(own.Urls(), QStringList({"http://mine.com/", "http://typed0.com/"}));
}
