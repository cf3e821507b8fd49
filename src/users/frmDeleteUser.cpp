#include "users/frmDeleteUser.h"

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

frmDeleteUser::frmDeleteUser(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmDeleteUser"));
    setWindowTitle(QStringLiteral("Delete User"));
    setModal(true);

    m_cmbUserName = new QComboBox;
    m_cmbUserName->setObjectName(QStringLiteral("cmbUserName"));
    m_cmbUserName->setEditable(true);
    m_cmbUserName->setInsertPolicy(QComboBox::NoInsert);
    m_cmbUserName->setCompleter(nullptr); // the name goes as typed
    m_cmbUserName->setMinimumWidth(220);
    QStringList names, values;
    modGeneral::EnumValues(
        QStringLiteral("Software\\") + modGeneral::AppKeyName() + QStringLiteral("\\Users"), names, values);
    for (const QString& name : names)
        if (!name.isEmpty()) m_cmbUserName->addItem(modGeneral::ProperCase(name));
    m_cmbUserName->setEditText(QString());

    m_txtPassword = new QLineEdit;
    m_txtPassword->setObjectName(QStringLiteral("txtPassword"));
    m_txtPassword->setEchoMode(QLineEdit::Password);
    auto* lblUserName = new QLabel(QStringLiteral("&User Name:"));
    lblUserName->setBuddy(m_cmbUserName);
    auto* lblPassword = new QLabel(QStringLiteral("&Password:"));
    lblPassword->setBuddy(m_txtPassword);

    const dialogbuttons::OkCancel closing(dialogbuttons::Help::Yes);
    m_cmdOK = closing.ok;
    m_cmdCancel = closing.cancel;
    m_cmdHelp = closing.help;
    connect(m_cmdOK, &QPushButton::clicked, this, &frmDeleteUser::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmDeleteUser::reject);
    helprequest::Bind(this, m_cmdHelp, QStringLiteral("DeleteUser"));

    auto* grid = new QGridLayout;
    grid->addWidget(lblUserName, 0, 0);
    grid->addWidget(m_cmbUserName, 0, 1);
    grid->addWidget(lblPassword, 1, 0);
    grid->addWidget(m_txtPassword, 1, 1);
    auto* main = new QVBoxLayout(this);
    main->addLayout(grid);
    main->addLayout(closing.row);
    main->setSizeConstraint(QLayout::SetFixedSize);
}

void frmDeleteUser::cmdOK_Click() {
    DeleteUserFields fields{m_cmbUserName->currentText(), m_txtPassword->text()};
    const DeleteUserStep step = UserDeletion::ConfirmAndDelete(fields);
    m_cmbUserName->setEditText(fields.userName);
    m_txtPassword->setText(fields.password);
    m_outcome = step.outcome;
    switch (step.outcome) {
    case DeleteUserStep::Deleted:
    case DeleteUserStep::EndProgram:
        m_txtPassword->clear();
        accept();
        return;
    case DeleteUserStep::Stay:
        break;
    }
    if (step.focus == DeleteUserStep::UserName) {
        m_cmbUserName->setFocus(Qt::OtherFocusReason);
        m_cmbUserName->lineEdit()->selectAll();
    } else if (step.focus == DeleteUserStep::Password) {
        m_txtPassword->setFocus(Qt::OtherFocusReason);
        m_txtPassword->selectAll();
    }
}

bool frmDeleteUser::Run(QWidget* parent) {
    bool endProgram = false;
    {
        frmDeleteUser dialog(parent);
        modal::RunModal(dialog);
        endProgram = dialog.Outcome() == DeleteUserStep::EndProgram;
    }
    if (endProgram) ProgramEnd::UnloadFrame();
    return endProgram;
}
