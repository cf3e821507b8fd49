#include "links/frmAddEditLink.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/DialogButtons.h"
#include "core/HelpRequest.h"
#include "core/MessageBox.h"
#include "core/Settings.h"
#include "core/SettingsStore.h"
#include "core/StoredNames.h"
#include "core/UrlUtils.h"
#include "links/Link.h"
#include "links/LinkEditorHost.h"
#include "links/Links.h"

namespace {

QLineEdit* lineEdit(const char* name) {
    auto* box = new QLineEdit;
    box->setObjectName(QLatin1String(name));
    box->setMinimumWidth(260);
    return box;
}

QLabel* label(const QString& text, const char* name, QWidget* buddy) {
    auto* l = new QLabel(text);
    l->setObjectName(QLatin1String(name));
    l->setBuddy(buddy);
    return l;
}

QString advancedText(bool shown) {
    return shown ? QStringLiteral("&Advanced <<") : QStringLiteral("&Advanced >>");
}

} // namespace

frmAddEditLink::frmAddEditLink(LinkEditorHost& host, Mode mode, QWidget* parent)
    : QDialog(parent), m_host(host), m_mode(mode) {
    setObjectName(QStringLiteral("frmAddEditLink"));
    setWindowTitle(mode == Mode::Add ? QStringLiteral("Add Link") : QStringLiteral("Edit Link"));
    setModal(true);
    BuildLayout();
    SetHelpTexts();
    ShowAdvanced(false);
    ApplyEnabling();
}

