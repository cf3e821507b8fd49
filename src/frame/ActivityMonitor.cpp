#include "frame/ActivityMonitor.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>

#include "browse/ChildWindow.h"
#include "core/AppState.h"
#include "core/Clock.h"

ActivityMonitor::ActivityMonitor(QMdiArea* area, QObject* parent) : QObject(parent), m_area(area) {}

ActivityMonitor::~ActivityMonitor() {
    Remove();
}

void ActivityMonitor::Install() {
    if (m_installed || !qApp) return;
    qApp->installEventFilter(this);
    m_installed = true;
}

void ActivityMonitor::Remove() {
    if (!m_installed) return;
    if (qApp) qApp->removeEventFilter(this);
    m_installed = false;
}

quintptr ActivityMonitor::ChildWindowOf(QWidget* widget) const {
    if (!m_area) return 0;
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        auto* sub = qobject_cast<QMdiSubWindow*>(w);
        if (!sub) continue;
        if (sub->mdiArea() != m_area) return 0;
        auto* child = dynamic_cast<ChildWindow*>(sub->widget());
        return child ? child->WindowHandle() : 0;
    }
    return 0;
}

bool ActivityMonitor::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton && mouse->button() != Qt::RightButton) break;
        // A press reaches the window first, then the widget under it, then copies of it (same
        // time, same place) the widget's parents while they pass it on: the first widget decides
        // where the user acted.
        const Press press{mouse->timestamp(), mouse->globalPosition(), mouse->button()};
        if (watched->isWidgetType() && !(m_hasPress && press == m_press)) {
            App().LastClickedWindow = ChildWindowOf(static_cast<QWidget*>(watched));
            m_press = press;
            m_hasPress = true;
        }
        m_lastInputWasMouse = true;
        if (!App().Locked) m_lastActivity = Clock::Now();
        break;
    }
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride: // a key that a shortcut takes never arrives as a KeyPress
        m_lastInputWasMouse = false;
        if (!App().Locked) m_lastActivity = Clock::Now();
        break;
    default:
        break;
    }
    return false;
}
