#include "frame/ActivityFilter.h"

#include <QCoreApplication>
#include <QMouseEvent>

#include "core/AppState.h"
#include "core/Clock.h"

ActivityFilter::ActivityFilter(QObject* parent) : QObject(parent), m_lastActivity(Clock::Now()) {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        app->installEventFilter(this);
        m_installed = true;
    }
}

ActivityFilter::~ActivityFilter() {
    Remove();
}

void ActivityFilter::Remove() {
    if (!m_installed) return;
    m_installed = false;
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
}

bool ActivityFilter::eventFilter(QObject* watched, QEvent* event) {
    bool active = false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
        active = button == Qt::LeftButton || button == Qt::RightButton;
        break;
    }
    // A key that triggers a shortcut arrives only as its override request.
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
        active = true;
        break;
    default:
        break;
    }
    if (active && !App().Locked) m_lastActivity = Clock::Now();
    return QObject::eventFilter(watched, event);
}
