#pragma once

#include <functional>
#include <memory>
#include <QHash>
#include <QPointer>
#include <QStringList>
#include <QVariant>

#include "browse/engine/BrowserPane.h"
#include "browse/engine/PageModel.h"

class PageActionRunner;
class QWebEnginePage;

// The program's side of the document in a pane's engine page: the snapshot of it (PageModel)
// that Document() hands out, taken afresh through the page's snapshot function, and the actions
// written into that snapshot, applied to the page in order (PageActionRunner). Its generation
// changes with every snapshot and, from the pane, with every navigation: a snapshot or a run of
// an older generation is no longer the page.
class PaneDocument {
public:
    // Timings of the last snapshot, for benchmarks: time in the page script, the whole round
    // trip (script, transfer of the result, event delivery) and the C++ model build.
    struct SnapshotStats {
        double scriptMs = 0;
        double roundTripMs = 0;
        double buildMs = 0;
        qint64 bytes = 0;
        int elements = 0;
    };
    // What the document asks of its pane: the engine page (null while there is none) and a
    // navigation of it.
    struct Pane {
        std::function<QWebEnginePage*()> page;
        std::function<void(const QString& url)> navigate;
    };

    // Answers go nowhere once `owner` (the pane) has gone.
    PaneDocument(QObject& owner, Pane pane);
    ~PaneDocument();

    int Generation() const { return m_generation; }
    // A navigation started: the snapshot and the runs of before are no longer the page.
    int NextGeneration() { return ++m_generation; }

    const std::shared_ptr<PageModel>& Model() const { return m_model; }
    DocumentPtr Document() const;
    void Adopt(std::shared_ptr<PageModel> model);
    // An empty document at `url` of the current generation.
    void Clear(const QString& url) { Adopt(PageModel::Empty(url, m_generation)); }

    // A new snapshot of the page with these texts looked up in it; done(null) when there is no
    // page, the answer is not one, or the page navigated meanwhile.
    void TakeSnapshot(const QStringList& texts, std::function<void(std::shared_ptr<PageModel>)> done);
    const SnapshotStats& LastSnapshotStats() const { return m_stats; }
    // Applies the actions written into `document` (refused unless it is the current snapshot).
    void ApplyActions(const DocumentPtr& document, BrowserPane::Done done);
    // Answers every snapshot and run still waiting on the page with failure (the page's process
    // went): the current snapshot is no page any more.
    void FailPending();

    // Runs a page function of the program's world (defined in every new document) with these
    // arguments; done(result).
    void RunTool(const char* tool, const QString& function, const QString& arguments,
                 std::function<void(const QVariant&)> done);

private:
    QPointer<QObject> m_owner;
    Pane m_pane;
    int m_generation = 0;
    std::shared_ptr<PageModel> m_model;
    std::unique_ptr<PageActionRunner> m_actions;
    SnapshotStats m_stats;
    // Snapshots asked of the page whose answer has not come yet, by generation: each fails its
    // asker when called.
    QHash<int, std::function<void()>> m_pendingSnapshots;
};
