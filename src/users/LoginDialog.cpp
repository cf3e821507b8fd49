#include "users/LoginDialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/AppState.h"
#include "core/DialogButtons.h"
#include "core/HelpRequest.h"
#include "core/MessageBox.h"
#include "users/MessageWindow.h"

namespace {
const QString kInstructionLogin = QStringLiteral("Enter your User Name and Password");
const QString kInstructionNew = QStringLiteral("Enter a User Name and Password to create new User");
const QString kInstructionChange = QStringLiteral("Enter your old Password and the new Password twice");
const QString kInstructionVerify = QStringLiteral("Enter your Master Password");

QLineEdit* passwordBox(const char* name) {
    auto* box = new QLineEdit;
    box->setObjectName(QLatin1String(name));
    box->setEchoMode(QLineEdit::Password);
    box->setMinimumWidth(220);
    return box;
}
} // namespace

LoginDialog::LoginDialog(const QString& mode, QWidget* parent) : QDialog(parent), m_mode(mode) {
    if (m_mode != QLatin1String(kChangePW) && m_mode != QLatin1String(kVerify))
        m_mode = QLatin1String(kLogin);
    setObjectName(QStringLiteral("frmLogin"));
    setModal(true);
    BuildLayout();
    LoadMode();
}

LoginDialog::~LoginDialog() = default;

void LoginDialog::BuildLayout() {
    m_loginOption = new QRadioButton(QStringLiteral("&Login"));
    m_loginOption->setObjectName(QStringLiteral("optLogin"));
    m_newOption = new QRadioButton(QStringLiteral("&New User"));
    m_newOption->setObjectName(QStringLiteral("optNew"));
    auto* group = new QButtonGroup(this);
    group->addButton(m_loginOption);
    group->addButton(m_newOption);
    connect(m_loginOption, &QRadioButton::clicked, this, &LoginDialog::OnLoginClicked);
    connect(m_newOption, &QRadioButton::clicked, this, &LoginDialog::OnNewClicked);

    m_userNameCombo = new QComboBox;
    m_userNameCombo->setObjectName(QStringLiteral("cmbUserName"));
    m_userNameCombo->setEditable(true);
    m_userNameCombo->setInsertPolicy(QComboBox::NoInsert);
    m_userNameCombo->setCompleter(nullptr); // completion is our own, see OnUserNameKeyUp
    m_userNameCombo->setMinimumWidth(220);
    m_userNameCombo->lineEdit()->installEventFilter(this);
    m_passwordEdit = passwordBox("txtPassword");
    m_newPasswordEdit = passwordBox("txtNewPassword");
    m_newPassword2Edit = passwordBox("txtNewPassword2");

    m_userNameLabel = new QLabel(QStringLiteral("&User Name:"));
    m_passwordLabel = new QLabel(QStringLiteral("&Password:"));
    m_passwordLabel->setObjectName(QStringLiteral("lblPassword"));
    m_newPasswordLabel = new QLabel(QStringLiteral("Ne&w Password:"));
    m_newPasswordLabel->setObjectName(QStringLiteral("lblNewPassword"));
    m_newPassword2Label = new QLabel(QStringLiteral("&Re-Enter Password:"));
    m_newPassword2Label->setObjectName(QStringLiteral("lblNewPassword2"));
    m_userNameLabel->setBuddy(m_userNameCombo);
    m_passwordLabel->setBuddy(m_passwordEdit);
    m_newPasswordLabel->setBuddy(m_newPasswordEdit);
    m_newPassword2Label->setBuddy(m_newPassword2Edit);

    m_loginGroup = new QGroupBox;
    m_loginGroup->setObjectName(QStringLiteral("fraLogin"));
    auto* grid = new QGridLayout(m_loginGroup);
    grid->setColumnStretch(1, 1);
    // The widest label sets the column, so switching between Login and New User keeps the size.
    grid->setColumnMinimumWidth(0, QLabel(QStringLiteral("&Re-Enter New Password:")).sizeHint().width());
    grid->addWidget(m_userNameLabel, 0, 0);
    grid->addWidget(m_userNameCombo, 0, 1);
    grid->addWidget(m_passwordLabel, 1, 0);
    grid->addWidget(m_passwordEdit, 1, 1);
    grid->addWidget(m_newPasswordLabel, 2, 0);
    grid->addWidget(m_newPasswordEdit, 2, 1);
    grid->addWidget(m_newPassword2Label, 3, 0);
    grid->addWidget(m_newPassword2Edit, 3, 1);

    const dialogbuttons::OkCancel closing(dialogbuttons::Help::Yes);
    m_okButton = closing.ok;
    m_cancelButton = closing.cancel;
    m_helpButton = closing.help;
    connect(m_okButton, &QPushButton::clicked, this, &LoginDialog::OnOkClicked);
    connect(m_cancelButton, &QPushButton::clicked, this, &LoginDialog::OnCancelClicked);
    helprequest::Bind(this, m_helpButton, [this] {
        if (m_mode == QLatin1String(kChangePW)) return QStringLiteral("ChangePW");
        return m_newOption->isChecked() ? QStringLiteral("NewUser") : QStringLiteral("Login");
    });

    auto* options = new QHBoxLayout;
    options->addWidget(m_loginOption);
    options->addSpacing(16);
    options->addWidget(m_newOption);
    options->addStretch();

    auto* main = new QVBoxLayout(this);
    main->addLayout(options);
    main->addWidget(m_loginGroup);
    main->addLayout(closing.row);
    main->setSizeConstraint(QLayout::SetFixedSize); // the dialog follows the rows shown

    setTabOrder(m_loginOption, m_newOption);
    setTabOrder(m_newOption, m_userNameCombo);
    setTabOrder(m_userNameCombo, m_passwordEdit);
    setTabOrder(m_passwordEdit, m_newPasswordEdit);
    setTabOrder(m_newPasswordEdit, m_newPassword2Edit);
    setTabOrder(m_newPassword2Edit, m_okButton);
    setTabOrder(m_okButton, m_cancelButton);
    setTabOrder(m_cancelButton, m_helpButton);
}

