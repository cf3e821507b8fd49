#include <gtest/gtest.h>

#include "browse/AddressBox.h"
#include "links/HisList.h"
#include "browse/HistoryTestSupport.h"
#include "browse/PageRecorder.h"
#include "browse/MasterHistory.h"

namespace {
VisitedPage Page(const QString& title, const QString& url,
                 const QString& protocol = "HyperText Transfer Protocol") {
    return VisitedPage{title, {title, url}, protocol};
}
} // namespace

TEST(PageRecorder, RecordsIntoTheWindowsHistoryTheMasterHistoryAndTheKnownAddresses) {
    LoggedInUser ann;
    MasterHistory master;
    AddressBox box;
    PageRecorder recorder(&master, &box);
    HisList link;

    EXPECT_EQ(recorder.RecordPage(link, Page("Front page", "http://www.news.com/")), "News - Front page");
    recorder.RecordPage(link, Page("Sports", "http://www.news.com/sports"));
    recorder.RecordPage(link, Page("Front page", "http://www.news.com/"));

    // The Link's own history has each address once, newest first, and counts the visits.
    ASSERT_EQ(link.Count(), 2);
    EXPECT_EQ(link.Item(1)->URL, "http://www.news.com/sports");
    EXPECT_EQ(link.Item(2)->Hits, 2);
    // The master history has every visit that is not a repeat of the newest.
    ASSERT_EQ(master.Count(), 3);
    EXPECT_EQ(master.Items()[0], (HistoryEntry{"News - Front page", "http://www.news.com/"}));
    EXPECT_EQ(master.Items()[1], (HistoryEntry{"News - Sports", "http://www.news.com/sports"}));
    EXPECT_EQ(ann.Stored("History"), QStringList({"News - Front page=http://www.news.com/",
                                                  "News - Sports=http://www.news.com/sports"}));
    // Only the first page of a history is offered to the address box.
    EXPECT_EQ(box.KnownAddresses().Urls(), QStringList({"http://www.news.com/"}));

    // A stand-alone window's history starts empty: its first page is offered, unless too long.
    HisList window;
    recorder.RecordPage(window, Page("Long", "http://long.org/" + QString(185, 'x')));
    EXPECT_EQ(window.Count(), 1);
    HisList another;
    recorder.RecordPage(another, Page("Shorter", "http://long.org/" + QString(184, 'x')));
    ASSERT_EQ(box.KnownAddresses().Count(), 2);
    EXPECT_EQ(box.KnownAddresses().Urls().last().size(), 200);
}

TEST(PageRecorder, PagesOfAnUnknownProtocolAreNotRecorded) {
    LoggedInUser ann;
    MasterHistory master;
    PageRecorder recorder(&master, nullptr);
    HisList link;
    EXPECT_TRUE(recorder.RecordPage(link, Page("x", "about:blank", "Unknown Protocol")).isNull());
    EXPECT_EQ(link.Count(), 0);
    EXPECT_EQ(master.Count(), 0);
    EXPECT_FALSE(recorder.RecordPage(link, Page("Local", "file:///tmp/a.html", "File Protocol")).isNull());
    EXPECT_EQ(master.Count(), 1);
}
