#include <gtest/gtest.h>

#include "support/FakePane.h"
#include "browse/engine/PageModelBuilder.h"
#include "support/TestSupport.h"

namespace {

// Records the events as the program's handlers would see them.
struct Recorder {
    explicit Recorder(BrowserPane& pane) {
        QObject::connect(&pane, &BrowserPane::BeforeNavigate2, [this](NavigateEvent& e) {
            events << "BeforeNavigate2 " + e.url;
            if (cancel) e.cancel = true;
        });
        QObject::connect(&pane, &BrowserPane::DownloadBegin, [this] { events << "DownloadBegin"; });
        QObject::connect(&pane, &BrowserPane::NavigateComplete2,
                         [this](const QString& url, bool) { events << "NavigateComplete2 " + url; });
        QObject::connect(&pane, &BrowserPane::DownloadComplete, [this] { events << "DownloadComplete"; });
        QObject::connect(&pane, &BrowserPane::NavigateError,
                         [this, &pane](const QString& url, bool, long code) {
                             events << QStringLiteral("NavigateError %1 %2 error=%3")
                                           .arg(code)
                                           .arg(url)
                                           .arg(pane.IsErrorPage());
                         });
        QObject::connect(&pane, &BrowserPane::DocumentComplete, [this, &pane](const QString& url, bool) {
            events << "DocumentComplete " + url;
            if (onDocument) onDocument(pane.Document());
        });
    }
    QStringList events;
    bool cancel = false;
    std::function<void(DocumentPtr)> onDocument;
};

TEST(FakePane, SimulatedLoadRaisesTheEngineOrderAndAppliesWritesAfterTheHandler) {
    FakePane pane;
    Recorder rec(pane);
    PageModelBuilder page(QStringLiteral("http://bank.test/"));
    page.Form(QStringLiteral("login"));
    page.Input(QStringLiteral("text"), QStringLiteral("user"));
    page.Input(QStringLiteral("submit")).Value(QStringLiteral("Go"));
    const DocumentPtr doc = page.Build();
    QList<PageAction> appliedInsideHandler;
    rec.onDocument = [&](DocumentPtr d) {
        d->forms()[0]->elements()[0]->SetValue(QStringLiteral("alice"));
        d->forms()[0]->elements()[1]->Click();
        appliedInsideHandler = pane.appliedActions();
    };
    ASSERT_TRUE(pane.SimulateLoad(QStringLiteral("http://bank.test/"), doc, QStringLiteral("Bank")));
    EXPECT_EQ(rec.events, (QStringList{"BeforeNavigate2 http://bank.test/", "DownloadBegin",
                                       "NavigateComplete2 http://bank.test/", "DownloadComplete",
                                       "DocumentComplete http://bank.test/"}));
    EXPECT_TRUE(appliedInsideHandler.isEmpty());
    ASSERT_EQ(pane.appliedActions().size(), 2);
    EXPECT_EQ(pane.appliedActions()[0].kind, PageAction::SetValue);
    EXPECT_EQ(pane.appliedActions()[0].text, "alice");
    EXPECT_EQ(pane.appliedActions()[1].kind, PageAction::Click);
    EXPECT_EQ(pane.LocationURL(), "http://bank.test/");
    EXPECT_EQ(pane.LocationName(), "Bank");
    EXPECT_EQ(pane.ReadyState(), PaneReadyState::Complete);
    EXPECT_TRUE(pane.IsHtmlDocument());

    rec.events.clear();
    rec.cancel = true;
    EXPECT_FALSE(pane.SimulateLoad(QStringLiteral("http://elsewhere.test/")));
    EXPECT_EQ(rec.events, QStringList{"BeforeNavigate2 http://elsewhere.test/"});
    EXPECT_EQ(pane.LocationURL(), "http://bank.test/");
}

TEST(FakePane, FailedLoadShowsTheErrorPageAfterNavigateError) {
    FakePane pane;
    Recorder rec(pane);
    ASSERT_TRUE(pane.SimulateFailedLoad(QStringLiteral("http://down.test/"), PaneError::CannotConnect));
    EXPECT_EQ(rec.events, (QStringList{"BeforeNavigate2 http://down.test/", "DownloadBegin",
                                       "NavigateError -2146697211 http://down.test/ error=1",
                                       "NavigateComplete2 http://down.test/", "DownloadComplete",
                                       "DocumentComplete http://down.test/"}));
    EXPECT_TRUE(pane.IsErrorPage());
    ASSERT_TRUE(pane.Document());
    EXPECT_TRUE(pane.Document()->forms().isEmpty());
}

TEST(FakePane, WritesOutsideEventsApplyOnTheNextTurnAndStaleOnesAreRefused) {
    FakePane pane;
    PageModelBuilder first(QStringLiteral("http://a.test/"));
    first.Input(QStringLiteral("text"), QStringLiteral("q"));
    pane.SetDocument(first.Build());
    const DocumentPtr old = pane.Document();
    old->all()[0]->SetValue(QStringLiteral("later"));
    EXPECT_TRUE(pane.appliedActions().isEmpty());
    ASSERT_TRUE(WaitFor([&] { return pane.appliedActions().size() == 1; }, 1000));

    // A new page: the old document's writes are refused, explicitly and automatically.
    pane.SetDocument(PageModelBuilder(QStringLiteral("http://b.test/")).Build());
    old->all()[0]->SetValue(QStringLiteral("stale"));
    bool result = true;
    pane.ApplyDocumentActions(old, [&](bool ok) { result = ok; });
    EXPECT_FALSE(result);
    old->all()[0]->Focus();
    ASSERT_TRUE(WaitFor([&] { return pane.refusedActions().size() == 2; }, 1000));
    EXPECT_EQ(pane.appliedActions().size(), 1);

    // A Navigate action navigates the pane; what follows it is dropped with the page.
    pane.Document()->Navigate(QStringLiteral("http://c.test/"));
    pane.Document()->PressEnter();
    pane.ApplyActions();
    EXPECT_EQ(pane.navigations(), QStringList{"http://c.test/"});
    EXPECT_EQ(pane.appliedActions().last().kind, PageAction::Navigate);
}

TEST(FakePane, NewWindowAnswersAndRecordedCalls) {
    FakePane pane;
    FakePane other;
    QObject::connect(&pane, &BrowserPane::NewWindow2, [&](NewWindowEvent& e) {
        if (e.userInitiated) e.openIn(&other);
    });
    const NewWindowEvent wanted = pane.RaiseNewWindow2(QStringLiteral("http://pop.test/"), true);
    EXPECT_EQ(wanted.target(), &other);
    EXPECT_FALSE(wanted.cancelled());
    const NewWindowEvent popup = pane.RaiseNewWindow2(QStringLiteral("http://pop.test/"), false);
    EXPECT_TRUE(popup.cancelled());

    pane.SetHomePage(QStringLiteral("http://home.test/"));
    pane.GoHome();
    pane.Stop();
    pane.SetBodyHtml(QStringLiteral("Please wait..."));
    EXPECT_EQ(pane.navigations(), QStringList{"http://home.test/"});
    EXPECT_EQ(pane.calls(), (QStringList{"Stop", "SetBodyHtml"}));
    int commandSeen = 0;
    QObject::connect(&pane, &BrowserPane::CommandStateChange,
                     [&](int command, bool) { commandSeen = command; });
    pane.RaiseCommandStateChange(PaneCommand::Back, true);
    EXPECT_TRUE(pane.CanGoBack());
    EXPECT_EQ(commandSeen, PaneCommand::Back);
}

} // namespace
