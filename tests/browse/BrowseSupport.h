#pragma once

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include "browse/BrowseWindow.h"
#include "browse/HistoryTestSupport.h"
#include "browse/LinkButtonsPanel.h"
#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Settings.h"
#include "frame/FrameStatusBar.h"
#include "frame/MainWindow.h"
#include "links/Links.h"
#include "support/FakePane.h"
#include "support/PageModelBuilder.h"
#include "support/TestSupport.h"

class Link;
struct sqlite3;

// Opens (or makes) an SQLite database, making its folder; runs a statement on one.
sqlite3* OpenDb(const QString& path);
void Exec(sqlite3* db, const QString& sql);

// The child of `in` of that type and object name; the test fails when there is none.
template <class T> T* Child(const QObject* in, const char* name) {
    T* child = in->findChild<T*>(QLatin1String(name));
    EXPECT_TRUE(child) << "no " << name;
    return child;
}

// A Link as a test stores it before the window loads (every member initialized: tests list the leading ones).
struct LinkSpec {
    QString caption;
    QString url;
    bool autoNavigate = false;
    bool reqLogin = false;
    QString userName = {};
    QString pw = {};
    int controlOrder = -1; // -1: in the order given
};

// A FakePane that also reports its navigations to the window under test.
class RecordingPane : public FakePane {
public:
    using FakePane::FakePane;
    std::function<void(RecordingPane*, const QString&)> onNavigate;
    void Navigate2(const QString& url) override {
        FakePane::Navigate2(url);
        if (onNavigate) onNavigate(this, url);
    }
};

// A real store with a user's Links, and a real frame with the user's browse window over FakePanes.
class BrowseFixture {
public:
    static constexpr const char* kUser = "alice";
    static constexpr const char* kPassPhrase = "wonderland";

    BrowseFixture(std::initializer_list<LinkSpec> links, bool newUser = false)
        : BrowseFixture(QList<LinkSpec>(links), newUser) {}
    explicit BrowseFixture(const QList<LinkSpec>& links = {}, bool newUser = false);
    ~BrowseFixture();

    // Makes the frame and loads the browse window. The timers are stopped: tests tick them.
    BrowseWindow& Load();
    MainWindow& frame() { return *m_frame; }
    FrameStatusBar& statusBar() { return *m_frame->findChild<FrameStatusBar*>(); }
    Links& links() { return m_browse->LinkList(); }
    ScriptedBoxes& boxes() { return m_boxes; }

    // Pane of control index i.
    RecordingPane& pane(int i) { return *static_cast<RecordingPane*>(m_browse->Pane(i)); }
    // The control index of the Link with this caption.
    int index(const QString& caption) { return PaneIndexOf(links(), caption); }
    Link& link(const QString& caption) { return *links().Item(index(caption) + 1); }
    // Every navigation of every pane since the window loaded, as "<control index> <url>", without
    // the blank page every pane starts with.
    QStringList navigations() const;
    void clearNavigations() { m_navigations.clear(); }
    // Captions of the Link buttons shown, top to bottom.
    QStringList buttonOrder();
    // Opens the Link with a real click on its button.
    void click(const QString& caption);

private:
    TempStore m_store;
    ScriptedBoxes m_boxes;
    std::unique_ptr<MainWindow> m_frame;
    QPointer<BrowseWindow> m_browse;
    QList<QPair<RecordingPane*, QString>> m_navigations;
};
