// Memory of many browser panes, as PSS summed over this process and its engine processes
// (from /proc/<pid>/smaps_rollup). Each scenario runs in a fresh process:
//   PaneMemoryBench            runs every scenario and prints the comparison
//   PaneMemoryBench <scenario> runs one: bare5 | lazy5 | links5 | blank50 | blank50+5 |
//                                         open50 | idle50 | wake
// bare5:     a bare window's worth: 5 engine pages (QWebEngineView) on the 5 pages, one profile
// lazy5:     50 WebEnginePanes navigated to about:blank (no engine page), 5 of them then to pages,
//            all in the user's shared profile
// links5:    the same with a web profile of its own for each pane, as each Link has
// blank50:   50 engine pages (QWebEngineView) navigated to about:blank
// blank50+5: the same, then 5 of them to the same pages as lazy5
// open50:    50 panes as Links (a profile each), every one opened on one of the 5 pages
// idle50:    the same, then 45 of them left idle past the discard time (discarded)
// wake:      a discarded pane shown again: the time until its page is complete, against a
//            first load of the same page in the same run, and how many loads it took
#include <algorithm>
#include <functional>
#include <memory>
#include <QElapsedTimer>
#include <QTextStream>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <vector>

#include "BenchSupport.h"
#include "browse/engine/WebEnginePane.h"
#include "browse/engine/WebProfiles.h"
#include "browse/IdlePanes.h"
#include "core/Clock.h"
#include "links/LinkIds.h"
#include "sites/TestSites.h"

