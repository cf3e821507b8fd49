#pragma once

#include <QWidget>

class QLabel;

// The small window with the program's name and version that shows while the program starts.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    explicit SplashWindow(QWidget* parent = nullptr);

    // Shows it in the middle of the screen and draws it at once.
    void ShowCentered();

private:
    QLabel* m_message = nullptr;
};
