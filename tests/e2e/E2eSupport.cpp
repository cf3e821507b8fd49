#include "e2e/E2eSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QWebEnginePage>

#include "browse/engine/WebEnginePane.h"
#include "support/TestSupport.h"

QString RunScript(WebEnginePane& pane, const QString& script) {
    QString result = QStringLiteral("<none>");
    pane.page()->runJavaScript(script, [&](const QVariant& v) { result = v.toString(); });
    WaitFor([&] { return result != QLatin1String("<none>"); }, 10000);
    return result;
}

EventLog::EventLog(BrowserPane* pane) {
    const auto where = [](bool top) { return top ? QStringLiteral("top ") : QStringLiteral("frame "); };
    connect(pane, &BrowserPane::BeforeNavigate2, this, [this, where](NavigateEvent& e) {
        events << QStringLiteral("BeforeNavigate2 ") + where(e.topLevel) + e.url;
        if (onBeforeNavigate) onBeforeNavigate(e);
    });
    connect(pane, &BrowserPane::DownloadBegin, this, [this] { events << QStringLiteral("DownloadBegin"); });
    connect(pane, &BrowserPane::NavigateComplete2, this, [this, where](const QString& url, bool top) {
        events << QStringLiteral("NavigateComplete2 ") + where(top) + url;
    });
    connect(pane, &BrowserPane::DownloadComplete, this,
            [this] { events << QStringLiteral("DownloadComplete"); });
    connect(pane, &BrowserPane::DocumentComplete, this, [this, where](const QString& url, bool top) {
        events << QStringLiteral("DocumentComplete ") + where(top) + url;
        if (top && onTopDocumentComplete) onTopDocumentComplete(url);
    });
    connect(pane, &BrowserPane::NavigateError, this, [this](const QString& url, bool, long code) {
        events << QStringLiteral("NavigateError %1 %2").arg(code).arg(url);
    });
    connect(pane, &BrowserPane::NewWindow2, this, [this](NewWindowEvent& e) {
        events << QStringLiteral("NewWindow2 ") +
                      (e.userInitiated ? QStringLiteral("user ") : QStringLiteral("script ")) + e.url;
        if (onNewWindow) onNewWindow(e);
    });
    connect(pane, &BrowserPane::WindowClosing, this, [this] { events << QStringLiteral("WindowClosing"); });
    connect(pane, &BrowserPane::ScriptError, this,
            [this](const QString& description, const QString&, int line) {
                events << QStringLiteral("ScriptError %1 %2").arg(line).arg(description);
            });
    connect(pane, &BrowserPane::FrameScriptError, this,
            [this](const QString& description, const QString&, int line) {
                other << QStringLiteral("FrameScriptError %1 %2").arg(line).arg(description);
            });
    connect(pane, &BrowserPane::TitleChange, this,
            [this](const QString& t) { other << QStringLiteral("TitleChange ") + t; });
    connect(pane, &BrowserPane::CommandStateChange, this, [this](int command, bool enable) {
        other << QStringLiteral("CommandStateChange %1 %2").arg(command).arg(enable);
    });
    connect(pane, &BrowserPane::SetSecureLockIcon, this,
            [this](int state) { other << QStringLiteral("SetSecureLockIcon %1").arg(state); });
}

void EventLog::Clear() {
    events.clear();
    other.clear();
}

int EventLog::Count(const QString& prefix) const {
    int n = 0;
    for (const QString& e : events)
        if (e.startsWith(prefix)) ++n;
    return n;
}

QStringList EventLog::TopLevel() const {
    QStringList out;
    for (const QString& e : events)
        if (!e.contains(QLatin1String(" frame ")) && !e.startsWith(QLatin1String("ScriptError"))) out << e;
    return out;
}

bool EventLog::WaitFor(const QString& prefix, int times, int timeoutMs) const {
    return ::WaitFor([&] { return Count(prefix) >= times; }, timeoutMs);
}

bool LoadAndWait(BrowserPane& pane, EventLog& log, const QString& url, int timeoutMs) {
    log.Clear();
    pane.Navigate2(url);
    return log.WaitFor(QStringLiteral("DocumentComplete top"), 1, timeoutMs);
}

void Pump(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
}
