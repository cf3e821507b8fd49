#pragma once

#include <QWidget>

#include "browse/ChildWindow.h"
#include "browse/PaneArea.h"
#include "links/HisList.h"

class BrowserPane;
class PopupPolicy;
class QLineEdit;
class QPushButton;
struct NavigateEvent;
struct NewWindowEvent;

// A stand-alone browser window: an MDI child of the frame with one pane, an address box
// with Go and New Window buttons, its own history and back/forward state. It shows the windows
// the pop-up policy lets open and the New Window commands' windows; its own new windows go
// through the same policy with its own HidePopUps. The frame drives it like the browse window,
// through ChildWindow.
class StandaloneWindow : public QWidget, public ChildWindow {
    Q_OBJECT
public:
    static constexpr const char* kModule = "Bramblegate.frmNewWin";
    // Longest window caption.
    static constexpr int kMaxCaption = 70;

    // The pane comes from `factory` (the user's web profile, or a fake in tests).
    StandaloneWindow(PopupPolicy& policy, const PaneFactory& factory, QWidget* parent = nullptr);
    ~StandaloneWindow() override;

    BrowserPane* Pane() const { return m_pane; }
    QLineEdit* AddressEdit() const { return m_addressEdit; }
    // Block the pages' own pop-ups (copied from the Link the window came from).
    bool HidePopUps() const { return m_hidePopUps; }
    void SetHidePopUps(bool hide) { m_hidePopUps = hide; }
    const HisList& History() const { return m_history; }
    const Brow& BrowState() const { return m_brow; }
    // The window is on its way out.
    bool Closing() const { return m_closing; }

    // --- ChildWindow
    // Address Bar shows or hides the address box; the side bar's tabs are not this window's.
    void RunCommand(WindowCommand command) override;
    // Puts the address into the address box and opens it.
    void NavigateURL(const QString& url) override;
    BrowserPane* ActivePane() const override { return m_pane; }
    QWidget* Widget() override { return this; }
    quintptr WindowHandle() const override { return reinterpret_cast<quintptr>(this); }

    // --- commands
    // Shows or hides the address box with its buttons (and the frame's Address Bar check mark).
    void ShowAddrBar();
    bool AddrBarShown() const;
    void OnGoClicked();
    void OnNewWindowClicked();
    // Enter in the address box; with Ctrl the typed text is completed first (CompleteUrl).
    void OnAddressEnter(bool ctrl);

    // --- Pane's events
    void OnBeforeNavigate2(NavigateEvent& e);
    void OnDocumentComplete(const QString& url, bool topLevel);
    void OnTitleChange(const QString& title);
    void OnNewWindow2(NewWindowEvent& e);
    void OnWindowClosing();
    void OnCommandStateChange(int command, bool enable);
    void OnWindowSetRect(const QRect& geometry);
    void OnFileDownload();

    // The query before the window goes: stops Pane; when the user (not the page) closes it with
    // Ctrl held, its page moves into the visible Link pane; Pane is left on the program's blank page.
    void QueryUnload(bool byUser);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RecordPage(const QString& title);
    void CloseWindow();
    bool ShowsBlankPage() const;

    PopupPolicy& m_policy;
    BrowserPane* m_pane = nullptr;
    QWidget* m_addrBar = nullptr;
    QLineEdit* m_addressEdit = nullptr;
    QPushButton* m_goButton = nullptr;
    QPushButton* m_newWindowButton = nullptr;
    HisList m_history;
    Brow m_brow;
    bool m_hidePopUps = true;
    bool m_closingByPage = false;
    bool m_closing = false;
};
