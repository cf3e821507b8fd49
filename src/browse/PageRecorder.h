#pragma once

#include <QString>

// Where the pages that complete in Link panes are recorded besides each Link's own history: the
// frame's master history and the address box's list of known addresses. Without a recorder,
// pages go only into the Link's history.
class PageRecorder {
public:
    virtual ~PageRecorder() = default;
    virtual void AddMasterHisListItem(const QString& caption, const QString& url) = 0;
    virtual void AddUrlItem(const QString& url) = 0;
};