void LoginDialog::LoadMode() {
    if (m_mode == QLatin1String(kChangePW) || m_mode == QLatin1String(kVerify)) {
        const bool change = m_mode == QLatin1String(kChangePW);
        setWindowTitle(change ? QStringLiteral("Change Password")
                              : QStringLiteral("For security, please verify your Master Password."));
        m_loginGroup->setTitle(change ? kInstructionChange : kInstructionVerify);
        m_passwordLabel->setText(change ? QStringLiteral("Old &Password") : QStringLiteral("&Password:"));
        m_newPasswordLabel->setText(QStringLiteral("Ne&w Password:"));
        m_newPassword2Label->setText(QStringLiteral("&Re-Enter New Password:"));
        ShowReEnter(change, change);
        m_userNameCombo->setEditText(App().CurrentUser);
        m_userNameCombo->setEnabled(false);
        m_loginOption->setEnabled(false);
        m_newOption->setEnabled(false);
        return;
    }
    m_loginOption->setEnabled(true);
    m_newOption->setEnabled(true);
    if (m_accounts.UserCount() > 0) {
        m_loginOption->setChecked(true);
        OnLoginClicked();
        const Accounts::UserList list = Accounts::LoadUsers();
        m_userNameCombo->addItems(list.users);
        if (!list.lastUser.isEmpty()) m_userNameCombo->setEditText(list.lastUser);
    } else {
        m_loginOption->setEnabled(false);
        m_newOption->setChecked(true);
        OnNewClicked();
    }
}

void LoginDialog::ShowReEnter(bool newPassword, bool reEnter) {
    m_newPasswordLabel->setVisible(newPassword);
    m_newPasswordEdit->setVisible(newPassword);
    m_newPassword2Label->setVisible(reEnter);
    m_newPassword2Edit->setVisible(reEnter);
}

void LoginDialog::OnLoginClicked() {
    setWindowTitle(QString::fromLatin1(ProductName()) + QStringLiteral(" Login"));
    m_loginGroup->setTitle(kInstructionLogin);
    ShowReEnter(false, false);
}

void LoginDialog::OnNewClicked() {
    setWindowTitle(QStringLiteral("Create A New User"));
    m_loginGroup->setTitle(kInstructionNew);
    m_userNameCombo->setEditText(QString());
    m_newPassword2Label->setText(QStringLiteral("&Re-Enter Password:"));
    ShowReEnter(false, true);
}

