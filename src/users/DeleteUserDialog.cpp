#include "users/DeleteUserDialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/DialogButtons.h"
#include "core/HelpRequest.h"
#include "core/MessageBox.h"
#include "core/Settings.h"
#include "core/UrlUtils.h"
#include "users/ProgramEnd.h"

DeleteUserDialog::DeleteUserDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmDeleteUser"));
    setWindowTitle(QStringLiteral("Delete User"));
    setModal(true);

    m_userNameCombo = new QComboBox;
    m_userNameCombo->setObjectName(QStringLiteral("cmbUserName"));
    m_userNameCombo->setEditable(true);
    m_userNameCombo->setInsertPolicy(QComboBox::NoInsert);
    m_userNameCombo->setCompleter(nullptr); // the name goes as typed
    m_userNameCombo->setMinimumWidth(220);
    QStringList names, values;
    core::EnumValues(QStringLiteral("Software\\") + core::AppKeyName() + QStringLiteral("\\Users"), names,
                     values);
    for (const QString& name : names)
        if (!name.isEmpty()) m_userNameCombo->addItem(core::ProperCase(name));
    m_userNameCombo->setEditText(QString());

    m_passwordEdit = new QLineEdit;
    m_passwordEdit->setObjectName(QStringLiteral("txtPassword"));
    m_passwordEdit->setEchoMode(QLineEdit::Password);
    auto* UserNameLabel = new QLabel(QStringLiteral("&User Name:"));
    UserNameLabel->setBuddy(m_userNameCombo);
    auto* PasswordLabel = new QLabel(QStringLiteral("&Password:"));
    PasswordLabel->setBuddy(m_passwordEdit);

    const dialogbuttons::OkCancel closing(dialogbuttons::Help::Yes);
    m_okButton = closing.ok;
    m_cancelButton = closing.cancel;
    m_helpButton = closing.help;
    connect(m_okButton, &QPushButton::clicked, this, &DeleteUserDialog::OnOkClicked);
    connect(m_cancelButton, &QPushButton::clicked, this, &DeleteUserDialog::reject);
    helprequest::Bind(this, m_helpButton, QStringLiteral("DeleteUser"));

    auto* grid = new QGridLayout;
    grid->addWidget(UserNameLabel, 0, 0);
    grid->addWidget(m_userNameCombo, 0, 1);
    grid->addWidget(PasswordLabel, 1, 0);
    grid->addWidget(m_passwordEdit, 1, 1);
    auto* main = new QVBoxLayout(this);
    main->addLayout(grid);
    main->addLayout(closing.row);
    main->setSizeConstraint(QLayout::SetFixedSize);
}

void DeleteUserDialog::OnOkClicked() {
    DeleteUserFields fields{m_userNameCombo->currentText(), m_passwordEdit->text()};
    const DeleteUserStep step = UserDeletion::ConfirmAndDelete(fields);
    m_userNameCombo->setEditText(fields.userName);
    m_passwordEdit->setText(fields.password);
    m_outcome = step.outcome;
    switch (step.outcome) {
    case DeleteUserStep::Deleted:
    case DeleteUserStep::EndProgram:
        m_passwordEdit->clear();
        accept();
        return;
    case DeleteUserStep::Stay:
        break;
    }
    if (step.focus == DeleteUserStep::UserName) {
        m_userNameCombo->setFocus(Qt::OtherFocusReason);
        m_userNameCombo->lineEdit()->selectAll();
    } else if (step.focus == DeleteUserStep::Password) {
        m_passwordEdit->setFocus(Qt::OtherFocusReason);
        m_passwordEdit->selectAll();
    }
}

bool DeleteUserDialog::Run(QWidget* parent) {
    bool endProgram = false;
    {
        DeleteUserDialog dialog(parent);
        modal::RunModal(dialog);
        endProgram = dialog.Outcome() == DeleteUserStep::EndProgram;
    }
    if (endProgram) ProgramEnd::UnloadFrame();
    return endProgram;
}
