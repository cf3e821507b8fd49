#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
struct SignInRequest;

// The box for a server's (or proxy's) own sign-in: it names the site and what the site calls
// the protected area, and takes a user name and a password. Run with modal::RunModal.
class SignInBox : public QDialog {
    Q_OBJECT
public:
    explicit SignInBox(const SignInRequest& request, QWidget* parent = nullptr);

    // Asks the user; true (and the request answered) on OK.
    static bool Ask(SignInRequest& request, QWidget* parent = nullptr);

    // What the box says about who asks.
    static QString Question(const SignInRequest& request);

private:
    QLabel* m_question = nullptr;
    QLineEdit* m_userName = nullptr;
    QLineEdit* m_password = nullptr;
    QPushButton* m_ok = nullptr;
};
