// The search pane on the real engine, its services pointed at stand-ins on the local test sites.
#include <gtest/gtest.h>
#include <QUrl>

#include "browse/engine/WebEnginePane.h"
#include "browse/SearchPane.h"
#include "browse/SearchPaneHost.h"
#include "e2e/E2eSupport.h"
#include "sites/TestSites.h"

namespace {

using sites::SharedSites;

// (Where results open: SearchPaneTest.)
class NoHost : public SearchPaneHost {
public:
    void Nav2Visible(const QString&, int) override {}
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

} // namespace

TEST(SearchPaneE2e, TheLocalPageReachesTheServiceAndItsResultsAreTidied) {
    SharedSites().AddPage("/svc/search",
                          "<html><body><div id=results>one</div><p>x</p><div id=results>two</div>"
                          "</body></html>");
    SearchServiceTable services = SearchPages::DefaultServices();
    const QUrl site(SharedSites().Url());
    for (int i : {0, 2}) {
        services[i].host = site.host() + ":" + QString::number(site.port());
        services[i].searchUrl = SharedSites().Url("/svc/search");
    }
    ASSERT_TRUE(SearchPages::CreateHtmFiles(services));
    NoHost host;
    SearchPane search(
        host, [](QWidget* parent) { return new WebEnginePane("search-e2e", parent); }, nullptr, services);
    search.resize(300, 600);
    BrowserPane* pane = search.Pane();
    EventLog log(pane);

    // The local page (a file) may send its form to the service, whose result page stays.
    search.OnSearchClicked(0);
    ASSERT_TRUE(log.WaitFor("DocumentComplete top"));
    EXPECT_TRUE(pane->LocationURL().endsWith("/MsnSearch.htm"));
    ASSERT_TRUE(Search(pane, log, "q"));
    const QString results = pane->LocationURL();
    EXPECT_TRUE(results.startsWith(services[0].searchUrl + "?q=bramble")) << results.toStdString();

    // The third service's result page has its "results" DIVs renamed once it has loaded.
    log.Clear();
    search.OnSearchClicked(2);
    ASSERT_TRUE(log.WaitFor("DocumentComplete top"));
    ASSERT_TRUE(Search(pane, log, "p"));
    QString ids;
    ASSERT_TRUE(WaitFor([&] {
        ids = RunScript(*static_cast<WebEnginePane*>(pane),
                        "Array.from(document.getElementsByTagName('div')).map(d => d.id).join(',')");
        return ids == "result,result";
    })) << ids.toStdString();
}
