// The form filler: ParsePage over the model of the large generated page (no engine); on the
// real engine the time from a login page's DocumentComplete to its form's submission on a bare
// pane; and the same through the whole browse window (a Link opened from its button, the login
// decision, the filler, the actions applied by the pane) from the login page's load to the POST.
//   FormFillerBench [--benchmark_filter=...]
#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>
#include <QElapsedTimer>
#include <QWidget>
#include <vector>

#include "BenchSupport.h"
#include "browse/BrowseWindow.h"
#include "support/PageModelBuilder.h"
#include "browse/engine/ProgramPages.h"
#include "browse/engine/WebEnginePane.h"
#include "browse/FormFiller.h"
#include "browse/NavigationDriver.h"
#include "browse/OfflineState.h"
#include "core/AppState.h"
#include "core/MessageBox.h"
#include "core/SecretCipher.h"
#include "frame/MainWindow.h"
#include "links/Link.h"
#include "links/Links.h"
#include "sites/TestSites.h"

namespace {

class BenchHost : public FormFillerHost {
public:
    BrowserPane* pane = nullptr;
    int count = 0;
    bool NavigateStopped() const override { return false; }
    void NavigatePane(int, const QString& url) override {
        if (pane) pane->Navigate2(url);
    }
    QString SSN() const override { return {}; }
    int SignInParseCount() const override { return count; }
    void SetSignInParseCount(int c) override { count = c; }
    void RememberActiveControl() override {}
    void RestoreActiveControl() override {}
};

std::unique_ptr<Link> MakeLink(const QString& url) {
    App().PassPhrase = QStringLiteral("bench-pass");
    auto link = std::make_unique<Link>();
    link->SetIndex(1);
    link->SetURL(SecretCipher::EncryptMessage(url));
    link->SetUserName(SecretCipher::EncryptMessage(QString::fromLatin1(sites::TestSites::kUser)));
    link->SetPassword(SecretCipher::EncryptMessage(QString::fromLatin1(sites::TestSites::kPassword)));
    link->SetReqLogin(true);
    return link;
}

// The model of TestSites::GeneratedPage(elements): forms of 40 rows, each row a link, a text
// field and a one-option list (in a div, which is not in the model); optionally a login form
// at the end.
std::shared_ptr<PageModel> GeneratedModel(int elements, bool loginAtEnd) {
    PageModelBuilder page(QStringLiteral("http://127.0.0.1/generated"));
    int count = 0;
    int row = 0;
    while (count + 6 + 5 <= elements) {
        page.Form(QStringLiteral("g%1").arg(row / 40));
        ++count;
        for (int i = 0; i < 40 && count + 5 <= elements; ++i, ++row) {
            page.Anchor(QStringLiteral("http://127.0.0.1/g/%1").arg(row), QStringLiteral("Item %1").arg(row));
            page.Input(QStringLiteral("text"), QStringLiteral("f%1").arg(row),
                       QStringLiteral("v%1").arg(row));
            page.Select(QStringLiteral("s%1").arg(row), {QStringLiteral("One %1").arg(row)}, 0);
            count += 5;
        }
        page.EndForm();
    }
    if (loginAtEnd) {
        page.Form(QStringLiteral("login"));
        page.Input(QStringLiteral("text"), QStringLiteral("user"));
        page.Input(QStringLiteral("password"), QStringLiteral("pass"));
        page.Input(QStringLiteral("submit")).Value(QStringLiteral("Sign In"));
        page.EndForm();
    }
    return page.BuildModel();
}

// A page without a login form is the longest parse: every form is scanned, every first text
// field written, and the user name taken back at the end.
void BM_ParsePage_Generated(benchmark::State& state) {
    const bool login = state.range(1) != 0;
    static std::shared_ptr<PageModel> models[2];
    std::shared_ptr<PageModel>& model = models[login ? 1 : 0];
    if (!model) model = GeneratedModel(int(state.range(0)), login);
    BenchHost host;
    FormFiller filler(host);
    std::unique_ptr<Link> link = MakeLink(QStringLiteral("http://127.0.0.1/generated"));
    bool result = false;
    for (auto _ : state) {
        link->SetPasswordSent(false);
        result = filler.ParsePage(model->document(), 0, *link);
        benchmark::DoNotOptimize(result);
        state.PauseTiming();
        state.counters["actions"] = double(model->TakeActions().size());
        state.ResumeTiming();
    }
    state.counters["submitted"] = result ? 1 : 0;
    state.counters["model_elements"] = model->elementCount();
    state.counters["forms"] = double(model->document()->forms().size());
}
BENCHMARK(BM_ParsePage_Generated)
    ->Args({65000, 0})
    ->Args({65000, 1})
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);

