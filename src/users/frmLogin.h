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
class frmLogin : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* kLogin = "Login";
    static constexpr const char* kChangePW = "ChangePW";
    static constexpr const char* kVerify = "Verify";

    explicit frmLogin(const QString& mode = QString::fromLatin1(kLogin), QWidget* parent = nullptr);
    ~frmLogin() override;

    // Shows the dialog modally in a mode. RunLogin returns App().LoginOK; RunVerify whether
    // the right master password was given.
    static bool RunLogin(QWidget* parent = nullptr);
    static void RunChangePassword(QWidget* parent = nullptr);
    static bool RunVerify(QWidget* parent = nullptr);

    const QString& Mode() const { return m_mode; }
    // Verification mode: the password was right.
    bool Verified() const { return m_verified; }
    const Accounts& accounts() const { return m_accounts; }

    QRadioButton* optLogin() const { return m_optLogin; }
    QRadioButton* optNew() const { return m_optNew; }
    QComboBox* cmbUserName() const { return m_cmbUserName; }
    QLineEdit* txtPassword() const { return m_txtPassword; }
    QLineEdit* txtNewPassword() const { return m_txtNewPassword; }
    QLineEdit* txtNewPassword2() const { return m_txtNewPassword2; }
    QLabel* lblPassword() const { return m_lblPassword; }
    QLabel* lblNewPassword() const { return m_lblNewPassword; }
    QLabel* lblNewPassword2() const { return m_lblNewPassword2; }
    QGroupBox* fraLogin() const { return m_fraLogin; }
    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }
    QPushButton* cmdHelp() const { return m_cmdHelp; }

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildLayout();
    void LoadMode();
    void optLogin_Click();
    void optNew_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmbUserName_KeyUp();
    void ShowReEnter(bool newPassword, bool reEnter);
    LoginFields ReadFields() const;
    void WriteFields(const LoginFields& fields);
    void FocusField(LoginField field);
    void ShowUpdating(bool show);

    QString m_mode;
    Accounts m_accounts;
    bool m_verified = false;

    QRadioButton* m_optLogin = nullptr;
    QRadioButton* m_optNew = nullptr;
    QGroupBox* m_fraLogin = nullptr;
    QLabel* m_lblUserName = nullptr;
    QComboBox* m_cmbUserName = nullptr;
    QLabel* m_lblPassword = nullptr;
    QLineEdit* m_txtPassword = nullptr;
    QLabel* m_lblNewPassword = nullptr;
    QLineEdit* m_txtNewPassword = nullptr;
    QLabel* m_lblNewPassword2 = nullptr;
    QLineEdit* m_txtNewPassword2 = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdCancel = nullptr;
    QPushButton* m_cmdHelp = nullptr;
};
