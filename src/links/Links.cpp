#include "links/Links.h"

#include <algorithm>
#include <QList>
#include <QStringList>

#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Errors.h"
#include "core/PasswordChange.h"
#include "core/SecretCipher.h"
#include "core/Settings.h"
#include "core/SettingsStore.h"
#include "core/StoredNames.h"
#include "links/LinkIds.h"

using namespace core;
using namespace stored;

namespace {

// Every live collection; the password change re-encrypts those of the logged-in user.
QList<Links*>& liveCollections() {
    static QList<Links*> all;
    return all;
}

std::function<void()> reEncryptLiveCollections(const QString& oldPassPhrase) {
    std::vector<std::function<void()>> steps;
    for (Links* links : liveCollections())
        if (links->User().compare(App().CurrentUser, Qt::CaseInsensitive) == 0)
            steps.push_back(links->ReEncryptUserData(oldPassPhrase));
    return [steps = std::move(steps)] {
        for (const auto& step : steps)
            step();
    };
}

// Names of the per-Link values; SaveLinks clears every value that starts with one of them.
bool isLinkValueName(const QString& name) {
    // "Urls" counts the typed addresses of the address bar; it is not a Link's.
    if (name.compare(user::kUrlCount, Qt::CaseInsensitive) == 0) return false;
    for (const char* prefix : link::kFieldPrefixes)
        if (name.startsWith(QLatin1String(prefix), Qt::CaseInsensitive)) return true;
    return false;
}

QString slotName(QLatin1String field, int slot) {
    return stored::link::ValueName(field, slot);
}

} // namespace

Links::Links(const QString& user, QObject* parent) : QObject(parent), m_user(user) {
    Load();
    if (liveCollections().isEmpty()) SecretCipher::SetInMemoryReEncryptor(reEncryptLiveCollections);
    liveCollections().append(this);
}

Links::~Links() {
    liveCollections().removeAll(this);
    if (liveCollections().isEmpty()) SecretCipher::SetInMemoryReEncryptor({});
}

void Links::Load() {
    m_loading = true;
    int stored = ReadInt(m_user, user::kLinkCount);
    m_favoritesFolder = ReadText(m_user, user::kFavoritesFolder);
    m_suppressNewWindows = ReadBool(m_user, user::kSuppressNewWindows);

    int missing = 0;
    QList<Link*> newIds; // Links that came without a usable id of their own
    QStringList ids;
    for (int i = 1; i <= stored; ++i) {
        const int order =
            CInt(GetValue(m_user, slotName(link::kControlOrder.name, i), link::kControlOrder.byDefault), -1);
        if (order == -1) {
            // A gap must not lose the Links after it, but a store full of holes ends the load.
            if (++missing >= 10) break;
            ++stored;
            continue;
        }
        Link* link = Add(
            GetValue(m_user, slotName(link::kCaption, i)), GetValue(m_user, slotName(link::kUrl, i)),
            GetValue(m_user, slotName(link::kUserName, i)), GetValue(m_user, slotName(link::kPassword, i)),
            GetValue(m_user, slotName(link::kSelectOption, i)),
            GetValue(m_user, slotName(link::kNavigateAfterLogin, i)),
            CBool(GetValue(m_user, slotName(link::kAutoNavigate.name, i), link::kAutoNavigate.byDefault)),
            CBool(GetValue(m_user, slotName(link::kRequiresLogin.name, i), link::kRequiresLogin.byDefault)),
            order, false);
        link->SetIsPageAvailable(true);
        link->SetHidePopUps(
            CBool(GetValue(m_user, slotName(link::kHidePopUps.name, i), link::kHidePopUps.byDefault), true));
        link->SetAlsoAllowedSite(GetValue(m_user, slotName(link::kAlsoAllowedSite, i)));
        link->SetZoom(CInt(GetValue(m_user, slotName(link::kZoom.name, i), link::kZoom.byDefault), 100));
        link->SetShareCookies(
            CBool(GetValue(m_user, slotName(link::kShareCookies.name, i), link::kShareCookies.byDefault)));
        link->SetIndex(i - missing);
        link->SetSlot(i);
        // Two Links never share an id: a copied slot would share its web data.
        const QString id = GetValue(m_user, slotName(link::kId, i));
        if (LinkIds::IsValid(id) && !ids.contains(id))
            link->SetId(id);
        else
            newIds << link;
        ids << link->Id();
    }
    // Orders as stored may have holes or repeats (a damaged or hand-edited store, an imported
    // file), and a compact save writes only the orders 0..n-1: they are made dense, in the order
    // they had, before anything can be saved.
    std::vector<Link*> byOrder;
    for (const auto& link : m_links)
        byOrder.push_back(link.get());
    std::stable_sort(byOrder.begin(), byOrder.end(),
                     [](const Link* a, const Link* b) { return a->ControlOrder() < b->ControlOrder(); });
    for (size_t order = 0; order < byOrder.size(); ++order)
        byOrder[order]->SetControlOrder(int(order));
    RememberStored();
    if (missing > 0) {
        // Rewritten without the gaps; should the store refuse, the next start finds them again.
        try {
            SaveLinks(true);
        } catch (const BgError& e) {
            if (e.Number() != ErrNo::NotSaved) throw;
        }
    } else if (!newIds.isEmpty()) {
        // Should the store refuse, the next start gives these Links new ids again (and their
        // web data of this run goes then).
        StoreTransaction transaction;
        for (const Link* link : std::as_const(newIds))
            SaveValue(m_user, slotName(link::kId, link->Slot()), link->Id());
        transaction.Commit();
    }
    m_forceVisible = -1;
    m_visible = -1;
    m_loading = false;
}

