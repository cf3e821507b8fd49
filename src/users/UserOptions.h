#pragma once

#include <QString>

// The logged-in user's options. Read from the user's section when made; every writer stores
// its value at once.
class UserOptions {
public:
    // Reads `user`'s options (the SSN decrypted with the current pass phrase).
    explicit UserOptions(const QString& user);

    // Idle minutes before the account locks; 0: never.
    int AutoLogOutMts() const { return m_autoLogOutMts; }
    void SetAutoLogOutMts(int minutes);
    // Beep when a pop-up is blocked.
    bool BeepOnPopUp() const { return m_beepOnPopUp; }
    void SetBeepOnPopUp(bool beep);
    // The search engine last chosen in the search pane.
    const QString& SearchChoice() const { return m_searchChoice; }
    void SetSearchChoice(const QString& choice);
    // A personal number that auto-login may type into login forms; stored encrypted.
    const QString& SSN() const { return m_ssn; }
    // Stores only when the number changes; the empty text clears it.
    void SetSSN(const QString& ssn);
    // Minutes a Link's pane stays unseen before its page is frozen, and before it is let go
    // (kept only as its address and history); 0: never.
    int FreezeAfterMinutes() const { return m_freezeAfterMinutes; }
    void SetFreezeAfterMinutes(int minutes);
    int DiscardAfterMinutes() const { return m_discardAfterMinutes; }
    void SetDiscardAfterMinutes(int minutes);
    int MaxHistoryItems() const { return m_maxHistoryItems; }
    void SetMaxHistoryItems(int items);
    int MaxBookmarkItems() const { return m_maxBookmarkItems; }
    void SetMaxBookmarkItems(int items);

    const QString& User() const { return m_user; }

private:
    QString m_user;
    int m_autoLogOutMts = 30;
    bool m_beepOnPopUp = true;
    QString m_searchChoice;
    QString m_ssn;
    int m_freezeAfterMinutes = 10;
    int m_discardAfterMinutes = 30;
    int m_maxHistoryItems = 100;
    int m_maxBookmarkItems = 40;
};
