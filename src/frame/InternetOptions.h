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
    void OnUseDefaultClicked();
    // Asks, then clears what is ticked; false when the user said no or nothing is ticked.
    bool OnDeleteClicked();
    // Stores the home page (a typed address is completed) and closes; a home page that cannot be
    // used gets a message and the dialog stays.
    void OnOkClicked();

private:
    QLineEdit* m_homePageEdit = nullptr;
    QPushButton* m_useDefaultButton = nullptr;
    QCheckBox* m_cookiesCheck = nullptr;
    QCheckBox* m_cacheCheck = nullptr;
    QCheckBox* m_historyCheck = nullptr;
    QPushButton* m_deleteButton = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};
