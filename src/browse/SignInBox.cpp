#include "browse/SignInBox.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "browse/engine/BrowserPane.h"
#include "core/DialogButtons.h"
#include "core/MessageBox.h"
#include "core/UrlUtils.h"

SignInBox::SignInBox(const SignInRequest& request, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSignIn"));
    setWindowTitle(QStringLiteral("Sign In"));
    m_question = new QLabel(Question(request));
    m_question->setObjectName(QStringLiteral("lblQuestion"));
    m_question->setWordWrap(true);
    m_question->setTextFormat(Qt::PlainText);
    m_userName = new QLineEdit(request.userName);
    m_userName->setObjectName(QStringLiteral("txtUserName"));
    m_password = new QLineEdit;
    m_password->setObjectName(QStringLiteral("txtPassword"));
    m_password->setEchoMode(QLineEdit::Password);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&User name:"), m_userName);
    form->addRow(QStringLiteral("&Password:"), m_password);
    const dialogbuttons::OkCancel closing(dialogbuttons::Help::No);
    m_ok = closing.ok;
    connect(closing.ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(closing.cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_question);
    layout->addLayout(form);
    layout->addLayout(closing.row);
    setMinimumWidth(420);
    (request.userName.isEmpty() ? m_userName : m_password)->setFocus();
}

QString SignInBox::Question(const SignInRequest& request) {
    const QUrl url(request.url);
    QString text;
    if (request.IsProxy()) {
        text = QStringLiteral("The proxy %1 asks for a user name and password.").arg(request.proxyHost);
    } else {
        text = QStringLiteral("The site %1 asks for a user name and password.")
                   .arg(core::SiteLabel(request.url));
    }
    if (!request.realm.isEmpty()) text += QStringLiteral(" It says: \"%1\"").arg(request.realm);
    if (!request.IsProxy() && url.scheme() != QLatin1String("https"))
        text += QStringLiteral("\n\nThe connection to this site is not private: what you type can be read on "
                               "its way.");
    return text;
}

bool SignInBox::Ask(SignInRequest& request, QWidget* parent) {
    SignInBox box(request, parent);
    if (modal::RunModal(box) != QDialog::Accepted) return false;
    request.Answer(box.m_userName->text(), box.m_password->text());
    return true;
}
