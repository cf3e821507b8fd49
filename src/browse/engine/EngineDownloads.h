#pragma once

#include <functional>
#include <QObject>
#include <QString>

class Download;
class QWebEngineDownloadRequest;
class QWebEngineProfile;

// The engine's downloads of every profile the program makes (WebProfiles::OnEveryProfile): a
// page's address or link that turns out to be a file to save is offered to `ask`, which answers
// with the full path to save it to, or nothing to refuse it. An accepted file is saved by the
// engine and reported as a Download through Started. The pane the file came from hears of it
// (FileDownload), so a new window that was only a download can go.
class EngineDownloads : public QObject {
    Q_OBJECT
public:
    struct Offer {
        QString url;
        QString suggestedName; // the name the site gives the file
        QString mimeType;
    };
    using Asker = std::function<QString(const Offer&)>;

    explicit EngineDownloads(Asker ask, QObject* parent = nullptr);

signals:
    // A file is being saved; the Download belongs to this object and lives as long as it.
    void Started(Download* download);

private:
    void Attach(QWebEngineProfile* profile);
    void OnRequested(QWebEngineDownloadRequest* request);
    Download* Track(QWebEngineDownloadRequest* request);

    Asker m_ask;
};