namespace {

constexpr int kPanes = 50;
const char* const kPages[] = {"/login", "/plain", "/echo", "/iframes", "/generated?n=2000"};

// The pane's next top-level DocumentComplete after `start`, in milliseconds (-1: none in time),
// and how many there were until the page had been quiet for a while.
QPair<double, int> TimeToComplete(WebEnginePane& pane, const std::function<void()>& start) {
    int completes = 0;
    QElapsedTimer clock;
    double ms = -1;
    const auto connection =
        QObject::connect(&pane, &BrowserPane::DocumentComplete, [&](const QString&, bool top) {
            if (!top) return;
            if (++completes == 1) ms = double(clock.nsecsElapsed()) / 1e6;
        });
    clock.start();
    start();
    benchsupport::Pump([&] { return completes > 0; });
    QElapsedTimer quiet;
    quiet.start();
    benchsupport::Pump([&] { return quiet.elapsed() > 1000; });
    QObject::disconnect(connection);
    return {ms, completes};
}

int RunWake(sites::TestSites& sites) {
    QTextStream out(stdout);
    const QString page = sites.Url(QStringLiteral("/generated?n=2000"));
    WebEnginePane first(QStringLiteral("memory"));
    first.SetProfileId(LinkIds::New());
    first.Widget()->resize(800, 600);
    first.Navigate2(QStringLiteral("about:blank"));
    WebEnginePane woken(QStringLiteral("memory"));
    woken.SetProfileId(LinkIds::New());
    woken.Widget()->resize(800, 600);
    // Both profiles and engine processes warm; the page loaded once in the pane to be woken.
    TimeToComplete(woken, [&] { woken.Navigate2(sites.Url(QStringLiteral("/plain"))); });
    TimeToComplete(first, [&] { first.Navigate2(sites.Url(QStringLiteral("/plain"))); });
    TimeToComplete(woken, [&] { woken.Navigate2(page); });
    woken.SetIdle(PaneIdle::Discarded);
    benchsupport::Pump([&] { return woken.Idle() == PaneIdle::Discarded; });
    const QPair<double, int> load = TimeToComplete(first, [&] { first.Navigate2(page); });
    const QPair<double, int> wake = TimeToComplete(woken, [&] { woken.SetIdle(PaneIdle::Active); });
    out << "load " << load.first << " ms, wake " << wake.first << " ms (" << wake.second
        << " page load), wake / load = " << QString::number(wake.first / load.first, 'f', 2)
        << (woken.LocationURL() == page ? ", at its address" : ", elsewhere: ") << Qt::endl;
    out << "wake " << wake.second << ' ' << load.first << ' ' << wake.first << Qt::endl;
    return wake.second == 1 && woken.LocationURL() == page ? 0 : 1;
}

int RunScenario(const QString& scenario) {
    sites::TestSites sites;
    if (scenario == QLatin1String("wake")) return RunWake(sites);
    std::vector<std::unique_ptr<WebEnginePane>> panes;
    std::vector<std::unique_ptr<QWebEngineView>> views;
    int loaded = 0;
    if (scenario == QLatin1String("open50") || scenario == QLatin1String("idle50")) {
        for (int i = 0; i < kPanes; ++i) {
            auto pane = std::make_unique<WebEnginePane>(QStringLiteral("memory"));
            pane->SetProfileId(LinkIds::New());
            pane->Widget()->resize(800, 600);
            QObject::connect(pane.get(), &BrowserPane::DocumentComplete, [&](const QString&, bool top) {
                if (top) ++loaded;
            });
            pane->Navigate2(sites.Url(QLatin1String(kPages[i % 5])));
            panes.push_back(std::move(pane));
        }
        benchsupport::Pump([&] { return loaded == kPanes; });
        if (scenario == QLatin1String("idle50")) {
            // The program's idle check, the first 5 panes in use, the rest left past the
            // discard time; then the time it takes to give the memory back.
            struct Host : IdlePanes::Host {
                std::vector<std::unique_ptr<WebEnginePane>>& panes;
                explicit Host(std::vector<std::unique_ptr<WebEnginePane>>& p) : panes(p) {}
                int PaneCount() const override { return int(panes.size()); }
                BrowserPane* PaneAt(int index) const override { return panes[size_t(index)].get(); }
                bool PaneOnScreen(int index) const override { return index < 5; }
                bool PaneMustStayAwake(int) const override { return false; }
            } host(panes);
            IdlePanes idle(host);
            Clock::SetNow(QDateTime::currentDateTime());
            idle.Check();
            Clock::Advance(qint64(idle.DiscardAfter() + 1) * 60 * 1000);
            idle.Check();
            benchsupport::Pump([&] {
                for (int i = 5; i < kPanes; ++i)
                    if (panes[size_t(i)]->Idle() != PaneIdle::Discarded) return false;
                return true;
            });
            QElapsedTimer wait;
            wait.start();
            benchsupport::Pump([&] { return wait.elapsed() > IdlePanes::kGiveBackMs + 500; });
            Clock::Reset();
        }
    } else if (scenario == QLatin1String("lazy5") || scenario == QLatin1String("links5")) {
        for (int i = 0; i < kPanes; ++i) {
            auto pane = std::make_unique<WebEnginePane>(QStringLiteral("memory"));
            if (scenario == QLatin1String("links5")) pane->SetProfileId(LinkIds::New());
            pane->Widget()->resize(800, 600);
            QObject::connect(pane.get(), &BrowserPane::DocumentComplete, [&](const QString&, bool top) {
                if (top) ++loaded;
            });
            pane->Navigate2(QStringLiteral("about:blank"));
            panes.push_back(std::move(pane));
        }
        benchsupport::Pump([&] { return loaded == kPanes; });
        for (int i = 0; i < 5; ++i)
            panes[size_t(i)]->Navigate2(sites.Url(QLatin1String(kPages[i])));
        benchsupport::Pump([&] { return loaded == kPanes + 5; });
    } else if (scenario == QLatin1String("bare5")) {
        QWebEngineProfile* profile = WebProfiles::ForUser(QStringLiteral("memory"));
        for (int i = 0; i < 5; ++i) {
            auto view = std::make_unique<QWebEngineView>();
            view->resize(800, 600);
            view->setPage(new QWebEnginePage(profile, view.get()));
            QObject::connect(view->page(), &QWebEnginePage::loadFinished, [&] { ++loaded; });
            view->load(QUrl(sites.Url(QLatin1String(kPages[i]))));
            views.push_back(std::move(view));
        }
        benchsupport::Pump([&] { return loaded == 5; });
    } else {
        QWebEngineProfile* profile = WebProfiles::ForUser(QStringLiteral("memory"));
        for (int i = 0; i < kPanes; ++i) {
            auto view = std::make_unique<QWebEngineView>();
            view->resize(800, 600);
            view->setPage(new QWebEnginePage(profile, view.get()));
            QObject::connect(view->page(), &QWebEnginePage::loadFinished, [&] { ++loaded; });
            view->load(QUrl(QStringLiteral("about:blank")));
            views.push_back(std::move(view));
        }
        benchsupport::Pump([&] { return loaded == kPanes; });
        if (scenario == QLatin1String("blank50+5")) {
            for (int i = 0; i < 5; ++i)
                views[size_t(i)]->load(QUrl(sites.Url(QLatin1String(kPages[i]))));
            benchsupport::Pump([&] { return loaded == kPanes + 5; });
        }
    }
    const benchsupport::TreeMemory memory = benchsupport::SettleAndMeasure();
    QTextStream(stdout) << scenario << ' ' << memory.processes << ' ' << memory.ownKb << ' ' << memory.totalKb
                        << Qt::endl;
    views.clear();
    panes.clear();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    benchsupport::Application app(argc, argv);
    if (argc > 1) return RunScenario(QString::fromLocal8Bit(argv[1]));

    QTextStream out(stdout);
    out << "scenario        processes   PSS browser MB   PSS total MB" << Qt::endl;
    QMap<QString, double> totals;
    for (const QString& scenario :
         {QStringLiteral("bare5"), QStringLiteral("lazy5"), QStringLiteral("links5"),
          QStringLiteral("blank50"), QStringLiteral("blank50+5"), QStringLiteral("open50"),
          QStringLiteral("idle50")}) {
        const QStringList f = benchsupport::RunChild(scenario);
        if (f.size() < 4) {
            out << scenario << " failed" << Qt::endl;
            continue;
        }
        totals[scenario] = f[3].toDouble() / 1024.0;
        out << scenario.leftJustified(16) << f[1].rightJustified(9)
            << QString::number(f[2].toDouble() / 1024.0, 'f', 1).rightJustified(17)
            << QString::number(totals[scenario], 'f', 1).rightJustified(15) << Qt::endl;
    }
    const auto ratio = [&](const char* a, const char* b) {
        const double below = totals.value(QLatin1String(b));
        return below > 0 ? QString::number(totals.value(QLatin1String(a)) / below, 'f', 2)
                         : QStringLiteral("-");
    };
    out << "lazy5 / bare5 = " << ratio("lazy5", "bare5") << ", links5 / bare5 = " << ratio("links5", "bare5")
        << ", links5 / lazy5 = " << ratio("links5", "lazy5") << Qt::endl;
    out << "open50 / bare5 = " << ratio("open50", "bare5")
        << ", idle50 / bare5 = " << ratio("idle50", "bare5") << Qt::endl;
    // The engine's shared libraries count towards PSS in shares that change with whatever else
    // runs on the machine: the idle ratio again from pairs run back to back, and their median.
    QList<double> pairs;
    for (int round = 0; round < 5; ++round) {
        const QStringList bare = benchsupport::RunChild(QStringLiteral("bare5"));
        const QStringList idle = benchsupport::RunChild(QStringLiteral("idle50"));
        if (bare.size() >= 4 && idle.size() >= 4 && bare[3].toDouble() > 0)
            pairs << idle[3].toDouble() / bare[3].toDouble();
    }
    std::sort(pairs.begin(), pairs.end());
    QStringList shown;
    for (double r : pairs)
        shown << QString::number(r, 'f', 2);
    if (!pairs.isEmpty())
        out << "idle50 / bare5 in pairs: " << shown.join(QLatin1Char(' ')) << ", median "
            << QString::number(pairs[pairs.size() / 2], 'f', 2) << Qt::endl;
    const QStringList wake = benchsupport::RunChild(QStringLiteral("wake"));
    if (wake.size() >= 4)
        out << "wake from discard: " << wake[1] << " page load(s), " << wake[3]
            << " ms against a first load's " << wake[2] << " ms" << Qt::endl;
    else
        out << "wake failed" << Qt::endl;
    if (totals.value(QStringLiteral("blank50")) > 0)
        out << "lazy5 / blank50 = "
            << QString::number(totals[QStringLiteral("lazy5")] / totals[QStringLiteral("blank50")], 'f', 2)
            << ", lazy5 / blank50+5 = "
            << QString::number(totals[QStringLiteral("lazy5")] / totals.value(QStringLiteral("blank50+5"), 1),
                               'f', 2)
            << Qt::endl;
    return 0;
}
