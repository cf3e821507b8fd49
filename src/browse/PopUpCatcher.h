#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class BrowserPane;
class PopupPolicy;
struct NavigateEvent;
struct NewWindowEvent;

// The catcher of one blocked window: a hidden pane in the web profile of the page that opened the
// window, which receives the new window, reads the first address the window is about to load (a
// window opened blank and given its address afterwards too), cancels that load and, 100 ms
// later, lists the address (with that profile) in the frame's blocked pop-ups, or opens it in
// the user's current window when that was asked for (Ctrl) or the user clicked meanwhile. Then
// it goes. A catcher made with the window's address already known has no pane: it only waits
// the 100 ms.
class PopUpCatcher : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kModule = "Bramblegate.frmPopUps";
    // From the caught address to handing it on: a click of the user within this time wants it.
    static constexpr int kDelayMs = 100;
    // A window that never asks for an address (opened blank and written into by its opener) is
    // given up after this long.
    static constexpr int kWaitMs = 5000;

    // Takes the pane; without one, `url` is the caught address. `profileId` is the opener's web
    // profile (BrowserPane::ProfileId), which the address keeps.
    PopUpCatcher(PopupPolicy& policy, BrowserPane* pane, bool openAfterCapture,
                 const QString& profileId = QString(), const QString& url = QString());
    ~PopUpCatcher() override;

    BrowserPane* Pane() const { return m_pane; }
    const QString& CaughtURL() const { return m_url; }
    const QString& ProfileId() const { return m_profileId; }
    bool OpenAfterCapture() const { return m_openAfterCapture; }
    bool Unloaded() const { return m_unloaded; }

    void OnBeforeNavigate2(NavigateEvent& e);
    void OnNewWindow2(NewWindowEvent& e);
    void OnTimer();

private:
    void Unload();

    PopupPolicy& m_policy;
    BrowserPane* m_pane = nullptr;
    QTimer m_timer{this};
    QString m_url;
    QString m_profileId;
    bool m_openAfterCapture = false;
    bool m_unloaded = false;
};
