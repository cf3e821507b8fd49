#pragma once

#include <QDialog>
#include <QIcon>

// Help, About: the program's name, version and what it is.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);

    // Shows the box modally (modal::RunModal).
    static void Run(QWidget* parent);

    // "1.5.2": the version the program was built as (AppVersion() is the same without dots).
    static QString VersionText();
    // The program's picture (also the splash window's and the desktop entry's).
    static QIcon ProductIcon();
    // The line that says what the program is.
    static QString Description();
    // The versions of the engine that shows the pages: Chromium, its security fixes, Qt WebEngine.
    static QString EngineText();
};
