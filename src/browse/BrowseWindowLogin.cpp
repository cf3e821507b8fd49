// BrowseWindow as the host of the auto-login's form filler.
#include <QApplication>

#include "browse/BrowseWindow.h"
#include "browse/engine/BrowserPane.h"
#include "browse/PaneArea.h"
#include "core/AppState.h"
#include "links/Links.h"
#include "users/UserOptions.h"

bool BrowseWindow::NavigateStopped() const {
    return m_links && m_links->NavigateStopped();
}

void BrowseWindow::NavigatePane(int index, const QString& url) {
    if (BrowserPane* pane = Pane(index)) pane->Navigate2(url);
}

QString BrowseWindow::SSN() const {
    return App().Options ? App().Options->SSN() : QString();
}

void BrowseWindow::RememberActiveControl() {
    m_activeControl = QApplication::focusWidget();
}

void BrowseWindow::RestoreActiveControl() {
    const QPointer<QWidget> control = m_activeControl;
    m_activeControl.clear();
    const QPointer<BrowseWindow> self(this);
    auto restore = [self, control] {
        // A browser pane keeps what the page did with the focus.
        if (!self || !control || self->m_panes->isAncestorOf(control)) return;
        control->setFocus(Qt::OtherFocusReason);
    };
    // The Enter key goes to the page with its actions, after this event: the focus comes back
    // once they have been applied. The pane being filled is the one with actions waiting.
    for (int i = 0; i < kPlaceholder; ++i) {
        BrowserPane* pane = Pane(i);
        const DocumentPtr document = pane ? pane->Document() : nullptr;
        if (!document || document->model().pendingActions().isEmpty()) continue;
        pane->ApplyActions([restore](bool) { restore(); });
        return;
    }
    restore();
}
