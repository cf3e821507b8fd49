#include "frame/ShortcutsBar.h"

#include <algorithm>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QDrag>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QStyle>
#include <QToolButton>
#include <QUrl>

#include "browse/FavoritesReader.h"
#include "browse/LinkDrag.h"
#include "core/AppPaths.h"
#include "core/AppState.h"
#include "core/CodePage.h"
#include "core/Errors.h"
#include "core/MessageBox.h"
#include "core/Settings.h"
#include "core/SettingsStore.h"
#include "core/StoredNames.h"
#include "frame/ShortcutEditor.h"

using namespace core;

namespace {

const QString kLinkButtonSuffix = QStringLiteral("::cmdLink");
const QString kFavoriteSuffix = QStringLiteral("::tvwFav");
constexpr int kMaxButtonTextWidth = 170;

bool SameName(const QString& a, const QString& b) {
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

// "<n>::<address>::<name>::<suffix>" -> address and name.
bool SplitDragText(const QString& text, const QString& suffix, QString* address, QString* name, int* number) {
    const qsizetype first = text.indexOf(QLatin1String("::"));
    if (first < 0 || !text.endsWith(suffix)) return false;
    const QString body = text.mid(first + 2, text.size() - first - 2 - suffix.size());
    const qsizetype last = body.lastIndexOf(QLatin1String("::"));
    if (last < 0) return false;
    *address = body.left(last);
    *name = body.mid(last + 2);
    bool ok = false;
    *number = text.left(first).toInt(&ok);
    if (!ok) *number = -1;
    return true;
}

} // namespace

ShortcutsBar::ShortcutsBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picIELinks"));
    setAcceptDrops(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    m_leftButton = new QToolButton(this);
    m_leftButton->setObjectName(QStringLiteral("cmdIELinksLeft"));
    m_leftButton->setArrowType(Qt::LeftArrow);
    m_rightButton = new QToolButton(this);
    m_rightButton->setObjectName(QStringLiteral("cmdIELinksRight"));
    m_rightButton->setArrowType(Qt::RightArrow);
    for (QToolButton* arrow : {m_leftButton, m_rightButton}) {
        arrow->setAutoRaise(true);
        arrow->setAutoRepeat(true);
        arrow->setFocusPolicy(Qt::NoFocus);
        arrow->hide();
    }
    connect(m_leftButton, &QToolButton::clicked, this, [this] { ScrollBy(-1); });
    connect(m_rightButton, &QToolButton::clicked, this, [this] { ScrollBy(1); });

    m_viewport = new QWidget(this);
    m_viewport->setObjectName(QStringLiteral("picIELinksInner"));
    m_row = new QWidget(m_viewport);
    auto* rowLayout = new QHBoxLayout(m_row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->setSpacing(2);
    rowLayout->setSizeConstraint(QLayout::SetFixedSize);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(0);
    layout->addWidget(m_leftButton);
    layout->addWidget(m_viewport, 1);
    layout->addWidget(m_rightButton);
    m_viewport->setMinimumHeight(QToolButton().sizeHint().height());

    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("mnuIELinks"));
    m_actAdd = m_menu->addAction(QStringLiteral("&Add"), this, &ShortcutsBar::OnAdd);
    m_actEdit = m_menu->addAction(QStringLiteral("&Edit..."), this, &ShortcutsBar::OnEdit);
    m_actDelete = m_menu->addAction(QStringLiteral("&Delete"), this, &ShortcutsBar::OnDelete);
    m_actSort = m_menu->addAction(QStringLiteral("&Sort"), this, &ShortcutsBar::OnSort);
    m_menu->addSeparator();
    m_actToolbars = m_menu->addAction(QStringLiteral("&Toolbars"), this, &ShortcutsBar::OnToolbars);
    m_actAdd->setObjectName(QStringLiteral("addLink"));
    m_actEdit->setObjectName(QStringLiteral("editLink"));
    m_actDelete->setObjectName(QStringLiteral("deleteLink"));
    m_actSort->setObjectName(QStringLiteral("sortLinks"));
    m_actToolbars->setObjectName(QStringLiteral("toolbars"));

    m_reload.setSingleShot(true);
    m_reload.setInterval(300);
    connect(&m_reload, &QTimer::timeout, this, &ShortcutsBar::Load);
}

ShortcutsBar::~ShortcutsBar() = default;

void ShortcutsBar::SetFolder(const QString& folder) {
    m_folder = folder;
}

QString ShortcutsBar::Folder() const {
    return m_folder.isEmpty() ? AppPaths::FavoritesFolder() + QStringLiteral("/Links") : m_folder;
}

QString ShortcutsBar::Key() const {
    return stored::UserKey(App().CurrentUser, stored::kLinksBarKeySuffix);
}

// ----- reading and writing --------------------------------------------------------------------

void ShortcutsBar::Load() {
    Errors::Guarded(QLatin1String(kModule), QStringLiteral("LoadIELinks"), [this] {
        if (m_folder.isEmpty()) FavoritesReader::EnsureFavoritesFolder(AppPaths::FavoritesFolder());
        const QList<FavoritesReader::Favorite> files = FavoritesReader::Favorites(Folder());
        QStringList names, values;
        if (!App().CurrentUser.isEmpty())
            EnumValues(QStringLiteral("Software\\") + AppKeyName() + QLatin1Char('\\') + Key(), names,
                       values);

        m_items.Clear();
        m_files.clear();
        QList<bool> used(files.size(), false);
        for (const QString& name : std::as_const(names)) {
            for (qsizetype i = 0; i < files.size(); ++i) {
                if (used[i] || !SameName(files[i].name, name)) continue;
                used[i] = true;
                Insert(files[i].name, files[i].address, files[i].path, -1);
                break;
            }
        }
        // Shortcuts that are new in the folder follow, by name.
        for (qsizetype i = 0; i < files.size(); ++i)
            if (!used[i]) Insert(files[i].name, files[i].address, files[i].path, -1);

        bool same = names.size() == Count();
        for (int i = 0; same && i < Count(); ++i)
            same = names[i] == m_items.Item(i + 1)->Caption.trimmed() &&
                   values[i] == m_items.Item(i + 1)->URL.trimmed();
        if (!same) SaveOrder();
        Rebuild();
        WatchFolder();
    });
}

void ShortcutsBar::SaveOrder() {
    if (App().CurrentUser.isEmpty()) return;
    Errors::Guarded(QLatin1String(kModule), QStringLiteral("SaveIELinks"), [this] {
        StoreTransaction transaction;
        DeleteValue(Key(), QStringLiteral("-1"));
        for (const HisList::ItemPtr& item : m_items)
            SaveValue(Key(), item->Caption, item->URL);
        transaction.CommitOrThrow(QStringLiteral("Your links bar"));
    });
}

void ShortcutsBar::WatchFolder() {
    if (!m_watcher) {
        m_watcher = new QFileSystemWatcher(this);
        // Shortcuts added or removed elsewhere (the favorites tab, a file manager) show up here.
        connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] { m_reload.start(); });
    }
    const QString folder = Folder();
    if (m_watcher->directories() == QStringList(folder)) return;
    if (!m_watcher->directories().isEmpty()) m_watcher->removePaths(m_watcher->directories());
    if (QFileInfo(folder).isDir()) m_watcher->addPath(folder);
}

