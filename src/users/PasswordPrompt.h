#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

// The password prompt: asks for the master password of a user whose stored password text is
// known (the logged-in user before a lock is lifted or an export, the user of an import file).
// It never changes the current pass phrase. Five wrong passwords are answered with messages; the
// sixth closes the prompt and ends the program. Exit closes it unverified.
//
// At most one prompt exists at a time: VerifyPassword opens none while another is open, and the
// inactivity lock asks IsOpen() before it starts one.
class PasswordPrompt : public QDialog {
    Q_OBJECT

public:
    static constexpr int kMaxTries = 6;

    PasswordPrompt(const QString& prompt, const QString& user, const QString& storedPassword,
                   QWidget* parent = nullptr);
    ~PasswordPrompt() override;

    // True while a prompt exists.
    static bool IsOpen();
    // True when the stored text is the password encrypted with itself (the login's rule).
    static bool PasswordMatches(const QString& storedPassword, const QString& candidate);

    // The password was verified.
    bool Result() const { return m_result; }
    // The sixth wrong password closed the prompt: the caller ends the program.
    bool TooManyTries() const { return m_tries >= kMaxTries; }
    int Tries() const { return m_tries; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnOkClicked();
    void FocusPassword();

    QString m_storedPassword;
    bool m_result = false;
    int m_tries = 0;

    QLabel* m_promptLabel = nullptr;
    QLineEdit* m_userNameEdit = nullptr;
    QLineEdit* m_passwordEdit = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};

// Shows the password prompt modally and returns whether the password was verified. An empty
// prompt gets the usual request. After the sixth wrong password the frame is unloaded (the
// program ends) and the result is false. While another prompt is open, nothing is shown and the
// result is false.
bool VerifyPassword(const QString& prompt, const QString& user, const QString& storedPassword,
                    QWidget* parent = nullptr);