void Links::SetLinkOwner(LinkOwner* owner) {
    m_owner = owner;
    for (const auto& link : m_links)
        link->SetOwner(owner);
}

Link* Links::Add(const QString& caption, const QString& url, const QString& userName, const QString& pw,
                 const QString& selectOption, const QString& navigateAfterLogin, bool autoNavigate,
                 bool reqLogin, int controlOrder, bool insert) {
    auto created = std::make_unique<Link>();
    Link* link = created.get();
    link->SetOwner(m_owner);
    link->SetCaption(caption);
    link->SetURL(url);
    link->SetUserName(userName);
    link->SetPassword(pw);
    link->SetAutoNavigate(autoNavigate);
    link->SetReqLogin(reqLogin);
    link->SetSelectOption(selectOption);
    link->SetNavigateAfterLogin(navigateAfterLogin);
    link->SetHidePopUps(true);
    link->SetId(LinkIds::New());

    if (controlOrder == -1) {
        link->SetControlOrder(CountUndeleted());
        link->SetIndex(Count() + 1);
        m_links.push_back(std::move(created));
        if (!m_loading) {
            StoreTransaction transaction;
            SaveValue(m_user, user::kLinkCount.name, QString::number(CountUndeleted()));
            SaveLink(link->Index(), -1);
            CommitOrRollBack(transaction);
        }
    } else if (insert) {
        for (int order = CountUndeleted() - 1; order >= controlOrder; --order)
            if (Link* moved = ControlOrderItem(order)) moved->SetControlOrder(order + 1);
        link->SetControlOrder(controlOrder);
        link->SetIndex(Count() + 1);
        m_links.push_back(std::move(created));
        SaveLinks(false);
    } else {
        link->SetControlOrder(controlOrder);
        link->SetIndex(Count() + 1);
        m_links.push_back(std::move(created));
    }
    return link;
}

Link* Links::UpdateLink(int index, const QString& caption, const QString& url, const QString& userName,
                        const QString& pw, const QString& selectOption, const QString& navigateAfterLogin,
                        bool autoNavigate, bool reqLogin) {
    Link& link = Need(index);
    struct Fields {
        QString caption, url, userName, pw, selectOption, navigateAfterLogin;
        bool autoNavigate, reqLogin;
    } const before{link.Caption(),      link.URLEnc(),       link.UserNameEnc(),
                   link.PasswordEnc(),  link.SelectOption(), link.NavigateAfterLogin(),
                   link.AutoNavigate(), link.ReqLogin()};
    link.SetCaption(caption);
    link.SetURL(url);
    link.SetUserName(userName);
    link.SetPassword(pw);
    link.SetSelectOption(selectOption);
    link.SetNavigateAfterLogin(navigateAfterLogin);
    link.SetAutoNavigate(autoNavigate);
    link.SetReqLogin(reqLogin);
    try {
        SaveLink(index, -1);
    } catch (const BgError& e) {
        if (e.Number() == ErrNo::NotSaved) {
            link.SetCaption(before.caption);
            link.SetURL(before.url);
            link.SetUserName(before.userName);
            link.SetPassword(before.pw);
            link.SetSelectOption(before.selectOption);
            link.SetNavigateAfterLogin(before.navigateAfterLogin);
            link.SetAutoNavigate(before.autoNavigate);
            link.SetReqLogin(before.reqLogin);
        }
        throw;
    }
    return &link;
}