void frmAddEditLink::BuildLayout() {
    m_txtCaption = lineEdit("txtCaption");
    m_txtUrl = lineEdit("txtUrl");
    m_chkAutoNavigate = new QCheckBox(QStringLiteral("Load At &Start"));
    m_chkAutoNavigate->setObjectName(QStringLiteral("chkAutoNavigate"));
    m_chkReqLogin = new QCheckBox(QStringLiteral("Requires &Login"));
    m_chkReqLogin->setObjectName(QStringLiteral("chkReqLogin"));

    m_txtUserName = lineEdit("txtUserName");
    m_txtPW = lineEdit("txtPW");
    m_txtPW->setEchoMode(QLineEdit::Password);
    m_lblUserName = label(QStringLiteral("&User Name:"), "lblUserName", m_txtUserName);
    m_lblPW = label(QStringLiteral("&Password:"), "lblPW", m_txtPW);
    m_cmdShow = new QPushButton(QStringLiteral("Sho&w"));
    m_cmdShow->setObjectName(QStringLiteral("cmdShow"));
    m_cmdShow->setAutoDefault(false);
    m_cmdAdvanced = new QPushButton(advancedText(false));
    m_cmdAdvanced->setObjectName(QStringLiteral("cmdAdvanced"));
    m_cmdAdvanced->setAutoDefault(false);

    m_fraLogin = new QGroupBox(QStringLiteral("Login Information"));
    m_fraLogin->setObjectName(QStringLiteral("fraLogin"));
    auto* login = new QGridLayout(m_fraLogin);
    login->setColumnStretch(1, 1);
    login->addWidget(m_lblUserName, 0, 0);
    login->addWidget(m_txtUserName, 0, 1, 1, 2);
    login->addWidget(m_lblPW, 1, 0);
    login->addWidget(m_txtPW, 1, 1);
    login->addWidget(m_cmdShow, 1, 2);
    login->addWidget(m_cmdAdvanced, 2, 2);

    // The advanced section. Its pop-up box does not depend on a login, so it sits below the
    // login frame and stays usable when the frame is disabled.
    m_txtSelectOption = lineEdit("txtSelectOption");
    m_txtNavigateAfterLogin = lineEdit("txtNavigateAfterLogin");
    m_lblSelectOption = label(QStringLiteral("Select &Option:"), "lblSelectOption", m_txtSelectOption);
    m_lblNavigateAfterLogin =
        label(QStringLiteral("&After Login, Go To:"), "lblNavigateAfterLogin", m_txtNavigateAfterLogin);
    m_txtAlsoAllowedSite = lineEdit("txtAlsoAllowedSite");
    m_lblAlsoAllowedSite =
        label(QStringLiteral("Al&so Allowed Site:"), "lblAlsoAllowedSite", m_txtAlsoAllowedSite);
    m_chkHidePopUps = new QCheckBox(QStringLiteral("&Block Pop-Up Windows"));
    m_chkHidePopUps->setObjectName(QStringLiteral("chkHidePopUps"));
    m_chkHidePopUps->setChecked(true); // a new Link blocks pop-ups
    m_chkShareCookies = new QCheckBox(QStringLiteral("Share &cookies with my other Links"));
    m_chkShareCookies->setObjectName(QStringLiteral("chkShareCookies"));
    m_fraAdvanced = new QWidget;
    m_fraAdvanced->setObjectName(QStringLiteral("fraAdvanced"));
    auto* advanced = new QGridLayout(m_fraAdvanced);
    advanced->setContentsMargins(0, 0, 0, 0);
    advanced->setColumnStretch(1, 1);
    advanced->addWidget(m_lblSelectOption, 0, 0);
    advanced->addWidget(m_txtSelectOption, 0, 1);
    advanced->addWidget(m_lblNavigateAfterLogin, 1, 0);
    advanced->addWidget(m_txtNavigateAfterLogin, 1, 1);
    advanced->addWidget(m_lblAlsoAllowedSite, 2, 0);
    advanced->addWidget(m_txtAlsoAllowedSite, 2, 1);
    advanced->addWidget(m_chkHidePopUps, 3, 0, 1, 2);
    advanced->addWidget(m_chkShareCookies, 4, 0, 1, 2);

    m_lblHelpTag = new QLabel(QStringLiteral("Tip:"));
    m_lblHelpTag->setObjectName(QStringLiteral("lblHelpTag"));
    m_lblHelpTag->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_lblHelp = new QLabel;
    m_lblHelp->setObjectName(QStringLiteral("lblHelp"));
    m_lblHelp->setWordWrap(true);
    m_lblHelp->setMinimumHeight(m_lblHelp->fontMetrics().lineSpacing() * 4);
    m_lblHelp->setAlignment(Qt::AlignTop | Qt::AlignLeft);

    m_lblUrl = new QLabel(QStringLiteral("<a href=\"%1\">Trouble logging in to a site?</a>")
                              .arg(QLatin1String(kLoginProblemUrl)));
    m_lblUrl->setObjectName(QStringLiteral("lblUrl"));
    m_lblUrl->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    m_lblUrl->setOpenExternalLinks(false);

    const dialogbuttons::OkCancel closing(dialogbuttons::Help::Yes);
    m_cmdOK = closing.ok;
    m_cmdCancel = closing.cancel;
    m_cmdHelp = closing.help;

    auto* top = new QGridLayout;
    top->setColumnStretch(1, 1);
    top->addWidget(label(QStringLiteral("&Nickname:"), "lblCaption", m_txtCaption), 0, 0);
    top->addWidget(m_txtCaption, 0, 1);
    top->addWidget(label(QStringLiteral("&Web Address:"), "lblWebAddress", m_txtUrl), 1, 0);
    top->addWidget(m_txtUrl, 1, 1);
    auto* checks = new QHBoxLayout;
    checks->addWidget(m_chkAutoNavigate);
    checks->addSpacing(16);
    checks->addWidget(m_chkReqLogin);
    checks->addStretch();
    top->addLayout(checks, 2, 1);

    auto* help = new QHBoxLayout;
    help->addWidget(m_lblHelpTag);
    help->addWidget(m_lblHelp, 1);
    closing.row->insertWidget(0, m_lblUrl);

    auto* main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addWidget(m_fraLogin);
    main->addWidget(m_fraAdvanced);
    main->addLayout(help);
    main->addLayout(closing.row);
    main->setSizeConstraint(QLayout::SetFixedSize); // the dialog follows the advanced section

    connect(m_chkReqLogin, &QCheckBox::clicked, this, &frmAddEditLink::ApplyEnabling);
    connect(m_txtPW, &QLineEdit::textChanged, this, &frmAddEditLink::UpdateShowButton);
    connect(m_cmdShow, &QPushButton::clicked, this, &frmAddEditLink::cmdShow_Click);
    connect(m_cmdAdvanced, &QPushButton::clicked, this, &frmAddEditLink::cmdAdvanced_Click);
    connect(m_cmdOK, &QPushButton::clicked, this, &frmAddEditLink::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmAddEditLink::reject);
    helprequest::Bind(this, m_cmdHelp, QStringLiteral("AddEditLink"));
    connect(m_lblUrl, &QLabel::linkActivated, this, &frmAddEditLink::lblUrl_Click);

    setTabOrder(m_txtCaption, m_txtUrl);
    setTabOrder(m_txtUrl, m_chkAutoNavigate);
    setTabOrder(m_chkAutoNavigate, m_chkReqLogin);
    setTabOrder(m_chkReqLogin, m_txtUserName);
    setTabOrder(m_txtUserName, m_txtPW);
    setTabOrder(m_txtPW, m_cmdShow);
    setTabOrder(m_cmdShow, m_cmdAdvanced);
    setTabOrder(m_cmdAdvanced, m_txtSelectOption);
    setTabOrder(m_txtSelectOption, m_txtNavigateAfterLogin);
    setTabOrder(m_txtNavigateAfterLogin, m_txtAlsoAllowedSite);
    setTabOrder(m_txtAlsoAllowedSite, m_chkHidePopUps);
    setTabOrder(m_chkHidePopUps, m_chkShareCookies);
    setTabOrder(m_chkShareCookies, m_cmdOK);
    setTabOrder(m_cmdOK, m_cmdCancel);
    setTabOrder(m_cmdCancel, m_cmdHelp);
}

