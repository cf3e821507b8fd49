#include "links/LinkEditor.h"

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

LinkEditor::LinkEditor(LinkEditorHost& host, Mode mode, QWidget* parent)
    : QDialog(parent), m_host(host), m_mode(mode) {
    setObjectName(QStringLiteral("frmAddEditLink"));
    setWindowTitle(mode == Mode::Add ? QStringLiteral("Add Link") : QStringLiteral("Edit Link"));
    setModal(true);
    BuildLayout();
    SetHelpTexts();
    ShowAdvanced(false);
    ApplyEnabling();
}

void LinkEditor::BuildLayout() {
    m_captionEdit = lineEdit("txtCaption");
    m_urlEdit = lineEdit("txtUrl");
    m_autoNavigateCheck = new QCheckBox(QStringLiteral("Load At &Start"));
    m_autoNavigateCheck->setObjectName(QStringLiteral("chkAutoNavigate"));
    m_requireLoginCheck = new QCheckBox(QStringLiteral("Requires &Login"));
    m_requireLoginCheck->setObjectName(QStringLiteral("chkReqLogin"));

    m_userNameEdit = lineEdit("txtUserName");
    m_linkPasswordEdit = lineEdit("txtPW");
    m_linkPasswordEdit->setEchoMode(QLineEdit::Password);
    m_userNameLabel = label(QStringLiteral("&User Name:"), "lblUserName", m_userNameEdit);
    m_linkPasswordLabel = label(QStringLiteral("&Password:"), "lblPW", m_linkPasswordEdit);
    m_showButton = new QPushButton(QStringLiteral("Sho&w"));
    m_showButton->setObjectName(QStringLiteral("cmdShow"));
    m_showButton->setAutoDefault(false);
    m_advancedButton = new QPushButton(advancedText(false));
    m_advancedButton->setObjectName(QStringLiteral("cmdAdvanced"));
    m_advancedButton->setAutoDefault(false);

    m_loginGroup = new QGroupBox(QStringLiteral("Login Information"));
    m_loginGroup->setObjectName(QStringLiteral("fraLogin"));
    auto* login = new QGridLayout(m_loginGroup);
    login->setColumnStretch(1, 1);
    login->addWidget(m_userNameLabel, 0, 0);
    login->addWidget(m_userNameEdit, 0, 1, 1, 2);
    login->addWidget(m_linkPasswordLabel, 1, 0);
    login->addWidget(m_linkPasswordEdit, 1, 1);
    login->addWidget(m_showButton, 1, 2);
    login->addWidget(m_advancedButton, 2, 2);

    // The advanced section. Its pop-up box does not depend on a login, so it sits below the
    // login frame and stays usable when the frame is disabled.
    m_selectOptionEdit = lineEdit("txtSelectOption");
    m_navigateAfterLoginEdit = lineEdit("txtNavigateAfterLogin");
    m_selectOptionLabel = label(QStringLiteral("Select &Option:"), "lblSelectOption", m_selectOptionEdit);
    m_navigateAfterLoginLabel =
        label(QStringLiteral("&After Login, Go To:"), "lblNavigateAfterLogin", m_navigateAfterLoginEdit);
    m_alsoAllowedSiteEdit = lineEdit("txtAlsoAllowedSite");
    m_alsoAllowedSiteLabel =
        label(QStringLiteral("Al&so Allowed Site:"), "lblAlsoAllowedSite", m_alsoAllowedSiteEdit);
    m_hidePopUpsCheck = new QCheckBox(QStringLiteral("&Block Pop-Up Windows"));
    m_hidePopUpsCheck->setObjectName(QStringLiteral("chkHidePopUps"));
    m_hidePopUpsCheck->setChecked(true); // a new Link blocks pop-ups
    m_shareCookiesCheck = new QCheckBox(QStringLiteral("Share &cookies with my other Links"));
    m_shareCookiesCheck->setObjectName(QStringLiteral("chkShareCookies"));
    m_advancedGroup = new QWidget;
    m_advancedGroup->setObjectName(QStringLiteral("fraAdvanced"));
    auto* advanced = new QGridLayout(m_advancedGroup);
    advanced->setContentsMargins(0, 0, 0, 0);
    advanced->setColumnStretch(1, 1);
    advanced->addWidget(m_selectOptionLabel, 0, 0);
    advanced->addWidget(m_selectOptionEdit, 0, 1);
    advanced->addWidget(m_navigateAfterLoginLabel, 1, 0);
    advanced->addWidget(m_navigateAfterLoginEdit, 1, 1);
    advanced->addWidget(m_alsoAllowedSiteLabel, 2, 0);
    advanced->addWidget(m_alsoAllowedSiteEdit, 2, 1);
    advanced->addWidget(m_hidePopUpsCheck, 3, 0, 1, 2);
    advanced->addWidget(m_shareCookiesCheck, 4, 0, 1, 2);

    m_helpTagLabel = new QLabel(QStringLiteral("Tip:"));
    m_helpTagLabel->setObjectName(QStringLiteral("lblHelpTag"));
    m_helpTagLabel->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_helpLabel = new QLabel;
    m_helpLabel->setObjectName(QStringLiteral("lblHelp"));
    m_helpLabel->setWordWrap(true);
    m_helpLabel->setMinimumHeight(m_helpLabel->fontMetrics().lineSpacing() * 4);
    m_helpLabel->setAlignment(Qt::AlignTop | Qt::AlignLeft);

    m_urlLabel = new QLabel(QStringLiteral("<a href=\"%1\">Trouble logging in to a site?</a>")
                                .arg(QLatin1String(kLoginProblemUrl)));
    m_urlLabel->setObjectName(QStringLiteral("lblUrl"));
    m_urlLabel->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    m_urlLabel->setOpenExternalLinks(false);

    const dialogbuttons::OkCancel closing(dialogbuttons::Help::Yes);
    m_okButton = closing.ok;
    m_cancelButton = closing.cancel;
    m_helpButton = closing.help;

    auto* top = new QGridLayout;
    top->setColumnStretch(1, 1);
    top->addWidget(label(QStringLiteral("&Nickname:"), "lblCaption", m_captionEdit), 0, 0);
    top->addWidget(m_captionEdit, 0, 1);
    top->addWidget(label(QStringLiteral("&Web Address:"), "lblWebAddress", m_urlEdit), 1, 0);
    top->addWidget(m_urlEdit, 1, 1);
    auto* checks = new QHBoxLayout;
    checks->addWidget(m_autoNavigateCheck);
    checks->addSpacing(16);
    checks->addWidget(m_requireLoginCheck);
    checks->addStretch();
    top->addLayout(checks, 2, 1);

    auto* help = new QHBoxLayout;
    help->addWidget(m_helpTagLabel);
    help->addWidget(m_helpLabel, 1);
    closing.row->insertWidget(0, m_urlLabel);

    auto* main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addWidget(m_loginGroup);
    main->addWidget(m_advancedGroup);
    main->addLayout(help);
    main->addLayout(closing.row);
    main->setSizeConstraint(QLayout::SetFixedSize); // the dialog follows the advanced section

    connect(m_requireLoginCheck, &QCheckBox::clicked, this, &LinkEditor::ApplyEnabling);
    connect(m_linkPasswordEdit, &QLineEdit::textChanged, this, &LinkEditor::UpdateShowButton);
    connect(m_showButton, &QPushButton::clicked, this, &LinkEditor::OnShowClicked);
    connect(m_advancedButton, &QPushButton::clicked, this, &LinkEditor::OnAdvancedClicked);
    connect(m_okButton, &QPushButton::clicked, this, &LinkEditor::OnOkClicked);
    connect(m_cancelButton, &QPushButton::clicked, this, &LinkEditor::reject);
    helprequest::Bind(this, m_helpButton, QStringLiteral("AddEditLink"));
    connect(m_urlLabel, &QLabel::linkActivated, this, &LinkEditor::OnUrlClicked);

    setTabOrder(m_captionEdit, m_urlEdit);
    setTabOrder(m_urlEdit, m_autoNavigateCheck);
    setTabOrder(m_autoNavigateCheck, m_requireLoginCheck);
    setTabOrder(m_requireLoginCheck, m_userNameEdit);
    setTabOrder(m_userNameEdit, m_linkPasswordEdit);
    setTabOrder(m_linkPasswordEdit, m_showButton);
    setTabOrder(m_showButton, m_advancedButton);
    setTabOrder(m_advancedButton, m_selectOptionEdit);
    setTabOrder(m_selectOptionEdit, m_navigateAfterLoginEdit);
    setTabOrder(m_navigateAfterLoginEdit, m_alsoAllowedSiteEdit);
    setTabOrder(m_alsoAllowedSiteEdit, m_hidePopUpsCheck);
    setTabOrder(m_hidePopUpsCheck, m_shareCookiesCheck);
    setTabOrder(m_shareCookiesCheck, m_okButton);
    setTabOrder(m_okButton, m_cancelButton);
    setTabOrder(m_cancelButton, m_helpButton);
}

