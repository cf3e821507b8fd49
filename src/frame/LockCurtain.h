#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

// While the account is locked, nothing of the program but the frame's lock page and the password
// prompt is on the screen or takes input. At the lock, dialogs are cancelled (nothing typed in
// them is kept), menus and pop-up lists close and every other window is hidden until the unlock;
// a window that opens while locked is closed as it shows; no key and no click reaches anything
// but the lock page and the prompt.
class LockCurtain : public QObject {
public:
    LockCurtain(QWidget& frame, QWidget& lockPage);
    ~LockCurtain() override;

    // At the lock.
    void Close();
    // After the right password: the hidden windows come back.
    void Open();
    bool Closed() const { return m_closed; }
    // The unlock's password prompt (and the messages it shows) may come up.
    void AllowPrompt(bool allow) { m_promptAllowed = allow; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Inside the lock page, or the prompt (and its messages) while it is allowed.
    bool Allowed(QObject* object) const;
    void Dismiss(QWidget* window);

    QWidget& m_frame;
    QWidget& m_lockPage;
    QList<QPointer<QWidget>> m_hidden;
    bool m_closed = false;
    bool m_promptAllowed = false;
};
