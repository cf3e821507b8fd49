#pragma once

#include <QSplitter>

class PaneArea;
class SideBar;

// The split between the sidebar and the pane area of the browse window. The sidebar keeps a width
// of its own for each tab (Links, Favorites, Search): switching tabs brings that tab's width back,
// dragging the split changes it. The widths are the user's "PicWidth0".."PicWidth2".
class SideBarSplitter : public QSplitter {
    Q_OBJECT
public:
    explicit SideBarSplitter(QWidget* parent = nullptr);

    SideBar& Bar() const { return *m_sideBar; }
    PaneArea& Panes() const { return *m_panes; }

    // Reads the user's widths (150 to 600 pixels) and sizes the split for a window this wide.
    void ReadWidths(const QString& user, int windowWidth);
    // Writes them back (inside the caller's store transaction).
    void SaveWidths(const QString& user) const;
    // 0 Links, 1 Favorites, 2 Search; shows the sidebar first when it is hidden.
    void ShowTab(int tab);
    void ShowHide();
    bool Shown() const;

private:
    static constexpr int kTabs = 3;
    // A stored width outside these is someone else's writing or an old screen's.
    static constexpr int kMinWidth = 150, kMaxWidth = 600;

    void TabChanged(int tab);
    void Moved();

    SideBar* m_sideBar = nullptr;
    PaneArea* m_panes = nullptr;
    int m_widths[kTabs] = {230, 230, 230};
};
