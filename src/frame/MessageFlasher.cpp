#include "frame/MessageFlasher.h"

#include "frame/FrameStatusBar.h"

MessageFlasher::MessageFlasher(FrameStatusBar& statusBar, QObject* parent)
    : QObject(parent), m_bar(&statusBar) {}

void MessageFlasher::SetFlashMessage(const QString& text) {
    if (m_text.isEmpty() && m_bar) m_panelBefore = m_bar->PanelText(3);
    m_text = text;
    m_textTicks = 0;
}

void MessageFlasher::SetNewPopUp() {
    m_newPopUp = true;
    m_imageTicks = 0;
}

void MessageFlasher::FlashMessages() {
    FlashMessageText();
    FlashMessageImage();
}

void MessageFlasher::FlashMessageText() {
    if (m_text.isEmpty()) return;
    ++m_textTicks;
    const bool last = m_textTicks >= kTicks;
    if (m_bar) m_bar->SetPanelText(3, (m_textTicks % 2 == 1 && !last) ? m_text : m_panelBefore);
    if (last) {
        m_text.clear();
        m_panelBefore.clear();
        m_textTicks = 0;
    }
}

void MessageFlasher::FlashMessageImage() {
    if (!m_newPopUp) return;
    ++m_imageTicks;
    const bool last = m_imageTicks >= kTicks;
    SetImage(QLatin1String((m_imageTicks % 2 == 1 && !last) ? kPopnewImage : kPopupImage));
    if (last) {
        m_newPopUp = false;
        m_imageTicks = 0;
    }
}

void MessageFlasher::SetImage(const QString& key) {
    if (key == m_image) return;
    m_image = key;
    emit PopUpImageChanged(key);
}
