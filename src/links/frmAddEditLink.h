#pragma once

#include <QDialog>
#include <QHash>
#include <QString>

class Link;
class LinkEditorHost;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The dialog in which the user creates ("Add Link") or edits ("Edit Link") one Link. It checks
// the input and hands the values to its host (the browse window), which encrypts the secrets
// and updates the Links collection. The Link's HidePopUps is stored here, at once, because the
// collection's Add and UpdateLink do not take it.
class frmAddEditLink : public QDialog {
    Q_OBJECT

public:
    enum class Mode { Add, Edit };

    // Host of the external sign-in service: an address there gets a word of advice.
    static constexpr const char* kSignInServiceHost = "login.passport-example.test";
    // The kind of address that advice suggests instead.
    static constexpr const char* kSignInExampleSite = "www.fernmail.test";
    // The program's own help page about sites whose login does not work.
    static constexpr const char* kLoginProblemUrl = "http://bramblegate.localhost/Support/LoginProblem.asp";
    // Navigate mode of an address the user opens in the visible Link's pane.
    static constexpr int kNavigateModeUser = 3;

    frmAddEditLink(LinkEditorHost& host, Mode mode, QWidget* parent = nullptr);

    // Fills the fields from a Link (edit mode); its Index is the Link that OK updates.
    void LoadLink(const Link& link);

    // Shows the dialog modally; the added or updated Link, or null when it was cancelled.
    static Link* RunAdd(LinkEditorHost& host, QWidget* parent = nullptr);
    static Link* RunEdit(LinkEditorHost& host, const Link& link, QWidget* parent = nullptr);

    Mode mode() const { return m_mode; }
    // The Link that OK added or updated.
    Link* ResultLink() const { return m_link; }
    bool AdvancedShown() const;
    // The help text of a control (empty for controls without one).
    QString HelpText(const QWidget* control) const { return m_help.value(control); }

    QLineEdit* txtCaption() const { return m_txtCaption; }
    QLineEdit* txtUrl() const { return m_txtUrl; }
    QCheckBox* chkAutoNavigate() const { return m_chkAutoNavigate; }
    QCheckBox* chkReqLogin() const { return m_chkReqLogin; }
    QGroupBox* fraLogin() const { return m_fraLogin; }
    QLabel* lblUserName() const { return m_lblUserName; }
    QLineEdit* txtUserName() const { return m_txtUserName; }
    QLabel* lblPW() const { return m_lblPW; }
    QLineEdit* txtPW() const { return m_txtPW; }
    QPushButton* cmdShow() const { return m_cmdShow; }
    QPushButton* cmdAdvanced() const { return m_cmdAdvanced; }
    QWidget* fraAdvanced() const { return m_fraAdvanced; }
    QLabel* lblSelectOption() const { return m_lblSelectOption; }
    QLineEdit* txtSelectOption() const { return m_txtSelectOption; }
    QLabel* lblNavigateAfterLogin() const { return m_lblNavigateAfterLogin; }
    QLineEdit* txtNavigateAfterLogin() const { return m_txtNavigateAfterLogin; }
    QCheckBox* chkHidePopUps() const { return m_chkHidePopUps; }
    QLabel* lblHelp() const { return m_lblHelp; }
    QLabel* lblHelpTag() const { return m_lblHelpTag; }
    QLabel* lblUrl() const { return m_lblUrl; }
    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }
    QPushButton* cmdHelp() const { return m_cmdHelp; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildLayout();
    void SetHelpTexts();
    void ApplyEnabling();
    void UpdateShowButton();
    void ShowAdvanced(bool show);
    void ShowHelp(const QString& text);
    void FocusField(QLineEdit* box);
    void txtUrl_LostFocus();
    void cmdOK_Click();
    void cmdShow_Click();
    void cmdAdvanced_Click();
    void lblUrl_Click();

    LinkEditorHost& m_host;
    Mode m_mode;
    int m_index = -1;
    QString m_storedCaption; // the edited Link's caption as stored
    Link* m_link = nullptr;
    QHash<const QWidget*, QString> m_help;

    QLineEdit* m_txtCaption = nullptr;
    QLineEdit* m_txtUrl = nullptr;
    QCheckBox* m_chkAutoNavigate = nullptr;
    QCheckBox* m_chkReqLogin = nullptr;
    QGroupBox* m_fraLogin = nullptr;
    QLabel* m_lblUserName = nullptr;
    QLineEdit* m_txtUserName = nullptr;
    QLabel* m_lblPW = nullptr;
    QLineEdit* m_txtPW = nullptr;
    QPushButton* m_cmdShow = nullptr;
    QPushButton* m_cmdAdvanced = nullptr;
    QWidget* m_fraAdvanced = nullptr;
    QLabel* m_lblSelectOption = nullptr;
    QLineEdit* m_txtSelectOption = nullptr;
    QLabel* m_lblNavigateAfterLogin = nullptr;
    QLineEdit* m_txtNavigateAfterLogin = nullptr;
    QCheckBox* m_chkHidePopUps = nullptr;
    QLabel* m_lblHelpTag = nullptr;
    QLabel* m_lblHelp = nullptr;
    QLabel* m_lblUrl = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdCancel = nullptr;
    QPushButton* m_cmdHelp = nullptr;
};
