#include "frame/FrameBrowseHost.h"

#include <QAction>
#include <QMenu>

#include "frame/ActivityMonitor.h"
#include "frame/FrameStatusBar.h"
#include "frame/MainWindow.h"
#include "frame/MessageFlasher.h"
#include "frame/PageCommands.h"

namespace {

void Fill(QMenu* menu, const QList<BrowseMenuItem>& items) {
    menu->clear();
    for (const BrowseMenuItem& item : items)
        menu->addAction(item.text, menu, item.run);
}

} // namespace

void FrameBrowseHost::SetStatusText(int panel, const QString& text) {
    m_frame.StatusBar().SetPanelText(panel, text);
}

QString FrameBrowseHost::StatusText(int panel) const {
    return m_frame.StatusBar().PanelText(panel);
}

void FrameBrowseHost::ShowPageError(const QString& details) {
    FrameStatusBar& bar = m_frame.StatusBar();
    bar.SetPanelText(1, QStringLiteral("Error on Page "));
    bar.SetPanel1Picture(QLatin1String(FrameStatusBar::kPageError));
    bar.SetPanel1Tag(details);
}

bool FrameBrowseHost::PageErrorShown() const {
    return m_frame.StatusBar().Panel1Picture() == QLatin1String(FrameStatusBar::kPageError);
}

void FrameBrowseHost::ClearStatus() {
    m_frame.StatusBar().ClearPanel1();
}

void FrameBrowseHost::ShowPadlock(bool shown) {
    m_frame.StatusBar().ShowLock(shown);
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
    return m_frame.MdiArea();
}

ChildWindow* FrameBrowseHost::ActiveChild() const {
    return m_frame.ActiveChild();
}

void FrameBrowseHost::PrintActivePage() {
    m_frame.Page().Print();
}

void FrameBrowseHost::SetLinkMenus(const QList<BrowseMenuItem>& edit, const QList<BrowseMenuItem>& remove,
                                   bool editEnabled, bool removeEnabled) {
    Fill(m_frame.EditLinkMenu(), edit);
    Fill(m_frame.RemoveLinkMenu(), remove);
    m_frame.EditLinkMenu()->setEnabled(editEnabled);
    m_frame.RemoveLinkMenu()->setEnabled(removeEnabled);
}

void FrameBrowseHost::SetAddLinkEnabled(bool enabled) {
    m_frame.AddLinkAction()->setEnabled(enabled);
}

void FrameBrowseHost::SetHistoryMenu(const QList<BrowseMenuItem>& pages) {
    QMenu* menu = m_frame.HistoryMenu();
    Fill(menu, pages);
    menu->setEnabled(!menu->isEmpty());
}

void FrameBrowseHost::EndApplication() {
    m_frame.EndApplication();
}
