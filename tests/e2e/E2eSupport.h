#pragma once

#include <functional>
#include <memory>
#include <QObject>
#include <QStringList>
#include <QTest> // QTest::qWait lets the engine work for a while

#include "browse/engine/BrowserPane.h"
#include "support/TestSupport.h"

class BrowseWindow;
class Link;
class MainWindow;
class WebEnginePane;

// Records a pane's load and script-error events as text ("BeforeNavigate2 top|frame <url>",
// "NavigateError <code> <url>", "ScriptError <line> <description>", ...), in order; title, lock
// and frame script-error events go to `other`. Handlers act inside an event, as the program's do.
class EventLog : public QObject {
public:
    explicit EventLog(BrowserPane* pane);

    QStringList events;
    QStringList other;
    std::function<void(NavigateEvent&)> onBeforeNavigate;
    std::function<void(const QString& url)> onTopDocumentComplete;

    void Clear();
    int Count(const QString& prefix) const;
    QStringList TopLevel() const; // without frames and script errors
    bool WaitFor(const QString& prefix, int times = 1, int timeoutMs = 15000) const;
};

// The top-level events of a whole load of `url` ending at `at` (default: url), with an
// "NavigateError <code>" where the engine reports it: before the commit for a failed
// connection (code < 0), after it for an error status.
QStringList LoadEvents(const QString& url, const QString& at = {}, long code = 0);

// Clears the log, navigates and waits for the top-level DocumentComplete.
bool LoadAndWait(BrowserPane& pane, EventLog& log, const QString& url, int timeoutMs = 15000);
// Runs a script in the page's own world and waits for its result, as text.
QString RunScript(WebEnginePane& pane, const QString& script);

// A Link for the current user: the address, user name and password are stored encrypted; an
// address starting with "/" is one of the shared test sites.
struct E2eLink {
    QString caption, url, user{}, password{}, option{}, postLogin{};
    bool loadAtStart = false;
    QString alsoAllowedSite{};
};
void StoreLinks(const QList<E2eLink>& links);

// The program's frame and browse window on the real engine over the current user's Links, the
// start-up timer stopped (tests run it). Connections are taken as up.
class E2eWindow {
public:
    E2eWindow();
    ~E2eWindow();

    int index(const QString& caption) const;
    Link& link(const QString& caption) const;
    WebEnginePane& pane(const QString& caption) const;
    void Click(const QString& caption) const;

    std::unique_ptr<MainWindow> frame;
    BrowseWindow* browse = nullptr;
};
