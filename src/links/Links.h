#pragma once

#include <functional>
#include <memory>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QVariant>
#include <vector>

#include "links/Link.h"

class StoreTransaction;

// The logged-in user's Links, in the order they were created (a Link's position is its Index,
// from 1), with the button order kept in each Link's ControlOrder (0, 1, ... among the Links
// that are not deleted). A removed Link stays in the collection marked Deleted, so the Index
// of every other Link, and with it the index of its controls, never changes while the
// collection lives.
//
// The collection reads the user's section of the store when it is made and writes it back
// through SaveLinks / SaveLink. While it lives it also re-encrypts the secrets it holds when
// its user changes the master password.
class Links : public QObject {
    Q_OBJECT

public:
    // The status-bar panel that shows "Navigation Cancelled" (counted from 1).
    static constexpr int kNavigatePanel = 3;

    // Loads `user`'s Links from the store.
    explicit Links(const QString& user, QObject* parent = nullptr);
    ~Links() override;

    const QString& User() const { return m_user; }
    // Where every Link (present and future) sends its login notifications.
    void SetLinkOwner(LinkOwner* owner);

    // Makes a Link. url, userName and pw are encrypted text. controlOrder -1 appends it (and
    // saves it at once); otherwise it takes that place in the button order, and with `insert`
    // the Links from there on move one down and everything is saved.
    Link* Add(const QString& caption, const QString& url, const QString& userName, const QString& pw,
              const QString& selectOption, const QString& navigateAfterLogin, bool autoNavigate,
              bool reqLogin, int controlOrder = -1, bool insert = false);
    // Changes a Link's fields (secrets as encrypted text) and saves it.
    Link* UpdateLink(int index, const QString& caption, const QString& url, const QString& userName,
                     const QString& pw, const QString& selectOption, const QString& navigateAfterLogin,
                     bool autoNavigate, bool reqLogin);
    // Marks a Link deleted, closes the gap in the button order and saves all.
    void Remove(int index);
    // Puts one Link's button at another's place; the other ends up next to it on the side the
    // moved one came from. Saves nothing.
    void MoveLink(int fromIndex, int toIndex);
    // Rewrites every stored Link in one store transaction into slots 1..n: compact in button order
    // (renumbering ControlOrder), otherwise in Index order. Each Link's Slot follows.
    void SaveLinks(bool compact);
    // Writes one Link's values into slot `slot`, taking ControlOrder slot - 1; -1: into the
    // Link's own Slot (the next free one if it has none yet). A deleted Link is not written.
    void SaveLink(int index, int slot = -1);
    // Stores the Link's also allowed site in its slot ("AlsoAllowedSite<slot>"), a value that
    // exists only while the Link has one.
    static void SaveAlsoAllowedSite(const QString& user, const Link& link);
    // Stores the Link's zoom in its slot (nothing while it has none).
    void SaveZoom(const Link& link);
    // Clears a Link's run-time state before a fresh navigation; null when there is no such Link.
    Link* RenewLink(int index);

    Link* Item(int index) const;
    int Count() const { return int(m_links.size()); }
    int CountUndeleted() const;
    Link* ControlOrderItem(int order) const;
    int ControlOrderItemIndex(int order) const;

    // Range-for over all Links, deleted ones included, in Index order.
    class const_iterator {
    public:
        explicit const_iterator(std::vector<std::unique_ptr<Link>>::const_iterator it) : m_it(it) {}
        Link* operator*() const { return m_it->get(); }
        const_iterator& operator++() {
            ++m_it;
            return *this;
        }
        bool operator==(const const_iterator& other) const { return m_it == other.m_it; }
        bool operator!=(const const_iterator& other) const { return m_it != other.m_it; }

    private:
        std::vector<std::unique_ptr<Link>>::const_iterator m_it;
    };
    const_iterator begin() const { return const_iterator(m_links.begin()); }
    const_iterator end() const { return const_iterator(m_links.end()); }

    // --- collection-wide state
    int Visible() const { return m_visible; }
    // Raises VisibleChanged when the new value is above 0 and differs from the old one, or
    // ForceVisible is above 0.
    void SetVisible(int index);
    int ForceVisible() const { return m_forceVisible; }
    void SetForceVisible(int index) { m_forceVisible = index; }
    bool ControlsAreLoaded() const { return m_controlsLoaded; }
    // Raises ControlsLoaded when set to true.
    void SetControlsLoaded(bool loaded);
    int LinksPerPage() const { return m_linksPerPage; }
    void SetLinksPerPage(int v) { m_linksPerPage = v; }
    int LinkAtTop() const { return m_linkAtTop; }
    void SetLinkAtTop(int v) { m_linkAtTop = v; }
    int LinkAtBottom() const { return m_linkAtBottom; }
    void SetLinkAtBottom(int v) { m_linkAtBottom = v; }
    const QVariant& FontSize() const { return m_fontSize; } // invalid until chosen
    void SetFontSize(const QVariant& v) { m_fontSize = v; }
    const QString& FavoritesFolder() const { return m_favoritesFolder; }
    void SetFavoritesFolder(const QString& v) { m_favoritesFolder = v; }
    qint32 NavigateMode() const { return m_navigateMode; }
    void SetNavigateMode(qint32 v) { m_navigateMode = v; }
    int ProgressIndex() const { return m_progressIndex; }
    void SetProgressIndex(int v) { m_progressIndex = v; }
    const QDateTime& ProgressTimeOut() const { return m_progressTimeOut; } // null: none
    void SetProgressTimeOut(const QDateTime& v) { m_progressTimeOut = v; }
    bool SuppressNewWindows() const { return m_suppressNewWindows; }
    void SetSuppressNewWindows(bool v) { m_suppressNewWindows = v; }

    // True for five seconds after it was last set true; setting it puts "Navigation Cancelled"
    // into (or clears) the status-bar panel through StatusPanelText.
    bool NavigateStopped() const;
    void SetNavigateStopped(bool stopped);

    // The in-memory half of a master-password change: works out the secrets held by the Links
    // that are not deleted, from oldPassPhrase to the current pass phrase, and returns what puts
    // them in place (run once the store has the new password). Changes nothing itself.
    std::function<void()> ReEncryptUserData(const QString& oldPassPhrase);

signals:
    void ControlsLoaded();
    void VisibleChanged();
    // Text for a panel of the main window's status bar.
    void StatusPanelText(int panel, const QString& text);

private:
    void Load();
    Link& Need(int index) const;
    // Commits a save; when the store refuses it, every Link goes back to where the store has it
    // (Links added since are dropped) and a BgError (ErrNo::NotSaved) says so.
    void CommitOrRollBack(StoreTransaction& transaction);
    // Remembers where the store has each Link now.
    void RememberStored();
    // The slot after the highest one in use.
    int NextSlot() const;

    QString m_user;
    std::vector<std::unique_ptr<Link>> m_links;
    // Each Link's place as the store has it, by position: after loading and after every save.
    struct StoredPlace {
        int controlOrder = -1;
        int slot = 0;
        bool deleted = false;
    };
    std::vector<StoredPlace> m_stored;
    LinkOwner* m_owner = nullptr;
    bool m_loading = false;

    int m_forceVisible = -1;
    int m_visible = -1;
    bool m_controlsLoaded = false;
    int m_linksPerPage = 0, m_linkAtTop = 0, m_linkAtBottom = 0;
    QVariant m_fontSize;
    QString m_favoritesFolder;
    qint32 m_navigateMode = 0;
    int m_progressIndex = 0;
    QDateTime m_progressTimeOut;
    bool m_suppressNewWindows = true;
    QDateTime m_stopTime; // null: never set
};
