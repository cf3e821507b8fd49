#include <gtest/gtest.h>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <QWebEngineView>

#include "browse/engine/WebEnginePane.h"
#include "e2e/E2eSupport.h"
#include "sites/TestSites.h"
#include "support/TestSupport.h"

namespace {

using sites::SharedSites;

TEST(PaneFeatures, PrintFindSaveAndTextSize) {
    WebEnginePane pane(QStringLiteral("features"));
    pane.widget()->resize(800, 600);
    pane.widget()->show();
    EXPECT_FALSE(pane.CanPrint());
    EventLog log(&pane);
    ASSERT_TRUE(LoadAndWait(pane, log, SharedSites().Url(QStringLiteral("/plain"))));
    EXPECT_TRUE(pane.CanPrint());

    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("page.pdf")));
    int printed = -1;
    pane.PrintTo(&printer, [&](bool ok) { printed = ok; });
    ASSERT_TRUE(WaitFor([&] { return printed >= 0; }, 20000));
    EXPECT_EQ(printed, 1);
    QFile pdf(dir.filePath(QStringLiteral("page.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5).startsWith("%PDF"));

    int found = -1;
    pane.FindText(QStringLiteral("welcome"), false, false, [&](bool ok) { found = ok; });
    ASSERT_TRUE(WaitFor([&] { return found >= 0; }));
    EXPECT_EQ(found, 1);
    found = -1;
    pane.FindText(QStringLiteral("welcome"), false, true, [&](bool ok) { found = ok; });
    ASSERT_TRUE(WaitFor([&] { return found >= 0; }));
    EXPECT_EQ(found, 0);
    found = -1;
    pane.FindText(QStringLiteral("no such words"), false, false, [&](bool ok) { found = ok; });
    ASSERT_TRUE(WaitFor([&] { return found >= 0; }));
    EXPECT_EQ(found, 0);

    const QString saved = dir.filePath(QStringLiteral("saved.html"));
    pane.SavePage(saved);
    ASSERT_TRUE(WaitFor([&] {
        QFile file(saved);
        return file.open(QIODevice::ReadOnly) && file.readAll().contains("Plain Page");
    }));

    pane.SetTextSize(4);
    EXPECT_EQ(pane.TextSize(), 4);
    EXPECT_DOUBLE_EQ(pane.view()->zoomFactor(), BrowserPane::ZoomForTextSize(4));
    pane.SetTextSize(9);
    EXPECT_EQ(pane.TextSize(), 4);
}

} // namespace
