#include "users/frmLogin.h"

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
#include "users/frmMsg.h"

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

frmLogin::frmLogin(const QString& mode, QWidget* parent) : QDialog(parent), m_mode(mode) {
    if (m_mode != QLatin1String(kChangePW) && m_mode != QLatin1String(kVerify))
        m_mode = QLatin1String(kLogin);
    setObjectName(QStringLiteral("frmLogin"));
    setModal(true);
    BuildLayout();
    LoadMode();
}

frmLogin::~frmLogin() = default;

void frmLogin::BuildLayout() {
    m_optLogin = new QRadioButton(QStringLiteral("&Login"));
    m_optLogin->setObjectName(QStringLiteral("optLogin"));
    m_optNew = new QRadioButton(QStringLiteral("&New User"));
    m_optNew->setObjectName(QStringLiteral("optNew"));
    auto* group = new QButtonGroup(this);
    group->addButton(m_optLogin);
    group->addButton(m_optNew);
    connect(m_optLogin, &QRadioButton::clicked, this, &frmLogin::optLogin_Click);
    connect(m_optNew, &QRadioButton::clicked, this, &frmLogin::optNew_Click);

    m_cmbUserName = new QComboBox;
    m_cmbUserName->setObjectName(QStringLiteral("cmbUserName"));
    m_cmbUserName->setEditable(true);
    m_cmbUserName->setInsertPolicy(QComboBox::NoInsert);
    m_cmbUserName->setCompleter(nullptr); // completion is our own, see cmbUserName_KeyUp
    m_cmbUserName->setMinimumWidth(220);
    m_cmbUserName->lineEdit()->installEventFilter(this);
    m_txtPassword = passwordBox("txtPassword");
    m_txtNewPassword = passwordBox("txtNewPassword");
    m_txtNewPassword2 = passwordBox("txtNewPassword2");

    m_lblUserName = new QLabel(QStringLiteral("&User Name:"));
    m_lblPassword = new QLabel(QStringLiteral("&Password:"));
    m_lblPassword->setObjectName(QStringLiteral("lblPassword"));
    m_lblNewPassword = new QLabel(QStringLiteral("Ne&w Password:"));
    m_lblNewPassword->setObjectName(QStringLiteral("lblNewPassword"));
    m_lblNewPassword2 = new QLabel(QStringLiteral("&Re-Enter Password:"));
    m_lblNewPassword2->setObjectName(QStringLiteral("lblNewPassword2"));
    m_lblUserName->setBuddy(m_cmbUserName);
    m_lblPassword->setBuddy(m_txtPassword);
    m_lblNewPassword->setBuddy(m_txtNewPassword);
    m_lblNewPassword2->setBuddy(m_txtNewPassword2);

    m_fraLogin = new QGroupBox;
    m_fraLogin->setObjectName(QStringLiteral("fraLogin"));
    auto* grid = new QGridLayout(m_fraLogin);
    grid->setColumnStretch(1, 1);
    // The widest label sets the column, so switching between Login and New User keeps the size.
    grid->setColumnMinimumWidth(0, QLabel(QStringLiteral("&Re-Enter New Password:")).sizeHint().width());
    grid->addWidget(m_lblUserName, 0, 0);
    grid->addWidget(m_cmbUserName, 0, 1);
    grid->addWidget(m_lblPassword, 1, 0);
    grid->addWidget(m_txtPassword, 1, 1);
    grid->addWidget(m_lblNewPassword, 2, 0);
    grid->addWidget(m_txtNewPassword, 2, 1);
    grid->addWidget(m_lblNewPassword2, 3, 0);
    grid->addWidget(m_txtNewPassword2, 3, 1);

    const dialogbuttons::OkCancel closing(dialogbuttons::Help::Yes);
    m_cmdOK = closing.ok;
    m_cmdCancel = closing.cancel;
    m_cmdHelp = closing.help;
    connect(m_cmdOK, &QPushButton::clicked, this, &frmLogin::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmLogin::cmdCancel_Click);
    helprequest::Bind(this, m_cmdHelp, [this] {
        if (m_mode == QLatin1String(kChangePW)) return QStringLiteral("ChangePW");
        return m_optNew->isChecked() ? QStringLiteral("NewUser") : QStringLiteral("Login");
    });

    auto* options = new QHBoxLayout;
    options->addWidget(m_optLogin);
    options->addSpacing(16);
    options->addWidget(m_optNew);
    options->addStretch();

    auto* main = new QVBoxLayout(this);
    main->addLayout(options);
    main->addWidget(m_fraLogin);
    main->addLayout(closing.row);
    main->setSizeConstraint(QLayout::SetFixedSize); // the dialog follows the rows shown

    setTabOrder(m_optLogin, m_optNew);
    setTabOrder(m_optNew, m_cmbUserName);
    setTabOrder(m_cmbUserName, m_txtPassword);
    setTabOrder(m_txtPassword, m_txtNewPassword);
    setTabOrder(m_txtNewPassword, m_txtNewPassword2);
    setTabOrder(m_txtNewPassword2, m_cmdOK);
    setTabOrder(m_cmdOK, m_cmdCancel);
    setTabOrder(m_cmdCancel, m_cmdHelp);
}

