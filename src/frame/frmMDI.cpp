#include "frame/frmMDI.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>

#include "browse/LinkControls.h"
#include "browse/OfflineState.h"
#include "core/AppState.h"
#include "core/MessageBox.h"
#include "frame/ActivityMonitor.h"
#include "frame/ChildWindow.h"
#include "frame/FrameStatusBar.h"
#include "frame/MessageFlasher.h"
#include "frame/PopUpsList.h"
#include "frame/PopUpsMenu.h"
#include "users/StartUp.h"

namespace {

const QString kWorkingOffline = QStringLiteral("Working Offline");

} // namespace

frmMDI::frmMDI(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmMDI"));
    setWindowTitle(QString::fromLatin1(ProductName()));
    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setObjectName(QStringLiteral("mdiArea"));
    m_mdiArea->setBackground(palette().window());
    // Stand-alone windows open at their own size over the maximised browse window.
    m_mdiArea->setOption(QMdiArea::DontMaximizeSubWindowOnActivation);
    setCentralWidget(m_mdiArea);
    m_statusBar = new FrameStatusBar(this);
    setStatusBar(m_statusBar);
    connect(m_statusBar, &FrameStatusBar::PageErrorClicked, this, &frmMDI::ShowPageError);

    m_flasher = new MessageFlasher(*m_statusBar, this);
    m_popUps = new PopUpsList(m_flasher, this);
    m_mnpPopUpsList = new QMenu(this);
    m_mnpPopUpsList->setObjectName(QStringLiteral("mnpPopUpsList"));
    m_popUpsMenu = new PopUpsMenu(*m_popUps, m_mnpPopUpsList, m_flasher, this);
    connect(m_popUpsMenu, &PopUpsMenu::NavigateRequested, this, [this](const QString& url) {
        if (ChildWindow* child = ActiveChild()) child->NavigateURL(url);
    });
    m_activity = new ActivityMonitor(m_mdiArea, this);
    m_activity->Install();
    BuildMenus();

    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("frmMessage"));
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setStyleSheet(QStringLiteral("QLabel { background: #fffbe6; border: 1px solid #c9b458;"
                                            " border-radius: 6px; padding: 12px 28px; font-weight: 600; }"));
    m_message->hide();

    // A comfortable size on the screen at hand.
    QSize size(1280, 800);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        if (available.width() < 1400 || available.height() < 900)
            size = QSize(available.width() * 85 / 100, available.height() * 85 / 100);
        size = size.boundedTo(available.size());
        move(available.center() - QPoint(size.width() / 2, size.height() / 2));
    }
    resize(size);
}

frmMDI::~frmMDI() {
    m_activity->Remove();
}

ChildWindow* frmMDI::ActiveChild() const {
    QMdiSubWindow* sub = m_mdiArea->currentSubWindow();
    if (!sub) sub = m_mdiArea->activeSubWindow();
    if (!sub) return m_browse; // nothing was activated yet: the browse window is the one there
    return dynamic_cast<ChildWindow*>(sub->widget());
}

void frmMDI::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    m_workOffline = file->addAction(QStringLiteral("&Work Offline"));
    m_workOffline->setObjectName(QStringLiteral("mnuFileWorkOffline"));
    m_workOffline->setCheckable(true);
    connect(m_workOffline, &QAction::triggered, this, &frmMDI::mnuFileWorkOffline_Click);
    file->addSeparator();
    QAction* exit = file->addAction(QStringLiteral("E&xit ") + QString::fromLatin1(ProductName()));
    exit->setObjectName(QStringLiteral("mnuFileExit"));
    exit->setShortcut(QKeySequence::Quit);
    connect(exit, &QAction::triggered, this, &QWidget::close);

    m_mnuNavigate = menuBar()->addMenu(QStringLiteral("&Navigate"));
    m_mnuNavigate->setObjectName(QStringLiteral("mnuNavigate"));
    struct Command {
        const char* text;
        const char* key;
        QList<QKeySequence> shortcuts;
    };
    const Command commands[] = {
        {"&Back", "GoBack", {QKeySequence(Qt::ALT | Qt::Key_Left)}},
        {"&Forward", "GoForward", {QKeySequence(Qt::ALT | Qt::Key_Right)}},
        {"&Stop", "Stop", {QKeySequence(Qt::Key_Escape)}},
        {"&Refresh", "Refresh", {QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_R)}},
        {"&Home", "GoHome", {QKeySequence(Qt::ALT | Qt::Key_Home)}},
        {"&Address Bar", "AddrBar",
         {QKeySequence(Qt::CTRL | Qt::Key_L), QKeySequence(Qt::ALT | Qt::Key_D), QKeySequence(Qt::Key_F6)}},
    };
    for (const Command& c : commands) {
        QAction* action = m_mnuNavigate->addAction(QString::fromLatin1(c.text));
        const QString key = QString::fromLatin1(c.key);
        action->setObjectName(QStringLiteral("mnuNavigate") + key);
        action->setShortcuts(c.shortcuts);
        connect(action, &QAction::triggered, this, [this, key] {
            if (ChildWindow* child = ActiveChild()) child->mnuNavigateClick(key);
        });
    }
    m_mnuNavigate->addSeparator();
    QAction* popUps = m_mnuNavigate->addAction(QStringLiteral("Blocked Pop-&Ups"));
    popUps->setObjectName(QStringLiteral("mnuNavigatePopUps"));
    m_popUpsMenu->BindAction(popUps);
    m_mnuHistory = m_mnuNavigate->addMenu(QStringLiteral("Hi&story"));
    m_mnuHistory->setObjectName(QStringLiteral("mnuHistory"));
    m_mnuHistory->setEnabled(false);

    m_mnuLinks = menuBar()->addMenu(QStringLiteral("Lin&ks"));
    m_mnuLinks->setObjectName(QStringLiteral("mnuLinks"));
    m_linksAdd = m_mnuLinks->addAction(QStringLiteral("&Add Link..."));
    m_linksAdd->setObjectName(QStringLiteral("mnuLinksAdd"));
    m_linksAdd->setEnabled(false);
    m_mnuLinksEdit = m_mnuLinks->addMenu(QStringLiteral("&Edit Link"));
    m_mnuLinksEdit->setObjectName(QStringLiteral("mnuLinksEdit"));
    m_mnuLinksRemove = m_mnuLinks->addMenu(QStringLiteral("&Remove Link"));
    m_mnuLinksRemove->setObjectName(QStringLiteral("mnuLinksRemove"));
    m_mnuLinks->addSeparator();
    m_linksSort = m_mnuLinks->addAction(QStringLiteral("&Sort Links by Name..."));
    m_linksSort->setObjectName(QStringLiteral("mnuLinksSort"));
}

