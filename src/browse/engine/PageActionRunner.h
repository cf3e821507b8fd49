#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <QList>
#include <QString>
#include <QVariant>

#include "browse/engine/BrowserPane.h"

// Applies the actions written into a page snapshot (PageModel) to the page, one run after the
// other. A run goes to the page in batches through the actions script; a navigation in it ends
// it (what follows was meant for the page being left); a run for a snapshot the page has left
// fails. Its done(ok) is false when an element of the run had gone from the page.
class PageActionRunner {
public:
    struct Run {
        std::weak_ptr<PageModel> model;
        int generation = 0;
        QList<PageAction> actions;
        BrowserPane::Done done;
        bool elementGone = false;
    };
    // What the runner asks of its pane.
    struct Pane {
        // The page is there and still shows the snapshot of this generation.
        std::function<bool(int generation)> shows;
        std::function<void(const QString& url)> navigate;
        // Runs the actions script with these arguments in the page; done(result) unless the
        // pane went meanwhile.
        std::function<void(const QString& arguments, std::function<void(const QVariant&)> done)> runActions;
    };

    explicit PageActionRunner(Pane pane) : m_pane(std::move(pane)) {}

    void Enqueue(Run run);
    // Answers the run in the page and every waiting one with failure (the page's process went).
    void FailAll();

private:
    void RunNext();
    void ApplyFrom(std::shared_ptr<Run> run, int index);

    Pane m_pane;
    std::deque<Run> m_queue;
    bool m_applying = false;
    std::shared_ptr<Run> m_current; // the run whose script the page is running
};