void frmLogin::LoadMode() {
    if (m_mode == QLatin1String(kChangePW) || m_mode == QLatin1String(kVerify)) {
        const bool change = m_mode == QLatin1String(kChangePW);
        setWindowTitle(change ? QStringLiteral("Change Password")
                              : QStringLiteral("For security, please verify your Master Password."));
        m_fraLogin->setTitle(change ? kInstructionChange : kInstructionVerify);
        m_lblPassword->setText(change ? QStringLiteral("Old &Password") : QStringLiteral("&Password:"));
        m_lblNewPassword->setText(QStringLiteral("Ne&w Password:"));
        m_lblNewPassword2->setText(QStringLiteral("&Re-Enter New Password:"));
        ShowReEnter(change, change);
        m_cmbUserName->setEditText(App().CurrentUser);
        m_cmbUserName->setEnabled(false);
        m_optLogin->setEnabled(false);
        m_optNew->setEnabled(false);
        return;
    }
    m_optLogin->setEnabled(true);
    m_optNew->setEnabled(true);
    if (m_accounts.UserCount() > 0) {
        m_optLogin->setChecked(true);
        optLogin_Click();
        const Accounts::UserList list = Accounts::LoadUsers();
        m_cmbUserName->addItems(list.users);
        if (!list.lastUser.isEmpty()) m_cmbUserName->setEditText(list.lastUser);
    } else {
        m_optLogin->setEnabled(false);
        m_optNew->setChecked(true);
        optNew_Click();
    }
}

void frmLogin::ShowReEnter(bool newPassword, bool reEnter) {
    m_lblNewPassword->setVisible(newPassword);
    m_txtNewPassword->setVisible(newPassword);
    m_lblNewPassword2->setVisible(reEnter);
    m_txtNewPassword2->setVisible(reEnter);
}

void frmLogin::optLogin_Click() {
    setWindowTitle(QString::fromLatin1(ProductName()) + QStringLiteral(" Login"));
    m_fraLogin->setTitle(kInstructionLogin);
    ShowReEnter(false, false);
}

void frmLogin::optNew_Click() {
    setWindowTitle(QStringLiteral("Create A New User"));
    m_fraLogin->setTitle(kInstructionNew);
    m_cmbUserName->setEditText(QString());
    m_lblNewPassword2->setText(QStringLiteral("&Re-Enter Password:"));
    ShowReEnter(false, true);
}

LoginFields frmLogin::ReadFields() const {
    LoginFields fields;
    fields.userName = m_cmbUserName->currentText();
    fields.password = m_txtPassword->text();
    fields.newPassword = m_txtNewPassword->text();
    fields.reEnterPassword = m_txtNewPassword2->text();
    return fields;
}

void frmLogin::WriteFields(const LoginFields& fields) {
    if (m_cmbUserName->isEnabled()) m_cmbUserName->setEditText(fields.userName);
    m_txtPassword->setText(fields.password);
    m_txtNewPassword->setText(fields.newPassword);
    m_txtNewPassword2->setText(fields.reEnterPassword);
}

void frmLogin::FocusField(LoginField field) {
    QLineEdit* box = nullptr;
    switch (field) {
    case LoginField::UserName:
        box = m_cmbUserName->lineEdit();
        break;
    case LoginField::Password:
        box = m_txtPassword;
        break;
    case LoginField::NewPassword:
        box = m_txtNewPassword;
        break;
    case LoginField::ReEnterPassword:
        box = m_txtNewPassword2;
        break;
    case LoginField::None:
        return;
    }
    if (field == LoginField::UserName)
        m_cmbUserName->setFocus(Qt::OtherFocusReason);
    else
        box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
}

void frmLogin::cmdOK_Click() {
    LoginFields fields = ReadFields();
    LoginStep step;
    if (m_mode == QLatin1String(kChangePW))
        step = m_accounts.DoSetNewPW(fields, [this](bool show) { ShowUpdating(show); });
    else if (m_mode == QLatin1String(kVerify))
        step = m_accounts.DoVerify(fields);
    else if (m_optLogin->isChecked())
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

void frmLogin::cmdCancel_Click() {
    reject();
}

void frmLogin::reject() {
    // Leaving the start-up dialog in any way but a login ends the program.
    if (m_mode == QLatin1String(kLogin)) App().LoginOK = false;
    QDialog::reject();
}

void frmLogin::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_cmbUserName->currentText().isEmpty())
        m_cmbUserName->setFocus(Qt::OtherFocusReason);
    else
        m_txtPassword->setFocus(Qt::OtherFocusReason);
}

bool frmLogin::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_cmbUserName->lineEdit() && event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key >= Qt::Key_A && key <= Qt::Key_Z) cmbUserName_KeyUp();
    }
    return QDialog::eventFilter(watched, event);
}

void frmLogin::cmbUserName_KeyUp() {
    if (m_mode != QLatin1String(kLogin) || !m_optLogin->isChecked()) return;
    QLineEdit* edit = m_cmbUserName->lineEdit();
    const QString typed = edit->text().left(edit->cursorPosition());
    if (typed.isEmpty()) return;
    for (int i = 0; i < m_cmbUserName->count(); ++i) {
        const QString entry = m_cmbUserName->itemText(i);
        if (!entry.startsWith(typed, Qt::CaseInsensitive)) continue;
        // What was typed stays as typed; only the tail comes from the list, selected, so that
        // the next key replaces it.
        edit->setText(typed + entry.mid(typed.size()));
        edit->setSelection(int(typed.size()), int(entry.size() - typed.size()));
        return;
    }
}

void frmLogin::ShowUpdating(bool show) {
    if (show)
        frmMsg::ShowText(QStringLiteral("Updating..."), this);
    else
        frmMsg::HideText();
}

bool frmLogin::RunLogin(QWidget* parent) {
    frmLogin dialog(QString::fromLatin1(kLogin), parent);
    modal::RunModal(dialog);
    return App().LoginOK;
}

void frmLogin::RunChangePassword(QWidget* parent) {
    frmLogin dialog(QString::fromLatin1(kChangePW), parent);
    modal::RunModal(dialog);
}

bool frmLogin::RunVerify(QWidget* parent) {
    frmLogin dialog(QString::fromLatin1(kVerify), parent);
    modal::RunModal(dialog);
    return dialog.Verified();
}
