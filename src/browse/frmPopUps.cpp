#include "browse/frmPopUps.h"

#include "browse/engine/BrowserPane.h"
#include "browse/PopupPolicy.h"
#include "core/AppState.h"
#include "core/Errors.h"

frmPopUps::frmPopUps(PopupPolicy& policy, BrowserPane* pane, bool openAfterCapture, const QString& profileId,
                     const QString& url)
    : QObject(&policy), m_policy(policy), m_pane(pane), m_profileId(profileId),
      m_openAfterCapture(openAfterCapture) {
    m_tmr.setSingleShot(true);
    m_tmr.setInterval(kWaitMs);
    connect(&m_tmr, &QTimer::timeout, this, &frmPopUps::tmr_Timer);
    if (m_pane) {
        m_pane->SetProfileId(profileId);
        m_pane->setParent(this);
        connect(m_pane, &BrowserPane::BeforeNavigate2, this, &frmPopUps::wbPopup_BeforeNavigate2);
        connect(m_pane, &BrowserPane::NewWindow2, this, &frmPopUps::wbPopup_NewWindow2);
    } else {
        m_url = url;
        m_policy.BeepOnPopUp();
        m_tmr.setInterval(kDelayMs);
    }
    m_tmr.start();
}

frmPopUps::~frmPopUps() {
    if (!m_pane) return;
    // Nothing the pane says while it goes reaches a half-gone catcher.
    QObject::disconnect(m_pane, nullptr, this, nullptr);
    delete m_pane;
}

void frmPopUps::wbPopup_BeforeNavigate2(NavigateEvent& e) {
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
        m_tmr.setInterval(kDelayMs);
        if (App().gbUnloading)
            Unload();
        else
            m_tmr.start();
    });
}

void frmPopUps::wbPopup_NewWindow2(NewWindowEvent& e) {
    e.cancel();
}

void frmPopUps::tmr_Timer() {
    m_tmr.stop();
    if (m_unloaded) return;
    Errors::Guarded(QLatin1String(kModule), QStringLiteral("tmr_Timer"), [&] {
        if (m_url.isEmpty()) return; // the window never said where it was going
        if (m_openAfterCapture || App().glFormDocClicked > 0) {
            m_openAfterCapture = false;
            m_policy.OpenInCurrentWindow(m_url, m_profileId);
        } else if (m_url != QLatin1String("about:blank")) {
            m_policy.AddPopUpItem(m_url, m_profileId);
        }
    });
    Unload();
}

void frmPopUps::Unload() {
    if (m_unloaded) return;
    m_unloaded = true;
    m_tmr.stop();
    // Not at once: this may run inside one of the pane's own events.
    deleteLater();
}
