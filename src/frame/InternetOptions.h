#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

// The settings of the logged-in user's web profile: the home page every pane's Home opens, and
// clearing what the engine keeps for the user (cookies, cached files, the history of visited
// links that colours followed links).
class InternetOptions : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kModule = "Bramblegate.frmMDI";

    explicit InternetOptions(QWidget* parent = nullptr);

    // Shows the dialog modally (modal::RunModal).
    static void Run(QWidget* parent);

    // --- the user's actions
    void cmdUseDefault_Click();
    // Asks, then clears what is ticked; false when the user said no or nothing is ticked.
    bool cmdDelete_Click();
    // Stores the home page (a typed address is completed) and closes; a home page that cannot be
    // used gets a message and the dialog stays.
    void cmdOK_Click();

    QLineEdit* txtHomePage() const { return m_txtHomePage; }
    QPushButton* cmdUseDefault() const { return m_cmdUseDefault; }
    QCheckBox* chkCookies() const { return m_chkCookies; }
    QCheckBox* chkCache() const { return m_chkCache; }
    QCheckBox* chkHistory() const { return m_chkHistory; }
    QPushButton* cmdDelete() const { return m_cmdDelete; }
    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }

private:
    QLineEdit* m_txtHomePage = nullptr;
    QPushButton* m_cmdUseDefault = nullptr;
    QCheckBox* m_chkCookies = nullptr;
    QCheckBox* m_chkCache = nullptr;
    QCheckBox* m_chkHistory = nullptr;
    QPushButton* m_cmdDelete = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdCancel = nullptr;
};