// ----- start-up -------------------------------------------------------------------------------

void frmMDI::SetUserCaption() {
    setWindowTitle(StartUp::MainTitle());
}

void frmMDI::RestoreOfflineState() {
    OfflineState::Restore();
    SetWorkOfflineChecked(OfflineState::IsOffline());
}

frmBrowse* frmMDI::LoadBrowseWindow(PaneFactory factory) {
    if (m_browse) return m_browse;
    auto* browse = new frmBrowse(*this, std::move(factory));
    m_browse = browse;
    QMdiSubWindow* sub =
        m_mdiArea->addSubWindow(browse, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    sub->setObjectName(QStringLiteral("frmBrowseWindow"));
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    WireBrowseWindow();
    browse->Form_Load();
    if (m_endRequested) return nullptr; // the load ended the program
    sub->showMaximized();
    browse->Activate();
    return browse;
}

void frmMDI::WireBrowseWindow() {
    connect(m_linksAdd, &QAction::triggered, m_browse, [this] {
        m_browse->State().contextLinkIndex = -1; // a new Link from the menu goes to the end
        m_browse->Controls().AddLinkDialog();
    });
    connect(m_linksSort, &QAction::triggered, m_browse, [this] { m_browse->SortButtons(); });
}

void frmMDI::UnloadBrowseWindow() {
    if (!m_browse) return;
    m_browse->Form_Unload();
    m_browse->close();
}

// ----- what the browse window uses ------------------------------------------------------------

void frmMDI::UpdateProgress(int value) {
    m_statusBar->UpdateProgress(value);
}

void frmMDI::NavigateURL(const QString& url) {
    if (m_browse) m_browse->NavigateURL(url);
}

bool frmMDI::WorkOfflineChecked() const {
    return m_workOffline->isChecked();
}

void frmMDI::SetWorkOfflineChecked(bool checked) {
    m_workOffline->setChecked(checked);
    if (checked)
        m_statusBar->SetPanelText(3, kWorkingOffline);
    else if (m_statusBar->PanelText(3) == kWorkingOffline)
        m_statusBar->SetPanelText(3, QString());
}

void frmMDI::mnuFileWorkOffline_Click(bool checked) {
    OfflineState::SetOffline(checked);
    SetWorkOfflineChecked(checked);
}

void frmMDI::ShowPageError(const QString& tag) {
    MsgBox(QStringLiteral("Problem with this Web page might prevent it from being ") + CRLF +
               QStringLiteral("displayed properly or functioning properly.") + CRLF + CRLF + tag,
           msgbox::OKOnly, msgbox::NoIcon, QString::fromLatin1(ProductName()));
}

void frmMDI::ShowMessage(const QString& text) {
    m_message->setText(text);
    m_message->adjustSize();
    m_message->move((width() - m_message->width()) / 2, (height() - m_message->height()) / 2);
    m_message->raise();
    m_message->show();
    m_message->repaint();
}

void frmMDI::HideMessage() {
    m_message->hide();
}

QString frmMDI::MessageText() const {
    return m_message->text();
}

bool frmMDI::MessageShown() const {
    return !m_message->isHidden();
}

void frmMDI::EndApplication() {
    App().EndingOnError = true;
    App().gbUnloading = true;
    m_endRequested = true;
    close();
}

void frmMDI::closeEvent(QCloseEvent* event) {
    App().gbUnloading = true;
    m_activity->Remove();
    UnloadBrowseWindow();
    event->accept();
}
