#pragma once

#include <functional>
#include <memory>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QPointer>
#include <QString>

class MainWindow;
class LockCurtain;
class QMdiArea;
class QMdiSubWindow;
class QWidget;

// Locks the account after the user's idle minutes (AutoLogOutMts; 0 = never) or on Logout, and
// opens it again only with the master password. Locking minimises every child window and the
// frame, the frame hides the pages and takes its commands out of use, and every other window of
// the program goes behind the lock (LockCurtain); restoring the frame asks for the password. Six
// wrong passwords or Exit end the program.
//
// CheckLock runs on every tick of the browse window's busy timer. It reads and moves the time of
// the user's last activity through the two functions it is given, so it does not care who
// watches the mouse and the keyboard.
class InactivityLock {
public:
    struct Activity {
        std::function<QDateTime()> read;
        std::function<void(const QDateTime&)> set;
    };

    static const QString kLogoutPrompt;
    static const QString kIdlePrompt;

    // `children` is the frame's area of child windows; `lockPage` is what the frame shows while
    // locked, and the curtain lets it through.
    InactivityLock(MainWindow& frame, QMdiArea& children, QWidget& lockPage, Activity activity);
    ~InactivityLock();

    // False: the account is not locked, the tick goes on. True: it is locked (or has just been
    // locked, or unlocked by this call); the tick does nothing else.
    bool CheckLock();
    // File, Logout: the lock follows on the next tick.
    void RequestLogout() { m_logoutRequested = true; }
    bool LogoutRequested() const { return m_logoutRequested; }

private:
    void Lock();
    bool Unlock();
    QMdiSubWindow* BrowseSubWindow() const;

    MainWindow& m_frame;
    QMdiArea& m_children;
    Activity m_activity;
    std::unique_ptr<LockCurtain> m_curtain;
    bool m_logoutRequested = false;
    // Each child window and its state when the lock came, given back after the unlock.
    QList<QPair<QPointer<QMdiSubWindow>, Qt::WindowStates>> m_savedStates;
};
