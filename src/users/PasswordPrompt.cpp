#include "users/PasswordPrompt.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/CodePage.h"
#include "core/DialogButtons.h"
#include "core/Errors.h"
#include "core/MessageBox.h"
#include "core/SecretCipher.h"
#include "users/ProgramEnd.h"

namespace {
int g_openPrompts = 0;
const QString kTitle = QStringLiteral("Verify Password");
} // namespace

PasswordPrompt::PasswordPrompt(const QString& prompt, const QString& user, const QString& storedPassword,
                               QWidget* parent)
    : QDialog(parent), m_storedPassword(storedPassword) {
    ++g_openPrompts;
    setObjectName(QStringLiteral("frmInput"));
    setWindowTitle(kTitle);
    setModal(true);

    m_promptLabel =
        new QLabel(prompt.isEmpty() ? QStringLiteral("For security, please verify your Password.") : prompt);
    m_promptLabel->setObjectName(QStringLiteral("lblPrompt"));
    m_promptLabel->setWordWrap(true);
    m_promptLabel->setMinimumWidth(360);

    m_userNameEdit = new QLineEdit(user);
    m_userNameEdit->setObjectName(QStringLiteral("txtUserName"));
    m_userNameEdit->setReadOnly(true);
    m_userNameEdit->setEnabled(false);
    m_passwordEdit = new QLineEdit;
    m_passwordEdit->setObjectName(QStringLiteral("txtPassword"));
    m_passwordEdit->setEchoMode(QLineEdit::Password);
    auto* UserNameLabel = new QLabel(QStringLiteral("User Name:"));
    auto* PasswordLabel = new QLabel(QStringLiteral("&Password:"));
    PasswordLabel->setBuddy(m_passwordEdit);

    const dialogbuttons::OkCancel closing(dialogbuttons::Help::No, QStringLiteral("Exit"));
    m_okButton = closing.ok;
    m_cancelButton = closing.cancel;
    connect(m_okButton, &QPushButton::clicked, this, &PasswordPrompt::OnOkClicked);
    connect(m_cancelButton, &QPushButton::clicked, this, &PasswordPrompt::reject);

    auto* grid = new QGridLayout;
    grid->addWidget(UserNameLabel, 0, 0);
    grid->addWidget(m_userNameEdit, 0, 1);
    grid->addWidget(PasswordLabel, 1, 0);
    grid->addWidget(m_passwordEdit, 1, 1);
    auto* main = new QVBoxLayout(this);
    main->addWidget(m_promptLabel);
    main->addLayout(grid);
    main->addLayout(closing.row);
    main->setSizeConstraint(QLayout::SetFixedSize);
}

PasswordPrompt::~PasswordPrompt() {
    --g_openPrompts;
    // The typed password leaves memory with the prompt.
    m_passwordEdit->clear();
}

bool PasswordPrompt::IsOpen() {
    return g_openPrompts > 0;
}

bool PasswordPrompt::PasswordMatches(const QString& storedPassword, const QString& candidate) {
    // An empty candidate would stand for the current pass phrase in the cipher; it is never right.
    if (storedPassword.trimmed().isEmpty() || candidate.isEmpty() || !CodePage::CanEncode(candidate))
        return false;
    try {
        return SecretCipher::DecryptMessage(storedPassword, candidate) == candidate;
    } catch (const BgError&) {
        return false; // a damaged stored text matches no password
    }
}

void PasswordPrompt::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_passwordEdit->setFocus(Qt::OtherFocusReason);
}

void PasswordPrompt::FocusPassword() {
    m_passwordEdit->setFocus(Qt::OtherFocusReason);
    m_passwordEdit->selectAll();
}

void PasswordPrompt::OnOkClicked() {
    const QString typed = m_passwordEdit->text().trimmed();
    m_passwordEdit->setText(typed);
    if (PasswordMatches(m_storedPassword, typed)) {
        m_result = true;
        m_tries = 0;
        accept();
        return;
    }
    ++m_tries;
    if (m_tries >= kMaxTries) {
        // No message: the program ends.
        m_result = false;
        reject();
        return;
    }
    if (m_tries == kMaxTries - 1)
        MsgBox(QStringLiteral("Invalid Password. You have one more chance to enter a correct Password.") +
                   CR + QStringLiteral("Otherwise the application will exit.") + CR + CR,
               msgbox::OKOnly, msgbox::NoIcon, kTitle);
    else
        MsgBox(QStringLiteral("Invalid Password, try again!") + CR + CR, msgbox::OKOnly, msgbox::NoIcon,
               kTitle);
    FocusPassword();
}

bool VerifyPassword(const QString& prompt, const QString& user, const QString& storedPassword,
                    QWidget* parent) {
    if (PasswordPrompt::IsOpen()) return false;
    bool verified = false;
    bool endProgram = false;
    {
        PasswordPrompt dialog(prompt, user, storedPassword, parent);
        modal::RunModal(dialog);
        verified = dialog.Result();
        endProgram = dialog.TooManyTries();
    }
    if (endProgram) ProgramEnd::UnloadFrame();
    return verified;
}
