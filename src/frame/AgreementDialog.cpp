#include "frame/AgreementDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "core/AppState.h"
#include "core/DialogButtons.h"
#include "core/MessageBox.h"

AgreementDialog::AgreementDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAgreement"));
    setWindowTitle(QString::fromLatin1(ProductName()) + QStringLiteral(" - ") + QLatin1String(kTitle));
    auto* intro =
        new QLabel(QStringLiteral("Please read the following agreement. You need to accept it to use ") +
                   QString::fromLatin1(ProductName()) + QStringLiteral("."));
    intro->setWordWrap(true);
    m_text = new QTextBrowser;
    m_text->setObjectName(QStringLiteral("txtAgreement"));
    m_text->setOpenLinks(false);
    m_text->setHtml(Text());
    m_text->setMinimumSize(480, 300);
    m_acceptButton =
        dialogbuttons::Make(QStringLiteral("I &Accept"), "cmdAccept", dialogbuttons::Enter::Default);
    m_declineButton =
        dialogbuttons::Make(QStringLiteral("I &Decline"), "cmdDecline", dialogbuttons::Enter::Plain);
    connect(m_acceptButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_declineButton, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = dialogbuttons::Row({}, {m_acceptButton, m_declineButton});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(m_text, 1);
    layout->addLayout(buttons);
}

bool AgreementDialog::Run(QWidget* parent) {
    for (;;) {
        AgreementDialog dialog(parent);
        if (modal::RunModal(dialog) == QDialog::Accepted) return true;
        if (MsgBox(LeaveQuestion(), msgbox::YesNo, msgbox::Question, QLatin1String(kTitle), 2) == msgbox::Yes)
            return false;
    }
}

QString AgreementDialog::LeaveQuestion() {
    const QString product = QString::fromLatin1(ProductName());
    return QStringLiteral("You have declined the agreement. ") + product +
           QStringLiteral(" will close now.") + CR + CR + QStringLiteral("Are you sure you want to leave ") +
           product + QStringLiteral("?") + CR + CR;
}

QString AgreementDialog::Text() {
    const QString p = QString::fromLatin1(ProductName());
    return QStringLiteral(
               "<h3>%1 - License and Privacy Agreement</h3>"
               "<p><b>Use.</b> You may install and use %1 on any computer you use, for yourself and for the "
               "people who share that computer's account with you.</p>"
               "<p><b>Your data stays with you.</b> %1 keeps your users, Links, site passwords, history, "
               "bookmarks and options in a settings file of your own account on this computer. Site "
               "addresses, user names and passwords are stored encrypted with your master password. %1 sends "
               "nothing about you anywhere: a Link's user name and password are typed only into the login "
               "page that Link opens, and only when you open it.</p>"
               "<p><b>Your master password.</b> It cannot be recovered. Without it, the encrypted data "
               "cannot be read by anyone, including you.</p>"
               "<p><b>Web sites.</b> The pages you visit are those of their owners, under their own terms. "
               "Cookies and cached pages are kept for each user, and for each of a user's Links apart; they "
               "can be deleted under Options, Internet Options.</p>"
               "<p><b>No warranty.</b> %1 is provided as it is, without warranty of any kind. Automatic "
               "login depends on how each site builds its pages and may not work with every site. Keep "
               "your own record of important passwords.</p>"
               "<p>By choosing <b>I Accept</b> you agree to these terms.</p>")
        .arg(p.toHtmlEscaped());
}
