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
// and updates the Links collection. The Link's HidePopUps and ShareCookies are stored here, at
// once, because the collection's Add and UpdateLink do not take them.
class LinkEditor : public QDialog {
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

    LinkEditor(LinkEditorHost& host, Mode mode, QWidget* parent = nullptr);

    // Fills the fields from a Link (edit mode); its Index is the Link that OK updates.
    void LoadLink(const Link& link);

    // Shows the dialog modally; the added or updated Link, or null when it was cancelled.
    static Link* RunAdd(LinkEditorHost& host, QWidget* parent = nullptr);
    static Link* RunEdit(LinkEditorHost& host, const Link& link, QWidget* parent = nullptr);

    Mode EditMode() const { return m_mode; }
    // The Link that OK added or updated.
    Link* ResultLink() const { return m_link; }
    bool AdvancedShown() const;

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
    void OnUrlLostFocus();
    void OnOkClicked();
    void OnShowClicked();
    void OnAdvancedClicked();
    void OnUrlClicked();

    LinkEditorHost& m_host;
    Mode m_mode;
    int m_index = -1;
    QString m_storedCaption; // the edited Link's caption as stored
    Link* m_link = nullptr;
    QHash<const QWidget*, QString> m_help;

    QLineEdit* m_captionEdit = nullptr;
    QLineEdit* m_urlEdit = nullptr;
    QCheckBox* m_autoNavigateCheck = nullptr;
    QCheckBox* m_requireLoginCheck = nullptr;
    QGroupBox* m_loginGroup = nullptr;
    QLabel* m_userNameLabel = nullptr;
    QLineEdit* m_userNameEdit = nullptr;
    QLabel* m_linkPasswordLabel = nullptr;
    QLineEdit* m_linkPasswordEdit = nullptr;
    QPushButton* m_showButton = nullptr;
    QPushButton* m_advancedButton = nullptr;
    QWidget* m_advancedGroup = nullptr;
    QLabel* m_selectOptionLabel = nullptr;
    QLineEdit* m_selectOptionEdit = nullptr;
    QLabel* m_navigateAfterLoginLabel = nullptr;
    QLineEdit* m_navigateAfterLoginEdit = nullptr;
    QLabel* m_alsoAllowedSiteLabel = nullptr;
    QLineEdit* m_alsoAllowedSiteEdit = nullptr;
    QCheckBox* m_hidePopUpsCheck = nullptr;
    QCheckBox* m_shareCookiesCheck = nullptr;
    QLabel* m_helpTagLabel = nullptr;
    QLabel* m_helpLabel = nullptr;
    QLabel* m_urlLabel = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QPushButton* m_helpButton = nullptr;
};