void ShortcutsBar::Insert(const QString& name, const QString& address, const QString& path, int before) {
    if (before < 0 || before >= Count())
        m_items.Add(name, address, true, -1, true);
    else
        m_items.Add(name, address, true, before + 1, false);
    m_files.insert(name.trimmed().toCaseFolded(), path);
}

QString ShortcutsBar::PathFor(const QString& name) const {
    return Folder() + QLatin1Char('/') + name + QStringLiteral(".url");
}

QString ShortcutsBar::UniqueName(const QString& name) const {
    QString candidate = name;
    for (int n = 2; Find(candidate) >= 0 || QFileInfo::exists(PathFor(candidate)); ++n)
        candidate = name + QStringLiteral(" (") + QString::number(n) + QLatin1Char(')');
    return candidate;
}

// ----- the links --------------------------------------------------------------------------------

QStringList ShortcutsBar::Names() const {
    QStringList out;
    for (const HisList::ItemPtr& item : m_items)
        out << item->Caption;
    return out;
}

QString ShortcutsBar::Address(int place) const {
    const HisList::ItemPtr item = m_items.Item(place + 1);
    return item ? item->URL : QString();
}

QString ShortcutsBar::FilePath(int place) const {
    const HisList::ItemPtr item = m_items.Item(place + 1);
    return item ? m_files.value(item->Caption.trimmed().toCaseFolded()) : QString();
}

