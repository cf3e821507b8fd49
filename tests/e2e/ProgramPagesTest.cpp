#include <gtest/gtest.h>
#include <QWebEnginePage>

#include "browse/engine/ProgramPages.h"
#include "browse/engine/WebEnginePane.h"
#include "browse/engine/WebProfiles.h"
#include "e2e/E2eSupport.h"
#include "sites/TestSites.h"

namespace {

// The program's own pages load without any network, through the scheme and through the
// product's site address, also while the program works offline.
TEST(ProgramPages, ServedOfflineUnderTheSchemeAndTheSiteAddress) {
    WebProfiles::SetOffline(true);
    WebEnginePane pane(QStringLiteral("pages"));
    pane.widget()->resize(800, 600);
    EventLog log(&pane);

    ASSERT_TRUE(LoadAndWait(pane, log, QString::fromLatin1(ProgramPages::kStartPageUrl)));
    EXPECT_FALSE(pane.IsErrorPage());
    EXPECT_EQ(pane.LocationName(), QStringLiteral("Bramblegate Start Page"));

    ASSERT_TRUE(LoadAndWait(pane, log, QStringLiteral("http://bramblegate.localhost/help/quickstart.asp")));
    EXPECT_FALSE(pane.IsErrorPage()) << log.events.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(pane.LocationName(), QStringLiteral("Getting Started with Bramblegate"));
    EXPECT_EQ(pane.LocationURL(), QStringLiteral("bramblegate://help/quickstart.asp"));

    ASSERT_TRUE(
        LoadAndWait(pane, log, QStringLiteral("http://bramblegate.localhost/Support/LoginProblem.asp")));
    EXPECT_EQ(pane.LocationName(), QStringLiteral("When an automatic login does not work"));

    // An unknown page of the scheme is an error, not an empty page.
    ASSERT_TRUE(LoadAndWait(pane, log, QStringLiteral("bramblegate://help/nothing-here")));
    EXPECT_TRUE(pane.IsErrorPage());
    WebProfiles::SetOffline(false);
}

// A pane that started on the program's pages (or passed through them) goes back and forward
// over sites' pages only.
TEST(ProgramPages, BackAndForwardPassOverThem) {
    WebEnginePane pane(QStringLiteral("pages"));
    pane.widget()->resize(800, 600);
    EventLog log(&pane);
    const QString plain = sites::SharedSites().Url(QStringLiteral("/plain"));
    const QString other = sites::SharedSites().Url(QStringLiteral("/no-login"));

    ASSERT_TRUE(LoadAndWait(pane, log, QString::fromLatin1(ProgramPages::kStartPageUrl)));
    ASSERT_TRUE(LoadAndWait(pane, log, plain));
    EXPECT_FALSE(pane.CanGoBack()) << "only the start page lies behind";
    ASSERT_TRUE(LoadAndWait(pane, log, QString::fromLatin1(ProgramPages::kHelpUrl)));
    EXPECT_TRUE(pane.CanGoBack());
    ASSERT_TRUE(LoadAndWait(pane, log, other));
    EXPECT_TRUE(pane.CanGoBack());

    pane.GoBack();
    ASSERT_TRUE(WaitFor([&] { return pane.LocationURL() == plain && !pane.Busy(); }));
    EXPECT_FALSE(pane.CanGoBack());
    EXPECT_TRUE(pane.CanGoForward());
    pane.GoBack(); // nothing to go back to: stays
    Pump(300);
    EXPECT_EQ(pane.LocationURL(), plain);

    pane.GoForward();
    ASSERT_TRUE(WaitFor([&] { return pane.LocationURL() == other && !pane.Busy(); }));
    EXPECT_FALSE(pane.CanGoForward());
    EXPECT_TRUE(pane.CanGoBack());
}

} // namespace