void Links::Remove(int index) {
    Link& removed = Need(index);
    removed.SetDeleted(true);
    const int gap = removed.ControlOrder();
    for (const auto& link : m_links)
        if (!link->Deleted() && link->ControlOrder() > gap) link->SetControlOrder(link->ControlOrder() - 1);
    SaveLinks(true);
    if (index == m_visible) m_visible = -1; // the browse window picks another Link itself
}

void Links::MoveLink(int fromIndex, int toIndex) {
    Link& moved = Need(fromIndex);
    Link& target = Need(toIndex);
    const int from = moved.ControlOrder();
    const int to = target.ControlOrder();
    if (from == to) return;
    moved.SetControlOrder(to);
    const int step = from < to ? -1 : 1;
    const int low = from < to ? from + 1 : to + 1;
    const int high = from < to ? to - 1 : from - 1;
    for (auto it = m_links.rbegin(); it != m_links.rend(); ++it) {
        Link* link = it->get();
        if (link->Deleted() || link == &moved || link == &target) continue;
        if (link->ControlOrder() >= low && link->ControlOrder() <= high)
            link->SetControlOrder(link->ControlOrder() + step);
    }
    target.SetControlOrder(from < to ? to - 1 : to + 1);
}

void Links::SaveLinks(bool compact) {
    // Old set or new set, never a mixture and never none, whatever happens to the process.
    StoreTransaction transaction;
    try {
        QStringList names, values;
        EnumValues(QStringLiteral("Software\\") + AppKeyName() + QLatin1Char('\\') + m_user, names, values);
        for (const QString& name : names)
            if (isLinkValueName(name)) DeleteValue(m_user, name);
    } catch (const BgError& e) {
        if (e.Number() != ErrNo::InvalidCall)
            Errors::ReportError(QStringLiteral("Links"), QStringLiteral("SaveLinks"), e.Description());
    }
    // Every slot was just cleared: each Link gets its new one below.
    for (const auto& link : m_links)
        link->SetSlot(0);
    SaveValue(m_user, user::kLinkCount.name, QString::number(CountUndeleted()));
    if (!compact) {
        // In Index order, but into consecutive slots: slots left empty by removed Links would add
        // up over a session, and loading gives up after ten of them.
        int slot = 0;
        for (const auto& link : m_links) {
            if (link->Deleted()) continue;
            link->SetSlot(++slot);
            SaveLink(link->Index(), -1);
        }
    } else {
        const int count = CountUndeleted();
        int slot = 0;
        for (int order = 0; order < count; ++order)
            if (Link* link = ControlOrderItem(order)) SaveLink(link->Index(), ++slot);
    }
    CommitOrRollBack(transaction);
}

void Links::SaveLink(int index, int slot) {
    Link& link = Need(index);
    if (link.Deleted()) return; // a removed Link has no slot any more
    int n = link.Slot();
    if (slot != -1) {
        link.SetControlOrder(slot - 1);
        n = slot;
    }
    if (n <= 0) n = NextSlot();
    link.SetSlot(n);
    StoreTransaction transaction;
    SaveValue(m_user, slotName(link::kCaption, n), link.Caption());
    SaveValue(m_user, slotName(link::kSelectOption, n), link.SelectOption());
    SaveValue(m_user, slotName(link::kNavigateAfterLogin, n), link.NavigateAfterLogin());
    SaveValue(m_user, slotName(link::kUrl, n), link.URLEnc());
    SaveValue(m_user, slotName(link::kUserName, n), link.UserNameEnc());
    SaveValue(m_user, slotName(link::kPassword, n), link.PasswordEnc());
    SaveValue(m_user, slotName(link::kAutoNavigate.name, n), BoolText(link.AutoNavigate()));
    SaveValue(m_user, slotName(link::kRequiresLogin.name, n), BoolText(link.ReqLogin()));
    SaveValue(m_user, slotName(link::kControlOrder.name, n), QString::number(link.ControlOrder()));
    SaveValue(m_user, slotName(link::kHidePopUps.name, n), BoolText(link.HidePopUps()));
    SaveValue(m_user, slotName(link::kShareCookies.name, n), BoolText(link.ShareCookies()));
    SaveValue(m_user, slotName(link::kId, n), link.Id());
    SaveZoom(link);
    SaveAlsoAllowedSite(m_user, link);
    CommitOrRollBack(transaction);
}

void Links::RememberStored() {
    m_stored.clear();
    for (const auto& link : m_links)
        m_stored.push_back({link->ControlOrder(), link->Slot(), link->Deleted()});
}

