#include "browse/LinkControls.h"

#include <algorithm>
#include <QApplication>
#include <QDir>
#include <QDrag>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTimer>

#include "browse/BrowseHost.h"
#include "browse/BrowseState.h"
#include "browse/engine/BrowserPane.h"
#include "browse/engine/WebProfiles.h"
#include "browse/LinkButtonsPanel.h"
#include "browse/LinkControlsHost.h"
#include "browse/LinkDrag.h"
#include "browse/NavigationDriver.h"
#include "browse/PaneArea.h"
#include "browse/PaneShower.h"
#include "core/AppPaths.h"
#include "core/Errors.h"
#include "core/MessageBox.h"
#include "core/SecretCipher.h"
#include "core/SettingsStore.h"
#include "core/UrlUtils.h"
#include "links/LinkIds.h"
#include "links/Links.h"

using namespace core;

namespace {

constexpr int kDragStartMs = 250;
constexpr int kCaptionMax = 80;

QString MenuText(const QString& caption) {
    return QString(caption).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

LinkControls::LinkControls(const BrowseContext& context, const BrowseView& view, LinkControlsHost& window,
                           NavigationDriver& navigation, QTimer& dragStartTimer)
    : m_links(context.links), m_buttons(view.buttons), m_panes(context.panes), m_controlsHost(window),
      m_shower(view.shower), m_navigation(navigation), m_dragStartTimer(dragStartTimer), m_host(context.host),
      m_state(context.state) {}

void LinkControls::StopDragStart() {
    m_dragStartTimer.stop();
}

LinkControls::~LinkControls() = default;

// ----- controls -------------------------------------------------------------------------------

void LinkControls::LoadControls() {
    Errors::Guarded(QLatin1String(kBrowseModule), QStringLiteral("LoadControls"), [&] {
        Links& links = m_links;
        if (links.Count() > 0) {
            for (int i = 0; i < links.Count(); ++i)
                LoadControl(i, true);
            RefreshButtons();
        } else {
            m_host.SetLinkMenus({}, {}, false, false);
        }
        links.SetControlsLoaded(true);
    });
}

void LinkControls::LoadControl(int i, bool loading) {
    Errors::Guarded(QLatin1String(kBrowseModule), QStringLiteral("LoadControl"), [&] {
        Link* link = m_links.Item(i + 1);
        if (!link || i >= kMaxBrowseLinks) return;
        if (int(m_viewShown.size()) <= i) m_viewShown.resize(i + 1, false);
        m_buttons.CreateButtons(i);
        if (i > 0) m_controlsHost.CreatePane(i);
        m_controlsHost.BindPaneProfile(i);
        if (BrowserPane* pane = m_panes.Pane(i)) pane->SetZoomPercent(link->Zoom());
        if (!loading) RefreshButtons();
        SetButtonCaption(i);
        if (m_links.ControlsAreLoaded()) RefreshmnuLinksEditRemove();
    });
}

void LinkControls::LoadDynaControl(int i) {
    Errors::Guarded(QLatin1String(kBrowseModule), QStringLiteral("LoadDynaControl"), [&] {
        LoadControl(i, true);
        RefreshButtons();
    });
}

void LinkControls::UnloadDynaControl(int i) {
    Errors::Guarded(QLatin1String(kBrowseModule), QStringLiteral("UnloadDynaControl"), [&] {
        m_buttons.HideRow(i);
        m_buttons.ReleaseButtons(i);
        // The panes go with their Link (and their page). Pane 0 is the window's own: a fresh
        // one takes its place, so that nothing of the Link's session stays open in it.
        m_controlsHost.ReleasePane(i);
        if (i == 0) m_controlsHost.CreatePane(0);
        SetViewShown(i, false);
        RefreshButtons();
        // The removed Link was on show: the first Link in button order takes its place.
        Links& links = m_links;
        if (links.Visible() < 1 && links.CountUndeleted() > 0) {
            const int first = links.ControlOrderItemIndex(0);
            links.SetForceVisible(first);
            m_shower.ShowPane(first - 1);
        }
    });
}

void LinkControls::RefreshButtons() {
    Errors::Guarded(QLatin1String(kBrowseModule), QStringLiteral("RefreshButtons"), [&] {
        Links& links = m_links;
        LinkButtonsPanel& buttons = m_buttons;
        buttons.SetRows(links.CountUndeleted());
        const int visible = m_shower.VisibleIndex();
        for (Link* link : links) {
            const int i = link->Index() - 1;
            if (link->Deleted() || !buttons.LinkButtonAt(i)) continue;
            buttons.Place(i, link->ControlOrder(), ViewShown(i));
            buttons.SetCurrent(i, i == visible);
            SetButtonCaption(i);
        }
        RefreshScrolling();
    });
}

void LinkControls::RefreshScrolling() {
    Links& links = m_links;
    LinkButtonsPanel& buttons = m_buttons;
    links.SetLinksPerPage(buttons.LinksPerPage());
    links.SetLinkAtTop(buttons.TopRow());
    links.SetLinkAtBottom(qMin(links.CountUndeleted(), buttons.TopRow() + buttons.LinksPerPage()) - 1);
}

void LinkControls::RefreshmnuLinksEditRemove() {
    Errors::Guarded(QLatin1String(kBrowseModule), QStringLiteral("RefreshmnuLinksEditRemove"), [&] {
        QList<BrowseMenuItem> edit, remove;
        Links& links = m_links;
        for (int order = 0; order < links.Count(); ++order) {
            Link* link = links.ControlOrderItem(order);
            if (!link) continue;
            const int i = link->Index() - 1;
            edit.append({MenuText(link->ShownCaption()), [this, i] { EditLink(i); }});
            remove.append({MenuText(link->ShownCaption()), [this, i] { RemoveLink(i); }});
        }
        const bool any = links.CountUndeleted() > 0;
        m_host.SetLinkMenus(edit, remove, any && m_controlsHost.HasLinkEditor(), any);
    });
}

// ----- Links ----------------------------------------------------------------------------------

bool LinkControls::CanAddLink() const {
    if (m_links.Count() < kMaxBrowseLinks) return true;
    MsgBox(QStringLiteral("No more Links can be added until you log in again: this window holds ") +
               QString::number(kMaxBrowseLinks) +
               QStringLiteral(" Links at most, counting the ones removed since you logged in.") + CR + CR +
               QStringLiteral("Please log out and log in again, then add the Link.") + CR + CR,
           msgbox::OKOnly, msgbox::Exclamation, QStringLiteral("Too Many Links"));
    return false;
}

Link* LinkControls::AddLink(const QString& caption, const QString& url, const QString& userName,
                            const QString& pw, const QString& selectOption, const QString& navigateAfterLogin,
                            bool autoNavigate, bool reqLogin) {
    Link* added = nullptr;
    if (!CanAddLink()) return nullptr;
    Errors::Guarded(QLatin1String(kBrowseModule), QStringLiteral("AddLink"), [&] {
        QString theCaption = caption;
        QString theUrl = url;
        if (theCaption.isEmpty() && theUrl.isEmpty()) {
            if (BrowserPane* pane = m_panes.Pane(m_shower.VisibleIndex())) {
                theCaption = CleanCaption(pane->LocationName());
                theUrl = pane->LocationURL();
            }
        }
        QString pwEnc, urlEnc, userEnc;
        try {
            pwEnc = SecretCipher::EncryptMessage(pw);
            urlEnc = SecretCipher::EncryptMessage(theUrl);
            userEnc = SecretCipher::EncryptMessage(userName);
        } catch (const BgError& e) {
            if (e.Number() != SecretCipher::kErrNotEncodable) throw;
            MsgBox(e.Description() + CR + CR, msgbox::OKOnly, msgbox::Exclamation,
                   QStringLiteral("Add Link"));
            return;
        }
        Links& links = m_links;
        const int context = m_state.contextLinkIndex;
        Link* before = context >= 0 ? links.Item(context + 1) : nullptr;
        if (!before || before->Deleted()) {
            added = links.Add(theCaption, urlEnc, userEnc, pwEnc, selectOption, navigateAfterLogin,
                              autoNavigate, reqLogin, -1, true);
            LoadControl(links.Count() - 1, false);
        } else {
            added = links.Add(theCaption, urlEnc, userEnc, pwEnc, selectOption, navigateAfterLogin,
                              autoNavigate, reqLogin, before->ControlOrder(), true);
            LoadDynaControl(links.Count() - 1);
        }
        RefreshButtons();
        RefreshmnuLinksEditRemove();
        m_buttons.EnsureRowVisible(added->ControlOrder());
        m_state.contextLinkIndex = -1;
    });
    return added;
}

Link* LinkControls::UpdateLink(int index, const QString& caption, const QString& url, const QString& userName,
                               const QString& pw, const QString& selectOption,
                               const QString& navigateAfterLogin, bool autoNavigate, bool reqLogin) {
    Link* updated = nullptr;
    Errors::Guarded(QLatin1String(kBrowseModule), QStringLiteral("UpdateLink"), [&] {
        QString pwEnc, urlEnc, userEnc;
        try {
            pwEnc = SecretCipher::EncryptMessage(pw);
            urlEnc = SecretCipher::EncryptMessage(url);
            userEnc = SecretCipher::EncryptMessage(userName);
        } catch (const BgError& e) {
            if (e.Number() != SecretCipher::kErrNotEncodable) throw;
            MsgBox(e.Description() + CR + CR, msgbox::OKOnly, msgbox::Exclamation,
                   QStringLiteral("Edit Link"));
            return;
        }
        updated = m_links.UpdateLink(index, caption, urlEnc, userEnc, pwEnc, selectOption, navigateAfterLogin,
                                     autoNavigate, reqLogin);
        SetButtonCaption(index - 1);
        RefreshmnuLinksEditRemove();
        m_state.contextLinkIndex = -1;
    });
    return updated;
}

void LinkControls::RemoveLink(int i) {
    Errors::Guarded(QLatin1String(kBrowseModule), QStringLiteral("RemoveLink"), [&] {
        Links& links = m_links;
        Link* link = links.Item(i + 1);
        if (!link || link->Deleted()) return;
        if (links.CountUndeleted() < 2) {
            MsgBox(QStringLiteral("Cannot delete the only available link. To delete this link ") + CRLF +
                       QStringLiteral("create another one first and then delete it.") + CR + CR,
                   msgbox::OKOnly, msgbox::Exclamation, QStringLiteral("Cannot delete the only Link"));
            return;
        }
        if (MsgBox(QStringLiteral("Are you sure you want to delete the Link '") + link->ShownCaption() +
                       QStringLiteral("' ?") + CR + CR,
                   msgbox::YesNo, msgbox::Question, QStringLiteral("Delete Link")) != msgbox::Yes)
            return;
        m_host.ShowMessage(QStringLiteral("Refreshing..."));
        if (BrowserPane* pane = m_panes.Pane(i)) pane->Stop();
        links.Remove(i + 1);
        UnloadDynaControl(i);
        ForgetWebData(*link);
        RefreshmnuLinksEditRemove();
        m_host.HideMessage();
        m_state.contextLinkIndex = -1;
    });
    m_host.HideMessage();
}

void LinkControls::ForgetWebData(const Link& link) {
    // Only once the store no longer holds the Link: a removal whose save did not go through
    // keeps the Link's cookies for the Link that is still there at the next start.
    const QString user = m_links.User();
    if (SettingsStore::Current() && SettingsStore::Current()->TransactionDepth() > 0) return;
    if (LinkIds::Stored(user).contains(link.Id())) return;
    WebProfiles::RemoveLinkProfile(user, link.Id());
}

void LinkControls::EditLink(int i) {
    Link* link = m_links.Item(i + 1);
    if (!link || link->Deleted()) return;
    m_state.contextLinkIndex = i;
    m_controlsHost.OpenLinkEditor(link);
}

void LinkControls::AddLinkDialog() {
    m_controlsHost.OpenLinkEditor(nullptr);
}

void LinkControls::SortButtons() {
    const bool saved = Errors::Guarded(QLatin1String(kBrowseModule), QStringLiteral("SortButtons"), [&] {
        if (MsgBox(QStringLiteral("Are you sure you want to Re-Order all Link buttons alphabetically?") + CR +
                       QStringLiteral("This action cannot be undone.") + CR + CR,
                   msgbox::YesNo, msgbox::Question, QStringLiteral("Sort Links by Name"), 2) != msgbox::Yes)
            return;
        Links& links = m_links;
        QList<Link*> sorted;
        for (int order = 0; order < links.CountUndeleted(); ++order)
            if (Link* link = links.ControlOrderItem(order)) sorted << link;
        std::stable_sort(sorted.begin(), sorted.end(), [](const Link* a, const Link* b) {
            return a->ShownCaption().compare(b->ShownCaption(), Qt::CaseInsensitive) < 0;
        });
        for (int k = 0; k < sorted.size(); ++k)
            sorted[k]->SetControlOrder(k);
        RefreshButtons();
        RefreshScrolling();
        links.SaveLinks(false);
        RefreshmnuLinksEditRemove();
    });
    if (!saved) ShowStoredOrder();
}

void LinkControls::ShowStoredOrder() {
    // A save the store refused has put the Links back where the store has them.
    RefreshButtons();
    RefreshScrolling();
    RefreshmnuLinksEditRemove();
}

void LinkControls::MoveLink(int from, int to) {
    const bool saved = Errors::Guarded(QLatin1String(kBrowseModule), QStringLiteral("MoveLink"), [&] {
        Links& links = m_links;
        Link* source = links.Item(from + 1);
        Link* target = links.Item(to + 1);
        if (!source || !target || source->Deleted() || target->Deleted() || from == to) return;
        links.MoveLink(from + 1, to + 1);
        RefreshButtons();
        RefreshScrolling();
        links.SaveLinks(false);
        RefreshmnuLinksEditRemove();
    });
    if (!saved) ShowStoredOrder();
}

QString LinkControls::CleanCaption(const QString& text) {
    QString clean = text;
    for (QChar& c : clean)
        if (c.category() == QChar::Other_Control) c = QLatin1Char(' ');
    clean = clean.simplified();
    return Ellipsis(clean, kCaptionMax);
}

void LinkControls::SetButtonCaption(int i) {
    Link* link = m_links.Item(i + 1);
    LinkButton* button = m_buttons.LinkButtonAt(i);
    if (!link || !button) return;
    button->setText(m_buttons.FitCaption(link->ShownCaption(), m_buttons.CaptionWidth()));
    button->setToolTip(LinkToolTip(i));
    if (QToolButton* view = m_buttons.ViewButtonAt(i))
        view->setToolTip(QStringLiteral("View ") + link->ShownCaption());
}

// ----- mouse, drag and drop -------------------------------------------------------------------

void LinkControls::OnLinkMouseDown(int i, Qt::MouseButton button, const QPoint& globalPos) {
    m_state.contextLinkIndex = i;
    if (button == Qt::LeftButton) {
        m_state.dragPending = false;
        m_dragIndex = i;
        m_dragArmed = false;
        m_pressAt = m_mouseAt = globalPos;
        m_dragStartTimer.start(kDragStartMs);
    }
}

void LinkControls::OnLinkMouseMove(int i, const QPoint& globalPos, Qt::MouseButtons buttons) {
    if (LinkButton* button = m_buttons.LinkButtonAt(i)) button->setToolTip(LinkToolTip(i));
    if (!(buttons & Qt::LeftButton)) return;
    m_mouseAt = globalPos;
    if (m_dragArmed && i == m_dragIndex && Moved()) {
        m_dragArmed = false;
        m_state.dragPending = true;
        StartDrag(i);
    }
}

bool LinkControls::Moved() const {
    return (m_mouseAt - m_pressAt).manhattanLength() >= QApplication::startDragDistance();
}

void LinkControls::OnLinkMouseUp(int i, Qt::MouseButton button, const QPoint& globalPos) {
    m_dragStartTimer.stop();
    m_dragArmed = false;
    m_state.contextLinkIndex = -1;
    if (button == Qt::RightButton) {
        m_state.contextLinkIndex = i;
        m_controlsHost.ShowContextMenu(globalPos);
        return;
    }
    if (!m_state.dragPending) m_navigation.OpenLink(i);
}

void LinkControls::OnDragStartTimer() {
    m_dragStartTimer.stop();
    m_state.contextLinkIndex = -1;
    if (!Moved()) {
        m_dragArmed = true;
        return;
    }
    m_state.dragPending = true;
    StartDrag(m_dragIndex);
}

void LinkControls::StartDrag(int i) {
    Link* link = m_links.Item(i + 1);
    LinkButton* button = m_buttons.LinkButtonAt(i);
    if (!link || !button) return;
    if (!m_dragFolder) {
        m_dragFolder =
            std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/bramblegate-drag-XXXXXX"));
        // Only this user reads the shortcuts: they hold the Links' addresses.
        if (m_dragFolder->isValid()) AppPaths::MakePrivateFolder(m_dragFolder->path());
    }
    LinkDrag data(i, link->URL(), link->ShownCaption(),
                  m_dragFolder->isValid() ? m_dragFolder->path() : QString());
    auto* drag = new QDrag(button);
    drag->setMimeData(data.MimeData());
    drag->setPixmap(button->grab());
    drag->setHotSpot(QPoint(12, button->height() / 2));
    m_controlsHost.RunDrag(*drag);
}

void LinkControls::OnViewClicked(int i) {
    Links& links = m_links;
    if (!links.Item(i + 1)) return;
    links.SetForceVisible(i + 1);
    m_shower.ShowPane(i);
    m_shower.EnsureAppFocus();
}

void LinkControls::OnLinkDrop(int i, const QMimeData* data) {
    const LinkDrag::Drop drop = LinkDrag::Parse(data);
    switch (drop.kind) {
    case LinkDrag::Drop::LinkButton:
        MoveLink(drop.sourceIndex, i);
        break;
    case LinkDrag::Drop::Address: {
        QString caption = CleanCaption(drop.pageTitle);
        if (caption.isEmpty()) caption = CleanCaption(ProperCase(GetSiteName(drop.url)));
        if (caption.isEmpty()) caption = CleanCaption(drop.url);
        AddLink(caption, drop.url, QString(), QString(), QString(), QString(), false, false);
        break;
    }
    case LinkDrag::Drop::None:
        break;
    }
}

QString LinkControls::LinkToolTip(int i) const {
    Link* link = m_links.Item(i + 1);
    if (!link) return {};
    return (ViewShown(i) ? QStringLiteral("Reload ") : QStringLiteral("Load ")) +
           (link->ReqLogin() ? QStringLiteral("and login to ") : QString()) + link->ShownCaption();
}

bool LinkControls::ViewShown(int i) const {
    return i >= 0 && i < m_viewShown.size() && m_viewShown[i];
}

void LinkControls::SetViewShown(int i, bool shown) {
    if (i < 0) return;
    if (m_viewShown.size() <= i) m_viewShown.resize(i + 1, false);
    if (m_viewShown[i] == shown) return;
    m_viewShown[i] = shown;
    Link* link = m_links.Item(i + 1);
    if (link && !link->Deleted() && m_buttons.LinkButtonAt(i))
        m_buttons.Place(i, link->ControlOrder(), shown);
}
