#include <gtest/gtest.h>
#include <QToolButton>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include "browse/engine/WebEnginePane.h"
#include "browse/SearchPane.h"
#include "browse/SearchPaneHost.h"
#include "core/AppState.h"
#include "e2e/E2eSupport.h"
#include "sites/TestSites.h"
#include "support/TestSupport.h"

// The search pane on the real engine, with its services pointed at stand-ins on the local test
// sites: the local search page is sent to the stand-in, and the result page's links are clicked.

namespace {

using sites::SharedSites;

class RecordingHost : public SearchPaneHost {
public:
    QList<QPair<QString, int>> opened;
    void Nav2Visible(const QString& url, int mode) override { opened.append({url, mode}); }
    quintptr WindowHandle() const override { return 1; }
};

QString Authority(const QString& url) {
    const QUrl u(url);
    return u.host() + ":" + QString::number(u.port());
}

SearchServiceTable LocalServices() {
    SearchServiceTable services = SearchPages::DefaultServices();
    const QString host = Authority(SharedSites().Url());
    services[0].host = host;
    services[0].searchUrl = SharedSites().Url("/svc/search");
    services[0].redirectPath = "/svc/r?";
    services[2].host = host;
    services[2].searchUrl = SharedSites().Url("/svc2/search");
    return services;
}

void AddPages() {
    const QString off = SharedSites().OtherUrl("/plain");
    SharedSites().AddPage("/svc/search", "<html><head><title>Results</title></head><body><h1>Results</h1>"
                                         "<a id='more' href='/svc/search?q=more'>More results</a> "
                                         "<a id='via' href='/svc/r?u=" +
                                             QUrl::toPercentEncoding(off) +
                                             "'>Through the service</a> "
                                             "<a id='off' href='" +
                                             off + "'>Elsewhere</a></body></html>");
    SharedSites().AddPage("/svc2/search", "<html><body><div id='results'>one</div><p>x</p>"
                                          "<div id='results'>two</div></body></html>");
}

// A click on a page's element, as the page's script would make it (the snapshot holds only
// what the login rules can use).
void ClickById(BrowserPane* pane, const QString& id) {
    RunScript(*static_cast<WebEnginePane*>(pane),
              QStringLiteral("document.getElementById('%1').click(); true").arg(id));
}

// Fills the local page's query field and sends its form.
void Search(BrowserPane* pane, const QString& field, const QString& text) {
    DocumentPtr document = pane->Document();
    ASSERT_TRUE(document);
    DomElement* submit = nullptr;
    for (DomElement* element : document->all()) {
        if (element->name() == field) element->SetValue(text);
        if (element->type() == "submit") submit = element;
    }
    ASSERT_TRUE(submit);
    submit->Click();
    pane->ApplyActions();
}

TEST(SearchPaneE2e, ResultsOffTheServiceOpenInTheLinkPaneAndTheListStays) {
    ASSERT_TRUE(SharedSites().ok());
    AddPages();
    const SearchServiceTable services = LocalServices();
    ASSERT_TRUE(SearchPages::CreateHtmFiles(services));
    RecordingHost host;
    SearchPane search(
        host, [](QWidget* parent) { return new WebEnginePane("search-e2e", parent); }, nullptr, services);
    search.resize(300, 600);
    BrowserPane* pane = search.Pane();
    EventLog log(pane);

    search.OnSearchClicked(0);
    ASSERT_TRUE(log.WaitFor("DocumentComplete top"));
    EXPECT_TRUE(pane->LocationURL().endsWith("/MsnSearch.htm"));
    EXPECT_FALSE(search.findChild<QToolButton*>(QStringLiteral("cmdSearchBack"))->isEnabled());

    // The local page's form goes to the service, whose result page stays in the pane.
    log.Clear();
    Search(pane, "q", "bramble");
    ASSERT_TRUE(log.WaitFor("DocumentComplete top"));
    const QString results = pane->LocationURL();
    EXPECT_TRUE(results.startsWith(services[0].searchUrl + "?q=bramble")) << results.toStdString();
    EXPECT_TRUE(search.findChild<QToolButton*>(QStringLiteral("cmdSearchBack"))->isEnabled());
    EXPECT_TRUE(host.opened.isEmpty());

    // A result elsewhere, and one through the service's redirect, open in the Link pane.
    ClickById(pane, "off");
    ASSERT_TRUE(WaitFor([&] { return host.opened.size() == 1; }));
    EXPECT_EQ(host.opened[0], qMakePair(SharedSites().OtherUrl("/plain"), 4));
    ClickById(pane, "via");
    ASSERT_TRUE(WaitFor([&] { return host.opened.size() == 2; }));
    EXPECT_TRUE(host.opened[1].first.startsWith(SharedSites().Url("/svc/r?u=")));
    Pump(300);
    EXPECT_EQ(pane->LocationURL(), results);
    EXPECT_EQ(log.Count("DocumentComplete top"), 1);

    // A result on the service stays; back goes through the history to the local page.
    log.Clear();
    ClickById(pane, "more");
    ASSERT_TRUE(log.WaitFor("DocumentComplete top"));
    EXPECT_EQ(pane->LocationURL(), SharedSites().Url("/svc/search?q=more"));
    EXPECT_EQ(search.SearchHistory().Count(), 3);
    log.Clear();
    search.findChild<QToolButton*>(QStringLiteral("cmdSearchBack"))->click();
    ASSERT_TRUE(log.WaitFor("DocumentComplete top"));
    EXPECT_EQ(pane->LocationURL(), results);
    log.Clear();
    search.findChild<QToolButton*>(QStringLiteral("cmdSearchBack"))->click();
    ASSERT_TRUE(log.WaitFor("DocumentComplete top"));
    EXPECT_TRUE(pane->LocationURL().endsWith("/MsnSearch.htm"));
    EXPECT_FALSE(search.findChild<QToolButton*>(QStringLiteral("cmdSearchBack"))->isEnabled());
    EXPECT_EQ(search.SearchHistory().Count(), 3);

    // The third service's result page has its "results" DIVs renamed once it has loaded.
    log.Clear();
    search.OnSearchClicked(2);
    ASSERT_TRUE(log.WaitFor("DocumentComplete top"));
    log.Clear();
    Search(pane, "p", "bramble");
    ASSERT_TRUE(log.WaitFor("DocumentComplete top"));
    auto* page = static_cast<WebEnginePane*>(pane)->page();
    QString ids;
    ASSERT_TRUE(WaitFor([&] {
        page->runJavaScript("Array.from(document.getElementsByTagName('div')).map(d => d.id).join(',')",
                            QWebEngineScript::ApplicationWorld,
                            [&](const QVariant& v) { ids = v.toString(); });
        Pump(50);
        return ids == "result,result";
    })) << ids.toStdString();
}

} // namespace