sites::TestSites& Sites() {
    static sites::TestSites sites;
    return sites;
}

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t at = std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5));
    return values[at];
}

// DocumentComplete of the login page -> ParsePage -> the actions reach the page -> the form's
// POST is announced (BeforeNavigate2). One iteration is one login.
void BM_DocumentCompleteToSubmit(benchmark::State& state) {
    static std::unique_ptr<WebEnginePane> pane;
    if (!pane) {
        pane = std::make_unique<WebEnginePane>(QStringLiteral("bench"));
        pane->Widget()->resize(800, 600);
    }
    const QString loginUrl = Sites().Url(QStringLiteral("/login"));
    BenchHost host;
    host.pane = pane.get();
    FormFiller filler(host);
    std::unique_ptr<Link> link = MakeLink(loginUrl);
    QElapsedTimer clock;
    double parseMs = 0;
    bool parsed = false, submitted = false, welcome = false;
    const auto onComplete =
        QObject::connect(pane.get(), &BrowserPane::DocumentComplete, [&](const QString& url, bool top) {
            if (!top) return;
            if (url == loginUrl && !link->PasswordSent()) {
                clock.start();
                filler.ParsePage(pane->Document().get(), 0, *link);
                parseMs = double(clock.nsecsElapsed()) / 1e6;
                parsed = true;
            } else if (url.endsWith(QLatin1String("/welcome"))) {
                welcome = true;
            }
        });
    double submitMs = 0;
    const auto onNavigate =
        QObject::connect(pane.get(), &BrowserPane::BeforeNavigate2, [&](NavigateEvent& e) {
            if (parsed && !submitted && e.topLevel && e.url == loginUrl) {
                submitMs = double(clock.nsecsElapsed()) / 1e6;
                submitted = true;
            }
        });
    std::vector<double> total, parse;
    const int acceptedBefore = int(Sites().AcceptedLogins().size());
    for (auto _ : state) {
        link->SetPasswordSent(false);
        parsed = submitted = welcome = false;
        pane->Navigate2(loginUrl);
        if (!benchsupport::Pump([&] { return submitted && welcome; }, 30000)) {
            state.SkipWithError("no submission");
            break;
        }
        total.push_back(submitMs);
        parse.push_back(parseMs);
        state.SetIterationTime(submitMs / 1000.0);
    }
    QObject::disconnect(onComplete);
    QObject::disconnect(onNavigate);
    state.counters["p50_ms"] = Percentile(total, 0.50);
    state.counters["p95_ms"] = Percentile(total, 0.95);
    state.counters["parse_p50_ms"] = Percentile(parse, 0.50);
    state.counters["parse_p95_ms"] = Percentile(parse, 0.95);
    state.counters["accepted"] = double(Sites().AcceptedLogins().size() - acceptedBefore);
    pane.reset(); // before the application ends
}
BENCHMARK(BM_DocumentCompleteToSubmit)->Iterations(50)->UseManualTime()->Unit(benchmark::kMillisecond);

