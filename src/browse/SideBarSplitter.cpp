#include "browse/SideBarSplitter.h"

#include "browse/PaneArea.h"
#include "browse/SideBar.h"
#include "core/Settings.h"
#include "core/StoredNames.h"

namespace {

QString WidthName(int tab) {
    return stored::user::kSideBarWidth.name + QString::number(tab);
}

} // namespace

SideBarSplitter::SideBarSplitter(QWidget* parent) : QSplitter(Qt::Horizontal, parent) {
    setObjectName(QStringLiteral("splSideBar"));
    setChildrenCollapsible(false);
    m_sideBar = new SideBar(this);
    m_sideBar->setMinimumWidth(kMinWidth);
    m_panes = new PaneArea(this);
    addWidget(m_sideBar);
    addWidget(m_panes);
    setStretchFactor(0, 0);
    setStretchFactor(1, 1);
    connect(m_sideBar, &QTabWidget::currentChanged, this, &SideBarSplitter::TabChanged);
    connect(this, &QSplitter::splitterMoved, this, &SideBarSplitter::Moved);
}

void SideBarSplitter::ReadWidths(const QString& user, int windowWidth) {
    const auto& stored = stored::user::kSideBarWidth;
    for (int tab = 0; tab < kTabs; ++tab)
        m_widths[tab] = qBound(
            kMinWidth, core::CInt(core::GetValue(user, WidthName(tab), stored.byDefault), stored.byDefault),
            kMaxWidth);
    setSizes({m_widths[0], qMax(400, windowWidth - m_widths[0])});
}

void SideBarSplitter::SaveWidths(const QString& user) const {
    for (int tab = 0; tab < kTabs; ++tab)
        core::SaveValue(user, WidthName(tab), QString::number(m_widths[tab]));
}

void SideBarSplitter::ShowTab(int tab) {
    if (tab < 0 || tab >= kTabs) return;
    if (!Shown()) ShowHide();
    m_sideBar->setCurrentIndex(tab);
}

void SideBarSplitter::ShowHide() {
    m_sideBar->setVisible(!m_sideBar->isVisible());
}

bool SideBarSplitter::Shown() const {
    return !m_sideBar->isHidden();
}

void SideBarSplitter::TabChanged(int tab) {
    if (tab < 0 || tab >= kTabs) return;
    const QList<int> now = sizes();
    if (now.size() == 2) setSizes({m_widths[tab], now[0] + now[1] - m_widths[tab]});
}

void SideBarSplitter::Moved() {
    const int tab = m_sideBar->currentIndex();
    if (tab >= 0 && tab < kTabs) m_widths[tab] = m_sideBar->width();
}
