#include "frame/FrameBrowseHost.h"

#include "frame/ActivityMonitor.h"
#include "frame/FrameStatusBar.h"
#include "frame/MainMenus.h"
#include "frame/MainWindow.h"
#include "frame/MessageFlasher.h"
#include "frame/PageCommands.h"

void FrameBrowseHost::SetStatusText(int panel, const QString& text) {
    m_parts.statusBar.SetPanelText(panel, text);
}

QString FrameBrowseHost::StatusText(int panel) const {
    return m_parts.statusBar.PanelText(panel);
}

void FrameBrowseHost::ShowPageError(const QString& details) {
    FrameStatusBar& bar = m_parts.statusBar;
    bar.SetPanelText(1, QStringLiteral("Error on Page "));
    bar.SetPanel1Picture(QLatin1String(FrameStatusBar::kPageError));
    bar.SetPanel1Tag(details);
}

bool FrameBrowseHost::PageErrorShown() const {
    return m_parts.statusBar.Panel1Picture() == QLatin1String(FrameStatusBar::kPageError);
}

void FrameBrowseHost::ClearStatus() {
    m_parts.statusBar.ClearPanel1();
}

void FrameBrowseHost::ShowPadlock(bool shown) {
    m_parts.statusBar.ShowLock(shown);
}

void FrameBrowseHost::UpdateProgress(int value) {
    m_frame.UpdateProgress(value);
}

void FrameBrowseHost::FlashMessages() {
    m_frame.Flasher().FlashMessages();
}

bool FrameBrowseHost::WorkOffline() const {
    return m_frame.WorkOfflineChecked();
}

void FrameBrowseHost::SetWorkOffline(bool offline) {
    m_frame.SetWorkOfflineChecked(offline);
}

void FrameBrowseHost::ShowMessage(const QString& text) {
    m_frame.ShowMessage(text);
}

void FrameBrowseHost::HideMessage() {
    m_frame.HideMessage();
}

PopUpsList& FrameBrowseHost::PopUps() {
    return m_frame.PopUps();
}

DownloadList& FrameBrowseHost::Downloads() {
    return m_frame.Downloads();
}

bool FrameBrowseHost::LastInputWasMouse() const {
    return m_frame.Activity().LastInputWasMouse();
}

QMdiArea* FrameBrowseHost::ChildArea() const {
    return &m_parts.children;
}

ChildWindow* FrameBrowseHost::ActiveChild() const {
    return m_frame.ActiveChild();
}

void FrameBrowseHost::PrintActivePage() {
    m_frame.Page().Print();
}

void FrameBrowseHost::SetLinkMenus(const QList<BrowseMenuItem>& edit, const QList<BrowseMenuItem>& remove,
                                   bool editEnabled, bool removeEnabled) {
    m_parts.menus.SetLinks(edit, remove, editEnabled, removeEnabled);
}

void FrameBrowseHost::SetAddLinkEnabled(bool enabled) {
    m_parts.menus.SetEnabled(MainCommand::AddLink, enabled);
}

void FrameBrowseHost::SetHistoryMenu(const QList<BrowseMenuItem>& pages) {
    m_parts.menus.SetHistory(pages);
}

void FrameBrowseHost::EndApplication() {
    m_frame.EndApplication();
}
