#include "BrowseSupport.h"

#include <algorithm>
#include <sqlite3.h>

#include "browse/engine/WebProfiles.h"
#include "browse/OfflineState.h"
#include "core/SecretCipher.h"

sqlite3* OpenDb(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    return db;
}

void Exec(sqlite3* db, const QString& sql) {
    char* error = nullptr;
    ASSERT_EQ(sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error), SQLITE_OK)
        << (error ? error : "") << " in " << sql.toStdString();
}

BrowseFixture::BrowseFixture(const QList<LinkSpec>& specs, bool newUser) {
    // The machine's own network state must not decide what a test sees.
    OfflineState::SetConnectionProbe([] { return true; });
    App().CurrentUser = QLatin1String(kUser);
    App().PassPhrase = QLatin1String(kPassPhrase);
    App().NewUserCreated = newUser;
    if (specs.isEmpty()) return;
    Links stored(App().CurrentUser);
    const auto enc = [](const QString& text) { return SecretCipher::EncryptMessage(text); };
    bool ordered = false;
    for (const LinkSpec& s : specs) {
        ordered = ordered || s.controlOrder >= 0;
        stored.Add(s.caption, enc(s.url), enc(s.userName), enc(s.pw), QString(), QString(), s.autoNavigate,
                   s.reqLogin, s.controlOrder >= 0 ? s.controlOrder : -1, false);
    }
    if (ordered) stored.SaveLinks(false);
}

BrowseFixture::~BrowseFixture() {
    WebProfiles::SetOffline(false);
    OfflineState::SetConnectionProbe({});
    m_frame.reset();
}

BrowseWindow& BrowseFixture::Load() {
    m_frame = std::make_unique<MainWindow>();
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
    for (const char* timer : {"busyTimer", "parseTimeOutTimer", "showPageTimer", "loadFavoritesTimer"})
        Child<QTimer>(m_browse, timer)->stop();
    return *m_browse;
}

QStringList BrowseFixture::navigations() const {
    QStringList out;
    for (const auto& [pane, url] : m_navigations) {
        int index = -1;
        if (m_browse && pane == m_browse->Placeholder()) index = BrowseWindow::kPlaceholder;
        for (int i = 0; m_browse && i < BrowseWindow::kPlaceholder && index < 0; ++i)
            if (m_browse->Pane(i) == pane) index = i;
        out << QString::number(index) + QLatin1Char(' ') + url;
    }
    return out;
}

QStringList BrowseFixture::buttonOrder() {
    QList<QPair<int, QString>> rows;
    for (Link* l : links()) {
        LinkButton* button = m_browse->Buttons().LinkButtonAt(l->Index() - 1);
        if (button && !button->isHidden()) rows.append({button->y(), l->Caption()});
    }
    std::sort(rows.begin(), rows.end());
    QStringList out;
    for (const auto& row : rows)
        out << row.second;
    return out;
}

void BrowseFixture::click(const QString& caption) {
    LinkButton* button = m_browse->Buttons().LinkButtonAt(index(caption));
    ASSERT_TRUE(button);
    QTest::mouseClick(button, Qt::LeftButton);
}
