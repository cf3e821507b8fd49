#include "e2e/E2eSupport.h"

#include <algorithm>
#include <optional>
#include <QTest>
#include <QWebEnginePage>

#include "browse/BrowseWindow.h"
#include "browse/engine/WebEnginePane.h"
#include "browse/LinkButtonsPanel.h"
#include "browse/OfflineState.h"
#include "core/AppState.h"
#include "core/SecretCipher.h"
#include "frame/MainWindow.h"
#include "links/Links.h"
#include "sites/TestSites.h"

QString RunScript(WebEnginePane& pane, const QString& script) {
    std::optional<QString> result;
    pane.Page()->runJavaScript(script, [&](const QVariant& v) { result = v.toString(); });
    WaitFor([&] { return result.has_value(); }, 10000);
    return result.value_or("<none>");
}

EventLog::EventLog(BrowserPane* pane) {
    const auto where = [](bool top) { return top ? QStringLiteral("top ") : QStringLiteral("frame "); };
    connect(pane, &BrowserPane::BeforeNavigate2, this, [this, where](NavigateEvent& e) {
        events << "BeforeNavigate2 " + where(e.topLevel) + e.url;
        if (onBeforeNavigate) onBeforeNavigate(e);
    });
    connect(pane, &BrowserPane::DownloadBegin, this, [this] { events << "DownloadBegin"; });
    connect(pane, &BrowserPane::NavigateComplete2, this, [this, where](const QString& url, bool top) {
        events << "NavigateComplete2 " + where(top) + url;
    });
    connect(pane, &BrowserPane::DownloadComplete, this, [this] { events << "DownloadComplete"; });
    connect(pane, &BrowserPane::DocumentComplete, this, [this, where](const QString& url, bool top) {
        events << "DocumentComplete " + where(top) + url;
        if (top && onTopDocumentComplete) onTopDocumentComplete(url);
    });
    connect(pane, &BrowserPane::NavigateError, this, [this](const QString& url, bool, long code) {
        events << QStringLiteral("NavigateError %1 %2").arg(code).arg(url);
    });
    connect(pane, &BrowserPane::ScriptError, this,
            [this](const QString& description, const QString&, int line) {
                events << QStringLiteral("ScriptError %1 %2").arg(line).arg(description);
            });
    connect(pane, &BrowserPane::FrameScriptError, this,
            [this](const QString& description, const QString&, int line) {
                other << QStringLiteral("FrameScriptError %1 %2").arg(line).arg(description);
            });
    connect(pane, &BrowserPane::TitleChange, this, [this](const QString& t) { other << "TitleChange " + t; });
    connect(pane, &BrowserPane::SetSecureLockIcon, this,
            [this](int state) { other << QStringLiteral("SetSecureLockIcon %1").arg(state); });
}

void EventLog::Clear() {
    events.clear();
    other.clear();
}

int EventLog::Count(const QString& prefix) const {
    return int(
        std::count_if(events.begin(), events.end(), [&](const QString& e) { return e.startsWith(prefix); }));
}

QStringList EventLog::TopLevel() const {
    QStringList out = events;
    out.removeIf([](const QString& e) { return e.contains(" frame ") || e.startsWith("ScriptError"); });
    return out;
}

bool EventLog::WaitFor(const QString& prefix, int times, int timeoutMs) const {
    return ::WaitFor([&] { return Count(prefix) >= times; }, timeoutMs);
}

QStringList LoadEvents(const QString& url, const QString& at, long code) {
    const QString end = at.isEmpty() ? url : at;
    QStringList out{"BeforeNavigate2 top " + url, "DownloadBegin", "NavigateComplete2 top " + end,
                    "DownloadComplete", "DocumentComplete top " + end};
    if (code) out.insert(code < 0 ? 2 : 3, QStringLiteral("NavigateError %1 ").arg(code) + end);
    return out;
}

bool LoadAndWait(BrowserPane& pane, EventLog& log, const QString& url, int timeoutMs) {
    log.Clear();
    pane.Navigate2(url);
    return log.WaitFor("DocumentComplete top", 1, timeoutMs);
}

void StoreLinks(const QList<E2eLink>& links) {
    Links stored(App().CurrentUser);
    const auto enc = [](const QString& text) {
        return text.isEmpty() ? text : SecretCipher::EncryptMessage(text);
    };
    for (const E2eLink& l : links) {
        const QString url = l.url.startsWith('/') ? sites::SharedSites().Url(l.url) : l.url;
        stored
            .Add(l.caption, enc(url), enc(l.user), enc(l.password), l.option, l.postLogin, l.loadAtStart,
                 !l.password.isEmpty())
            ->SetAlsoAllowedSite(l.alsoAllowedSite);
    }
    stored.SaveLinks(false);
}

E2eWindow::E2eWindow() {
    OfflineState::SetConnectionProbe([] { return true; });
    const QString user = App().CurrentUser;
    const auto make = [user](QWidget* parent) { return new WebEnginePane(user, parent); };
    frame = std::make_unique<MainWindow>(make);
    frame->SetUserCaption();
    frame->resize(1100, 800);
    frame->show();
    browse = frame->LoadBrowseWindow(make);
    browse->findChild<QTimer*>("loadFavoritesTimer")->stop();
}

E2eWindow::~E2eWindow() {
    frame->close();
    frame.reset();
    App().Unloading = false;
    OfflineState::SetConnectionProbe({});
}

int E2eWindow::index(const QString& caption) const {
    return PaneIndexOf(browse->LinkList(), caption);
}

Link& E2eWindow::link(const QString& caption) const {
    return *browse->LinkList().Item(index(caption) + 1);
}

WebEnginePane& E2eWindow::pane(const QString& caption) const {
    return *static_cast<WebEnginePane*>(browse->Pane(index(caption)));
}

void E2eWindow::Click(const QString& caption) const {
    QTest::mouseClick(browse->Buttons().LinkButtonAt(index(caption)), Qt::LeftButton);
}