void LinkEditor::SetHelpTexts() {
    m_help.insert(m_captionEdit,
                  QStringLiteral("Enter any short name for this Link. It will be used for display."));
    m_help.insert(m_urlEdit,
                  QStringLiteral("Enter the URL for this web site like www... You may leave out Http://. "
                                 "Press Ctrl+Enter to add 'www.' to the beginning and '.com' to the end."));
    m_help.insert(m_autoNavigateCheck, QStringLiteral("Check this box If you want to load this web page "
                                                      "automatically on application start-up."));
    m_help.insert(
        m_requireLoginCheck,
        QStringLiteral("Check this box If you want to login to this web site automatically when either "
                       "a) 'Load At Start' checkbox is checked or b) You press the load button from "
                       "Links tab in the Sidebar."));
    m_help.insert(m_userNameEdit,
                  QStringLiteral("Enter the login ID or UserName for this web site. Depending upon ") +
                      QStringLiteral("your web-site, it may be your email address, account number, "
                                     "phone number, etc."));
    m_help.insert(m_linkPasswordEdit, QStringLiteral("Enter your password for this web site."));
    m_help.insert(
        m_selectOptionEdit,
        QStringLiteral("If the web page displays a list-box with options for logging-in, enter the text "
                       "for item to be selected from such list-box. Example: ") +
            QStringLiteral("fernmail.test, quillpost.test"));
    m_help.insert(m_navigateAfterLoginEdit,
                  QStringLiteral("Enter text for the web-link as it appears on this web "
                                 "page.Example: Recent Transactions"));
    m_help.insert(m_alsoAllowedSiteEdit,
                  QStringLiteral("If the login page of this web site is on the site of another company, "
                                 "enter that site here (like login.example.com). The UserName and "
                                 "Password are only filled in on pages of this web site and of that one."));
    m_help.insert(
        m_hidePopUpsCheck,
        QStringLiteral("Checking this box will block all unsolicited PopUp windows from opening up. This "
                       "will apply to all windows that are opened in the Tab for this Shortcut."));
    m_help.insert(m_shareCookiesCheck,
                  QStringLiteral("Leave this box clear and this Link keeps its own cookies, so two Links to "
                                 "one site can stay logged in with two accounts. Check it for a site whose "
                                 "single sign-on spans several of your Links."));
    // Every control that can take the focus reports it, so that controls without a text clear it.
    for (QWidget* control : findChildren<QWidget*>())
        if (control->focusPolicy() != Qt::NoFocus) control->installEventFilter(this);
    ShowHelp(QString());
}

