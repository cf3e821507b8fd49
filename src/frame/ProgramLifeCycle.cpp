#include "frame/ProgramLifeCycle.h"

#include <cstdio>
#include <QApplication>
#include <unistd.h>

#include "browse/BrowseWindow.h"
#include "browse/engine/WebProfiles.h"
#include "browse/PopupPolicy.h"
#include "core/AppPaths.h"
#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Errors.h"
#include "core/HelpRequest.h"
#include "core/Log.h"
#include "core/MessageBox.h"
#include "core/ProcessPrivacy.h"
#include "core/SettingsStore.h"
#include "frame/ActivityMonitor.h"
#include "frame/CommandLine.h"
#include "frame/MainWindow.h"
#include "frame/Periphery.h"
#include "frame/SingleInstance.h"
#include "frame/TerminationSignals.h"
#include "users/DeleteUser.h"
#include "users/ProgramEnd.h"
#include "users/StartUp.h"
#include "users/UserOptions.h"

using namespace core;

namespace {

QString Product() {
    return QString::fromLatin1(ProductName());
}

} // namespace

// The desktop's quit of the program: the session is ending (the user logs out).
class SessionEndFilter : public QObject {
public:
    SessionEndFilter(std::function<void()> ended, QObject* parent)
        : QObject(parent), m_ended(std::move(ended)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Quit || watched != QCoreApplication::instance()) return false;
        m_ended();
        return true;
    }

private:
    std::function<void()> m_ended;
};

ProgramLifeCycle::ProgramLifeCycle(MainWindow& window) : m_window(window) {
    m_unloadTimer = new QTimer(this);
    m_unloadTimer->setObjectName(QStringLiteral("unloadTimer"));
    m_unloadTimer->setInterval(kUnloadIntervalMs);
    connect(m_unloadTimer, &QTimer::timeout, this, &ProgramLifeCycle::UnloadTick);
}

ProgramLifeCycle::~ProgramLifeCycle() {
    m_unloadTimer->stop();
    RemoveHooks();
    // A program that goes with its unload still pending (a test, a benchmark) leaves nothing behind.
    if (m_busyCursor) QApplication::restoreOverrideCursor();
    if (m_unloadPending) m_window.HideMessage();
    if (m_splash) delete m_splash;
    ReleaseSettings();
}

void ProgramLifeCycle::ReleaseSettings() {
    if (m_options && App().Options == m_options.get()) App().Options = nullptr;
    m_options.reset();
    if (m_store && SettingsStore::Current() == m_store.get()) SettingsStore::SetCurrent(nullptr);
    m_store.reset();
}

// ----- start-up -------------------------------------------------------------------------------

int ProgramLifeCycle::Run() {
    m_ownsProcess = true;
    // The program ends when the life cycle says so, not when its last window closes.
    QApplication::setQuitOnLastWindowClosed(false);
    StartUp();
    if (m_ended) return 0;
    m_inEventLoop = true;
    const int rc = QApplication::exec();
    m_inEventLoop = false;
    return rc;
}

void ProgramLifeCycle::StartUp() {
#ifdef BG_DIAGNOSTIC_BUILD
    App().DiagnosticMode = true;
#else
    App().DiagnosticMode = false;
#endif
    WriteLog(QStringLiteral("MDIForm_Load Begin Proc"));
    if (App().Unloading && !App().DiagnosticMode) {
        WriteLog(QStringLiteral("MDIForm_Load ENDING APPLICATION... "));
        EndProcess(EndKind::Immediate);
        return;
    }
    try {
        RunStartUp();
    } catch (const std::exception& e) {
        WriteErrorLog(QStringLiteral("MDIForm_Load ") + QString::fromUtf8(e.what()));
        App().EndingOnError = true;
        MsgBox(QStringLiteral(
                   "Bramblegate has encountered a problem. It needs to exit now. Please retry again or "
                   "contact Support for help."),
               msgbox::OKOnly, msgbox::Critical, QStringLiteral("Problem Encountered"));
        QueryUnload(Code);
    }
}

