#pragma once

#include <QDateTime>
#include <QObject>

// Notes the time of the user's last activity for the inactivity lock: a left or right mouse
// button press or a key press anywhere in the program. Moving the mouse is not activity, and
// nothing is noted while the account is locked. Watches every event of the application from
// construction until Remove() (or its end).
class ActivityFilter : public QObject {
    Q_OBJECT
public:
    explicit ActivityFilter(QObject* parent = nullptr);
    ~ActivityFilter() override;

    QDateTime LastActivity() const { return m_lastActivity; }
    void SetLastActivity(const QDateTime& moment) { m_lastActivity = moment; }
    // Stops watching (shutdown).
    void Remove();
    bool Installed() const { return m_installed; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QDateTime m_lastActivity;
    bool m_installed = false;
};
