#include <gtest/gtest.h>

#include <QStringList>

#include "links/HisList.h"

namespace {
QStringList urls(const HisList& list) {
    QStringList out;
    for (const auto& item : list)
        out << item->URL;
    return out;
}
} // namespace

TEST(HisList, AddPlacesNewEntriesCountsRepeatsAndTheSearchHistoryMovesBackAndForth) {
    HisList list;
    auto a = list.Add("A", "http://a/");
    list.Add("B", "http://b/");                  // to the front
    list.Add("C", "http://c/", false, -1, true); // at the end
    list.Add("D", "http://d/", false, 2);        // before position 2
    EXPECT_EQ(urls(list), (QStringList{"http://b/", "http://d/", "http://a/", "http://c/"}));

    // The same address again: no move, one more hit, the caption is not touched.
    EXPECT_EQ(list.Add("A again", "http://a/", false, -1, true), a);
    EXPECT_EQ(a->Caption + QString::number(a->Hits), QStringLiteral("A2"));

    // Addresses compare exactly; captions never.
    list.Add("A", "http://A/");
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

    // The search pane's history moves back and forward and inserts after the current entry.
    HisList search;
    qint32 choice = -1;
    EXPECT_EQ(search.PrevUrl(&choice), QString());
    EXPECT_FALSE(search.CanGoBack() || search.CanGoForward());
    for (int i = 1; i <= 3; ++i)
        search.AddSearchItem(QStringLiteral("s%1").arg(i), i);
    search.AddSearchItem("s3", 9); // the current address again adds nothing
    EXPECT_EQ(urls(search), (QStringList{"s1", "s2", "s3"}));
    EXPECT_TRUE(search.CanGoBack() && !search.CanGoForward());
    EXPECT_EQ(search.NextUrl(&choice), QString());
    EXPECT_EQ(search.PrevUrl(&choice), QStringLiteral("s2"));
    EXPECT_EQ(search.PrevUrl(&choice), QStringLiteral("s1"));
    EXPECT_EQ(choice, 1);
    EXPECT_EQ(search.PrevUrl(&choice), QString()); // at position 1: stays
    EXPECT_TRUE(!search.CanGoBack() && search.CanGoForward());
    // Two steps back, then a new search: it goes right after the current entry and the later
    // entries stay after it.
    search.AddSearchItem("new", 7);
    EXPECT_EQ(urls(search), (QStringList{"s1", "new", "s2", "s3"}));
    EXPECT_EQ(search.Position(), 2);
    for (const char* next : {"s2", "s3", ""})
        EXPECT_EQ(search.NextUrl(&choice), QLatin1String(next));
    EXPECT_EQ(choice, 3);
}
