#include "browse/SideBar.h"

#include <QLabel>

#include "browse/LinkButtonsPanel.h"

namespace {

QWidget* Placeholder(const QString& objectName, const QString& text) {
    auto* label = new QLabel(text);
    label->setObjectName(objectName);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setMargin(16);
    label->setStyleSheet(QStringLiteral("color: palette(mid);"));
    return label;
}

} // namespace

SideBar::SideBar(QWidget* parent) : QTabWidget(parent) {
    setObjectName(QStringLiteral("tsp"));
    setDocumentMode(true);
    setUsesScrollButtons(false);
    m_links = new LinkButtonsPanel(this);
    addTab(m_links, QStringLiteral("&Links"));
    addTab(Placeholder(QStringLiteral("picFavorites"), QStringLiteral("Your favorites will be listed here.")),
           QStringLiteral("Favor&ites"));
    addTab(Placeholder(QStringLiteral("picSearch"), QStringLiteral("Web search will be offered here.")),
           QStringLiteral("&Search"));
    setTabToolTip(0, QStringLiteral("Your Links (Alt+L)"));
    setTabToolTip(1, QStringLiteral("Favorites (Alt+I)"));
    setTabToolTip(2, QStringLiteral("Search (Alt+S)"));
}

void SideBar::SetPage(int tab, QWidget* page) {
    if (tab < 1 || tab > 2 || !page) return;
    const QString text = tabText(tab);
    const QString tip = tabToolTip(tab);
    QWidget* old = widget(tab);
    removeTab(tab);
    insertTab(tab, page, text);
    setTabToolTip(tab, tip);
    delete old;
}
