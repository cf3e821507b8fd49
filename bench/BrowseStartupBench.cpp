// Start-up of the browse window with 50 Links, 5 of them marked to load at start (local test
// sites), on the real engine. Each run is a fresh process:
//   BrowseStartupBench          runs it 3 times and prints each run and the median
//   BrowseStartupBench run      one run: prints "interactive_ms loaded_ms processes pss_kb"
// interactive: from making the frame to the first turn of the event loop with the browse window
//              shown (every Link button there, the start-up navigation about to run);
// loaded:      until the 5 start-up Links have completed their pages;
// PSS:         summed over this process and the engine's processes, after 3 s of settling.
#include <algorithm>
#include <QElapsedTimer>
#include <QTextStream>
#include <QTimer>

#include "BenchSupport.h"
#include "browse/BrowseWindow.h"
#include "browse/engine/ProgramPages.h"
#include "browse/engine/WebEnginePane.h"
#include "browse/TabColour.h"
#include "core/AppState.h"
#include "core/MessageBox.h"
#include "core/SecretCipher.h"
#include "frame/MainWindow.h"
#include "links/Links.h"
#include "sites/TestSites.h"

namespace {

constexpr int kLinks = 50;
const char* const kStartPages[] = {"/login", "/plain", "/echo", "/iframes", "/generated?n=2000"};

int RunOnce() {
    sites::TestSites sites;
    benchsupport::TempStore store;
    msgbox::SetAnswerer([](const msgbox::Request&) { return msgbox::No; }); // no box may stop the run
    App().CurrentUser = QStringLiteral("bench");
    App().PassPhrase = QStringLiteral("bench pass");
    {
        Links links(App().CurrentUser);
        for (int i = 0; i < kLinks; ++i) {
            const bool start = i % 10 == 3; // 5 of them, spread over the button order
            const QString url = start ? sites.Url(QLatin1String(kStartPages[i / 10]))
                                      : sites.Url(QStringLiteral("/plain?link=%1").arg(i));
            links.Add(QStringLiteral("Link %1").arg(i + 1), SecretCipher::EncryptMessage(url), QString(),
                      QString(), QString(), QString(), start, false, -1, false);
        }
        links.SaveLinks(true);
    }

    QElapsedTimer clock;
    clock.start();
    auto frame = std::make_unique<MainWindow>();
    frame->SetUserCaption();
    frame->show();
    const QString user = App().CurrentUser;
    BrowseWindow* browse =
        frame->LoadBrowseWindow([user](QWidget* parent) { return new WebEnginePane(user, parent); });
    qint64 interactive = -1;
    QTimer::singleShot(0, [&] { interactive = clock.elapsed(); });
    benchsupport::Pump([&] { return interactive >= 0; });
    int startLinks = 0;
    const auto allLoaded = [&] {
        startLinks = 0;
        int done = 0;
        for (Link* l : browse->LinkList()) {
            if (!l->AutoNavigate()) continue;
            ++startLinks;
            if (browse->TabColour(l->Index() - 1) == TabColour::Yellow) ++done;
        }
        return done == startLinks;
    };
    benchsupport::Pump(allLoaded, 60000);
    const qint64 loaded = clock.elapsed();
    const benchsupport::TreeMemory memory = benchsupport::SettleAndMeasure();
    QTextStream(stdout) << interactive << ' ' << loaded << ' ' << memory.processes << ' ' << memory.totalKb
                        << Qt::endl;
    App().Unloading = true;
    frame.reset();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    benchsupport::Application app(argc, argv, benchsupport::Application::Pages::Program);
    QApplication::setApplicationName(QStringLiteral("Bramblegate"));
    if (argc > 1) return RunOnce();

    QTextStream out(stdout);
    out << "run   interactive ms   5 loaded ms   processes   PSS total MB" << Qt::endl;
    QList<double> interactive, loaded, pss;
    for (int run = 1; run <= 3; ++run) {
        const QStringList f = benchsupport::RunChild(QStringLiteral("run"));
        if (f.size() < 4) {
            out << run << " failed" << Qt::endl;
            continue;
        }
        interactive << f[0].toDouble();
        loaded << f[1].toDouble();
        pss << f[3].toDouble() / 1024.0;
        out << QString::number(run).leftJustified(6) << f[0].rightJustified(14) << f[1].rightJustified(14)
            << f[2].rightJustified(12) << QString::number(pss.last(), 'f', 1).rightJustified(15) << Qt::endl;
    }
    const auto median = [](QList<double> v) {
        std::sort(v.begin(), v.end());
        return v.isEmpty() ? 0.0 : v[v.size() / 2];
    };
    out << "median" << QString::number(median(interactive), 'f', 0).rightJustified(14)
        << QString::number(median(loaded), 'f', 0).rightJustified(14) << QString().rightJustified(12)
        << QString::number(median(pss), 'f', 1).rightJustified(15) << Qt::endl;
    return 0;
}