void ProgramLifeCycle::RunStartUp() {
    // Before any password is typed.
    ProcessPrivacy::KeepMemoryPrivate();
    InstallHooks();
    ActivatePrevInstance();
    if (m_ended) return;

    App().FavoritesReady = true;
    m_window.setWindowTitle(Product());

    if (!OpenStore() || !CheckVersion()) {
        App().EndingOnError = true;
        QueryUnload(Code);
        return;
    }
    // Web data of users deleted while the engine still held it goes before anyone logs in.
    UserDeletion::RemoveLeftoverProfileFolders();
    if (!StartUp::Login()) {
        QueryUnload(Code);
        return;
    }
    m_window.SetUserCaption();
    m_options = std::make_unique<UserOptions>(App().CurrentUser);
    App().Options = m_options.get();

    m_window.RestoreOfflineState();
    m_window.ToolbarResetData();
    m_window.LoadLinksBar();
    QCoreApplication::processEvents();
    m_initialised = true;

    m_splash = Periphery::ShowSplash();
    QCoreApplication::processEvents();

    m_window.show();
    m_window.LoadBrowseWindow();
    // The idle time counts from here.
    m_window.Activity().SetLastActivity(Clock::Now());
    if (!App().Unloading) m_window.LoadLists();
    QCoreApplication::processEvents();
    if (m_splash) m_splash->close();
    if (!App().Unloading && Periphery::TipAtStartUp())
        QTimer::singleShot(0, this, [this] {
            if (!App().Unloading && !App().Locked) Periphery::RunTipOfTheDay(&m_window);
        });
}

void ProgramLifeCycle::InstallHooks() {
    if (m_hooksInstalled) return;
    m_hooksInstalled = true;
    // Dialogs below the frame end the program through its own unload.
    ProgramEnd::SetUnloadFrameHandler([this] { QueryUnload(Code); });
    ProgramEnd::SetEndNowHandler([this] {
        m_window.Activity().Remove();
        EndProcess(EndKind::Immediate);
    });
    helprequest::SetHandler([this](const QString& topic) { m_window.ShowHelp(topic); });
    UserDeletion::SetWebDataRemover([](const QString& user) { WebProfiles::ClearUserData(user); });
    Errors::SetAbortHandler([this] {
        App().EndingOnError = true;
        QueryUnload(Code);
    });
    m_termination = new TerminationSignals(this);
    connect(m_termination, &TerminationSignals::Terminated, this, [this] { QueryUnload(Terminated); });
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        // The desktop asks programs to save their state also when nobody logs out
        // (commitDataRequest): that ends nothing. The session ending is the desktop's quit.
        m_sessionEnd = new SessionEndFilter([this] { QueryUnload(SessionEnding); }, this);
        app->installEventFilter(m_sessionEnd);
        // The event loop is ending without the program's unload (the session manager quit the
        // program): unload now, without saving, as for the end of a session.
        connect(app, &QCoreApplication::aboutToQuit, this, [this] {
            if (m_unloadDone) return;
            App().Unloading = true;
            App().EndingOnError = true;
            m_inEventLoop = false;
            Unload();
        });
    }
    // The idle time of the inactivity lock counts from here.
    m_window.Activity().Install();
    m_window.Activity().SetLastActivity(Clock::Now());
    m_window.InstallLock();
}

void ProgramLifeCycle::RemoveHooks() {
    if (!m_hooksInstalled) return;
    m_hooksInstalled = false;
    ProgramEnd::SetUnloadFrameHandler({});
    ProgramEnd::SetEndNowHandler({});
    Errors::SetAbortHandler({});
    delete m_sessionEnd;
    helprequest::SetHandler({});
    UserDeletion::SetWebDataRemover({});
    delete m_termination;
    m_window.Activity().Remove();
    m_window.RemoveLock();
}

bool ProgramLifeCycle::OpenStore() {
    if (SettingsStore::Current()) return true;
    QString error;
    m_store = SettingsStore::Open(AppPaths::SettingsFile(), &error);
    if (!m_store) {
        MsgBox(error, msgbox::OKOnly, msgbox::Critical, Product());
        return false;
    }
    SettingsStore::SetCurrent(m_store.get());
    return true;
}

bool ProgramLifeCycle::CheckVersion() {
    VersionCheck::Hooks hooks = m_hooks.version;
    if (!hooks.startCompanion)
        hooks.startCompanion = [](const QString& arguments) { Periphery::StartCompanion(arguments); };
    if (!hooks.agreement) hooks.agreement = [](QWidget* parent) { return Periphery::RunAgreement(parent); };
    return VersionCheck::CheckVersion(hooks, &m_window);
}

void ProgramLifeCycle::ActivatePrevInstance() {
    m_instance = std::make_unique<SingleInstance>();
    connect(m_instance.get(), &SingleInstance::ActivateRequested, this,
            &ProgramLifeCycle::ActivateFromOtherCopy);
    connect(m_instance.get(), &SingleInstance::OpenRequested, this, &ProgramLifeCycle::OpenAddresses);
    switch (m_instance->Claim(m_hooks.instanceAnswerMs, m_pendingAddresses)) {
    case SingleInstance::Outcome::First:
        return;
    case SingleInstance::Outcome::Activated:
        EndProcess(EndKind::Immediate);
        return;
    case SingleInstance::Outcome::NoAnswer:
        MsgBox(Product() + QStringLiteral(" is already open!               ") + CR + CR, msgbox::OKOnly,
               msgbox::Exclamation, QStringLiteral("Already Open"));
        EndProcess(EndKind::Immediate);
        return;
    }
}

