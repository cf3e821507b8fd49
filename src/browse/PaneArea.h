#pragma once

#include <QWidget>
#include <vector>

class BrowserPane;
class QStackedLayout;

// The browser panes of the browse window: pane i belongs to the Link of control index i, the
// placeholder pane (control index 101) shows the "Please wait..." page. One of them is in front;
// the others stay hidden behind it at the same size.
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
    void ShowPlaceholder() { Show(kPlaceholder); }
    // The control index in front, kPlaceholder for the placeholder, -1 for none.
    int Front() const { return m_front; }
    bool IsPlaceholderShown() const { return m_front == kPlaceholder; }

private:
    QStackedLayout* m_stack = nullptr;
    std::vector<BrowserPane*> m_panes;
    BrowserPane* m_placeholder = nullptr;
    int m_front = -1;
};
