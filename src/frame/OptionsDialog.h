#pragma once

#include <memory>
#include <QDialog>

class UserOptions;
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
class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kModule = "Bramblegate.frmOptions";
    // The help topic of the Help button.
    static constexpr const char* kHelpTopic = "Options";

    // `links`: the logged-in user's Links (null: the list stays empty). The options are those of
    // App().Options (or, without one, read for App().CurrentUser).
    explicit OptionsDialog(Links* links, QWidget* parent = nullptr);
    ~OptionsDialog() override;

    // --- the user's actions
    // Stores what the dialog shows. False (nothing stored) when a field is refused.
    bool OnApplyClicked();
    // Apply when it is enabled, then close.
    void OnOkClicked();
    void OnCheckAllClicked();
    void OnClearAllClicked();
    // The check made when a field is left: true when it is accepted; otherwise the user was told
    // and the focus is back in the field with its text selected.
    bool ValidateField(QLineEdit* field);

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
    std::unique_ptr<UserOptions> m_ownOptions;
    UserOptions* m_options = nullptr;

    QTabWidget* m_tabs = nullptr;
    QLineEdit* m_idleMinutesEdit = nullptr;
    QLineEdit* m_freezeMinutesEdit = nullptr;
    QLineEdit* m_discardMinutesEdit = nullptr;
    QLineEdit* m_ssnEdit = nullptr;
    QCheckBox* m_beepCheck = nullptr;
    QListWidget* m_linksList = nullptr;
    QLineEdit* m_historyItemsEdit = nullptr;
    QLineEdit* m_bookmarksEdit = nullptr;
    SearchEngineEditor* m_searchEngines = nullptr;
    QLabel* m_helpLabel = nullptr;
    QPushButton* m_checkAllButton = nullptr;
    QPushButton* m_clearAllButton = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QPushButton* m_applyButton = nullptr;
    QPushButton* m_helpButton = nullptr;

    // The field whose leave is waiting to be checked (the check runs once the focus change is
    // over, so that a message box never opens in the middle of one).
    QLineEdit* m_pendingLeave = nullptr;
    bool m_restoring = false;
};
