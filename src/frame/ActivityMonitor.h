#pragma once

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QPointF>

class QMdiArea;
class QWidget;

// Watches the user's mouse presses and key presses across the whole application (an event filter
// on the application object), for two readers:
//   - the pop-up policy: on every left or right button press, App().LastClickedWindow becomes the
//     identity (ChildWindow::WindowHandle) of the frame's child window the press landed in, or 0
//     when it landed anywhere else (tool bar, menus, dialogs);
//   - the inactivity lock: LastActivity moves to Clock::Now() on mouse presses and key presses,
//     never on mouse moves, and not while App().Locked is set.
// The frame owns one, installs it at start and removes it at shutdown.
class ActivityMonitor : public QObject {
    Q_OBJECT
public:
    explicit ActivityMonitor(QMdiArea* area, QObject* parent = nullptr);
    ~ActivityMonitor() override;

    void Install();
    void Remove();
    bool Installed() const { return m_installed; }

    // When the user last pressed a key or a mouse button (null before anything happened).
    QDateTime LastActivity() const { return m_lastActivity; }
    // The lock sets it when the browse window loads and after every unlock.
    void SetLastActivity(const QDateTime& when) { m_lastActivity = when; }
    // The last press was a mouse button's (not a key's): tells a click on a close box from a
    // keyboard shortcut that closes the same window.
    bool LastInputWasMouse() const { return m_lastInputWasMouse; }

    // The identity of the frame's child window `widget` lies in; 0 when none.
    quintptr ChildWindowOf(QWidget* widget) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Press {
        quint64 timestamp = 0;
        QPointF at;
        Qt::MouseButton button = Qt::NoButton;
        bool operator==(const Press&) const = default;
    };

    QPointer<QMdiArea> m_area;
    Press m_press;
    bool m_hasPress = false;
    QDateTime m_lastActivity;
    bool m_lastInputWasMouse = false;
    bool m_installed = false;
};
