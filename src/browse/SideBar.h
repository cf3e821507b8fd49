#pragma once

#include <QTabWidget>

class LinkButtonsPanel;

// The sidebar: the tab strip with Links (the Link buttons), Favorites and Search.
class SideBar : public QTabWidget {
    Q_OBJECT
public:
    explicit SideBar(QWidget* parent = nullptr);
    LinkButtonsPanel* LinksPage() const { return m_links; }
    // Puts a page in place of the Favorites (1) or Search (2) placeholder.
    void SetPage(int tab, QWidget* page);

private:
    LinkButtonsPanel* m_links = nullptr;
};
