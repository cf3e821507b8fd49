// What the engine pane offers the menus and the properties box: print, find, save, text size,
// the page's type, size and dates, and the program's own pages.
#include <gtest/gtest.h>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <QWebEngineView>

#include "browse/engine/ProgramPages.h"
#include "browse/engine/WebEnginePane.h"
#include "browse/engine/WebProfiles.h"
#include "e2e/E2eSupport.h"
#include "sites/TestSites.h"

TEST(PaneFeatures, PrintFindSaveTextSizeAndPageFacts) {
    WebEnginePane pane(QStringLiteral("features"));
    pane.Widget()->resize(800, 600);
    pane.Widget()->show();
    EXPECT_FALSE(pane.CanPrint());
    EventLog log(&pane);
    ASSERT_TRUE(LoadAndWait(pane, log, sites::SharedSites().Url(QStringLiteral("/plain"))));
    EXPECT_TRUE(pane.CanPrint());
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("page.pdf")));
    int done = -1;
    pane.PrintTo(&printer, [&](bool ok) { done = ok; });
    ASSERT_TRUE(WaitFor([&] { return done >= 0; }, 20000));
    EXPECT_EQ(done, 1);
    QFile pdf(dir.filePath(QStringLiteral("page.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5).startsWith("%PDF"));
    // Found without case, not found with it, and words not there.
    for (const auto& [text, matchCase, found] :
         {std::tuple{"welcome", false, 1}, {"welcome", true, 0}, {"no such words", false, 0}}) {
        done = -1;
        pane.FindText(QLatin1String(text), false, matchCase, [&](bool ok) { done = ok; });
        ASSERT_TRUE(WaitFor([&] { return done >= 0; }));
        EXPECT_EQ(done, found) << text << matchCase;
    }
    const QString saved = dir.filePath(QStringLiteral("saved.html"));
    pane.SavePage(saved);
    ASSERT_TRUE(WaitFor([&] {
        QFile file(saved);
        return file.open(QIODevice::ReadOnly) && file.readAll().contains("Plain Page");
    }));
    pane.SetTextSize(4);
    EXPECT_EQ(pane.TextSize(), 4);
    EXPECT_DOUBLE_EQ(pane.View()->zoomFactor(), BrowserPane::ZoomForTextSize(4));

    // The page's facts are its type, size and dates as it was served.
    const QByteArray body = "<!DOCTYPE html><title>Dated</title><p>Hello.</p>";
    sites::SharedSites().main().Route("GET", "/dated", [body](const sites::Request&, sites::Reply& reply) {
        reply.body = body;
        reply.AddHeader("Last-Modified", "Fri, 01 Mar 2024 09:30:00 GMT");
    });
    const auto read = [&](const char* path) {
        PageFacts facts;
        EXPECT_TRUE(LoadAndWait(pane, log, sites::SharedSites().Url(QLatin1String(path))));
        bool answered = false;
        pane.ReadPageFacts([&](const PageFacts& f) { facts = f, answered = true; });
        EXPECT_TRUE(WaitFor([&] { return answered; }));
        return facts;
    };
    PageFacts facts = read("/dated");
    EXPECT_EQ(facts.contentType, "text/html");
    EXPECT_EQ(facts.size, body.size());
    EXPECT_EQ(facts.lastModified, QDateTime(QDate(2024, 3, 1), QTime(9, 30), Qt::UTC));
    EXPECT_LT(qAbs(facts.loaded.secsTo(QDateTime::currentDateTime())), 120);
    EXPECT_FALSE(read("/plain").lastModified.isValid()); // no date from the server, none here
}

// Offline, network loads fail but the program's own pages load, under the scheme and the
// product's site address; back and forward pass over them.
TEST(PaneFeatures, ProgramPagesAreServedOfflineAndHistoryPassesOverThem) {
    WebProfiles::SetOffline(true);
    WebEnginePane pane(QStringLiteral("pages"));
    pane.Widget()->resize(800, 600);
    EventLog log(&pane);
    const QString plain = sites::SharedSites().Url(QStringLiteral("/plain"));
    {
        WebEnginePane blocked(QStringLiteral("pages"));
        EventLog blockedLog(&blocked);
        ASSERT_TRUE(LoadAndWait(blocked, blockedLog, plain));
        EXPECT_TRUE(blockedLog.events.contains(
            QStringLiteral("NavigateError %1 ").arg(PaneError::CannotConnect) + plain));
        const QString missing = QStringLiteral("file:///no/such/file.html"); // files are no network
        ASSERT_TRUE(LoadAndWait(blocked, blockedLog, missing));
        EXPECT_TRUE(blockedLog.events.contains(
            QStringLiteral("NavigateError %1 ").arg(PaneError::ObjectNotFound) + missing));
    }
    const QString start = QString::fromLatin1(ProgramPages::kStartPageUrl);
    ASSERT_TRUE(LoadAndWait(pane, log, start));
    EXPECT_FALSE(pane.IsErrorPage());
    EXPECT_EQ(pane.LocationName(), QStringLiteral("Bramblegate Start Page"));
    ASSERT_TRUE(LoadAndWait(pane, log, QStringLiteral("http://bramblegate.localhost/help/quickstart.asp")));
    EXPECT_EQ(pane.LocationName(), QStringLiteral("Getting Started with Bramblegate"));
    EXPECT_EQ(pane.LocationURL(), QStringLiteral("bramblegate://help/quickstart.asp"));
    ASSERT_TRUE(LoadAndWait(pane, log, QStringLiteral("bramblegate://help/nothing-here")));
    EXPECT_TRUE(pane.IsErrorPage()) << "an unknown page of the scheme is an error, not an empty page";
    WebProfiles::SetOffline(false);

    const QString other = sites::SharedSites().OtherUrl(QStringLiteral("/plain"));
    ASSERT_TRUE(LoadAndWait(pane, log, start));
    ASSERT_TRUE(LoadAndWait(pane, log, plain));
    EXPECT_FALSE(pane.CanGoBack()) << "only program pages lie behind";
    ASSERT_TRUE(LoadAndWait(pane, log, QString::fromLatin1(ProgramPages::kHelpUrl)));
    ASSERT_TRUE(LoadAndWait(pane, log, other));
    pane.GoBack();
    ASSERT_TRUE(WaitFor([&] { return pane.LocationURL() == plain && !pane.Busy(); }));
    EXPECT_FALSE(pane.CanGoBack());
    EXPECT_TRUE(pane.CanGoForward());
    pane.GoForward();
    ASSERT_TRUE(WaitFor([&] { return pane.LocationURL() == other && !pane.Busy(); }));
    EXPECT_FALSE(pane.CanGoForward());
}