void LinkEditor::LoadLink(const Link& link) {
    m_index = link.Index();
    m_storedCaption = link.Caption();
    m_captionEdit->setText(link.ShownCaption().replace(QStringLiteral("&&"), QStringLiteral("&")));
    m_urlEdit->setText(link.URL());
    m_userNameEdit->setText(link.UserName());
    m_linkPasswordEdit->setText(link.Password());
    m_hidePopUpsCheck->setChecked(link.HidePopUps());
    m_shareCookiesCheck->setChecked(link.ShareCookies());
    m_selectOptionEdit->setText(link.SelectOption());
    m_navigateAfterLoginEdit->setText(link.NavigateAfterLogin());
    m_alsoAllowedSiteEdit->setText(link.AlsoAllowedSite());
    // A Link that shares its cookies shows it: that choice changes which account its pages see.
    ShowAdvanced(!link.SelectOption().isEmpty() || !link.NavigateAfterLogin().isEmpty() ||
                 !link.AlsoAllowedSite().isEmpty() || link.ShareCookies());
    m_autoNavigateCheck->setChecked(link.AutoNavigate());
    m_requireLoginCheck->setChecked(link.ReqLogin());
    ApplyEnabling();
}

void LinkEditor::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ApplyEnabling();
    m_captionEdit->setFocus(Qt::OtherFocusReason);
}

