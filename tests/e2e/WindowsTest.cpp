#include <gtest/gtest.h>
#include <QTest>

#include "browse/engine/WebEnginePane.h"
#include "e2e/E2eSupport.h"
#include "sites/TestSites.h"
#include "support/TestSupport.h"

#include <QWebEngineView>

namespace {

using sites::SharedSites;

void Click(WebEnginePane& pane, QPoint at) {
    QWidget* target = pane.view()->focusProxy();
    ASSERT_TRUE(target);
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, at);
}

TEST(NewWindows, ScriptOpenedWindowHasNoGestureAndLoadsInThePaneItIsGivenTo) {
    WebEnginePane opener(QStringLiteral("windows"));
    WebEnginePane target(QStringLiteral("windows"));
    EventLog log(&opener);
    EventLog targetLog(&target);
    log.onNewWindow = [&](NewWindowEvent& e) { e.openIn(&target); };
    const QString page = SharedSites().Url(QStringLiteral("/popup-target"));

    ASSERT_TRUE(LoadAndWait(opener, log, SharedSites().Url(QStringLiteral("/popup-auto"))));
    ASSERT_TRUE(log.WaitFor("NewWindow2"));
    EXPECT_EQ(log.events.filter("NewWindow2"), QStringList{"NewWindow2 script " + page});
    ASSERT_TRUE(targetLog.WaitFor("DocumentComplete top"));
    EXPECT_EQ(targetLog.TopLevel(),
              (QStringList{"BeforeNavigate2 top " + page, "DownloadBegin", "NavigateComplete2 top " + page,
                           "DownloadComplete", "DocumentComplete top " + page}));
    EXPECT_EQ(target.LocationURL(), page);
    EXPECT_EQ(target.profile(), opener.profile());

    // A page script closing its own window asks the program to close it.
    RunScript(target, QStringLiteral("document.getElementById('close').click(); true"));
    ASSERT_TRUE(targetLog.WaitFor("WindowClosing"));
}

TEST(NewWindows, CatchingPaneReadsTheAddressAndCancelsTheLoad) {
    WebEnginePane opener(QStringLiteral("windows"));
    WebEnginePane catcher(QStringLiteral("windows"));
    EventLog log(&opener);
    EventLog caught(&catcher);
    log.onNewWindow = [&](NewWindowEvent& e) { e.openIn(&catcher); };
    caught.onBeforeNavigate = [](NavigateEvent& e) { e.cancel = true; };
    ASSERT_TRUE(LoadAndWait(opener, log, SharedSites().Url(QStringLiteral("/popup-auto"))));
    ASSERT_TRUE(caught.WaitFor("BeforeNavigate2"));
    Pump(500);
    EXPECT_EQ(caught.events,
              QStringList{"BeforeNavigate2 top " + SharedSites().Url(QStringLiteral("/popup-target"))});
    EXPECT_EQ(catcher.LocationURL(), "");
}

TEST(NewWindows, RealClicksReportAGestureAndProgramClicksDoNot) {
    WebEnginePane pane(QStringLiteral("windows"));
    pane.widget()->resize(600, 400);
    pane.widget()->show();
    EventLog log(&pane); // nobody takes the windows: they are cancelled
    const QString page = SharedSites().Url(QStringLiteral("/popup-target"));
    ASSERT_TRUE(LoadAndWait(pane, log, SharedSites().Url(QStringLiteral("/popup-click"))));
    Pump(200); // let the page be drawn, so clicks land on it

    Click(pane, QPoint(100, 40)); // the button
    ASSERT_TRUE(log.WaitFor("NewWindow2"));
    Click(pane, QPoint(30, 108)); // the target=_blank link
    ASSERT_TRUE(log.WaitFor("NewWindow2", 2));
    RunScript(pane, QStringLiteral("document.getElementById('open').click(); true"));
    ASSERT_TRUE(log.WaitFor("NewWindow2", 3));
    EXPECT_EQ(
        log.events.filter("NewWindow2"),
        (QStringList{"NewWindow2 user " + page, "NewWindow2 user " + page, "NewWindow2 script " + page}));
    EXPECT_EQ(pane.LocationURL(), SharedSites().Url(QStringLiteral("/popup-click")));
}

} // namespace
