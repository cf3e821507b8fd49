#pragma once

#include <QDialog>

#include "users/DeleteUser.h"

class QComboBox;
class QLineEdit;
class QPushButton;

// The dialog that deletes a user account (Options menu). The decisions live in UserDeletion;
// the dialog shows them and puts the focus where they say.
class DeleteUserDialog : public QDialog {
    Q_OBJECT

public:
    explicit DeleteUserDialog(QWidget* parent = nullptr);

    // Shows the dialog modally. After the logged-in user was deleted, unloads the frame (the
    // program ends without saving that user's data) and returns true.
    static bool Run(QWidget* parent = nullptr);

    // What the last OK did.
    DeleteUserStep::Outcome Outcome() const { return m_outcome; }

private:
    void OnOkClicked();

    DeleteUserStep::Outcome m_outcome = DeleteUserStep::Stay;
    QComboBox* m_userNameCombo = nullptr;
    QLineEdit* m_passwordEdit = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QPushButton* m_helpButton = nullptr;
};
