#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class FrameStatusBar;

// Draws the user's eye to something that happened in the background: a short text flashes in
// status panel 3 and the "Popup" tool button's image alternates while a new pop-up was blocked.
// Runs on the browse window's busy timer (every 500 ms): each call of FlashMessages is one tick.
class MessageFlasher : public QObject {
    Q_OBJECT
public:
    // Ticks one flashing lasts.
    static constexpr int kTicks = 9;
    static constexpr const char* kPopupImage = "Popup";
    static constexpr const char* kPopnewImage = "Popnew";

    explicit MessageFlasher(FrameStatusBar& statusBar, QObject* parent = nullptr);

    // Starts flashing a text (again from the first tick when one is flashing).
    void SetFlashMessage(const QString& text);
    QString FlashMessage() const { return m_text; }
    // A new pop-up was blocked: the "Popup" button's image starts alternating.
    void SetNewPopUp();
    bool NewPopUp() const { return m_newPopUp; }
    // The image key the "Popup" button shows now: kPopupImage or kPopnewImage.
    QString PopUpImage() const { return m_image; }

    // One tick of both flashers.
    void FlashMessages();
    // The text in panel 3 on odd ticks, cleared on even ticks; after the last tick the panel and
    // the text are cleared.
    void FlashMessageText();
    // "Popnew" on odd ticks, "Popup" on even ticks; after the last tick "Popup" stays and the
    // new-pop-up flag is cleared.
    void FlashMessageImage();

signals:
    void PopUpImageChanged(const QString& key);

private:
    void SetImage(const QString& key);

    QPointer<FrameStatusBar> m_bar;
    QString m_text;
    // What panel 3 said before the flashing began ("Working Offline" must come back afterwards).
    QString m_panelBefore;
    int m_textTicks = 0;
    bool m_newPopUp = false;
    int m_imageTicks = 0;
    QString m_image = QLatin1String(kPopupImage);
};
