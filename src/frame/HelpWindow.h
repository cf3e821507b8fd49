#pragma once

#include <functional>
#include <QPointer>
#include <QWidget>

class BrowserPane;
class QToolButton;

// The help's own window: the local help pages with Back, Forward and Contents. It is a window
// of its own, never behind the program: opened while a modal dialog is up (the dialog's Help
// button, F1), it belongs to that dialog for as long as the dialog is up, so it can be read and
// used beside it; afterwards it belongs to the frame again.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    using PaneFactory = std::function<BrowserPane*(QWidget* parent)>;

    // `home`: the window it belongs to when no dialog is up (the frame).
    HelpWindow(QWidget* home, PaneFactory factory);
    ~HelpWindow() override;

    // Shows the page at `url` (a help address) in front.
    void ShowPage(const QString& url);
    BrowserPane* Pane() const { return m_pane; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Adopt(QWidget* owner);
    void EnsurePane();
    // Beside the dialog it belongs to (or its frame), on the screen.
    void PlaceBeside(QWidget* owner);
    // Its own Back and Forward: the engine's history passes over the program's own pages, and
    // the help is nothing else.
    void PageShown(const QString& url);
    void Step(int direction);
    void RefreshButtons();

    QPointer<QWidget> m_home;
    QPointer<QWidget> m_dialog; // the modal dialog it belongs to now
    PaneFactory m_factory;
    BrowserPane* m_pane = nullptr;
    QToolButton* m_back = nullptr;
    QToolButton* m_forward = nullptr;
    QStringList m_pages;
    int m_current = -1;
    bool m_stepping = false;
};
