#include "users/frmInput.h"

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
#include "core/modEncrypt.h"
#include "users/ProgramEnd.h"

namespace {
int g_openPrompts = 0;
const QString kTitle = QStringLiteral("Verify Password");
} // namespace

frmInput::frmInput(const QString& prompt, const QString& user, const QString& storedPassword, QWidget* parent)
    : QDialog(parent), m_storedPassword(storedPassword) {
    ++g_openPrompts;
    setObjectName(QStringLiteral("frmInput"));
    setWindowTitle(kTitle);
    setModal(true);

    m_lblPrompt =
        new QLabel(prompt.isEmpty() ? QStringLiteral("For security, please verify your Password.") : prompt);
    m_lblPrompt->setObjectName(QStringLiteral("lblPrompt"));
    m_lblPrompt->setWordWrap(true);
    m_lblPrompt->setMinimumWidth(360);

    m_txtUserName = new QLineEdit(user);
    m_txtUserName->setObjectName(QStringLiteral("txtUserName"));
    m_txtUserName->setReadOnly(true);
    m_txtUserName->setEnabled(false);
    m_txtPassword = new QLineEdit;
    m_txtPassword->setObjectName(QStringLiteral("txtPassword"));
    m_txtPassword->setEchoMode(QLineEdit::Password);
    auto* lblUserName = new QLabel(QStringLiteral("User Name:"));
    auto* lblPassword = new QLabel(QStringLiteral("&Password:"));
    lblPassword->setBuddy(m_txtPassword);

    const dialogbuttons::OkCancel closing(dialogbuttons::Help::No, QStringLiteral("Exit"));
    m_cmdOK = closing.ok;
    m_cmdCancel = closing.cancel;
    connect(m_cmdOK, &QPushButton::clicked, this, &frmInput::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmInput::reject);

    auto* grid = new QGridLayout;
    grid->addWidget(lblUserName, 0, 0);
    grid->addWidget(m_txtUserName, 0, 1);
    grid->addWidget(lblPassword, 1, 0);
    grid->addWidget(m_txtPassword, 1, 1);
    auto* main = new QVBoxLayout(this);
    main->addWidget(m_lblPrompt);
    main->addLayout(grid);
    main->addLayout(closing.row);
    main->setSizeConstraint(QLayout::SetFixedSize);
}

frmInput::~frmInput() {
    --g_openPrompts;
    // The typed password leaves memory with the prompt.
    m_txtPassword->clear();
}

bool frmInput::IsOpen() {
    return g_openPrompts > 0;
}

bool frmInput::PasswordMatches(const QString& storedPassword, const QString& candidate) {
    // An empty candidate would stand for the current pass phrase in the cipher; it is never right.
    if (storedPassword.trimmed().isEmpty() || candidate.isEmpty() || !CodePage::CanEncode(candidate))
        return false;
    try {
        return modEncrypt::DecryptMessage(storedPassword, candidate) == candidate;
    } catch (const BgError&) {
        return false; // a damaged stored text matches no password
    }
}

void frmInput::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_txtPassword->setFocus(Qt::OtherFocusReason);
}

void frmInput::FocusPassword() {
    m_txtPassword->setFocus(Qt::OtherFocusReason);
    m_txtPassword->selectAll();
}

void frmInput::cmdOK_Click() {
    const QString typed = m_txtPassword->text().trimmed();
    m_txtPassword->setText(typed);
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
    if (frmInput::IsOpen()) return false;
    bool verified = false;
    bool endProgram = false;
    {
        frmInput dialog(prompt, user, storedPassword, parent);
        modal::RunModal(dialog);
        verified = dialog.Result();
        endProgram = dialog.TooManyTries();
    }
    if (endProgram) ProgramEnd::UnloadFrame();
    return verified;
}