QToolButton* ShortcutsBar::Button(int place) const {
    return place >= 0 && place < m_buttons.size() ? m_buttons[place] : nullptr;
}

int ShortcutsBar::Find(const QString& name) const {
    int place = 0;
    for (const HisList::ItemPtr& item : m_items) {
        if (SameName(item->Caption, name)) return place;
        ++place;
    }
    return -1;
}

bool ShortcutsBar::AddLink(const QString& name, const QString& address, int before) {
    const QString usable = ShortcutEditor::UsableAddress(address);
    if (usable.isEmpty()) return false;
    QString clean = FavoritesReader::SafeFileName(name);
    if (clean.isEmpty()) clean = FavoritesReader::SafeFileName(QUrl(usable).host());
    if (clean.isEmpty()) clean = QStringLiteral("Link");
    if (before < 0 || before > Count()) before = Count();

    // The same link again (dropped back, added twice): only its place changes.
    const int existing = Find(clean);
    if (existing >= 0 && Address(existing) == usable) {
        MoveLink(existing, before);
        return true;
    }
    const QString unique = UniqueName(clean);
    const QString path = PathFor(unique);
    QDir().mkpath(Folder());
    QString error;
    const bool written = FavoritesReader::WriteShortcut(path, usable, &error);
    const QString stored = written ? FavoritesReader::ReadShortcut(path) : QString();
    if (stored.isEmpty()) {
        if (written) QFile::remove(path);
        MsgBox(QStringLiteral("The link '") + unique + QStringLiteral("' could not be added.") + CR + CR,
               msgbox::OKOnly, msgbox::Exclamation, QStringLiteral("Links"));
        return false;
    }
    Insert(unique, stored, path, before);
    SaveOrder();
    Rebuild();
    return true;
}

bool ShortcutsBar::EditLink(int place, const QString& name, const QString& address) {
    const HisList::ItemPtr item = m_items.Item(place + 1);
    const QString clean = FavoritesReader::SafeFileName(name);
    const QString usable = ShortcutEditor::UsableAddress(address);
    if (!item || clean.isEmpty() || usable.isEmpty()) return false;
    const QString title = QStringLiteral("Edit Link");
    const int other = Find(clean);
    const QString oldPath = FilePath(place);
    QString path = oldPath;
    if (clean != item->Caption) {
        const QString newPath = PathFor(clean);
        const bool sameFile = newPath.compare(oldPath, Qt::CaseInsensitive) == 0;
        if ((other >= 0 && other != place) || (!sameFile && QFileInfo::exists(newPath))) {
            MsgBox(QStringLiteral("A link named '") + clean + QStringLiteral("' already exists.") + CR + CR,
                   msgbox::OKOnly, msgbox::Exclamation, title);
            return false;
        }
        if (!QFile::rename(oldPath, newPath)) {
            MsgBox(QStringLiteral("The link '") + item->Caption + QStringLiteral("' could not be renamed.") +
                       CR + CR,
                   msgbox::OKOnly, msgbox::Exclamation, title);
            return false;
        }
        path = newPath;
    }
    if (usable != item->URL && !FavoritesReader::WriteShortcut(path, usable)) {
        MsgBox(QStringLiteral("The address of '") + clean + QStringLiteral("' could not be changed.") + CR +
                   CR,
               msgbox::OKOnly, msgbox::Exclamation, title);
    }
    m_files.remove(item->Caption.trimmed().toCaseFolded());
    item->Caption = clean;
    const QString stored = FavoritesReader::ReadShortcut(path);
    if (!stored.isEmpty()) item->URL = stored;
    m_files.insert(clean.toCaseFolded(), path);
    SaveOrder();
    Rebuild();
    return true;
}

