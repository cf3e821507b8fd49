#pragma once

#include <QFrame>
#include <QString>

class QLabel;

// A small window without frame, on top of everything, that tells what the program is busy with
// ("Updating...", "Exporting settings of user ...", "Exiting..."). It takes no input.
//
// The program has one: MessageWindow::ShowText and MessageWindow::HideText show and hide it from anywhere.
class MessageWindow : public QFrame {
    Q_OBJECT

public:
    explicit MessageWindow(QWidget* parent = nullptr);

    QString Text() const;
    // Shows the text centred over `over` (the active window when null, else the screen), and
    // lets it paint before the caller's work starts.
    void ShowMessage(const QString& text, QWidget* over = nullptr);

    // The program's message window.
    static MessageWindow* Instance();
    static void ShowText(const QString& text, QWidget* over = nullptr);
    static void HideText();
    static bool IsShown();

private:
    QLabel* m_label = nullptr;
};
