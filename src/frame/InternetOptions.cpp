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
    m_homePageEdit = new QLineEdit(UserHomePage::Get());
    m_homePageEdit->setObjectName(QStringLiteral("txtHomePage"));
    m_homePageEdit->setMinimumWidth(380);
    homeLayout->addWidget(m_homePageEdit);
    m_useDefaultButton = new QPushButton(QStringLiteral("Use &Default"));
    m_useDefaultButton->setObjectName(QStringLiteral("cmdUseDefault"));
    auto* homeButtons = new QHBoxLayout;
    homeButtons->addStretch();
    homeButtons->addWidget(m_useDefaultButton);
    homeLayout->addLayout(homeButtons);

    auto* browsingData = new QGroupBox(QStringLiteral("Browsing data of ") + App().CurrentUser);
    auto* dataLayout = new QVBoxLayout(browsingData);
    m_cookiesCheck = new QCheckBox(QStringLiteral("&Cookies (you will be logged out of web sites)"));
    m_cookiesCheck->setObjectName(QStringLiteral("chkCookies"));
    m_cacheCheck = new QCheckBox(QStringLiteral("Cached &files (copies of pages and pictures)"));
    m_cacheCheck->setObjectName(QStringLiteral("chkCache"));
    m_cacheCheck->setChecked(true);
    m_historyCheck = new QCheckBox(QStringLiteral("&History of visited links"));
    m_historyCheck->setObjectName(QStringLiteral("chkHistory"));
    m_historyCheck->setChecked(true);
    m_deleteButton = new QPushButton(QStringLiteral("&Delete..."));
    m_deleteButton->setObjectName(QStringLiteral("cmdDelete"));
    dataLayout->addWidget(m_cookiesCheck);
    dataLayout->addWidget(m_cacheCheck);
    dataLayout->addWidget(m_historyCheck);
    auto* dataButtons = new QHBoxLayout;
    dataButtons->addStretch();
    dataButtons->addWidget(m_deleteButton);
    dataLayout->addLayout(dataButtons);

    m_okButton = dialogbuttons::Make(QStringLiteral("OK"), "cmdOK", dialogbuttons::Enter::Default);
    m_cancelButton = dialogbuttons::Make(QStringLiteral("Cancel"), "cmdCancel", dialogbuttons::Enter::Plain);
    auto* buttons = dialogbuttons::Row({}, {m_okButton, m_cancelButton});

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(home);
    layout->addWidget(browsingData);
    layout->addLayout(buttons);

    connect(m_useDefaultButton, &QPushButton::clicked, this, &InternetOptions::OnUseDefaultClicked);
    connect(m_deleteButton, &QPushButton::clicked, this, &InternetOptions::OnDeleteClicked);
    connect(m_okButton, &QPushButton::clicked, this, &InternetOptions::OnOkClicked);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void InternetOptions::Run(QWidget* parent) {
    InternetOptions dialog(parent);
    modal::RunModal(dialog);
}

void InternetOptions::OnUseDefaultClicked() {
    m_homePageEdit->setText(StartPage());
}

bool InternetOptions::OnDeleteClicked() {
    const bool cookies = m_cookiesCheck->isChecked(), cache = m_cacheCheck->isChecked(),
               history = m_historyCheck->isChecked();
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

void InternetOptions::OnOkClicked() {
    const QString page =
        m_homePageEdit->text().trimmed().isEmpty() ? StartPage() : UsableHomePage(m_homePageEdit->text());
    if (page.isEmpty()) {
        MsgBox(QStringLiteral("Please enter the address of a web page (http://...) as the home page.") + CR +
                   CR,
               msgbox::OKOnly, msgbox::Exclamation, QStringLiteral("Internet Options"));
        m_homePageEdit->setFocus(Qt::OtherFocusReason);
        m_homePageEdit->selectAll();
        return;
    }
    if (page != UserHomePage::Get()) UserHomePage::Set(page);
    accept();
}