void LinkEditor::ApplyEnabling() {
    const bool login = m_requireLoginCheck->isChecked();
    // The frame carries its labels, the user name, the password and the two buttons with it.
    m_loginGroup->setEnabled(login);
    for (QWidget* control :
         {static_cast<QWidget*>(m_userNameLabel), static_cast<QWidget*>(m_userNameEdit),
          static_cast<QWidget*>(m_linkPasswordLabel), static_cast<QWidget*>(m_linkPasswordEdit),
          static_cast<QWidget*>(m_advancedButton), static_cast<QWidget*>(m_selectOptionLabel),
          static_cast<QWidget*>(m_selectOptionEdit), static_cast<QWidget*>(m_navigateAfterLoginLabel),
          static_cast<QWidget*>(m_navigateAfterLoginEdit), static_cast<QWidget*>(m_alsoAllowedSiteLabel),
          static_cast<QWidget*>(m_alsoAllowedSiteEdit)})
        control->setEnabled(login);
    UpdateShowButton();
}

void LinkEditor::UpdateShowButton() {
    m_showButton->setEnabled(m_requireLoginCheck->isChecked() && !m_linkPasswordEdit->text().isEmpty());
}

bool LinkEditor::AdvancedShown() const {
    return !m_advancedGroup->isHidden();
}

void LinkEditor::ShowAdvanced(bool show) {
    m_advancedGroup->setVisible(show);
    m_advancedButton->setText(advancedText(show));
    // Resize now, not when the layout gets round to it, so the buttons move with the section.
    if (layout()) layout()->activate();
}

void LinkEditor::OnAdvancedClicked() {
    ShowAdvanced(!AdvancedShown());
}

void LinkEditor::ShowHelp(const QString& text) {
    m_helpLabel->setText(text);
    m_helpLabel->setVisible(!text.isEmpty());
    m_helpTagLabel->setVisible(!text.isEmpty());
}

bool LinkEditor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (auto* control = qobject_cast<QWidget*>(watched)) ShowHelp(m_help.value(control));
    } else if (watched == m_urlEdit && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & Qt::ControlModifier)) {
            m_urlEdit->setText(core::CompleteUrl(m_urlEdit->text()));
            return true; // not the default button
        }
    } else if (watched == m_urlEdit && event->type() == QEvent::FocusOut) {
        // Leaving the field, not the window: a message box or a switch to another program
        // takes the focus away without the user having finished with the address.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) OnUrlLostFocus();
    }
    return QDialog::eventFilter(watched, event);
}

void LinkEditor::OnUrlLostFocus() {
    if (!m_urlEdit->text().contains(QLatin1String(kSignInServiceHost), Qt::CaseInsensitive)) return;
    MsgBox(QStringLiteral("If this URL does not work for Passport, please try with URL of the ") + CRLF +
               QStringLiteral("main page to which you want to login, like ") +
               QLatin1String(kSignInExampleSite) + CRLF,
           msgbox::OKOnly, msgbox::Information, QStringLiteral("Sign-in through Passport"));
}

void LinkEditor::FocusField(QLineEdit* box) {
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
}

