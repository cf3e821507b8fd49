#pragma once

#include <QString>

#include "browse/engine/PageModel.h"

class Link;

// The login decision: what happens to a completed top-level document of a Link opened from its
// button or at start-up. Page-load tracking asks it on every such DocumentComplete; the
// auto-login logic implements it. Without one, every document goes on to the image check.
class LoginDecider {
public:
    enum class Result {
        Finished, // the decision has dealt with the document (a form was sent, ...)
        Continue  // page-load tracking goes on with the document
    };

    virtual ~LoginDecider() = default;
    // `pane` is the Link's control index (Index - 1); `url` the address the engine reported.
    virtual Result DocumentComplete(int pane, Link& link, const DocumentPtr& document,
                                    const QString& url) = 0;
    // The busy timer's deferred parse (BrowseState::ParseAt / ParseIndex has come due).
    virtual void DeferredParse(int pane, Link& link, const DocumentPtr& document) = 0;
    // The Link's page changed without a new document while the pane watched it
    // (BrowserPane::PageChanged).
    virtual void PageChanged(int pane, Link& link) {
        Q_UNUSED(pane);
        Q_UNUSED(link);
    }
    // Whether a server's error answer (a 401 or 403 page, say) is a login page to fill like any
    // other; when not, the error page shows at once.
    virtual bool FillsErrorPage(const Link& link, const DocumentPtr& document) {
        Q_UNUSED(link);
        Q_UNUSED(document);
        return false;
    }
};
