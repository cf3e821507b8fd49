#include "browse/NavErrorHandler.h"

#include "browse/BrowseState.h"
#include "browse/PaneArea.h"

#include "browse/engine/BrowserPane.h"
#include "browse/PageLoadTracker.h"
#include "core/Log.h"
#include "core/StatusCodeText.h"
#include "links/Links.h"

NavErrorHandler::NavErrorHandler(Links& links, PaneArea& panes, PageLoadTracker& tracker, BrowseState& state)
    : m_links(links), m_panes(panes), m_tracker(tracker), m_state(state) {}

void NavErrorHandler::NavigateError(int i, const QString&, bool, long statusCode) {
    if (i >= PaneArea::kPlaceholder) return;
    Links& links = m_links;
    if (links.CountUndeleted() == 0) return;
    Link* link = links.Item(i + 1);
    BrowserPane* pane = m_panes.Pane(i);
    if (!link || !pane) return;
    link->SetNavigationError(true);
    // The address of the page the pane holds now, not the one that failed (for an error
    // answer of the server the two are the same).
    const DocumentPtr document = pane->Document();
    const QString current = document ? document->URL() : pane->LocationURL();
    core::WriteErrorLog(QStringLiteral("NavigateError ") + QString::number(i) +
                        QStringLiteral(" StatusCode=") + QString::number(statusCode) + QStringLiteral(" - ") +
                        core::StatusCodeText(statusCode) + QLatin1Char(' ') +
                        PageLoadTracker::LogUrl(current));
    link->SetProgressText(QStringLiteral("Navigation Error "));
    m_tracker.SetLinkProgress(i, 0);
    // A server's error answer to the login form is committed (and taken as the login's answer)
    // before the error is known: it confirmed nothing.
    BrowseState& state = m_state;
    if (state.loginAnswerPane == i) {
        state.loginAnswerPane = -1;
        if (!link->LoginAssumed()) link->SetLoggedIn(false);
    }
}
