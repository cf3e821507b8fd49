#pragma once

#include <QStatusBar>
#include <QString>

class QLabel;
class QProgressBar;

// The frame's status bar: panel 1 shows the status text of the visible Link with an optional
// picture ("PageError" after a script error, whose details stay in the panel's tag), then the
// progress of the visible Link, the padlock panel keyed "Lock", and panel 3 for "Working
// Offline", "Navigation Cancelled" and short flashing messages.
class FrameStatusBar : public QStatusBar {
    Q_OBJECT
public:
    // The picture of panel 1 after a script error.
    static constexpr const char* kPageError = "PageError";

    explicit FrameStatusBar(QWidget* parent = nullptr);

    // Panels 1 and 3 (other numbers are ignored).
    void SetPanelText(int panel, const QString& text);
    QString PanelText(int panel) const;
    // Panel 1's picture by key: kPageError or "" for none.
    void SetPanel1Picture(const QString& key);
    QString Panel1Picture() const { return m_picture; }
    void SetPanel1Tag(const QString& tag) { m_tag = tag; }
    QString Panel1Tag() const { return m_tag; }
    // Clears panel 1's text, picture and tag.
    void ClearPanel1();

    // The progress panel: 1..99 shows a bar, 0 hides it.
    void UpdateProgress(int value);
    int Progress() const { return m_progress; }

    // The panel keyed "Lock": the padlock of a secure page.
    void ShowLock(bool shown);
    bool LockShown() const { return m_lockShown; }

    // The padlock picture (also for tests and other windows).
    static QPixmap Padlock(int size);

signals:
    // A click on panel 1 while it shows the "PageError" picture.
    void PageErrorClicked(const QString& tag);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_picture1 = nullptr;
    QLabel* m_text1 = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QLabel* m_lock = nullptr;
    QLabel* m_text3 = nullptr;
    QString m_picture;
    QString m_tag;
    int m_progress = 0;
    bool m_lockShown = false;
};