bool ShortcutsBar::DeleteLink(int place) {
    const HisList::ItemPtr item = m_items.Item(place + 1);
    if (!item) return false;
    const QString path = FilePath(place);
    if (QFileInfo::exists(path) && !QFile::remove(path)) {
        MsgBox(QStringLiteral("The link '") + item->Caption + QStringLiteral("' could not be deleted.") + CR +
                   CR,
               msgbox::OKOnly, msgbox::Exclamation, QStringLiteral("Delete Link"));
        return false;
    }
    m_files.remove(item->Caption.trimmed().toCaseFolded());
    m_items.Remove(place + 1);
    SaveOrder();
    Rebuild();
    return true;
}

void ShortcutsBar::MoveLink(int from, int before) {
    const HisList::ItemPtr item = m_items.Item(from + 1);
    if (!item) return;
    before = qBound(0, before, Count());
    if (before == from || before == from + 1) return;
    m_items.Remove(from + 1);
    const int target = before > from ? before - 1 : before;
    if (target >= m_items.Count())
        m_items.Add(item->Caption, item->URL, true, -1, true);
    else
        m_items.Add(item->Caption, item->URL, true, target + 1, false);
    SaveOrder();
    Rebuild();
}

void ShortcutsBar::SortLinks() {
    QList<QPair<QString, QString>> links;
    for (const HisList::ItemPtr& item : m_items)
        links.append({item->Caption, item->URL});
    std::stable_sort(links.begin(), links.end(), [](const auto& a, const auto& b) {
        return a.first.compare(b.first, Qt::CaseInsensitive) < 0;
    });
    m_items.Clear();
    for (const auto& link : std::as_const(links))
        m_items.Add(link.first, link.second, true, -1, true);
    SaveOrder();
    Rebuild();
}

// ----- buttons and scrolling --------------------------------------------------------------------

void ShortcutsBar::Rebuild() {
    auto* rowLayout = static_cast<QHBoxLayout*>(m_row->layout());
    // Later: a button may be the one whose menu or drag is running this.
    for (QToolButton* old : std::as_const(m_buttons)) {
        rowLayout->removeWidget(old);
        old->hide();
        old->removeEventFilter(this);
        old->deleteLater();
    }
    m_buttons.clear();
    const QIcon icon =
        QIcon::fromTheme(QStringLiteral("text-html"), style()->standardIcon(QStyle::SP_FileLinkIcon));
    int place = 0;
    for (const HisList::ItemPtr& item : m_items) {
        item->ControlOrder = qint16(place);
        auto* button = new QToolButton(m_row);
        button->setObjectName(QStringLiteral("cmdIELink") + QString::number(place));
        QString text = fontMetrics().elidedText(item->Caption, Qt::ElideRight, kMaxButtonTextWidth);
        button->setText(text.replace(QLatin1Char('&'), QStringLiteral("&&")));
        button->setToolTip(item->Caption + QLatin1Char('\n') + item->URL);
        button->setIcon(icon);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->installEventFilter(this);
        connect(button, &QToolButton::clicked, this, [this, button] {
            const int at = PlaceOf(button);
            if (at >= 0) emit NavigateRequested(Address(at));
        });
        rowLayout->addWidget(button);
        m_buttons.append(button);
        ++place;
    }
    rowLayout->activate();
    m_row->adjustSize();
    m_viewport->setMinimumHeight(qMax(m_row->sizeHint().height(), QToolButton().sizeHint().height()));
    m_first = qBound(0, m_first, qMax(0, Count() - 1));
    UpdateScroll();
}

int ShortcutsBar::PlaceOf(const QObject* button) const {
    for (int i = 0; i < m_buttons.size(); ++i)
        if (m_buttons[i] == button) return i;
    return -1;
}