void Links::CommitOrRollBack(StoreTransaction& transaction) {
    transaction.CommitOrThrow(QStringLiteral("Your Links"), [this] {
        // Links added since the last save the store took are not there; the others are where
        // that save left them.
        while (m_links.size() > m_stored.size())
            m_links.pop_back();
        for (size_t i = 0; i < m_links.size(); ++i) {
            m_links[i]->SetControlOrder(m_stored[i].controlOrder);
            m_links[i]->SetSlot(m_stored[i].slot);
            m_links[i]->SetDeleted(m_stored[i].deleted);
        }
    });
    // Inside a larger save nothing is stored yet.
    if (!SettingsStore::Current() || SettingsStore::Current()->TransactionDepth() == 0) RememberStored();
}

void Links::SaveZoom(const Link& link) {
    if (link.Deleted() || link.Slot() <= 0) return;
    // Only a zoom of its own is stored: most Links have none.
    if (link.Zoom() == 100)
        DeleteValue(m_user, slotName(link::kZoom.name, link.Slot()));
    else
        SaveValue(m_user, slotName(link::kZoom.name, link.Slot()), QString::number(link.Zoom()));
}

void Links::SaveAlsoAllowedSite(const QString& user, const Link& link) {
    if (link.Slot() <= 0) return;
    const QString name = slotName(link::kAlsoAllowedSite, link.Slot());
    // Links without one keep exactly the values they always had.
    if (!link.AlsoAllowedSite().isEmpty())
        SaveValue(user, name, link.AlsoAllowedSite());
    else if (ValueExists(user, name))
        DeleteValue(user, name);
}

int Links::NextSlot() const {
    int last = 0;
    for (const auto& link : m_links)
        last = std::max(last, link->Slot());
    return last + 1;
}

Link* Links::RenewLink(int index) {
    SetNavigateStopped(false);
    Link* link = Item(index);
    if (!link) return nullptr;
    link->SetFrameURL(QString());
    link->SetIsInDomain(false);
    link->SetIsPageAvailable(false);
    link->SetNavigationError(false);
    link->SetNavigateMode(0);
    link->SetPasswordSent(false);
    link->SetProgressText(QString());
    link->SetProgressValue(0);
    link->SetTitle(QString());
    return link;
}

Link* Links::Item(int index) const {
    if (index < 1 || index > Count()) return nullptr;
    return m_links[size_t(index - 1)].get();
}

Link& Links::Need(int index) const {
    Link* link = Item(index);
    if (!link) throw BgError(ErrNo::ObjectRequired, QStringLiteral("Object required"));
    return *link;
}

int Links::CountUndeleted() const {
    int n = 0;
    for (const auto& link : m_links)
        if (!link->Deleted()) ++n;
    return n;
}

Link* Links::ControlOrderItem(int order) const {
    for (const auto& link : m_links)
        if (!link->Deleted() && link->ControlOrder() == order) return link.get();
    return nullptr;
}

int Links::ControlOrderItemIndex(int order) const {
    for (size_t i = 0; i < m_links.size(); ++i)
        if (!m_links[i]->Deleted() && m_links[i]->ControlOrder() == order) return int(i) + 1;
    return -1;
}

void Links::SetVisible(int index) {
    const bool raise = index > 0 && (index != m_visible || m_forceVisible > 0);
    m_visible = index;
    if (raise) emit VisibleChanged();
}

void Links::SetControlsLoaded(bool loaded) {
    m_controlsLoaded = loaded;
    if (loaded) emit ControlsLoaded();
}

bool Links::NavigateStopped() const {
    return !m_stopTime.isNull() && Clock::WholeSecondsBetween(m_stopTime, Clock::Now()) <= 5;
}

void Links::SetNavigateStopped(bool stopped) {
    m_stopTime = stopped ? Clock::Now() : Clock::Now().addSecs(-6);
    emit StatusPanelText(kNavigatePanel, stopped ? QStringLiteral("Navigation Cancelled") : QString());
}

std::function<void()> Links::ReEncryptUserData(const QString& oldPassPhrase) {
    struct Change {
        Link* link;
        QString url, userName, pw;
    };
    auto again = [&](const QString& enc) {
        return enc.isEmpty() ? enc
                             : SecretCipher::EncryptMessage(SecretCipher::DecryptMessage(enc, oldPassPhrase));
    };
    // Everything is worked out before anything changes, so a failure leaves the Links as they were.
    std::vector<Change> changes;
    for (const auto& link : m_links)
        if (!link->Deleted())
            changes.push_back(
                {link.get(), again(link->URLEnc()), again(link->UserNameEnc()), again(link->PasswordEnc())});
    return [changes = std::move(changes)] {
        for (const Change& c : changes) {
            c.link->SetURL(c.url);
            c.link->SetUserName(c.userName);
            c.link->SetPassword(c.pw);
        }
    };
}
