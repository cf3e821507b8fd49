#pragma once

#include <functional>
#include <QWidget>
#include <vector>

class BrowserPane;
class QStackedLayout;

// Makes the browser pane of a Link (WebEnginePane in the program, FakePane in tests).
using PaneFactory = std::function<BrowserPane*(QWidget* parent)>;

// The browser panes of the browse window: pane i belongs to the Link of control index i, the
// placeholder pane (control index 101) shows the "Please wait..." page. One of them is in front;
// the others stay hidden behind it at the same size, except working panes: a pane whose Link
// logs in is drawn behind the front one, so that its page runs as a page on screen does (an
// engine slows the timers of hidden pages to a crawl and draws no animation frames for them).
class PaneArea : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPlaceholder = 101;

    explicit PaneArea(QWidget* parent = nullptr);
    ~PaneArea() override;

    // Takes the pane (its QObject parent becomes this area) and puts its widget behind the others.
    void AddPane(int index, BrowserPane* pane);
    // Deletes pane `index` (never the placeholder).
    void ReleasePane(int index);
    BrowserPane* Pane(int index) const;
    BrowserPane* Placeholder() const { return m_placeholder; }

    void Show(int index);
    // A pane that works behind the front one (its Link logs in), or no longer.
    void SetWorking(int index, bool working);
    bool IsWorking(int index) const;
    void ShowPlaceholder() { Show(kPlaceholder); }
    // The control index in front, kPlaceholder for the placeholder, -1 for none.
    int Front() const { return m_front; }
    bool IsPlaceholderShown() const { return m_front == kPlaceholder; }

private:
    // Shows the front pane and the working ones, hides the rest, the front one on top.
    void Arrange();

    QStackedLayout* m_stack = nullptr;
    std::vector<bool> m_working;
    std::vector<BrowserPane*> m_panes;
    BrowserPane* m_placeholder = nullptr;
    int m_front = -1;
};