LoginFields LoginDialog::ReadFields() const {
    LoginFields fields;
    fields.userName = m_userNameCombo->currentText();
    fields.password = m_passwordEdit->text();
    fields.newPassword = m_newPasswordEdit->text();
    fields.reEnterPassword = m_newPassword2Edit->text();
    return fields;
}

void LoginDialog::WriteFields(const LoginFields& fields) {
    if (m_userNameCombo->isEnabled()) m_userNameCombo->setEditText(fields.userName);
    m_passwordEdit->setText(fields.password);
    m_newPasswordEdit->setText(fields.newPassword);
    m_newPassword2Edit->setText(fields.reEnterPassword);
}

void LoginDialog::FocusField(LoginField field) {
    QLineEdit* box = nullptr;
    switch (field) {
    case LoginField::UserName:
        box = m_userNameCombo->lineEdit();
        break;
    case LoginField::Password:
        box = m_passwordEdit;
        break;
    case LoginField::NewPassword:
        box = m_newPasswordEdit;
        break;
    case LoginField::ReEnterPassword:
        box = m_newPassword2Edit;
        break;
    case LoginField::None:
        return;
    }
    if (field == LoginField::UserName)
        m_userNameCombo->setFocus(Qt::OtherFocusReason);
    else
        box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
}

void LoginDialog::OnOkClicked() {
    LoginFields fields = ReadFields();
    LoginStep step;
    if (m_mode == QLatin1String(kChangePW))
        step = m_accounts.DoSetNewPW(fields, [this](bool show) { ShowUpdating(show); });
    else if (m_mode == QLatin1String(kVerify))
        step = m_accounts.DoVerify(fields);
    else if (m_loginOption->isChecked())
        step = m_accounts.DoLogin(fields);
    else
        step = m_accounts.DoNewUser(fields);
    WriteFields(fields);

    switch (step.outcome) {
    case LoginStep::Succeeded:
        m_verified = m_mode == QLatin1String(kVerify);
        accept();
        break;
    case LoginStep::Failed:
        reject();
        break;
    case LoginStep::Stay:
        FocusField(step.focus);
        break;
    }
}

void LoginDialog::OnCancelClicked() {
    reject();
}

void LoginDialog::reject() {
    // Leaving the start-up dialog in any way but a login ends the program.
    if (m_mode == QLatin1String(kLogin)) App().LoginOK = false;
    QDialog::reject();
}

void LoginDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_userNameCombo->currentText().isEmpty())
        m_userNameCombo->setFocus(Qt::OtherFocusReason);
    else
        m_passwordEdit->setFocus(Qt::OtherFocusReason);
}

bool LoginDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_userNameCombo->lineEdit() && event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key >= Qt::Key_A && key <= Qt::Key_Z) OnUserNameKeyUp();
    }
    return QDialog::eventFilter(watched, event);
}

void LoginDialog::OnUserNameKeyUp() {
    if (m_mode != QLatin1String(kLogin) || !m_loginOption->isChecked()) return;
    QLineEdit* edit = m_userNameCombo->lineEdit();
    const QString typed = edit->text().left(edit->cursorPosition());
    if (typed.isEmpty()) return;
    for (int i = 0; i < m_userNameCombo->count(); ++i) {
        const QString entry = m_userNameCombo->itemText(i);
        if (!entry.startsWith(typed, Qt::CaseInsensitive)) continue;
        // What was typed stays as typed; only the tail comes from the list, selected, so that
        // the next key replaces it.
        edit->setText(typed + entry.mid(typed.size()));
        edit->setSelection(int(typed.size()), int(entry.size() - typed.size()));
        return;
    }
}

void LoginDialog::ShowUpdating(bool show) {
    if (show)
        MessageWindow::ShowText(QStringLiteral("Updating..."), this);
    else
        MessageWindow::HideText();
}

bool LoginDialog::RunLogin(QWidget* parent) {
    LoginDialog dialog(QString::fromLatin1(kLogin), parent);
    modal::RunModal(dialog);
    return App().LoginOK;
}

void LoginDialog::RunChangePassword(QWidget* parent) {
    LoginDialog dialog(QString::fromLatin1(kChangePW), parent);
    modal::RunModal(dialog);
}

bool LoginDialog::RunVerify(QWidget* parent) {
    LoginDialog dialog(QString::fromLatin1(kVerify), parent);
    modal::RunModal(dialog);
    return dialog.Verified();
}