void ProgramLifeCycle::ActivateFromOtherCopy() {
    // Before the main window shows, the login dialog is the program's window.
    if (m_window.isVisible()) {
        if (m_window.isMinimized()) m_window.showNormal();
        m_window.raise();
        m_window.activateWindow();
    }
    if (QWidget* modal = QApplication::activeModalWidget()) {
        if (modal->isMinimized()) modal->showNormal();
        modal->raise();
        modal->activateWindow();
    }
}

void ProgramLifeCycle::OpenAddresses(const QStringList& addresses) {
    for (const QString& address : addresses) {
        // Another process sent them: only what the command line would take.
        const QString usable = CommandLine::AddressFor(address, QString());
        if (!usable.isEmpty()) m_pendingAddresses << usable;
    }
    OpenPendingAddresses();
}

void ProgramLifeCycle::OpenPendingAddresses() {
    // After the login and the start-up Links (which decide what is on show), and not while locked.
    BrowseWindow* browse = m_window.Browse();
    if (m_pendingAddresses.isEmpty() || !m_initialised || !browse || EndRequested() || App().Locked ||
        !browse->State().startUpNavigationDone)
        return;
    const QStringList addresses = std::exchange(m_pendingAddresses, {});
    m_window.NavigateActive(addresses.first());
    for (const QString& address : addresses.mid(1)) {
        App().LastClickedWindow = browse->WindowHandle();
        browse->PopUps().OpenNewWin(address, true, nullptr, true, QString());
    }
}

// ----- shutdown -------------------------------------------------------------------------------

bool ProgramLifeCycle::QueryUnload(UnloadMode mode) {
    if (m_unloadPending || m_unloadDone || m_ended) return true;
    App().Unloading = true;
    if (mode == CloseBox) {
        const QString text = QStringLiteral("This will exit ") + Product() + QStringLiteral(".") +
                             QString(22, QLatin1Char(' ')) + CR +
                             QStringLiteral("Are your sure you want to exit?") + CR + CR;
        if (MsgBox(text, msgbox::YesNo, msgbox::Question, QStringLiteral("Exit ") + Product()) !=
            msgbox::Yes) {
            App().Unloading = false;
            return false;
        }
    } else if (mode == SessionEnding || mode == Terminated) {
        // Nobody is there to answer questions, and the user's data may be half-way.
        App().EndingOnError = true;
    }
    m_unloadPending = true;
    // Nothing takes input any more.
    m_window.SetInputEnabled(false);
    m_window.ShowMessage(QStringLiteral("Exiting..."));
    if (!m_busyCursor) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_busyCursor = true;
    }
    m_unloadTimer->start();
    return true;
}

void ProgramLifeCycle::UnloadTick() {
    ++m_unloadTicks;
    if (m_unloadTicks >= kForcedEndTicks) {
        m_unloadTimer->stop();
        m_window.Activity().Remove();
        WriteLog(QStringLiteral("tmrUnload_Timer ENDING APPLICATION..."));
        EndProcess(EndKind::Immediate);
        return;
    }
    // A favorites refresh in progress finishes first.
    if (m_unloadTicks >= 2 && App().FavoritesReady) {
        m_window.Activity().Remove();
        WriteLog(QStringLiteral("tmrUnload_Timer Unloading..."));
        Unload();
        if (m_unloadDone) m_unloadTimer->stop();
    }
}

void ProgramLifeCycle::Unload() {
    if (m_unloadDone) return;
    m_unloadDone = true;
    m_unloadPending = false;
    App().Unloading = true;
    if (m_busyCursor) {
        QApplication::restoreOverrideCursor();
        m_busyCursor = false;
    }
    m_window.UnloadOtherWindows();
    m_window.UnloadBrowseWindow();
    m_window.HideMessage();
    WriteLog(QStringLiteral("MDIForm_UnLoad frmBrowse unloaded successfully"));
    WriteLog(QStringLiteral("MDIForm_UnLoad Completed"));
    EndProcess(EndKind::Orderly);
}

void ProgramLifeCycle::EndApplication() {
    App().EndingOnError = true;
    QueryUnload(Code);
}

void ProgramLifeCycle::EndProcess(EndKind kind) {
    m_ended = true;
    if (m_endProcess) {
        m_endProcess(kind);
        return;
    }
    if (kind == EndKind::Immediate && m_ownsProcess) {
        // Every store commit is already on disk; nothing else may run.
        std::fflush(nullptr);
        ::_exit(0);
    }
    m_window.hide();
    if (m_inEventLoop) QCoreApplication::exit(0);
}
