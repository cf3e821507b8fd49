#include "browse/PaneArea.h"

#include <QStackedLayout>

#include "browse/engine/BrowserPane.h"

PaneArea::PaneArea(QWidget* parent) : QWidget(parent), m_stack(new QStackedLayout(this)) {
    setObjectName(QStringLiteral("fraWbr"));
    m_stack->setContentsMargins(0, 0, 0, 0);
    // Which panes are drawn is Arrange's choice; the layout only keeps them at one size.
    m_stack->setStackingMode(QStackedLayout::StackAll);
    // An empty area until the first pane comes to the front.
    auto* empty = new QWidget(this);
    empty->setObjectName(QStringLiteral("EmptyPane"));
    m_stack->addWidget(empty);
}

PaneArea::~PaneArea() = default;

void PaneArea::AddPane(int index, BrowserPane* pane) {
    if (!pane || index < 0 || index > kPlaceholder) return;
    pane->setParent(this);
    QWidget* widget = pane->Widget();
    widget->setObjectName(QStringLiteral("wbr%1").arg(index));
    m_stack->addWidget(widget);
    if (index == kPlaceholder) {
        m_placeholder = pane;
    } else {
        if (int(m_panes.size()) <= index) m_panes.resize(size_t(index) + 1, nullptr);
        m_panes[size_t(index)] = pane;
    }
    Arrange();
}

void PaneArea::ReleasePane(int index) {
    BrowserPane* pane = Pane(index);
    if (!pane) return;
    m_panes[size_t(index)] = nullptr;
    if (size_t(index) < m_working.size()) m_working[size_t(index)] = false;
    if (m_front == index) {
        m_front = -1;
        m_stack->setCurrentIndex(0);
    }
    m_stack->removeWidget(pane->Widget());
    delete pane;
    Arrange();
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
    m_stack->setCurrentWidget(pane->Widget());
    Arrange();
}

void PaneArea::SetWorking(int index, bool working) {
    if (index < 0 || index >= kPlaceholder || IsWorking(index) == working) return;
    if (m_working.size() <= size_t(index)) m_working.resize(size_t(index) + 1, false);
    m_working[size_t(index)] = working;
    Arrange();
}

bool PaneArea::IsWorking(int index) const {
    return index >= 0 && size_t(index) < m_working.size() && m_working[size_t(index)];
}

void PaneArea::Arrange() {
    QWidget* front = m_stack->currentWidget();
    for (int k = 0; k < m_stack->count(); ++k) {
        QWidget* widget = m_stack->widget(k);
        bool shown = widget == front;
        for (size_t i = 0; !shown && i < m_panes.size(); ++i)
            shown = m_panes[i] && m_panes[i]->Widget() == widget && IsWorking(int(i));
        if (widget->isHidden() == shown) widget->setVisible(shown);
    }
    if (front) front->raise();
}
