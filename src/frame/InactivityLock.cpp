#include "frame/InactivityLock.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Settings.h"
#include "core/StoredNames.h"
#include "frame/LockCurtain.h"
#include "frame/MainWindow.h"
#include "users/PasswordPrompt.h"
#include "users/ProgramEnd.h"
#include "users/UserOptions.h"

const QString InactivityLock::kLogoutPrompt = QStringLiteral(
    "Please enter your password to unlock the account, or press 'Exit' to close the application.");
const QString InactivityLock::kIdlePrompt =
    QStringLiteral("Your account has been locked due to inactivity. Please enter your password to unlock the "
                   "account, or press 'Exit' to close the application.");

InactivityLock::InactivityLock(MainWindow& frame, QMdiArea& children, QWidget& lockPage, Activity activity)
    : m_frame(frame), m_children(children), m_activity(std::move(activity)),
      m_curtain(std::make_unique<LockCurtain>(frame, lockPage)) {}

InactivityLock::~InactivityLock() = default;

bool InactivityLock::CheckLock() {
    const QDateTime last = m_activity.read ? m_activity.read() : QDateTime();
    const qint64 idle = last.isValid() ? Clock::WholeSecondsBetween(last, Clock::Now()) : 0;
    const int minutes = App().Options ? App().Options->AutoLogOutMts() : 0;
    const bool due = (minutes > 0 && idle > qint64(minutes) * 60) || m_logoutRequested;
    if (!App().Locked) {
        if (!due) return false;
        Lock();
        return true;
    }
    return Unlock();
}

QMdiSubWindow* InactivityLock::BrowseSubWindow() const {
    BrowseWindow* browse = m_frame.Browse();
    return browse ? qobject_cast<QMdiSubWindow*>(browse->parentWidget()) : nullptr;
}

void InactivityLock::Lock() {
    // A click made before the lock must not let a window open after it.
    App().LastClickedWindow = 0;
    QMdiSubWindow* browse = BrowseSubWindow();
    m_savedStates.clear();
    for (QMdiSubWindow* sub : m_children.subWindowList())
        m_savedStates.append({sub, sub->windowState()});
    App().Locked = true;
    m_curtain->Close();
    for (QMdiSubWindow* sub : m_children.subWindowList())
        if (sub != browse && !sub->isMinimized()) sub->showMinimized();
    m_frame.ArrangeIcons();
    m_frame.TileHorizontal();
    if (browse) browse->showMinimized();
    m_frame.SetLockedView(true);
    m_frame.showMinimized();
}

bool InactivityLock::Unlock() {
    // The user has to bring the frame back first; and one prompt at a time.
    if (m_frame.isMinimized() || PasswordPrompt::IsOpen()) return true;
    const QString user = App().CurrentUser;
    const QString stored = core::GetValue(stored::kUsers, user);
    m_curtain->AllowPrompt(true);
    const bool verified =
        VerifyPassword(m_logoutRequested ? kLogoutPrompt : kIdlePrompt, user, stored, &m_frame);
    m_curtain->AllowPrompt(false);
    App().Locked = false;
    m_logoutRequested = false;
    if (m_activity.set) m_activity.set(Clock::Now());
    if (!verified) {
        // Exit, or the sixth wrong password (which has asked already; a second request is ignored).
        ProgramEnd::UnloadFrame();
        App().Unloading = true;
        return true;
    }
    // Every window as it was, minimised ones included.
    for (const auto& [sub, state] : std::as_const(m_savedStates)) {
        if (!sub) continue; // closed meanwhile
        if (state & Qt::WindowMinimized)
            sub->showMinimized();
        else if (state & Qt::WindowMaximized)
            sub->showMaximized();
        else
            sub->showNormal();
    }
    m_savedStates.clear();
    m_frame.SetLockedView(false);
    m_curtain->Open();
    // Back to where the user was: the frame active, the keyboard in the page.
    m_frame.activateWindow();
    if (BrowseWindow* browse = m_frame.Browse()) browse->EnsureAppFocus();
    return true;
}
