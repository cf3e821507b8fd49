#pragma once

#include <functional>
#include <QComboBox>
#include <QPointer>

#include "browse/AddressList.h"

class QKeyEvent;
class QListWidget;
class QListWidgetItem;

// The browse window's address box `AddressCombo`: an editable combo box whose own drop-down
// holds the known addresses, with completion while the user types. Under the box a list of
// matching known addresses (`MatchList`) opens; Up and Down walk through it, Enter or a click
// opens the chosen address. What the user typed is kept aside (`m_typed`) so that Up past
// the first match brings it back. Navigation is asked of the owner through NavigateRequested.
//
// MatchList is a child of the box's top-level window, laid over whatever lies under the box;
// it never takes the focus, so typing goes on in the box while it is open.
class AddressBox : public QComboBox {
    Q_OBJECT
public:
    // How an address was chosen, as the navigation wants to know it.
    static constexpr int kModeTyped = 3; // typed or chosen from the match list
    static constexpr int kModeKeep = -1; // chosen from the box's own drop-down

    explicit AddressBox(QWidget* parent = nullptr);
    ~AddressBox() override;

    // The program shows an address (a page loaded): no matching, the blank page shows as "".
    void SetAddressText(const QString& url);
    QString AddressText() const;
    // The user has typed into the box since the program last set it, and is still at it (the
    // box has the focus or its matches are open): the owner should not overwrite the text.
    bool IsBeingEdited() const;
    void HideMatches();
    // Focus in the box with its whole text selected (Ctrl+L, Alt+D, F6).
    void FocusAndSelectAll();

    // The known addresses (the user's from the store, typed ones, visited pages). The limit
    // is the logged-in user's MaxHistoryItems.
    void AddUrlItem(const QString& url);
    void LoadVisitedUrls();
    // The typed addresses of the shared store key and of other browsers in the user's home.
    void GetTypedURLs();
    void SaveVisitedUrls();
    const AddressList& KnownAddresses() const { return m_urls; }

    // The parts, for the owner's layout and for tests.
    QListWidget* MatchList() const;
    // What the user last typed (the hidden mirror `m_typed`).
    QString TypedText() const { return m_typed; }
    // The matching switch: when on, a change of the text looks up the known addresses.
    bool IsMatching() const { return m_matching; }

    void showPopup() override;
    void hidePopup() override;

signals:
    // The user wants `url` opened in the visible pane; mode kModeTyped or kModeKeep.
    void NavigateRequested(const QString& url, int mode);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnAddressChange(const QString& text);
    void OnAddressClick(int index);
    // Each returns true when it used the key up.
    bool OnAddressKeyDown(QKeyEvent* event);
    bool OnAddressKeyPress(QKeyEvent* event);
    void OnAddressKeyUp();
    void OnAddressLostFocus();
    void OnMatchMouseUp(QListWidgetItem* item);

    void MatchTypedAddress();
    void ShowMatches(const QStringList& matches);
    void PlaceMatches();
    // Puts a match (or the typed text) into the box without looking it up again.
    void PutMatchText(const QString& text);
    void Open(const QString& url, int mode);
    bool ClaimsKey(const QKeyEvent* event) const;
    // Changes the drop-down's items without touching what the box shows.
    void ChangeItems(const std::function<void()>& change);
    void SyncItems();

    AddressList m_urls;                // lstUrls
    QPointer<QListWidget> m_matchList; // lives in the top-level window
    QString m_typed;                   // the mirror of what was typed
    bool m_matching = true;
    bool m_userEdited = false;
    bool m_inChange = false;
    bool m_choosingFromDropDown = false;
};
