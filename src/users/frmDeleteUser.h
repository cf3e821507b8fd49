#pragma once

#include <QDialog>

#include "users/DeleteUser.h"

class QComboBox;
class QLineEdit;
class QPushButton;

// The dialog that deletes a user account (Options menu). The decisions live in UserDeletion;
// the dialog shows them and puts the focus where they say.
class frmDeleteUser : public QDialog {
    Q_OBJECT

public:
    explicit frmDeleteUser(QWidget* parent = nullptr);

    // Shows the dialog modally. After the logged-in user was deleted, unloads the frame (the
    // program ends without saving that user's data) and returns true.
    static bool Run(QWidget* parent = nullptr);

    // What the last OK did.
    DeleteUserStep::Outcome Outcome() const { return m_outcome; }

    QComboBox* cmbUserName() const { return m_cmbUserName; }
    QLineEdit* txtPassword() const { return m_txtPassword; }
    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }
    QPushButton* cmdHelp() const { return m_cmdHelp; }

private:
    void cmdOK_Click();

    DeleteUserStep::Outcome m_outcome = DeleteUserStep::Stay;
    QComboBox* m_cmbUserName = nullptr;
    QLineEdit* m_txtPassword = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdCancel = nullptr;
    QPushButton* m_cmdHelp = nullptr;
};