// The whole browse window: the Link's button opens the login page; from its load (the engine's
// DownloadComplete) through the snapshot, DocumentComplete, the login decision, ParsePage and
// the pane applying the actions, to the form's POST being announced (BeforeNavigate2). Also from
// DocumentComplete to the POST. One iteration is one login; the next starts once the welcome
// page has loaded and the Link is logged in.
void BM_BrowseWindowLoadToSubmit(benchmark::State& state) {
    benchsupport::TempStore store;
    msgbox::SetAnswerer([](const msgbox::Request&) { return msgbox::No; });
    OfflineState::SetConnectionProbe([] { return true; });
    App().CurrentUser = QStringLiteral("bench-window");
    App().PassPhrase = QStringLiteral("bench pass");
    const QString loginUrl = Sites().Url(QStringLiteral("/login"));
    {
        Links links(App().CurrentUser);
        links.Add(QStringLiteral("Bank"), SecretCipher::EncryptMessage(loginUrl),
                  SecretCipher::EncryptMessage(QString::fromLatin1(sites::TestSites::kUser)),
                  SecretCipher::EncryptMessage(QString::fromLatin1(sites::TestSites::kPassword)), QString(),
                  QString(), false, true, -1, false);
    }

    QElapsedTimer clock;
    bool loaded = false, completed = false, submitted = false, welcome = false;
    double loadedAt = 0, completedAt = 0, submittedAt = 0;
    const auto now = [&] { return double(clock.nsecsElapsed()) / 1e6; };
    auto frame = std::make_unique<MainWindow>();
    frame->show();
    const QString user = App().CurrentUser;
    // The timing connections are made before the window's own, so they see each event first.
    BrowseWindow* browse = frame->LoadBrowseWindow([&](QWidget* parent) {
        auto* pane = new WebEnginePane(user, parent);
        QObject::connect(pane, &BrowserPane::DownloadComplete, [&, pane] {
            if (!loaded && pane->LocationURL() == loginUrl) {
                loaded = true;
                loadedAt = now();
            }
        });
        QObject::connect(pane, &BrowserPane::DocumentComplete, [&](const QString& url, bool top) {
            if (loaded && !completed && top && url == loginUrl) {
                completed = true;
                completedAt = now();
            } else if (submitted && top && url.endsWith(QLatin1String("/welcome"))) {
                welcome = true;
            }
        });
        QObject::connect(pane, &BrowserPane::BeforeNavigate2, [&](NavigateEvent& e) {
            if (completed && !submitted && e.topLevel && e.url == loginUrl) {
                submitted = true;
                submittedAt = now();
            }
        });
        return pane;
    });
    browse->findChild<QTimer*>(QStringLiteral("loadFavoritesTimer"))->stop();
    Link* link = browse->LinkList().Item(1);
    std::vector<double> total, fromComplete;
    const int acceptedBefore = int(Sites().AcceptedLogins().size());
    for (auto _ : state) {
        loaded = completed = submitted = welcome = false;
        clock.start();
        browse->Navigation().OpenLink(0);
        if (!benchsupport::Pump([&] { return welcome && link->LoggedIn() && !link->LoginAssumed(); },
                                30000)) {
            state.SkipWithError("no login");
            break;
        }
        total.push_back(submittedAt - loadedAt);
        fromComplete.push_back(submittedAt - completedAt);
        state.SetIterationTime((submittedAt - loadedAt) / 1000.0);
    }
    state.counters["p50_ms"] = Percentile(total, 0.50);
    state.counters["p95_ms"] = Percentile(total, 0.95);
    state.counters["doccomplete_p50_ms"] = Percentile(fromComplete, 0.50);
    state.counters["doccomplete_p95_ms"] = Percentile(fromComplete, 0.95);
    state.counters["accepted"] = double(Sites().AcceptedLogins().size() - acceptedBefore);
    App().Unloading = true;
    frame.reset();
    App().Unloading = false;
    OfflineState::SetConnectionProbe({});
    msgbox::SetAnswerer({});
}
BENCHMARK(BM_BrowseWindowLoadToSubmit)->Iterations(50)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchsupport::Application app(argc, argv, benchsupport::Application::Pages::Program);
    return benchsupport::RunBenchmarks(argc, argv);
}