void ShortcutsBar::UpdateScroll() {
    const QMargins margins = layout()->contentsMargins();
    const int rowWidth = m_row->sizeHint().width();
    const int inner = width() - margins.left() - margins.right();
    const bool scroll = Count() > 0 && rowWidth > inner;
    m_leftButton->setVisible(scroll);
    m_rightButton->setVisible(scroll);
    const int available =
        scroll ? inner - m_leftButton->sizeHint().width() - m_rightButton->sizeHint().width() : inner;
    if (!scroll) m_first = 0;
    const auto x = [this](int place) { return m_buttons.isEmpty() ? 0 : m_buttons[place]->x(); };
    // No empty room at the right end while buttons are hidden at the left.
    while (m_first > 0 && rowWidth - x(m_first - 1) <= available)
        --m_first;
    m_row->move(-x(m_first), 0);
    m_leftButton->setEnabled(m_first > 0);
    m_rightButton->setEnabled(rowWidth - x(m_first) > available);
}

void ShortcutsBar::ScrollBy(int buttons) {
    for (; buttons < 0 && m_first > 0; ++buttons)
        --m_first;
    for (; buttons > 0 && m_first < Count() - 1 && m_rightButton->isVisible() && m_rightButton->isEnabled();
         --buttons) {
        ++m_first;
        UpdateScroll();
    }
    UpdateScroll();
}

void ShortcutsBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    UpdateScroll();
}

// ----- context menu -----------------------------------------------------------------------------

void ShortcutsBar::contextMenuEvent(QContextMenuEvent* event) {
    PrepareContextMenu(-1);
    m_menu->exec(event->globalPos());
}

void ShortcutsBar::PrepareContextMenu(int place) {
    m_context = place >= 0 && place < Count() ? place : -1;
    const bool page = m_pageSource && !ShortcutEditor::UsableAddress(m_pageSource().url).isEmpty();
    m_actAdd->setEnabled(page);
    m_actEdit->setEnabled(m_context >= 0);
    m_actDelete->setEnabled(m_context >= 0);
    m_actSort->setEnabled(Count() > 1);
}

void ShortcutsBar::OnAdd() {
    if (!m_pageSource) return;
    const PageLocation page = m_pageSource();
    // A new link goes after the one the menu was opened on.
    AddLink(page.name, page.url, m_context >= 0 ? m_context + 1 : -1);
}

void ShortcutsBar::OnEdit() {
    if (m_context < 0 || m_context >= Count()) return;
    QString name = m_items.Item(m_context + 1)->Caption;
    QString address = Address(m_context);
    if (ShortcutEditor::Run(this, &name, &address)) EditLink(m_context, name, address);
}

void ShortcutsBar::OnDelete() {
    if (m_context < 0 || m_context >= Count()) return;
    const QString name = m_items.Item(m_context + 1)->Caption;
    if (MsgBox(QStringLiteral("Are you sure you want to delete the link '") + name + QStringLiteral("'?") +
                   CR + CR,
               msgbox::YesNo, msgbox::Question, QStringLiteral("Delete Link"), 2) != msgbox::Yes)
        return;
    DeleteLink(m_context);
}

void ShortcutsBar::OnSort() {
    SortLinks();
}

void ShortcutsBar::OnToolbars() {
    MsgBox(QStringLiteral("Please select Toolbars from View menu."), msgbox::OKOnly, msgbox::Information,
           QStringLiteral("Toolbars"));
    emit ToolbarsMenuRequested();
}

// ----- drag and drop ----------------------------------------------------------------------------

QMimeData* ShortcutsBar::DragData(int place) const {
    const HisList::ItemPtr item = m_items.Item(place + 1);
    if (!item) return nullptr;
    auto* mime = new QMimeData;
    mime->setText(item->URL);
    mime->setData(QLatin1String(LinkDrag::kUrlFormat), CodePage::EncodeLossy(item->URL));
    mime->setData(QLatin1String(LinkDrag::kLinkFormat),
                  CodePage::EncodeLossy(QString::number(place) + QStringLiteral("::") + item->URL +
                                        QStringLiteral("::") + item->Caption + QLatin1String(kDragSuffix)));
    const QString path = FilePath(place);
    if (!path.isEmpty()) mime->setUrls({QUrl::fromLocalFile(path)});
    return mime;
}

bool ShortcutsBar::CanDrop(const QMimeData* data) {
    if (!data) return false;
    if (data->hasFormat(QLatin1String(LinkDrag::kLinkFormat))) return true;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && FavoritesReader::IsShortcutName(url.toLocalFile())) return true;
    return LinkDrag::Parse(data).kind == LinkDrag::Drop::Address;
}

