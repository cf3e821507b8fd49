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
    EXPECT_EQ(list.Add("A again", "http://a/", false, -1, true), a);
    EXPECT_EQ(a->Hits, 2);
    EXPECT_EQ(a->Caption, QStringLiteral("A"));

    // Addresses compare exactly; captions never.
    list.Add("A", "http://A/");
    EXPECT_EQ(list.Count(), 5);
    list.Add("dup", "http://c/", true, -1, true);
    EXPECT_EQ(list.Count(), 6);
    EXPECT_EQ(list.ItemExists("http://c/"), list.Item(5)); // the first one, from the front
    EXPECT_EQ(list.ItemExists("http://nowhere/"), nullptr);

    EXPECT_TRUE(list.Item(0) == nullptr && list.Item(7) == nullptr);
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
    for (int i = 1; i <= 3; ++i)
        list.AddSearchItem(QStringLiteral("s%1").arg(i), i);
    list.AddSearchItem("s3", 9); // the current address again adds nothing
    EXPECT_EQ(urls(list), (QStringList{"s1", "s2", "s3"}));
    EXPECT_TRUE(list.CanGoBack() && !list.CanGoForward());
    EXPECT_EQ(list.NextUrl(&choice), QString());
    EXPECT_EQ(list.PrevUrl(&choice), QStringLiteral("s2"));
    EXPECT_EQ(list.PrevUrl(&choice), QStringLiteral("s1"));
    EXPECT_EQ(choice, 1);
    choice = -1;
    EXPECT_EQ(list.PrevUrl(&choice), QString()); // at position 1: stays
    EXPECT_EQ(choice, -1);
    EXPECT_TRUE(!list.CanGoBack() && list.CanGoForward());
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
