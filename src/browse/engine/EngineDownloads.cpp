#include "browse/engine/EngineDownloads.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>

#include "browse/engine/Download.h"
#include "browse/engine/WebEnginePane.h"
#include "browse/engine/WebProfiles.h"

EngineDownloads::EngineDownloads(Asker ask, QObject* parent) : QObject(parent), m_ask(std::move(ask)) {
    WebProfiles::OnEveryProfile(this, [this](QWebEngineProfile* profile) { Attach(profile); });
}

void EngineDownloads::Attach(QWebEngineProfile* profile) {
    connect(profile, &QWebEngineProfile::downloadRequested, this, &EngineDownloads::OnRequested,
            Qt::UniqueConnection);
}

void EngineDownloads::OnRequested(QWebEngineDownloadRequest* request) {
    // A page the program saves itself (File, Save As) comes already on its way.
    if (request->state() != QWebEngineDownloadRequest::DownloadRequested) {
        Track(request);
        return;
    }
    const QString url = request->url().toString();
    WebEnginePane* pane = WebEnginePane::FromPage(request->page());
    const QString path = m_ask ? m_ask({url, request->suggestedFileName(), request->mimeType()}) : QString();
    if (path.isEmpty()) {
        request->cancel();
    } else {
        const QFileInfo target(path);
        request->setDownloadDirectory(target.absolutePath());
        request->setDownloadFileName(target.fileName());
        request->accept();
        Track(request);
    }
    if (pane) pane->NotifyFileDownload(url);
}

Download* EngineDownloads::Track(QWebEngineDownloadRequest* request) {
    auto* download =
        new Download(request->url().toString(),
                     QDir(request->downloadDirectory()).filePath(request->downloadFileName()), this);
    QPointer<QWebEngineDownloadRequest> engine(request);
    download->SetCanceller([engine] {
        if (engine) engine->cancel();
    });
    const auto update = [download, request] {
        download->Update(request->receivedBytes(), request->totalBytes());
        switch (request->state()) {
        case QWebEngineDownloadRequest::DownloadCompleted:
            download->Finish(Download::State::Completed);
            break;
        case QWebEngineDownloadRequest::DownloadCancelled:
            download->Finish(Download::State::Cancelled);
            break;
        case QWebEngineDownloadRequest::DownloadInterrupted:
            download->Finish(Download::State::Failed, request->interruptReasonString());
            break;
        default:
            break;
        }
    };
    connect(request, &QWebEngineDownloadRequest::receivedBytesChanged, download, update);
    connect(request, &QWebEngineDownloadRequest::totalBytesChanged, download, update);
    connect(request, &QWebEngineDownloadRequest::stateChanged, download, update);
    emit Started(download);
    update();
    return download;
}
