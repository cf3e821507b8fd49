#pragma once

#include <functional>
#include <QTimer>
#include <QUrl>
#include <QWidget>

class Download;
class DownloadList;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The Downloads window: this run's downloads with their progress, size and speed; the one
// selected can be cancelled while it runs, and opened, or its folder opened, once it is done.
// A window of its own beside the frame (File, Downloads; Ctrl+J).
class DownloadsWindow : public QWidget {
    Q_OBJECT
public:
    // Opens a file or a folder with the desktop's program for it; tests replace it.
    using Opener = std::function<void(const QUrl&)>;

    explicit DownloadsWindow(DownloadList& list, QWidget* parent = nullptr);

    void SetOpener(Opener opener) { m_opener = std::move(opener); }
    // Shows the window in front, the newest download selected.
    void ShowWindow();
    // Shows it without bringing it to the front.
    void ShowBeside();

    // The texts of a download's row, as shown.
    static QString SizeText(const Download& download);
    static QString SpeedText(const Download& download);
    static QString StatusText(const Download& download);
    static QString ByteText(qint64 bytes);

private:
    void AddRow(Download* download);
    void RefreshRow(QTreeWidgetItem* item);
    void RefreshButtons();
    Download* Selected() const;

    DownloadList& m_downloads;
    QTreeWidget* m_list = nullptr;
    QLabel* m_empty = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_open = nullptr;
    QPushButton* m_openFolder = nullptr;
    QTimer m_tick; // the speed falls when nothing comes
    Opener m_opener;
    bool m_placed = false;
};