void LinkEditor::OnOkClicked() {
    const QString missing = QStringLiteral("Missing Information");
    if (m_captionEdit->text().trimmed().isEmpty() || m_urlEdit->text().trimmed().isEmpty()) {
        MsgBox(QStringLiteral("Please fill in the Nickname and WebAddress information") + CR + CR,
               msgbox::OKOnly, msgbox::Exclamation, missing);
        FocusField(m_captionEdit->text().trimmed().isEmpty() ? m_captionEdit : m_urlEdit);
        return;
    }
    const bool login = m_requireLoginCheck->isChecked();
    if (login && (m_userNameEdit->text().isEmpty() || m_linkPasswordEdit->text().isEmpty())) {
        MsgBox(QStringLiteral("Please fill in the UserName and Password information") + CR + CR,
               msgbox::OKOnly, msgbox::Exclamation, missing);
        FocusField(m_userNameEdit->text().isEmpty() ? m_userNameEdit : m_linkPasswordEdit);
        return;
    }
    // The secrets are stored encrypted in the 8-bit code page; a character outside it could not
    // come back. The message does not repeat the character: it may be part of a password.
    const struct {
        QLineEdit* box;
        const char* what;
    } secrets[] = {
        {m_urlEdit, "web address"}, {m_userNameEdit, "user name"}, {m_linkPasswordEdit, "password"}};
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
        link = m_host.AddLink(m_captionEdit->text(), m_urlEdit->text(), m_userNameEdit->text(),
                              m_linkPasswordEdit->text(), m_selectOptionEdit->text(),
                              m_navigateAfterLoginEdit->text(), m_autoNavigateCheck->isChecked(), login);
    } else {
        // The first Link's "Home Page$$" shows as "Home Page": left so, it stays as stored.
        QString caption = m_captionEdit->text();
        const QString shown = Link::ShownCaption(m_storedCaption);
        if (shown != m_storedCaption &&
            caption == QString(shown).replace(QStringLiteral("&&"), QStringLiteral("&")))
            caption = m_storedCaption;
        link = m_host.UpdateLink(m_index, caption, m_urlEdit->text(), m_userNameEdit->text(),
                                 m_linkPasswordEdit->text(), m_selectOptionEdit->text(),
                                 m_navigateAfterLoginEdit->text(), m_autoNavigateCheck->isChecked(), login);
        UpdateShowButton();
    }
    if (!link) return; // the host has said what went wrong; the input stays for another try

    link->SetHidePopUps(m_hidePopUpsCheck->isChecked());
    link->SetShareCookies(m_shareCookiesCheck->isChecked());
    link->SetAlsoAllowedSite(m_alsoAllowedSiteEdit->text().trimmed());
    // The Link's own slot: after a removal the store is numbered apart from the Indexes.
    if (link->Slot() > 0) {
        using namespace stored::link;
        StoreTransaction transaction;
        core::SaveValue(App().CurrentUser, ValueName(kHidePopUps.name, link->Slot()),
                        core::BoolText(link->HidePopUps()));
        core::SaveValue(App().CurrentUser, ValueName(kShareCookies.name, link->Slot()),
                        core::BoolText(link->ShareCookies()));
        Links::SaveAlsoAllowedSite(App().CurrentUser, *link);
        transaction.Commit();
    }
    m_link = link;
    accept();
}

void LinkEditor::OnShowClicked() {
    if (!m_host.VerifyPassword(this)) return;
    MsgBox(m_linkPasswordEdit->text(), msgbox::OKOnly, msgbox::Information,
           QStringLiteral("Password for ") + m_captionEdit->text().trimmed());
}

void LinkEditor::OnUrlClicked() {
    m_host.Nav2Visible(QString::fromLatin1(kLoginProblemUrl), kNavigateModeUser);
}

Link* LinkEditor::RunAdd(LinkEditorHost& host, QWidget* parent) {
    LinkEditor dialog(host, Mode::Add, parent);
    modal::RunModal(dialog);
    return dialog.ResultLink();
}

Link* LinkEditor::RunEdit(LinkEditorHost& host, const Link& link, QWidget* parent) {
    LinkEditor dialog(host, Mode::Edit, parent);
    dialog.LoadLink(link);
    modal::RunModal(dialog);
    return dialog.ResultLink();
}