void frmAddEditLink::SetHelpTexts() {
    m_help.insert(m_txtCaption,
                  QStringLiteral("Enter any short name for this Link. It will be used for display."));
    m_help.insert(m_txtUrl,
                  QStringLiteral("Enter the URL for this web site like www... You may leave out Http://. "
                                 "Press Ctrl+Enter to add 'www.' to the beginning and '.com' to the end."));
    m_help.insert(m_chkAutoNavigate, QStringLiteral("Check this box If you want to load this web page "
                                                    "automatically on application start-up."));
    m_help.insert(
        m_chkReqLogin,
        QStringLiteral("Check this box If you want to login to this web site automatically when either "
                       "a) 'Load At Start' checkbox is checked or b) You press the load button from "
                       "Links tab in the Sidebar."));
    m_help.insert(m_txtUserName,
                  QStringLiteral("Enter the login ID or UserName for this web site. Depending upon ") +
                      QStringLiteral("your web-site, it may be your email address, account number, "
                                     "phone number, etc."));
    m_help.insert(m_txtPW, QStringLiteral("Enter your password for this web site."));
    m_help.insert(
        m_txtSelectOption,
        QStringLiteral("If the web page displays a list-box with options for logging-in, enter the text "
                       "for item to be selected from such list-box. Example: ") +
            QStringLiteral("fernmail.test, quillpost.test"));
    m_help.insert(m_txtNavigateAfterLogin,
                  QStringLiteral("Enter text for the web-link as it appears on this web "
                                 "page.Example: Recent Transactions"));
    m_help.insert(m_txtAlsoAllowedSite,
                  QStringLiteral("If the login page of this web site is on the site of another company, "
                                 "enter that site here (like login.example.com). The UserName and "
                                 "Password are only filled in on pages of this web site and of that one."));
    m_help.insert(
        m_chkHidePopUps,
        QStringLiteral("Checking this box will block all unsolicited PopUp windows from opening up. This "
                       "will apply to all windows that are opened in the Tab for this Shortcut."));
    m_help.insert(m_chkShareCookies,
                  QStringLiteral("Leave this box clear and this Link keeps its own cookies, so two Links to "
                                 "one site can stay logged in with two accounts. Check it for a site whose "
                                 "single sign-on spans several of your Links."));
    // Every control that can take the focus reports it, so that controls without a text clear it.
    for (QWidget* control : findChildren<QWidget*>())
        if (control->focusPolicy() != Qt::NoFocus) control->installEventFilter(this);
    ShowHelp(QString());
}

