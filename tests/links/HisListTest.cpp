#include <gtest/gtest.h>

#include "links/HisList.h"
#include "links/Link.h"

namespace {
QStringList urls(const HisList& list) {
    QStringList out;
    for (const auto& item : list)
        out << item->URL;
    return out;
}
} // namespace

TEST(HisList, AddPlacesNewEntriesAndCountsRepeatedAddresses) {
    HisList list;
    auto a = list.Add("A", "http://a/");
    EXPECT_EQ(a->Hits, 1);
    list.Add("B", "http://b/");                  // to the front
    list.Add("C", "http://c/", false, -1, true); // at the end
    list.Add("D", "http://d/", false, 2);        // before position 2
    EXPECT_EQ(urls(list), (QStringList{"http://b/", "http://d/", "http://a/", "http://c/"}));

    // The same address again: no move, one more hit, the caption is not touched.
    auto again = list.Add("A again", "http://a/", false, -1, true);
    EXPECT_EQ(again, a);
    EXPECT_EQ(a->Hits, 2);
    EXPECT_EQ(a->Caption, QStringLiteral("A"));
    EXPECT_EQ(list.Count(), 4);

    // Addresses compare exactly; captions never.
    list.Add("A", "http://A/");
    EXPECT_EQ(list.Count(), 5);
    list.Add("dup", "http://c/", true, -1, true);
    EXPECT_EQ(list.Count(), 6);
    EXPECT_EQ(list.ItemExists("http://c/"), list.Item(5)); // the first one, from the front
    EXPECT_EQ(list.ItemExists("http://nowhere/"), nullptr);

    EXPECT_EQ(list.Item(0), nullptr);
    EXPECT_EQ(list.Item(7), nullptr);
    auto kept = list.Item(1);
    list.Remove(1);
    list.Remove(99);
    EXPECT_EQ(list.Count(), 5);
    EXPECT_EQ(kept->URL, QStringLiteral("http://A/")); // a removed entry stays usable
}

TEST(HisList, SearchHistoryMovesBackAndForwardAndInsertsAfterTheCurrentEntry) {
    HisList list;
    qint32 choice = -1;
    EXPECT_EQ(list.PrevUrl(&choice), QString());
    EXPECT_FALSE(list.CanGoBack() || list.CanGoForward());
    list.AddSearchItem("s1", 1);
    list.AddSearchItem("s2", 2);
    list.AddSearchItem("s3", 3);
    list.AddSearchItem("s3", 9); // the current address again adds nothing
    EXPECT_EQ(urls(list), (QStringList{"s1", "s2", "s3"}));
    EXPECT_EQ(list.Position(), 3);
    EXPECT_TRUE(list.CanGoBack());
    EXPECT_FALSE(list.CanGoForward());
    EXPECT_EQ(list.NextUrl(&choice), QString());
    EXPECT_EQ(list.PrevUrl(&choice), QStringLiteral("s2"));
    EXPECT_EQ(list.PrevUrl(&choice), QStringLiteral("s1"));
    EXPECT_EQ(choice, 1);
    choice = -1;
    EXPECT_EQ(list.PrevUrl(&choice), QString()); // at position 1: stays
    EXPECT_EQ(choice, -1);
    EXPECT_FALSE(list.CanGoBack());
    EXPECT_TRUE(list.CanGoForward());
    // Two steps back, then a new search: it goes right after the current entry and the later
    // entries stay after it.
    list.AddSearchItem("new", 7);
    EXPECT_EQ(urls(list), (QStringList{"s1", "new", "s2", "s3"}));
    EXPECT_EQ(list.Position(), 2);
    EXPECT_EQ(list.NextUrl(&choice), QStringLiteral("s2"));
    EXPECT_EQ(list.NextUrl(&choice), QStringLiteral("s3"));
    EXPECT_EQ(choice, 3);
    EXPECT_EQ(list.NextUrl(&choice), QString());
}

TEST(HisList, LinkHistoryKeepsEachAddressOnceNewestFirst) {
    Link link;
    auto first = link.AddToHisList("http://site/a", "Page A");
    link.AddToHisList("http://site/b", "Page B");
    EXPECT_EQ(link.AddToHisList("http://site/a", "Page A (2)"), first);
    EXPECT_EQ(first->Hits, 2);
    EXPECT_EQ(first->Caption, QStringLiteral("Page A"));
    link.AddToHisList("http://SITE/a", "Other case");
    EXPECT_EQ(urls(link.LinkHisList()), (QStringList{"http://SITE/a", "http://site/b", "http://site/a"}));
}
