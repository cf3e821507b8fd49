#pragma once

#include <memory>
#include <QDialog>

class cOptions;
class Links;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class SearchEngineEditor;

// The user's options: idle minutes before the lock, the SSN, which Links block pop-ups and
// whether a blocked pop-up beeps, the lengths of the history and bookmark lists, and the search
// engines of the search pane. Nothing is
// stored before Apply (or OK); Apply stores everything in one store transaction and emits
// Applied(), on which the frame refreshes the master history and trims the bookmarks.
//
// A number field, or the SSN, is checked when the user leaves it; a field that fails keeps the
// focus. Run it with modal::RunModal.
class frmOptions : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kModule = "Bramblegate.frmOptions";
    // The help topic of the Help button.
    static constexpr const char* kHelpTopic = "Options";

    // `links`: the logged-in user's Links (null: the list stays empty). The options are those of
    // App().Options (or, without one, read for App().CurrentUser).
    explicit frmOptions(Links* links, QWidget* parent = nullptr);
    ~frmOptions() override;

    // --- the user's actions
    // Stores what the dialog shows. False (nothing stored) when a field is refused.
    bool cmdApply_Click();
    // Apply when it is enabled, then close.
    void cmdOK_Click();
    void cmdCheckAll_Click();
    void cmdClearAll_Click();
    // The check made when a field is left: true when it is accepted; otherwise the user was told
    // and the focus is back in the field with its text selected.
    bool ValidateField(QLineEdit* field);

    // --- controls
    QTabWidget* tabs() const { return m_tabs; }
    QLineEdit* txtIdleMinutes() const { return m_txtIdleMinutes; }
    QLineEdit* txtFreezeMinutes() const { return m_txtFreezeMinutes; }
    QLineEdit* txtDiscardMinutes() const { return m_txtDiscardMinutes; }
    QLineEdit* txtSSN() const { return m_txtSSN; }
    QCheckBox* chkBeepOnPopUp() const { return m_chkBeep; }
    QListWidget* lstLinks() const { return m_lstLinks; }
    QLineEdit* txtHistoryItems() const { return m_txtHistoryItems; }
    QLineEdit* txtBookmarks() const { return m_txtBookmarks; }
    SearchEngineEditor* searchEngines() const { return m_searchEngines; }
    QLabel* lblHelp() const { return m_lblHelp; }
    QPushButton* cmdCheckAll() const { return m_cmdCheckAll; }
    QPushButton* cmdClearAll() const { return m_cmdClearAll; }
    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }
    QPushButton* cmdApply() const { return m_cmdApply; }
    QPushButton* cmdHelp() const { return m_cmdHelp; }

signals:
    // Apply stored the options.
    void Applied();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildLayout();
    void Fill();
    void Changed();
    void SetAllChecked(bool checked);
    bool ValidateAll();
    void FocusBack(QLineEdit* field);
    void LeftField(QLineEdit* field);
    bool IsCheckedField(QObject* object) const;

    Links* m_links;
    std::unique_ptr<cOptions> m_ownOptions;
    cOptions* m_options = nullptr;

    QTabWidget* m_tabs = nullptr;
    QLineEdit* m_txtIdleMinutes = nullptr;
    QLineEdit* m_txtFreezeMinutes = nullptr;
    QLineEdit* m_txtDiscardMinutes = nullptr;
    QLineEdit* m_txtSSN = nullptr;
    QCheckBox* m_chkBeep = nullptr;
    QListWidget* m_lstLinks = nullptr;
    QLineEdit* m_txtHistoryItems = nullptr;
    QLineEdit* m_txtBookmarks = nullptr;
    SearchEngineEditor* m_searchEngines = nullptr;
    QLabel* m_lblHelp = nullptr;
    QPushButton* m_cmdCheckAll = nullptr;
    QPushButton* m_cmdClearAll = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdCancel = nullptr;
    QPushButton* m_cmdApply = nullptr;
    QPushButton* m_cmdHelp = nullptr;

    // The field whose leave is waiting to be checked (the check runs once the focus change is
    // over, so that a message box never opens in the middle of one).
    QLineEdit* m_pendingLeave = nullptr;
    bool m_restoring = false;
};