void frmAddEditLink::LoadLink(const Link& link) {
    m_index = link.Index();
    m_storedCaption = link.Caption();
    m_txtCaption->setText(link.ShownCaption().replace(QStringLiteral("&&"), QStringLiteral("&")));
    m_txtUrl->setText(link.URL());
    m_txtUserName->setText(link.UserName());
    m_txtPW->setText(link.pw());
    m_chkHidePopUps->setChecked(link.HidePopUps());
    m_chkShareCookies->setChecked(link.ShareCookies());
    m_txtSelectOption->setText(link.SelectOption());
    m_txtNavigateAfterLogin->setText(link.NavigateAfterLogin());
    m_txtAlsoAllowedSite->setText(link.AlsoAllowedSite());
    // A Link that shares its cookies shows it: that choice changes which account its pages see.
    ShowAdvanced(!link.SelectOption().isEmpty() || !link.NavigateAfterLogin().isEmpty() ||
                 !link.AlsoAllowedSite().isEmpty() || link.ShareCookies());
    m_chkAutoNavigate->setChecked(link.AutoNavigate());
    m_chkReqLogin->setChecked(link.ReqLogin());
    ApplyEnabling();
}

void frmAddEditLink::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ApplyEnabling();
    m_txtCaption->setFocus(Qt::OtherFocusReason);
}

void frmAddEditLink::ApplyEnabling() {
    const bool login = m_chkReqLogin->isChecked();
    // The frame carries its labels, the user name, the password and the two buttons with it.
    m_fraLogin->setEnabled(login);
    for (QWidget* control :
         {static_cast<QWidget*>(m_lblUserName), static_cast<QWidget*>(m_txtUserName),
          static_cast<QWidget*>(m_lblPW), static_cast<QWidget*>(m_txtPW),
          static_cast<QWidget*>(m_cmdAdvanced), static_cast<QWidget*>(m_lblSelectOption),
          static_cast<QWidget*>(m_txtSelectOption), static_cast<QWidget*>(m_lblNavigateAfterLogin),
          static_cast<QWidget*>(m_txtNavigateAfterLogin), static_cast<QWidget*>(m_lblAlsoAllowedSite),
          static_cast<QWidget*>(m_txtAlsoAllowedSite)})
        control->setEnabled(login);
    UpdateShowButton();
}

void frmAddEditLink::UpdateShowButton() {
    m_cmdShow->setEnabled(m_chkReqLogin->isChecked() && !m_txtPW->text().isEmpty());
}

bool frmAddEditLink::AdvancedShown() const {
    return !m_fraAdvanced->isHidden();
}

void frmAddEditLink::ShowAdvanced(bool show) {
    m_fraAdvanced->setVisible(show);
    m_cmdAdvanced->setText(advancedText(show));
    // Resize now, not when the layout gets round to it, so the buttons move with the section.
    if (layout()) layout()->activate();
}

void frmAddEditLink::cmdAdvanced_Click() {
    ShowAdvanced(!AdvancedShown());
}

void frmAddEditLink::ShowHelp(const QString& text) {
    m_lblHelp->setText(text);
    m_lblHelp->setVisible(!text.isEmpty());
    m_lblHelpTag->setVisible(!text.isEmpty());
}

bool frmAddEditLink::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (auto* control = qobject_cast<QWidget*>(watched)) ShowHelp(m_help.value(control));
    } else if (watched == m_txtUrl && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & Qt::ControlModifier)) {
            m_txtUrl->setText(modGeneral::CompleteUrl(m_txtUrl->text()));
            return true; // not the default button
        }
    } else if (watched == m_txtUrl && event->type() == QEvent::FocusOut) {
        // Leaving the field, not the window: a message box or a switch to another program
        // takes the focus away without the user having finished with the address.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) txtUrl_LostFocus();
    }
    return QDialog::eventFilter(watched, event);
}

void frmAddEditLink::txtUrl_LostFocus() {
    if (!m_txtUrl->text().contains(QLatin1String(kSignInServiceHost), Qt::CaseInsensitive)) return;
    MsgBox(QStringLiteral("If this URL does not work for Passport, please try with URL of the ") + CRLF +
               QStringLiteral("main page to which you want to login, like ") +
               QLatin1String(kSignInExampleSite) + CRLF,
           msgbox::OKOnly, msgbox::Information, QStringLiteral("Sign-in through Passport"));
}

void frmAddEditLink::FocusField(QLineEdit* box) {
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
}

