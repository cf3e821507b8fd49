#include "FrameSupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "browse/LinkButtonsPanel.h"
#include "browse/OfflineState.h"
#include "core/AppState.h"
#include "core/SecretCipher.h"
#include "core/Settings.h"
#include "links/Links.h"
#include "users/Accounts.h"
#include "users/LoginDialog.h"

namespace frametest {

FrameRun::FrameRun() {
    // The machine's own network state must not decide what a test sees.
    OfflineState::SetConnectionProbe([] { return true; });
    hooks.version.startCompanion = [this](const QString& arguments) { companionRuns << arguments; };
    hooks.version.agreement = [this](QWidget*) {
        ++agreements;
        return acceptAgreement;
    };
}

FrameRun::~FrameRun() {
    m_frame.reset();
    OfflineState::SetConnectionProbe({});
}

void FrameRun::CreateUser(const QString& name, const QString& password) {
    boxes.Answer(msgbox::Yes); // "is this the password you want?"
    Accounts accounts;
    LoginFields fields{name, password, QString(), password};
    EXPECT_EQ(accounts.DoNewUser(fields).outcome, LoginStep::Succeeded) << boxes.lastText().toStdString();
    App() = AppState();
    boxes.Clear();
}

void FrameRun::AddLink(const QString& user, const QString& password, const QString& caption,
                       const QString& url) {
    App().PassPhrase = password;
    {
        Links links(user);
        links.Add(caption, SecretCipher::EncryptMessage(url), QString(), QString(), QString(), QString(),
                  false, false, -1, true);
    }
    App() = AppState();
}

MainWindow& FrameRun::Start(const QString& user, const QString& password) {
    dialogs.Next([user, password](QDialog& dialog) {
        auto& login = static_cast<LoginDialog&>(dialog);
        if (user.isEmpty()) {
            login.findChild<QPushButton*>("cmdCancel")->click();
        } else {
            login.findChild<QComboBox*>("cmbUserName")->setEditText(user);
            login.findChild<QLineEdit*>("txtPassword")->setText(password);
            login.findChild<QPushButton*>("cmdOK")->click();
        }
        return login.result();
    });
    m_frame = std::make_unique<MainWindow>([](QWidget* parent) { return new FakePane(parent); });
    m_frame->LifeCycle().SetStartUpHooks(hooks);
    m_frame->LifeCycle().SetStartAddresses(addresses);
    m_frame->LifeCycle().SetEndProcessHandler([this](ProgramLifeCycle::EndKind kind) { ends << kind; });
    m_frame->LifeCycle().StartUp();
    if (BrowseWindow* browse = m_frame->Browse())
        for (QTimer* t : {&browse->BusyTimer(), &browse->ParseTimeOutTimer(), &browse->ShowPageTimer(),
                          &browse->LoadFavoritesTimer()})
            t->stop();
    return *m_frame;
}

void FrameRun::Close() {
    m_frame.reset();
    App() = AppState();
    ends.clear();
}

BrowseWindow& FrameRun::browse() {
    EXPECT_TRUE(m_frame && m_frame->Browse());
    return *m_frame->Browse();
}

FakePane& FrameRun::pane(int i) {
    BrowserPane* pane = browse().Pane(i);
    EXPECT_TRUE(pane) << "no pane " << i;
    return *static_cast<FakePane*>(pane);
}

int FrameRun::index(const QString& caption) {
    return PaneIndexOf(browse().links(), caption);
}

FakePane& FrameRun::open(const QString& caption, const QString& url) {
    const int i = index(caption);
    QTest::mouseClick(browse().Buttons().LinkButtonAt(i), Qt::LeftButton);
    FakePane& p = pane(i);
    p.SimulateLoad(url, {}, caption + QStringLiteral(" page"));
    return p;
}

int FrameRun::TickUntilEnded(int max) {
    m_frame->LifeCycle().findChild<QTimer*>(QStringLiteral("unloadTimer"))->stop();
    int ticks = 0;
    while (ends.isEmpty() && ticks < max) {
        m_frame->LifeCycle().UnloadTick();
        ++ticks;
    }
    return ticks;
}

QString FrameRun::Stored(const QString& key, const QString& name) {
    return core::GetValue(key, name);
}

} // namespace frametest
