// The search pane on the real engine, its services pointed at stand-ins on the local test sites:
// the local search page is sent to the stand-in, and the result page's links are clicked.
#include <gtest/gtest.h>
#include <QToolButton>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include "browse/engine/WebEnginePane.h"
#include "browse/SearchPane.h"
#include "browse/SearchPaneHost.h"
#include "e2e/E2eSupport.h"
#include "sites/TestSites.h"

namespace {

using sites::SharedSites;

class RecordingHost : public SearchPaneHost {
public:
    QList<QPair<QString, int>> opened;
    void Nav2Visible(const QString& url, int mode) override { opened.append({url, mode}); }
    quintptr WindowHandle() const override { return 1; }
};

// Fills the local page's query field, sends its form and waits for the service's page.
bool Search(BrowserPane* pane, EventLog& log, const QString& field) {
    DomElement* submit = nullptr;
    for (DomElement* element : pane->Document()->all()) {
        if (element->name() == field) element->SetValue(QStringLiteral("bramble"));
        if (element->type() == "submit") submit = element;
    }
    if (!submit) return false;
    log.Clear();
    submit->Click();
    pane->ApplyActions();
    return log.WaitFor("DocumentComplete top");
}

// A click on a page's element, as the page's script would make it.
void Click(BrowserPane* pane, const char* id) {
    RunScript(*static_cast<WebEnginePane*>(pane),
              QStringLiteral("document.getElementById('%1').click(); true").arg(id));
}

} // namespace

TEST(SearchPaneE2e, ResultsOffTheServiceOpenInTheLinkPaneAndTheListStays) {
    const QString off = SharedSites().OtherUrl("/plain");
    SharedSites().AddPage("/svc/search", "<html><head><title>Results</title></head><body>"
                                         "<a id=more href='/svc/search?q=more'>More results</a> <a id=via "
                                         "href='/svc/r?u=" +
                                             QUrl::toPercentEncoding(off) +
                                             "'>Through the service</a> <a id=off href='" + off +
                                             "'>Elsewhere</a></body></html>");
    SharedSites().AddPage("/svc2/search",
                          "<html><body><div id=results>one</div><p>x</p><div id=results>two</div>"
                          "</body></html>");
    SearchServiceTable services = SearchPages::DefaultServices();
    const QUrl site(SharedSites().Url());
    for (int i : {0, 2}) {
        services[i].host = site.host() + ":" + QString::number(site.port());
        services[i].searchUrl = SharedSites().Url(i ? "/svc2/search" : "/svc/search");
    }
    services[0].redirectPath = "/svc/r?";
    ASSERT_TRUE(SearchPages::CreateHtmFiles(services));
    RecordingHost host;
    SearchPane search(
        host, [](QWidget* parent) { return new WebEnginePane("search-e2e", parent); }, nullptr, services);
    search.resize(300, 600);
    BrowserPane* pane = search.Pane();
    EventLog log(pane);
    QToolButton* back = search.findChild<QToolButton*>(QStringLiteral("cmdSearchBack"));

    search.OnSearchClicked(0);
    ASSERT_TRUE(log.WaitFor("DocumentComplete top"));
    const QString local = pane->LocationURL();
    EXPECT_TRUE(local.endsWith("/MsnSearch.htm"));
    EXPECT_FALSE(back->isEnabled());
    // The local page's form goes to the service, whose result page stays in the pane.
    ASSERT_TRUE(Search(pane, log, "q"));
    const QString results = pane->LocationURL();
    EXPECT_TRUE(results.startsWith(services[0].searchUrl + "?q=bramble")) << results.toStdString();
    EXPECT_TRUE(back->isEnabled());
    // A result elsewhere, and one through the service's redirect, open in the Link pane.
    Click(pane, "off");
    Click(pane, "via");
    ASSERT_TRUE(WaitFor([&] { return host.opened.size() == 2; }));
    EXPECT_EQ(host.opened[0], qMakePair(off, 4));
    EXPECT_TRUE(host.opened[1].first.startsWith(SharedSites().Url("/svc/r?u=")));
    EXPECT_EQ(pane->LocationURL(), results);
    Pump(300);
    EXPECT_EQ(log.Count("DocumentComplete top"), 1);
    // A result on the service stays; back goes through the history to the local page.
    log.Clear();
    Click(pane, "more");
    ASSERT_TRUE(log.WaitFor("DocumentComplete top"));
    EXPECT_EQ(pane->LocationURL(), SharedSites().Url("/svc/search?q=more"));
    for (const QString& at : {results, local}) {
        log.Clear();
        back->click();
        ASSERT_TRUE(log.WaitFor("DocumentComplete top"));
        EXPECT_EQ(pane->LocationURL(), at);
    }
    EXPECT_FALSE(back->isEnabled());
    EXPECT_EQ(search.SearchHistory().Count(), 3);

    // The third service's result page has its "results" DIVs renamed once it has loaded.
    log.Clear();
    search.OnSearchClicked(2);
    ASSERT_TRUE(log.WaitFor("DocumentComplete top"));
    ASSERT_TRUE(Search(pane, log, "p"));
    QString ids;
    ASSERT_TRUE(WaitFor([&] {
        static_cast<WebEnginePane*>(pane)->Page()->runJavaScript(
            "Array.from(document.getElementsByTagName('div')).map(d => d.id).join(',')",
            QWebEngineScript::ApplicationWorld, [&](const QVariant& v) { ids = v.toString(); });
        Pump(50);
        return ids == "result,result";
    })) << ids.toStdString();
}
