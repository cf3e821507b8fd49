#pragma once

#include <QDialog>

class QPushButton;
class QTextBrowser;

// The first run's agreement: what the program does with the user's data and on what terms it is
// used. Declining asks whether to leave the program.
class AgreementDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "License Agreement";

    explicit AgreementDialog(QWidget* parent = nullptr);

    // Shows the agreement (modal::RunModal) until the user accepts it or confirms leaving. True:
    // accepted, start-up goes on.
    static bool Run(QWidget* parent);

    // The agreement's text (HTML).
    static QString Text();
    // The question after declining.
    static QString LeaveQuestion();

private:
    QTextBrowser* m_text = nullptr;
    QPushButton* m_acceptButton = nullptr;
    QPushButton* m_declineButton = nullptr;
};
