#pragma once

#include <QDialog>
#include <QString>

#include "users/Accounts.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The login dialog. Modes:
//  - "Login" (start-up; also any text not listed here): log in, or create a new user;
//  - "ChangePW": change the logged-in user's master password;
//  - "Verify": ask the logged-in user for the master password again (before a secret is shown).
// The decisions live in Accounts; the dialog shows them and puts the focus where they say.
class LoginDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* kLogin = "Login";
    static constexpr const char* kChangePW = "ChangePW";
    static constexpr const char* kVerify = "Verify";

    explicit LoginDialog(const QString& mode = QString::fromLatin1(kLogin), QWidget* parent = nullptr);
    ~LoginDialog() override;

    // Shows the dialog modally in a mode. RunLogin returns App().LoginOK; RunVerify whether
    // the right master password was given.
    static bool RunLogin(QWidget* parent = nullptr);
    static void RunChangePassword(QWidget* parent = nullptr);
    static bool RunVerify(QWidget* parent = nullptr);

    const QString& Mode() const { return m_mode; }
    // Verification mode: the password was right.
    bool Verified() const { return m_verified; }
    const Accounts& UserAccounts() const { return m_accounts; }

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildLayout();
    void LoadMode();
    void OnLoginClicked();
    void OnNewClicked();
    void OnOkClicked();
    void OnCancelClicked();
    void OnUserNameKeyUp();
    void ShowReEnter(bool newPassword, bool reEnter);
    LoginFields ReadFields() const;
    void WriteFields(const LoginFields& fields);
    void FocusField(LoginField field);
    void ShowUpdating(bool show);

    QString m_mode;
    Accounts m_accounts;
    bool m_verified = false;

    QRadioButton* m_loginOption = nullptr;
    QRadioButton* m_newOption = nullptr;
    QGroupBox* m_loginGroup = nullptr;
    QLabel* m_userNameLabel = nullptr;
    QComboBox* m_userNameCombo = nullptr;
    QLabel* m_passwordLabel = nullptr;
    QLineEdit* m_passwordEdit = nullptr;
    QLabel* m_newPasswordLabel = nullptr;
    QLineEdit* m_newPasswordEdit = nullptr;
    QLabel* m_newPassword2Label = nullptr;
    QLineEdit* m_newPassword2Edit = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QPushButton* m_helpButton = nullptr;
};
