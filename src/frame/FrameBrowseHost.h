#pragma once

#include "browse/BrowseHost.h"

class MainMenus;
class MainWindow;

// The frame's side of the browse layer's host interface: the status bar, the progress panel,
// the Work Offline item, the message window, the pop-up list, the MDI area and the menus that
// list the browse window's Links and history. The frame window owns it.
class FrameBrowseHost : public BrowseHost {
public:
    FrameBrowseHost(MainWindow& frame, MainMenus& menus) : m_frame(frame), m_menus(menus) {}

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
    MainMenus& m_menus;
};
