#include "browse/DownloadsWindow.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "browse/DownloadList.h"
#include "browse/engine/Download.h"

namespace {

enum Column { NameColumn, ProgressColumn, SizeColumn, SpeedColumn, StatusColumn };
constexpr int kDownloadRole = Qt::UserRole;

Download* DownloadOf(const QTreeWidgetItem* item) {
    return item ? qobject_cast<Download*>(item->data(NameColumn, kDownloadRole).value<QObject*>()) : nullptr;
}

} // namespace

DownloadsWindow::DownloadsWindow(DownloadList& list, QWidget* parent)
    : QWidget(parent, Qt::Window), m_downloads(list),
      m_opener([](const QUrl& url) { QDesktopServices::openUrl(url); }) {
    setObjectName(QStringLiteral("frmDownloads"));
    setWindowTitle(QStringLiteral("Downloads"));
    resize(720, 320);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("lstDownloads"));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Progress"), QStringLiteral("Size"),
                             QStringLiteral("Speed"), QStringLiteral("Status")});
    m_list->header()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    m_list->header()->setStretchLastSection(false);
    m_list->setColumnWidth(ProgressColumn, 140);
    m_list->setColumnWidth(SizeColumn, 140);
    m_list->setColumnWidth(SpeedColumn, 90);
    m_list->setColumnWidth(StatusColumn, 120);
    m_empty = new QLabel(QStringLiteral("Nothing has been downloaded since Bramblegate started."), this);
    m_empty->setObjectName(QStringLiteral("lblEmpty"));

    m_cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));
    m_open = new QPushButton(QStringLiteral("&Open"), this);
    m_open->setObjectName(QStringLiteral("cmdOpen"));
    m_openFolder = new QPushButton(QStringLiteral("Open &Folder"), this);
    m_openFolder->setObjectName(QStringLiteral("cmdOpenFolder"));
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_open);
    buttons->addWidget(m_openFolder);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_empty);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    connect(m_cancel, &QPushButton::clicked, this, [this] {
        if (Download* d = Selected()) d->Cancel();
    });
    connect(m_open, &QPushButton::clicked, this, [this] {
        if (Download* d = Selected()) m_opener(QUrl::fromLocalFile(d->Path()));
    });
    connect(m_openFolder, &QPushButton::clicked, this, [this] {
        if (Download* d = Selected()) m_opener(QUrl::fromLocalFile(QFileInfo(d->Path()).absolutePath()));
    });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_list, &QTreeWidget::currentItemChanged, this, &DownloadsWindow::RefreshButtons);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (m_open->isEnabled()) m_open->click();
    });

    for (Download* d : m_downloads.Items())
        AddRow(d);
    connect(&m_downloads, &DownloadList::Added, this, &DownloadsWindow::AddRow);
    m_tick.setInterval(1000);
    connect(&m_tick, &QTimer::timeout, this, [this] {
        for (int i = 0; i < m_list->topLevelItemCount(); ++i)
            RefreshRow(m_list->topLevelItem(i));
    });
    m_tick.start();
    RefreshButtons();
}

void DownloadsWindow::ShowWindow() {
    if (m_list->topLevelItemCount() > 0 && !m_list->currentItem())
        m_list->setCurrentItem(m_list->topLevelItem(m_list->topLevelItemCount() - 1));
    ShowBeside();
    raise();
    activateWindow();
}

void DownloadsWindow::ShowBeside() {
    // The first time, over the lower part of the program's window, where the status bar tells
    // about finished files.
    if (!m_placed && parentWidget()) {
        const QRect frame = parentWidget()->window()->frameGeometry();
        move(frame.center().x() - width() / 2, qMax(frame.top(), frame.bottom() - height() - 60));
        m_placed = true;
    }
    show();
}

void DownloadsWindow::AddRow(Download* download) {
    auto* item = new QTreeWidgetItem(m_list);
    item->setData(NameColumn, kDownloadRole, QVariant::fromValue<QObject*>(download));
    item->setToolTip(NameColumn, download->Url());
    auto* bar = new QProgressBar;
    bar->setRange(0, 100);
    m_list->setItemWidget(item, ProgressColumn, bar);
    connect(download, &Download::Changed, this, [this, download] {
        for (int i = 0; i < m_list->topLevelItemCount(); ++i)
            if (DownloadOf(m_list->topLevelItem(i)) == download) RefreshRow(m_list->topLevelItem(i));
        RefreshButtons();
    });
    connect(download, &QObject::destroyed, this, [this, item] {
        delete item;
        RefreshButtons();
    });
    RefreshRow(item);
    m_list->setCurrentItem(item);
    RefreshButtons();
}

void DownloadsWindow::RefreshRow(QTreeWidgetItem* item) {
    const Download* d = DownloadOf(item);
    if (!d) return;
    item->setText(NameColumn, d->FileName());
    item->setText(SizeColumn, SizeText(*d));
    item->setText(SpeedColumn, SpeedText(*d));
    item->setText(StatusColumn, StatusText(*d));
    const int percent = d->CurrentState() == Download::State::Completed ? 100
                        : d->Total() > 0 ? int(d->Received() * 100 / d->Total())
                                         : 0;
    item->setText(ProgressColumn, QStringLiteral("%1%").arg(percent));
    if (auto* bar = qobject_cast<QProgressBar*>(m_list->itemWidget(item, ProgressColumn))) {
        // A size nobody knows shows as a busy bar while it runs.
        if (d->Total() <= 0 && !d->Finished())
            bar->setRange(0, 0);
        else
            bar->setRange(0, 100);
        bar->setValue(percent);
    }
}

void DownloadsWindow::RefreshButtons() {
    m_empty->setVisible(m_list->topLevelItemCount() == 0);
    const Download* d = Selected();
    m_cancel->setEnabled(d && !d->Finished());
    m_open->setEnabled(d && d->CurrentState() == Download::State::Completed);
    m_openFolder->setEnabled(d && d->CurrentState() == Download::State::Completed);
}

Download* DownloadsWindow::Selected() const {
    return DownloadOf(m_list->currentItem());
}

QString DownloadsWindow::ByteText(qint64 bytes) {
    if (bytes < 1024) return QStringLiteral("%1 bytes").arg(bytes);
    const char* units[] = {"KB", "MB", "GB", "TB"};
    double value = double(bytes) / 1024;
    int unit = 0;
    while (value >= 1024 && unit < 3) {
        value /= 1024;
        ++unit;
    }
    return QStringLiteral("%1 %2").arg(value, 0, 'f', 1).arg(QLatin1String(units[unit]));
}

QString DownloadsWindow::SizeText(const Download& d) {
    if (d.CurrentState() == Download::State::Completed) return ByteText(d.Received());
    if (d.Total() > 0 && !d.Finished())
        return ByteText(d.Received()) + QStringLiteral(" of ") + ByteText(d.Total());
    return ByteText(d.Received());
}

QString DownloadsWindow::SpeedText(const Download& d) {
    const qint64 speed = d.BytesPerSecond();
    return speed > 0 ? ByteText(speed) + QStringLiteral("/s") : QString();
}

QString DownloadsWindow::StatusText(const Download& d) {
    switch (d.CurrentState()) {
    case Download::State::InProgress:
        return QStringLiteral("Downloading");
    case Download::State::Completed:
        return QStringLiteral("Done");
    case Download::State::Cancelled:
        return QStringLiteral("Cancelled");
    case Download::State::Failed:
        return d.Error().isEmpty() ? QStringLiteral("Failed") : QStringLiteral("Failed: ") + d.Error();
    }
    return {};
}
