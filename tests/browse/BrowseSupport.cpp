#include "BrowseSupport.h"

#include <algorithm>
#include <QTest>

#include "browse/engine/WebProfiles.h"
#include "browse/LinkButtonsPanel.h"
#include "browse/OfflineState.h"
#include "core/AppState.h"
#include "core/Clock.h"
#include "core/modEncrypt.h"
#include "links/Links.h"

namespace browsetest {

BrowseWindow::BrowseWindow(const QList<LinkSpec>& specs, bool newUser) {
    // The machine's own network state must not decide what a test sees.
    OfflineState::SetConnectionProbe([] { return true; });
    App().CurrentUser = QLatin1String(kUser);
    App().PassPhrase = QLatin1String(kPassPhrase);
    App().NewUserCreated = newUser;
    if (specs.isEmpty()) return;
    Links stored(App().CurrentUser);
    const auto enc = [](const QString& text) { return modEncrypt::EncryptMessage(text); };
    bool ordered = false;
    for (const LinkSpec& s : specs) {
        ordered = ordered || s.controlOrder >= 0;
        stored.Add(s.caption, enc(s.url), enc(s.userName), enc(s.pw), QString(), QString(), s.autoNavigate,
                   s.reqLogin, s.controlOrder >= 0 ? s.controlOrder : -1, false);
    }
    if (ordered) stored.SaveLinks(false);
}

BrowseWindow::~BrowseWindow() {
    WebProfiles::SetOffline(false);
    OfflineState::SetConnectionProbe({});
    m_frame.reset();
}

frmBrowse& BrowseWindow::Load() {
    m_frame = std::make_unique<frmMDI>();
    m_frame->SetUserCaption();
    m_frame->show();
    m_frame->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(m_frame.get()));
    m_browse = m_frame->LoadBrowseWindow([this](QWidget* parent) {
        auto* pane = new RecordingPane(parent);
        pane->onNavigate = [this](RecordingPane* p, const QString& url) {
            if (url != QLatin1String("about:blank")) m_navigations.append({p, url});
        };
        return pane;
    });
    EXPECT_TRUE(m_browse);
    for (QTimer* t : {&m_browse->tmrBusy(), &m_browse->tmrPrsTimeOut(), &m_browse->tmrShowPage(),
                      &m_browse->tmrGetFavs()})
        t->stop();
    return *m_browse;
}

Links& BrowseWindow::links() {
    return m_browse->links();
}

RecordingPane& BrowseWindow::pane(int i) {
    BrowserPane* pane = i == frmBrowse::kPlaceholder ? m_browse->Placeholder() : m_browse->Pane(i);
    EXPECT_TRUE(pane) << "no pane " << i;
    return *static_cast<RecordingPane*>(pane);
}

int BrowseWindow::index(const QString& caption) {
    return PaneIndexOf(links(), caption);
}

Link& BrowseWindow::link(const QString& caption) {
    return *links().Item(index(caption) + 1);
}

QStringList BrowseWindow::navigations() const {
    QStringList out;
    for (const auto& [pane, url] : m_navigations) {
        int index = -1;
        if (m_browse && pane == m_browse->Placeholder()) index = frmBrowse::kPlaceholder;
        for (int i = 0; m_browse && i < frmBrowse::kPlaceholder && index < 0; ++i)
            if (m_browse->Pane(i) == pane) index = i;
        out << QString::number(index) + QLatin1Char(' ') + url;
    }
    return out;
}

QStringList BrowseWindow::buttonOrder() {
    QList<QPair<int, QString>> rows;
    for (Link* l : links()) {
        LinkButton* button = m_browse->Buttons().cmdLink(l->Index() - 1);
        if (button && !button->isHidden()) rows.append({button->y(), l->Caption()});
    }
    std::sort(rows.begin(), rows.end());
    QStringList out;
    for (const auto& row : rows)
        out << row.second;
    return out;
}

void BrowseWindow::click(const QString& caption) {
    LinkButton* button = m_browse->Buttons().cmdLink(index(caption));
    ASSERT_TRUE(button);
    QTest::mouseClick(button, Qt::LeftButton);
}

void BrowseWindow::startUp() {
    m_browse->tmrGetFavs_Timer();
}

QDateTime BrowseWindow::freezeClock() {
    const QDateTime now(QDate(2024, 3, 5), QTime(10, 0, 0));
    Clock::SetNow(now);
    return now;
}

} // namespace browsetest
