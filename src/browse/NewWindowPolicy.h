#pragma once

#include "browse/engine/BrowserPane.h"

// The answer to a page's request for a new window, for the Link panes of the browse window.
// Without a policy the engine's default stands: the new window is cancelled.
class NewWindowPolicy {
public:
    virtual ~NewWindowPolicy() = default;
    // `pane` is the Link's control index. Answer `e` (openIn or cancel) before returning.
    virtual void HandleNewWindow(int pane, NewWindowEvent& e) = 0;
};
