#include "browse/AddressList.h"
#include "browse/AddressBox.h"
#include "browse/MasterHistory.h"
#include "browse/PageRecorder.h"
#include "BrowseSupport.h"
#include "links/HisList.h"

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

TEST(AddressMatching, OffersKnownAddressesForWhatWasTyped) {
    const AddressList list = Known(kAddresses);
    // A bare word: http:// in front, then the same with www.
    EXPECT_EQ(list.MatchTypedAddress("ya"),
              QStringList({"http://yahoo.com/mail", "http://Yacht.example.net/", "http://www.yandex.ru/"}));
    // The beginning of a scheme: no prefix.
    EXPECT_EQ(list.MatchTypedAddress("HTTPS:"),
              QStringList({"https://secure.example.com", "https://www.yammer.com/"}));
    EXPECT_EQ(list.MatchTypedAddress("https://www.ya"), QStringList({"https://www.yammer.com/"}));
    EXPECT_TRUE(list.MatchTypedAddress("zz").isEmpty() && list.MatchTypedAddress("").isEmpty());
    // "w" matches http://w... and http://www.w...: the one address is offered once.
    EXPECT_EQ(list.MatchTypedAddress("w"), QStringList({"http://www.yandex.ru/", "http://www.wiki.org/"}));
    // www. is tried only when nothing else matches, and never twice.
    const AddressList www = Known({"http://www.yandex.ru/", "http://www.yahoo.com/", "https://ya.example/"});
    EXPECT_EQ(www.MatchTypedAddress("ya"), QStringList({"http://www.yandex.ru/", "http://www.yahoo.com/"}));
    EXPECT_TRUE(Known({"http://www.www.ya.com/"}).MatchTypedAddress("www.yb").isEmpty());
    EXPECT_EQ(www.FindString("http://www.ya", 1), 0); // wraps round
    EXPECT_EQ(www.FindString("nothing"), -1);
}

TEST(AddressList, SavedListComesBackInOrderWithinTheLimit) {
    LoggedInUser ann;
    AddressList list = Known({"http://one.com/", "https://two.com/", "http://three.com/"});
    list.SaveVisitedUrls(ann.user());
    EXPECT_EQ(ann.Stored("Urls"),
              QStringList({"Url0=http://one.com/", "Url1=https://two.com/", "Url2=http://three.com/"}));
    EXPECT_EQ(GetValue(ann.user(), "Urls"), "3");

    // Something not http among the stored values is passed over.
    SaveValue(ann.user() + "Urls", "Url3", "file:///etc/passwd"),
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

// (The windows' and the master history's records: PopUps.StandAloneWindow, frame.MasterHistory.)
TEST(PageRecorder, OffersTheFirstPageOfAHistoryToTheAddressBoxAndSkipsUnknownProtocols) {
    LoggedInUser ann;
    MasterHistory master;
    AddressBox box;
    PageRecorder recorder(&master, &box);
    HisList link;
    const auto page = [](const QString& title, const QString& url,
                         const char* protocol = "HyperText Transfer Protocol") {
        return VisitedPage{title, {title, url}, QLatin1String(protocol)};
    };
    EXPECT_EQ(recorder.RecordPage(link, page("Front page", "http://www.news.com/")), "News - Front page");
    recorder.RecordPage(link, page("Sports", "http://www.news.com/sports"));
    recorder.RecordPage(link, page("Sports", "http://www.news.com/sports"));
    EXPECT_EQ(master.Count(), 2) << "a repeat of the newest is not a visit";
    ASSERT_EQ(link.Count(), 2) << "a Link's history keeps each address once, newest first";
    EXPECT_EQ(link.Item(1)->Hits, 2);
    EXPECT_EQ(link.Item(2)->URL, "http://www.news.com/");
    EXPECT_EQ(box.KnownAddresses().Urls(), QStringList({"http://www.news.com/"}));
    EXPECT_TRUE(recorder.RecordPage(link, page("x", "about:blank", "Unknown Protocol")).isNull());
    EXPECT_FALSE(recorder.RecordPage(link, page("Local", "file:///tmp/a.html", "File Protocol")).isNull());
}
