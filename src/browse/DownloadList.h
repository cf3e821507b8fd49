#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include "browse/engine/Download.h"

class QWidget;

// This run's downloads, in the order they started, and where a new one goes: the user chooses
// the file, starting in the folder last used (per user) or the desktop's download folder, with
// a name that overwrites nothing. While the account is locked nothing is saved.
class DownloadList : public QObject {
    Q_OBJECT
public:
    explicit DownloadList(QObject* parent = nullptr);

    // Watches a download (not owned); it stays in the list while it lives.
    void Add(Download* download);
    QList<Download*> Items() const;

    // Asks the logged-in user where to save a file a site offers; the full path, or empty when
    // the user said no or the account is locked. Remembers the folder chosen.
    static QString AskWhereToSave(const QString& suggestedName, QWidget* parent = nullptr);
    // The folder the question starts in.
    static QString StartFolder();
    // `name` in `folder`, or the first of "name (1).ext", "name (2).ext", ... that is not there.
    static QString UniqueName(const QString& folder, const QString& name);

signals:
    void Added(Download* download);
    void Completed(Download* download);

private:
    QList<QPointer<Download>> m_items;
};
