#include "browse/PopUpCatcher.h"

#include "browse/engine/BrowserPane.h"
#include "browse/PopupPolicy.h"
#include "core/AppState.h"
#include "core/Errors.h"

PopUpCatcher::PopUpCatcher(PopupPolicy& policy, BrowserPane* pane, bool openAfterCapture,
                           const QString& profileId, const QString& url)
    : QObject(&policy), m_policy(policy), m_pane(pane), m_profileId(profileId),
      m_openAfterCapture(openAfterCapture) {
    m_timer.setObjectName(QStringLiteral("catchTimer"));
    m_timer.setSingleShot(true);
    m_timer.setInterval(kWaitMs);
    connect(&m_timer, &QTimer::timeout, this, &PopUpCatcher::OnTimer);
    if (m_pane) {
        m_pane->SetProfileId(profileId);
        m_pane->setParent(this);
        connect(m_pane, &BrowserPane::BeforeNavigate2, this, &PopUpCatcher::OnBeforeNavigate2);
        connect(m_pane, &BrowserPane::NewWindow2, this, &PopUpCatcher::OnNewWindow2);
    } else {
        m_url = url;
        m_policy.BeepOnPopUp();
        m_timer.setInterval(kDelayMs);
    }
    m_timer.start();
}

PopUpCatcher::~PopUpCatcher() {
    if (!m_pane) return;
    // Nothing the pane says while it goes reaches a half-gone catcher.
    QObject::disconnect(m_pane, nullptr, this, nullptr);
    delete m_pane;
}

void PopUpCatcher::OnBeforeNavigate2(NavigateEvent& e) {
    // Nothing of a caught window loads; a blank start is let through, its real address is awaited.
    if (m_unloaded || !m_url.isEmpty()) {
        e.cancel = true;
        return;
    }
    if (e.url.isEmpty() || e.url == QLatin1String("about:blank")) return;
    e.cancel = true;
    if (!e.topLevel) return;
    Errors::Guarded(QLatin1String(kModule), QStringLiteral("wbPopup_BeforeNavigate2"), [&] {
        m_url = e.url;
        m_policy.BeepOnPopUp();
        m_timer.setInterval(kDelayMs);
        if (App().Unloading)
            Unload();
        else
            m_timer.start();
    });
}

void PopUpCatcher::OnNewWindow2(NewWindowEvent& e) {
    e.Cancel();
}

void PopUpCatcher::OnTimer() {
    m_timer.stop();
    if (m_unloaded) return;
    Errors::Guarded(QLatin1String(kModule), QStringLiteral("tmr_Timer"), [&] {
        if (m_url.isEmpty()) return; // the window never said where it was going
        if (m_openAfterCapture || App().LastClickedWindow > 0) {
            m_openAfterCapture = false;
            m_policy.OpenInCurrentWindow(m_url, m_profileId);
        } else if (m_url != QLatin1String("about:blank")) {
            m_policy.AddPopUpItem(m_url, m_profileId);
        }
    });
    Unload();
}

void PopUpCatcher::Unload() {
    if (m_unloaded) return;
    m_unloaded = true;
    m_timer.stop();
    // Not at once: this may run inside one of the pane's own events.
    deleteLater();
}
