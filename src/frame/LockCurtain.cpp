#include "frame/LockCurtain.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include "users/PasswordPrompt.h"

LockCurtain::LockCurtain(QWidget& frame, QWidget& lockPage) : m_frame(frame), m_lockPage(lockPage) {}

LockCurtain::~LockCurtain() {
    if (m_closed) qApp->removeEventFilter(this);
}

void LockCurtain::Close() {
    if (m_closed) return;
    m_closed = true;
    m_promptAllowed = false;
    qApp->installEventFilter(this);
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != &m_frame && window->isVisible()) Dismiss(window);
}

void LockCurtain::Open() {
    if (!m_closed) return;
    m_closed = false;
    m_promptAllowed = false;
    qApp->removeEventFilter(this);
    for (const QPointer<QWidget>& window : std::as_const(m_hidden))
        if (window) window->show();
    m_hidden.clear();
}

void LockCurtain::Dismiss(QWidget* window) {
    if (auto* dialog = qobject_cast<QDialog*>(window)) {
        // Cancelled: its caller goes on as after Cancel, and nothing typed in it is kept.
        dialog->reject();
        if (dialog->isVisible()) dialog->hide();
    } else if (window->windowType() == Qt::Popup || window->windowType() == Qt::ToolTip ||
               qobject_cast<QMenu*>(window)) {
        window->hide(); // menus and lists of matches are the user's to open again
    } else {
        window->hide();
        if (!m_hidden.contains(window)) m_hidden.append(window);
    }
}

bool LockCurtain::Allowed(QObject* object) const {
    for (QObject* o = object; o; o = o->parent()) {
        if (o == &m_lockPage) return true;
        // The prompt's messages ("Invalid Password, try again!") belong to it, also where the
        // window system has made no window active to own them. Pages raise none while locked.
        if (m_promptAllowed && (qobject_cast<PasswordPrompt*>(o) || qobject_cast<QMessageBox*>(o)))
            return true;
    }
    return false;
}

bool LockCurtain::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Show: {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || !widget->isWindow() || widget == &m_frame || Allowed(widget)) return false;
        // Not at once: a dialog being shown by exec() ends only once its own loop runs.
        QTimer::singleShot(0, this, [this, window = QPointer<QWidget>(widget)] {
            if (window && m_closed && window->isVisible()) Dismiss(window);
        });
        return false;
    }
    case QEvent::ShortcutOverride:
        if (!watched->isWidgetType() || Allowed(watched)) return false;
        event->accept(); // taken here, so no shortcut fires
        return true;
    case QEvent::Shortcut: // to an action or a shortcut of whatever window
        return !Allowed(watched);
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
        // The window passes them on to its widgets, which are looked at then.
        return watched->isWidgetType() && !Allowed(watched);
    default:
        return false;
    }
}
