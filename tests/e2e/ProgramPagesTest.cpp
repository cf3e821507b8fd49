#include <gtest/gtest.h>
#include <QWebEnginePage>

#include "browse/engine/ProgramPages.h"
#include "browse/engine/WebEnginePane.h"
#include "browse/engine/WebProfiles.h"
#include "e2e/E2eSupport.h"

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

} // namespace