bool ShortcutsBar::DropData(const QMimeData* mime, int before) {
    if (!mime) return false;
    if (before < 0 || before > Count()) before = Count();
    const QString dragText = mime->hasFormat(QLatin1String(LinkDrag::kLinkFormat))
                                 ? CodePage::Decode(mime->data(QLatin1String(LinkDrag::kLinkFormat)))
                                 : QString();
    QString address, name;
    int number = -1;

    // A button of this strip: a new place. (One of another copy's strip is a new link.)
    if (SplitDragText(dragText, QLatin1String(kDragSuffix), &address, &name, &number)) {
        if (number >= 0 && number < Count() && m_items.Item(number + 1)->Caption == name &&
            Address(number) == address) {
            MoveLink(number, before);
            return true;
        }
        return AddLink(name, address, before);
    }

    // Shortcut files: copied in; ones that cannot be trusted are left out.
    bool files = false, added = false;
    int at = before;
    for (const QUrl& url : mime->urls()) {
        if (!url.isLocalFile() || !FavoritesReader::IsShortcutName(url.toLocalFile())) continue;
        files = true;
        const QString path = url.toLocalFile();
        const QString fileAddress = FavoritesReader::ReadShortcut(path);
        if (fileAddress.isEmpty()) continue;
        const int count = Count();
        const QString fileName = FavoritesReader::DisplayName(QFileInfo(path).fileName());
        if (!AddLink(fileName, fileAddress, at)) continue;
        added = true;
        // The next file goes after this one (a link that only moved may have taken a place above).
        const int place = Find(FavoritesReader::SafeFileName(fileName));
        at = Count() > count || place < 0 ? at + 1 : place + 1;
    }
    if (files) return added;

    // A Link button or a favorite.
    if (SplitDragText(dragText, kLinkButtonSuffix, &address, &name, &number) ||
        SplitDragText(dragText, kFavoriteSuffix, &address, &name, &number))
        return AddLink(name, address, before);

    // An address (from a page, the address box, another program).
    const LinkDrag::Drop drop = LinkDrag::Parse(mime);
    if (drop.kind != LinkDrag::Drop::Address) return false;
    const QString title = drop.pageTitle.trimmed().isEmpty() ? QUrl(drop.url).host() : drop.pageTitle;
    return AddLink(title, drop.url, before);
}

int ShortcutsBar::PlaceAt(const QPoint& pos) const {
    const QPoint inRow = m_row->mapFrom(this, pos);
    for (int i = 0; i < m_buttons.size(); ++i)
        if (inRow.x() < m_buttons[i]->geometry().center().x()) return i;
    return Count();
}

void ShortcutsBar::dragEnterEvent(QDragEnterEvent* event) {
    if (!CanDrop(event->mimeData())) return;
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void ShortcutsBar::dragMoveEvent(QDragMoveEvent* event) {
    if (!CanDrop(event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void ShortcutsBar::dropEvent(QDropEvent* event) {
    const int before = PlaceAt(event->position().toPoint());
    if (DropData(event->mimeData(), before)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
}

void ShortcutsBar::StartDrag(int place) {
    QToolButton* button = Button(place);
    QMimeData* mime = DragData(place);
    if (!button || !mime) {
        delete mime;
        return;
    }
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->setPixmap(button->grab());
    drag->setHotSpot(QPoint(8, button->height() / 2));
    button->setDown(false);
    // Copy only: a file manager must not take the shortcut away from the folder.
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}

bool ShortcutsBar::eventFilter(QObject* watched, QEvent* event) {
    const int place = PlaceOf(watched);
    if (place < 0) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            m_pressPos = mouse->globalPosition().toPoint();
            m_pressPlace = place;
        }
        break;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (m_pressPlace == place && (mouse->buttons() & Qt::LeftButton) &&
            (mouse->globalPosition().toPoint() - m_pressPos).manhattanLength() >=
                QApplication::startDragDistance()) {
            m_pressPlace = -1;
            StartDrag(place);
            return true;
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        m_pressPlace = -1;
        break;
    case QEvent::ContextMenu: {
        PrepareContextMenu(place);
        m_menu->exec(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
