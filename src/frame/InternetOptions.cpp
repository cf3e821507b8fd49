#include "frame/InternetOptions.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

#include "browse/engine/ProgramPages.h"
#include "browse/engine/WebProfiles.h"
#include "browse/UserHomePage.h"
#include "core/AppState.h"
#include "core/DialogButtons.h"
#include "core/Errors.h"
#include "core/MessageBox.h"
#include "core/Settings.h"

namespace {

QString StartPage() {
    return QString::fromLatin1(ProgramPages::kStartPageUrl);
}

// A typed home page as the panes can load it; empty when it is no page address.
QString UsableHomePage(const QString& typed) {
    const QString text = typed.trimmed();
    if (text.isEmpty()) return QString();
    if (ProgramPages::IsProgramPage(text) ||
        text.compare(QLatin1String("about:blank"), Qt::CaseInsensitive) == 0)
        return text;
    QUrl url(text, QUrl::StrictMode);
    if (url.scheme().isEmpty()) url = QUrl::fromUserInput(text);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || !(scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
                            scheme == QLatin1String("file")))
        return QString();
    return url.toString();
}

} // namespace

InternetOptions::InternetOptions(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmInternetOptions"));
    setWindowTitle(QStringLiteral("Internet Options"));

    auto* home = new QGroupBox(QStringLiteral("Home page"));
    auto* homeLayout = new QVBoxLayout(home);
    homeLayout->addWidget(new QLabel(QStringLiteral("The page Home opens in every tab:")));
    m_txtHomePage = new QLineEdit(UserHomePage::Get());
    m_txtHomePage->setObjectName(QStringLiteral("txtHomePage"));
    m_txtHomePage->setMinimumWidth(380);
    homeLayout->addWidget(m_txtHomePage);
    m_cmdUseDefault = new QPushButton(QStringLiteral("Use &Default"));
    m_cmdUseDefault->setObjectName(QStringLiteral("cmdUseDefault"));
    auto* homeButtons = new QHBoxLayout;
    homeButtons->addStretch();
    homeButtons->addWidget(m_cmdUseDefault);
    homeLayout->addLayout(homeButtons);

    auto* data = new QGroupBox(QStringLiteral("Browsing data of ") + App().CurrentUser);
    auto* dataLayout = new QVBoxLayout(data);
    m_chkCookies = new QCheckBox(QStringLiteral("&Cookies (you will be logged out of web sites)"));
    m_chkCookies->setObjectName(QStringLiteral("chkCookies"));
    m_chkCache = new QCheckBox(QStringLiteral("Cached &files (copies of pages and pictures)"));
    m_chkCache->setObjectName(QStringLiteral("chkCache"));
    m_chkCache->setChecked(true);
    m_chkHistory = new QCheckBox(QStringLiteral("&History of visited links"));
    m_chkHistory->setObjectName(QStringLiteral("chkHistory"));
    m_chkHistory->setChecked(true);
    m_cmdDelete = new QPushButton(QStringLiteral("&Delete..."));
    m_cmdDelete->setObjectName(QStringLiteral("cmdDelete"));
    dataLayout->addWidget(m_chkCookies);
    dataLayout->addWidget(m_chkCache);
    dataLayout->addWidget(m_chkHistory);
    auto* dataButtons = new QHBoxLayout;
    dataButtons->addStretch();
    dataButtons->addWidget(m_cmdDelete);
    dataLayout->addLayout(dataButtons);

    m_cmdOK = dialogbuttons::Make(QStringLiteral("OK"), "cmdOK", dialogbuttons::Enter::Default);
    m_cmdCancel = dialogbuttons::Make(QStringLiteral("Cancel"), "cmdCancel", dialogbuttons::Enter::Plain);
    auto* buttons = dialogbuttons::Row({}, {m_cmdOK, m_cmdCancel});

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(home);
    layout->addWidget(data);
    layout->addLayout(buttons);

    connect(m_cmdUseDefault, &QPushButton::clicked, this, &InternetOptions::cmdUseDefault_Click);
    connect(m_cmdDelete, &QPushButton::clicked, this, &InternetOptions::cmdDelete_Click);
    connect(m_cmdOK, &QPushButton::clicked, this, &InternetOptions::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void InternetOptions::Run(QWidget* parent) {
    InternetOptions dialog(parent);
    modal::RunModal(dialog);
}

void InternetOptions::cmdUseDefault_Click() {
    m_txtHomePage->setText(StartPage());
}

bool InternetOptions::cmdDelete_Click() {
    const bool cookies = m_chkCookies->isChecked(), cache = m_chkCache->isChecked(),
               history = m_chkHistory->isChecked();
    if (!cookies && !cache && !history) return false;
    QStringList what;
    if (cookies) what << QStringLiteral("cookies");
    if (cache) what << QStringLiteral("cached files");
    if (history) what << QStringLiteral("the history of visited links");
    const QString list = what.size() == 1 ? what.first()
                                          : what.mid(0, what.size() - 1).join(QStringLiteral(", ")) +
                                                QStringLiteral(" and ") + what.last();
    if (MsgBox(QStringLiteral("Delete the ") + list + QStringLiteral(" of ") + App().CurrentUser +
                   QStringLiteral("?") + CR + CR + QStringLiteral("This cannot be undone.") + CR + CR,
               msgbox::YesNo, msgbox::Question, QStringLiteral("Delete Browsing Data"), 2) != msgbox::Yes)
        return false;
    return Errors::Guarded(QLatin1String(kModule), QStringLiteral("cmdDelete_Click"), [&] {
        // The user's shared profile and every Link's own.
        for (QWebEngineProfile* profile : WebProfiles::EveryProfileOf(App().CurrentUser)) {
            if (cookies) profile->cookieStore()->deleteAllCookies();
            if (cache) profile->clearHttpCache();
            if (history) profile->clearAllVisitedLinks();
        }
    });
}

void InternetOptions::cmdOK_Click() {
    const QString page =
        m_txtHomePage->text().trimmed().isEmpty() ? StartPage() : UsableHomePage(m_txtHomePage->text());
    if (page.isEmpty()) {
        MsgBox(QStringLiteral("Please enter the address of a web page (http://...) as the home page.") + CR +
                   CR,
               msgbox::OKOnly, msgbox::Exclamation, QStringLiteral("Internet Options"));
        m_txtHomePage->setFocus(Qt::OtherFocusReason);
        m_txtHomePage->selectAll();
        return;
    }
    if (page != UserHomePage::Get()) UserHomePage::Set(page);
    accept();
}
