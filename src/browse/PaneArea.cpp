#include "browse/PaneArea.h"

#include <QStackedLayout>

#include "browse/engine/BrowserPane.h"

PaneArea::PaneArea(QWidget* parent) : QWidget(parent), m_stack(new QStackedLayout(this)) {
    setObjectName(QStringLiteral("fraWbr"));
    m_stack->setContentsMargins(0, 0, 0, 0);
    // An empty area until the first pane comes to the front.
    auto* empty = new QWidget(this);
    empty->setObjectName(QStringLiteral("EmptyPane"));
    m_stack->addWidget(empty);
}

PaneArea::~PaneArea() = default;

void PaneArea::AddPane(int index, BrowserPane* pane) {
    if (!pane || index < 0 || index > kPlaceholder) return;
    pane->setParent(this);
    QWidget* widget = pane->widget();
    widget->setObjectName(QStringLiteral("wbr%1").arg(index));
    m_stack->addWidget(widget);
    if (index == kPlaceholder) {
        m_placeholder = pane;
        return;
    }
    if (int(m_panes.size()) <= index) m_panes.resize(size_t(index) + 1, nullptr);
    m_panes[size_t(index)] = pane;
}

void PaneArea::ReleasePane(int index) {
    BrowserPane* pane = Pane(index);
    if (!pane) return;
    m_panes[size_t(index)] = nullptr;
    if (m_front == index) {
        m_front = -1;
        m_stack->setCurrentIndex(0);
    }
    m_stack->removeWidget(pane->widget());
    delete pane;
}

BrowserPane* PaneArea::Pane(int index) const {
    if (index == kPlaceholder) return m_placeholder;
    if (index < 0 || index >= int(m_panes.size())) return nullptr;
    return m_panes[size_t(index)];
}

void PaneArea::Show(int index) {
    BrowserPane* pane = Pane(index);
    if (!pane) return;
    m_front = index;
    m_stack->setCurrentWidget(pane->widget());
}
