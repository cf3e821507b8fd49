#pragma once

#include "browse/BrowseHost.h"

class FrameStatusBar;
class MainMenus;
class MainWindow;
class QMdiArea;

// The frame's side of the browse layer's host interface: the status bar, the progress panel,
// the Work Offline item, the message window, the pop-up list, the MDI area and the menus that
// list the browse window's Links and history. The frame window owns it and hands it the parts of
// itself the browse layer writes to.
class FrameBrowseHost : public BrowseHost {
public:
    struct Parts {
        MainMenus& menus;
        FrameStatusBar& statusBar;
        QMdiArea& children;
    };
    FrameBrowseHost(MainWindow& frame, Parts parts) : m_frame(frame), m_parts(parts) {}

    void SetStatusText(int panel, const QString& text) override;
    QString StatusText(int panel) const override;
    void ShowPageError(const QString& details) override;
    bool PageErrorShown() const override;
    void ClearStatus() override;
    void ShowPadlock(bool shown) override;
    void UpdateProgress(int value) override;
    void FlashMessages() override;
    bool WorkOffline() const override;
    void SetWorkOffline(bool offline) override;
    void ShowMessage(const QString& text) override;
    void HideMessage() override;
    PopUpsList& PopUps() override;
    DownloadList& Downloads() override;
    bool LastInputWasMouse() const override;
    QMdiArea* ChildArea() const override;
    ChildWindow* ActiveChild() const override;
    void PrintActivePage() override;
    void SetLinkMenus(const QList<BrowseMenuItem>& edit, const QList<BrowseMenuItem>& remove,
                      bool editEnabled, bool removeEnabled) override;
    void SetAddLinkEnabled(bool enabled) override;
    void SetHistoryMenu(const QList<BrowseMenuItem>& pages) override;
    void EndApplication() override;

private:
    MainWindow& m_frame;
    Parts m_parts;
};
