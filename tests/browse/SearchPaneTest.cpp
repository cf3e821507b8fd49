#include <QRadioButton>
#include <QToolButton>
#include <QUrl>

#include "browse/SearchPane.h"
#include "browse/SearchPaneHost.h"
#include "BrowseSupport.h"
#include "core/AppPaths.h"

// The search pane over a scriptable pane: the test raises the engine's navigations and reads
// what the pane was asked to load and what the browse window was asked to open.

namespace {

class RecordingHost : public SearchPaneHost {
public:
    QList<QPair<QString, int>> opened;
    void Nav2Visible(const QString& url, int mode) override { opened.append({url, mode}); }
    quintptr WindowHandle() const override { return 0xB0; }
};

SearchServiceTable Services() {
    SearchServiceTable services = SearchPages::DefaultServices();
    services[0].host = "search.alpha.test";
    services[0].searchUrl = "http://search.alpha.test/results";
    services[0].redirectPath = "/click?";
    services[2].host = "find.gamma.test:8080";
    return services;
}

class SearchPaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        App().CurrentUser = "bob";
        SearchPages::CreateHtmFiles(Services());
    }

    TempStore store;
};

// The built-in engines are the real ones: their pages, written at start and repaired when
// damaged, send what each engine documents as its search address; the stored choices keep their
// old names.
TEST_F(SearchPaneTest, LocalPagesSearchAtTheEnginesDocumentedAddresses) {
    const QString folder = AppPaths::DataFolder();
    EXPECT_TRUE(FileBytes(folder + "/MsnSearch.htm").contains("action=\"http://search.alpha.test/results\""));
    SaveBytes(folder + "/Blank.htm", "garbage");
    EXPECT_TRUE(SearchPages::CreateHtmFiles(Services()));
    EXPECT_EQ(FileBytes(folder + "/Blank.htm"),
              "<HTML><HEAD><TITLE>Blank</TITLE></HEAD><BODY bgColor='#f5f5dc'><P>&nbsp;</P></BODY></HTML>");
    const struct {
        const char* choice;
        const char* caption;
        const char* query;
        const char* field;
    } documented[] = {
        {"Msn", "Bing", "https://www.bing.com/search?q=", "q"},
        {"Google", "Google", "https://www.google.com/search?q=", "q"},
        {"Yahoo", "Yahoo", "https://search.yahoo.com/search?p=", "p"},
    };
    const SearchServiceTable services = SearchPages::DefaultServices();
    ASSERT_EQ(services.size(), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(documented[i].caption);
        EXPECT_EQ(services[i].choice, documented[i].choice);
        EXPECT_EQ(SearchEngines::QueryFor(SearchEngines::Defaults()[i], " red fox & co "),
                  QString(documented[i].query) + "red%20fox%20%26%20co");
        const QString html = SearchPages::PageHtml(services[i]);
        const QString action = QUrl(documented[i].query).adjusted(QUrl::RemoveQuery).toString();
        EXPECT_TRUE(html.contains("action=\"" + action + "\"")) << html.toStdString();
        EXPECT_TRUE(html.contains(QString("type=\"text\" name=\"%1\"").arg(documented[i].field)));
    }
}

TEST_F(SearchPaneTest, ResultsLeavingTheServiceOpenInTheLinkPane) {
    RecordingHost host;
    QStringList scripts;
    SearchPane pane(
        host, [](QWidget* parent) { return new FakePane(parent); }, nullptr, Services(),
        [&](BrowserPane&, const QString& script) { scripts << script; });
    FakePane* fake = static_cast<FakePane*>(pane.Pane());
    QToolButton* back = Child<QToolButton>(&pane, "cmdSearchBack");
    QToolButton* forward = Child<QToolButton>(&pane, "cmdSearchForward");
    pane.OnSearchClicked(0);
    const QString local = fake->navigations().last();
    const QString results = "http://search.alpha.test/results?q=bramble";
    EXPECT_FALSE(fake->RaiseBeforeNavigate2(local) || fake->RaiseBeforeNavigate2(results));

    // Off the service, or its host only named in the query: the Link pane.
    EXPECT_TRUE(fake->RaiseBeforeNavigate2("https://www.elsewhere.test/page"));
    EXPECT_TRUE(fake->RaiseBeforeNavigate2("http://x.test/?from=search.alpha.test"));
    EXPECT_TRUE(fake->RaiseBeforeNavigate2("http:///broken"));
    EXPECT_FALSE(fake->RaiseBeforeNavigate2("https://ads.test/frame", false)); // a frame loads freely
    EXPECT_FALSE(fake->RaiseBeforeNavigate2("about:blank"));
    ASSERT_EQ(host.opened.size(), 2);
    EXPECT_EQ(host.opened[0], qMakePair(QStringLiteral("https://www.elsewhere.test/page"), 4));
    EXPECT_EQ(pane.SearchHistory().Count(), 2); // none of them was recorded

    // The user's click credit: used up by a page, kept (for this window) by a script link.
    App().LastClickedWindow = 0x77;
    fake->RaiseBeforeNavigate2("javascript:void(0)");
    EXPECT_EQ(App().LastClickedWindow, 0xB0u);
    fake->RaiseBeforeNavigate2(results + "&page=2");
    EXPECT_EQ(App().LastClickedWindow, 0u);
    EXPECT_EQ(pane.SearchHistory().Count(), 3);

    // Back and forward do not record; back stops at the first entry.
    back->click();
    EXPECT_FALSE(fake->RaiseBeforeNavigate2(results));
    back->click();
    EXPECT_EQ(fake->navigations().last(), local);
    EXPECT_TRUE(!back->isEnabled() && forward->isEnabled() && !pane.Recording());
    fake->RaiseBeforeNavigate2("http://search.alpha.test/results?q=other");
    EXPECT_EQ(pane.SearchHistory().Count(), 3);
    forward->click();
    EXPECT_EQ(fake->navigations().last(), results);

    // Choosing a service stores the choice and records again; an entry brings its own service back.
    pane.SearchOption(2)->click();
    EXPECT_EQ(core::GetValue("bob", "SearchChoice"), "Yahoo");
    EXPECT_TRUE(pane.Recording());
    fake->RaiseBeforeNavigate2(fake->navigations().last());
    EXPECT_EQ(pane.SearchHistory().Count(), 4);
    back->click();
    EXPECT_TRUE(pane.SearchOption(0)->isChecked());

    // Only that one service's result pages get the DIV fix.
    fake->RaiseDocumentComplete(results);
    fake->RaiseDocumentComplete("http://find.gamma.test:8080/search?p=x", false);
    EXPECT_TRUE(scripts.isEmpty());
    fake->RaiseDocumentComplete("http://find.gamma.test:8080/search?p=x");
    ASSERT_EQ(scripts.size(), 1);
    EXPECT_EQ(scripts[0], SearchPane::ResultsFixScript());
}

} // namespace
