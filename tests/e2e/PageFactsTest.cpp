#include <gtest/gtest.h>

#include "browse/engine/WebEnginePane.h"
#include "e2e/E2eSupport.h"
#include "sites/SiteServer.h"
#include "support/TestSupport.h"

namespace {

PageFacts Read(const BrowserPane& pane) {
    PageFacts facts;
    bool answered = false;
    pane.ReadPageFacts([&](const PageFacts& f) {
        facts = f;
        answered = true;
    });
    EXPECT_TRUE(WaitFor([&] { return answered; }));
    return facts;
}

} // namespace

TEST(PageFacts, TypeSizeAndDatesAsThePageWasServed) {
    sites::SiteServer server;
    const QByteArray body = "<!DOCTYPE html><html><head><title>Dated</title></head><body><p>Hello, "
                            "properties.</p></body></html>";
    server.Route("GET", "/dated", [&](const sites::Request&, sites::Reply& reply) {
        reply.body = body;
        reply.AddHeader("Last-Modified", "Fri, 01 Mar 2024 09:30:00 GMT");
    });
    server.Page("/undated", body);
    ASSERT_TRUE(server.Start());

    WebEnginePane pane(QStringLiteral("facts"));
    EventLog log(&pane);
    ASSERT_TRUE(LoadAndWait(pane, log, server.Url("/dated")));
    PageFacts facts = Read(pane);
    EXPECT_EQ(facts.contentType, "text/html");
    EXPECT_EQ(facts.size, body.size());
    EXPECT_EQ(facts.lastModified, QDateTime(QDate(2024, 3, 1), QTime(9, 30), Qt::UTC));
    ASSERT_TRUE(facts.loaded.isValid());
    EXPECT_LT(qAbs(facts.loaded.secsTo(QDateTime::currentDateTime())), 120);

    // Without a date from the server there is none.
    ASSERT_TRUE(LoadAndWait(pane, log, server.Url("/undated")));
    facts = Read(pane);
    EXPECT_FALSE(facts.lastModified.isValid());
    EXPECT_EQ(facts.size, body.size());
}