void frmAddEditLink::cmdOK_Click() {
    const QString missing = QStringLiteral("Missing Information");
    if (m_txtCaption->text().trimmed().isEmpty() || m_txtUrl->text().trimmed().isEmpty()) {
        MsgBox(QStringLiteral("Please fill in the Nickname and WebAddress information") + CR + CR,
               msgbox::OKOnly, msgbox::Exclamation, missing);
        FocusField(m_txtCaption->text().trimmed().isEmpty() ? m_txtCaption : m_txtUrl);
        return;
    }
    const bool login = m_chkReqLogin->isChecked();
    if (login && (m_txtUserName->text().isEmpty() || m_txtPW->text().isEmpty())) {
        MsgBox(QStringLiteral("Please fill in the UserName and Password information") + CR + CR,
               msgbox::OKOnly, msgbox::Exclamation, missing);
        FocusField(m_txtUserName->text().isEmpty() ? m_txtUserName : m_txtPW);
        return;
    }
    // The secrets are stored encrypted in the 8-bit code page; a character outside it could not
    // come back. The message does not repeat the character: it may be part of a password.
    const struct {
        QLineEdit* box;
        const char* what;
    } secrets[] = {{m_txtUrl, "web address"}, {m_txtUserName, "user name"}, {m_txtPW, "password"}};
    for (const auto& secret : secrets) {
        if (CodePage::CanEncode(secret.box->text())) continue;
        MsgBox(QStringLiteral(
                   "The %1 contains a character that cannot be stored. Please use only Western European "
                   "letters, digits and punctuation.")
                       .arg(QLatin1String(secret.what)) +
                   CR + CR,
               msgbox::OKOnly, msgbox::Exclamation, windowTitle());
        FocusField(secret.box);
        return;
    }

    Link* link = nullptr;
    if (m_mode == Mode::Add) {
        link = m_host.AddLink(m_txtCaption->text(), m_txtUrl->text(), m_txtUserName->text(), m_txtPW->text(),
                              m_txtSelectOption->text(), m_txtNavigateAfterLogin->text(),
                              m_chkAutoNavigate->isChecked(), login);
    } else {
        // The first Link's "Home Page$$" shows as "Home Page": left so, it stays as stored.
        QString caption = m_txtCaption->text();
        const QString shown = Link::ShownCaption(m_storedCaption);
        if (shown != m_storedCaption &&
            caption == QString(shown).replace(QStringLiteral("&&"), QStringLiteral("&")))
            caption = m_storedCaption;
        link = m_host.UpdateLink(m_index, caption, m_txtUrl->text(), m_txtUserName->text(), m_txtPW->text(),
                                 m_txtSelectOption->text(), m_txtNavigateAfterLogin->text(),
                                 m_chkAutoNavigate->isChecked(), login);
        UpdateShowButton();
    }
    if (!link) return; // the host has said what went wrong; the input stays for another try

    link->SetHidePopUps(m_chkHidePopUps->isChecked());
    link->SetShareCookies(m_chkShareCookies->isChecked());
    link->SetAlsoAllowedSite(m_txtAlsoAllowedSite->text().trimmed());
    // The Link's own slot: after a removal the store is numbered apart from the Indexes.
    if (link->Slot() > 0) {
        using namespace stored::link;
        StoreTransaction transaction;
        modGeneral::SaveValue(App().CurrentUser, ValueName(kHidePopUps.name, link->Slot()),
                              modGeneral::BoolText(link->HidePopUps()));
        modGeneral::SaveValue(App().CurrentUser, ValueName(kShareCookies.name, link->Slot()),
                              modGeneral::BoolText(link->ShareCookies()));
        Links::SaveAlsoAllowedSite(App().CurrentUser, *link);
        transaction.Commit();
    }
    m_link = link;
    accept();
}

void frmAddEditLink::cmdShow_Click() {
    if (!m_host.VerifyPassword(this)) return;
    MsgBox(m_txtPW->text(), msgbox::OKOnly, msgbox::Information,
           QStringLiteral("Password for ") + m_txtCaption->text().trimmed());
}

void frmAddEditLink::lblUrl_Click() {
    m_host.Nav2Visible(QString::fromLatin1(kLoginProblemUrl), kNavigateModeUser);
}

Link* frmAddEditLink::RunAdd(LinkEditorHost& host, QWidget* parent) {
    frmAddEditLink dialog(host, Mode::Add, parent);
    modal::RunModal(dialog);
    return dialog.ResultLink();
}

Link* frmAddEditLink::RunEdit(LinkEditorHost& host, const Link& link, QWidget* parent) {
    frmAddEditLink dialog(host, Mode::Edit, parent);
    dialog.LoadLink(link);
    modal::RunModal(dialog);
    return dialog.ResultLink();
}
