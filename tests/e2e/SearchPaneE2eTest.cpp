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

} // namespace

TEST(SearchPaneE2e, TheLocalPageReachesTheServiceAndItsResultsAreTidied) {
    SharedSites().AddPage("/svc/search", "<div id=results>one</div><p>x</p><div id=results>two</div>");
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
    auto& pane = *static_cast<WebEnginePane*>(search.Pane());
    EventLog log(&pane);
    // Opens the service's local page (a file), and sends its form with the query in `field`.
    const auto searchWith = [&](int service, const QString& field) {
        log.Clear();
        search.OnSearchClicked(service);
        EXPECT_TRUE(log.WaitFor("DocumentComplete top"));
        EXPECT_TRUE(pane.LocationURL().startsWith("file:"));
        log.Clear();
        RunScript(pane,
                  "var f = document.forms[0]; f.elements['" + field + "'].value = 'bramble'; f.submit();");
        return log.WaitFor("DocumentComplete top");
    };

    // The local page may send its form to the service, whose result page stays.
    ASSERT_TRUE(searchWith(0, "q"));
    EXPECT_TRUE(pane.LocationURL().startsWith(services[0].searchUrl + "?q=bramble"))
        << pane.LocationURL().toStdString();

    // The third service's result page has its "results" DIVs renamed once it has loaded.
    ASSERT_TRUE(searchWith(2, "p"));
    QString ids;
    ASSERT_TRUE(WaitFor([&] {
        ids = RunScript(pane, "Array.from(document.getElementsByTagName('div')).map(d => d.id).join(',')");
        return ids == "result,result";
    })) << ids.toStdString();
}
