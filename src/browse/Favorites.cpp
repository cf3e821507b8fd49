#include "browse/Favorites.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHeaderView>
#include <QMimeData>
#include <QPainter>
#include <QRegularExpression>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "browse/FavoritesHost.h"
#include "browse/FavoritesMenu.h"
#include "browse/FavoritesReader.h"
#include "core/AppState.h"
#include "core/Clock.h"
#include "core/CodePage.h"
#include "core/Errors.h"
#include "core/MessageBox.h"
#include "core/Settings.h"
#include "core/StoredNames.h"
#include "links/Links.h"

using namespace core;

namespace {

const QString kVVV = QStringLiteral("VVV");
const QString kUrlTag = QStringLiteral("url=");
const QString kClosed = QStringLiteral("Closed");
const QString kOpen = QStringLiteral("Open");
const QString kIExplore = QStringLiteral("IExplore");

// Children sort by their text without regard to letter case, as people read a folder listing.
class FavoriteItem : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override {
        const int c = QString::compare(text(0), other.text(0), Qt::CaseInsensitive);
        return c != 0 ? c < 0 : text(0) < other.text(0);
    }
};

// The tree: only favorites can be dragged out, with the data a Link button offers.
class FavoritesTree : public QTreeWidget {
public:
    using QTreeWidget::QTreeWidget;

protected:
    QStringList mimeTypes() const override {
        return {QStringLiteral("text/plain"), QStringLiteral("UniformResourceLocator"),
                QStringLiteral("BGFmtByte")};
    }
    QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override {
        return items.size() == 1 ? Favorites::DragData(items.first()) : nullptr;
    }
};

// A small drawn picture for desktops whose icon theme lacks one.
QIcon DrawnIcon(const QString& image) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (image == kIExplore) {
        p.setPen(QPen(QColor(0x1f, 0x5f, 0xbf), 1.2));
        p.setBrush(QColor(0xd8, 0xe8, 0xff));
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
        p.drawEllipse(QRectF(5, 1.5, 6, 13));
    } else {
        p.setPen(QColor(0x9a, 0x73, 0x1c));
        p.setBrush(QColor(0xf2, 0xc9, 0x4c));
        p.drawRect(QRectF(1.5, 3.5, 6, 3));
        if (image == kOpen) {
            p.drawRect(QRectF(1.5, 5.5, 12, 8));
            p.setBrush(QColor(0xf8, 0xdc, 0x80));
            const QPointF flap[] = {{3.5, 8}, {15, 8}, {13.5, 13.5}, {1.5, 13.5}};
            p.drawPolygon(flap, 4);
        } else {
            p.drawRect(QRectF(1.5, 5.5, 13, 8));
        }
    }
    return QIcon(pixmap);
}

QString Joined(const QStringList& parts) {
    return parts.join(QLatin1Char('/'));
}

} // namespace

Favorites::Favorites(FavoritesHost& host, QWidget* parent, const QString& root)
    : QWidget(parent), m_host(host), m_root(QDir::cleanPath(root)) {
    setObjectName(QStringLiteral("picFavorites"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_tree = new FavoritesTree(this);
    m_tree->setObjectName(QStringLiteral("tvwFav"));
    m_tree->setColumnCount(1);
    m_tree->header()->hide();
    m_tree->setSortingEnabled(true);
    m_tree->sortByColumn(0, Qt::AscendingOrder);
    // A click opens and closes a folder; a double click would toggle it twice.
    m_tree->setExpandsOnDoubleClick(false);
    m_tree->setDragEnabled(true);
    m_tree->setDragDropMode(QAbstractItemView::DragOnly);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(m_tree);

    // (Left button only: the right one opens the context menu.)
    connect(m_tree, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* node) { OnFavoriteClicked(node); });
    connect(m_tree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* node) {
        if (!m_inExpand) ExpandNode(node);
    });
    connect(m_tree, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* node) {
        if (!m_inExpand) CollapseNode(node);
    });
    connect(m_tree, &QWidget::customContextMenuRequested, this, &Favorites::ContextMenuRequested);

    m_menu = new FavoritesMenu(*this, host);

    m_watcher = new QFileSystemWatcher(this);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &Favorites::FolderChanged);
    // Saving a file in a folder often comes as several reports; one refresh answers them all.
    m_changed.setSingleShot(true);
    m_changed.setInterval(150);
    connect(&m_changed, &QTimer::timeout, this, [this] {
        if (m_changePending) RefreshFavorites(true);
    });

    FavoritesReader::EnsureFavoritesFolder(m_root);
}

Favorites::~Favorites() = default;

QTreeWidgetItem* Favorites::RootNode() const {
    return m_tree->topLevelItemCount() > 0 ? m_tree->topLevelItem(0) : nullptr;
}

// ----- node data ---------------------------------------------------------------------------

QString Favorites::GetStrFromNode(const QString& tag) {
    const qsizetype at = tag.indexOf(kUrlTag, 0, Qt::CaseInsensitive);
    return at < 0 ? QString() : tag.mid(at + kUrlTag.size());
}

QString Favorites::Tag(const QTreeWidgetItem* node) {
    return node ? node->data(0, TagRole).toString() : QString();
}

QString Favorites::Key(const QTreeWidgetItem* node) {
    return node ? node->data(0, KeyRole).toString() : QString();
}

bool Favorites::IsFavorite(const QTreeWidgetItem* node) {
    return node && node->data(0, KindRole).toInt() == FavoriteNode;
}

QMimeData* Favorites::DragData(const QTreeWidgetItem* node) {
    if (!IsFavorite(node)) return nullptr;
    const QString url = GetStrFromNode(Tag(node));
    auto* data = new QMimeData;
    data->setText(url);
    data->setData(QStringLiteral("UniformResourceLocator"), CodePage::EncodeLossy(url));
    data->setData(QStringLiteral("BGFmtByte"),
                  CodePage::EncodeLossy(Key(node) + QStringLiteral("::") + url + QStringLiteral("::") +
                                        node->text(0) + QStringLiteral("::tvwFav")));
    return data;
}

void Favorites::SetImage(QTreeWidgetItem* node, const QString& image) {
    node->setData(0, ImageRole, image);
    auto it = m_icons.find(image);
    if (it == m_icons.end()) {
        const char* theme = image == kIExplore ? "text-html" : image == kOpen ? "folder-open" : "folder";
        it = m_icons.insert(image, QIcon::fromTheme(QLatin1String(theme), DrawnIcon(image)));
    }
    node->setIcon(0, *it);
}

QTreeWidgetItem* Favorites::AddFolderNode(QTreeWidgetItem* parent, const QString& name, const QString& tag) {
    auto* node = new FavoriteItem;
    node->setText(0, name);
    node->setData(0, TagRole, tag);
    node->setData(0, KeyRole, QStringLiteral("K") + QString::number(++m_nextKey));
    node->setData(0, KindRole, int(FolderNode));
    node->setData(0, FilledRole, false);
    node->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    // Not read yet: it shows it can be opened.
    node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    SetImage(node, kClosed);
    parent->addChild(node);
    return node;
}

QTreeWidgetItem* Favorites::AddFavoriteNode(QTreeWidgetItem* parent, const QString& name, const QString& tag,
                                            const QString& file) {
    auto* node = new FavoriteItem;
    node->setText(0, name);
    node->setData(0, TagRole, tag);
    node->setData(0, KeyRole, QStringLiteral("K") + QString::number(++m_nextKey));
    node->setData(0, KindRole, int(FavoriteNode));
    node->setData(0, FileRole, file);
    node->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled |
                   Qt::ItemNeverHasChildren);
    node->setToolTip(0, GetStrFromNode(tag));
    SetImage(node, kIExplore);
    parent->addChild(node);
    return node;
}

QString Favorites::FolderOf(const QTreeWidgetItem* node) const {
    if (!node) return m_root;
    if (IsFavorite(node)) return FolderOf(node->parent());
    if (node == RootNode()) return m_root;
    QString tag = Tag(node);
    if (tag.startsWith(kVVV)) tag = tag.mid(kVVV.size());
    return tag;
}

QTreeWidgetItem* Favorites::ChildNamed(QTreeWidgetItem* node, const QString& text, Kind kind,
                                       bool unmarkedOnly) const {
    if (!node) return nullptr;
    for (int i = 0; i < node->childCount(); ++i) {
        QTreeWidgetItem* child = node->child(i);
        if (child->text(0) != text || child->data(0, KindRole).toInt() != kind) continue;
        if (unmarkedOnly && Tag(child).startsWith(kVVV)) continue;
        return child;
    }
    return nullptr;
}

QTreeWidgetItem* Favorites::FindNode(const QString& relativePath) const {
    QTreeWidgetItem* node = RootNode();
    const QStringList parts = relativePath.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (int i = 0; node && i < parts.size(); ++i) {
        const bool last = i == parts.size() - 1;
        QTreeWidgetItem* next = ChildNamed(node, parts[i], FolderNode, false);
        if (!next && last) next = ChildNamed(node, parts[i], FavoriteNode, false);
        node = next;
    }
    return node;
}

QStringList Favorites::RelativeParts(const QString& folder) const {
    static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
    const QString path = QDir::cleanPath(folder);
    QString rest;
    if (path == m_root) return {};
    if (path.startsWith(m_root + QLatin1Char('/'))) {
        rest = path.mid(m_root.size() + 1);
    } else {
        // A folder remembered in the older form, "...\Favorites\a\b".
        static const QRegularExpression favorites(QStringLiteral("[/\\\\]Favorites[/\\\\]"),
                                                  QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch match = favorites.match(folder);
        if (!match.hasMatch()) return {};
        rest = folder.mid(match.capturedEnd());
    }
    return rest.split(separators, Qt::SkipEmptyParts);
}

bool Favorites::IsInsideRoot(const QString& path) const {
    const QString root = QFileInfo(m_root).canonicalFilePath();
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return !root.isEmpty() && canonical.startsWith(root + QLatin1Char('/'));
}

// ----- filling and synchronising ---------------------------------------------------------------

void Favorites::GetFiles(const QString& folder, QTreeWidgetItem* node, bool withFavorites) {
    if (!node) return;
    // The folder is read in one go without letting other events run in between: a listing is
    // quick, and a click or a watcher report in the middle could remove the node being filled.
    for (const FavoritesReader::Folder& sub : FavoritesReader::SubFolders(folder))
        AddFolderNode(node, sub.name, sub.path);
    if (!withFavorites) return;
    for (const FavoritesReader::Favorite& fav : FavoritesReader::Favorites(folder))
        AddFavoriteNode(node, fav.name, kUrlTag + fav.address, fav.path);
}

void Favorites::SynchTvwFav(QTreeWidgetItem* node) {
    if (!node) node = RootNode();
    if (!node || IsFavorite(node)) return;
    const QString folder = FolderOf(node);

    // Mark what is on disk (adding what is new) ...
    for (const FavoritesReader::Folder& sub : FavoritesReader::SubFolders(folder)) {
        if (QTreeWidgetItem* child = ChildNamed(node, sub.name, FolderNode, true))
            child->setData(0, TagRole, kVVV + sub.path);
        else
            AddFolderNode(node, sub.name, kVVV + sub.path);
    }
    for (const FavoritesReader::Favorite& fav : FavoritesReader::Favorites(folder)) {
        const QString tag = kVVV + kUrlTag + fav.address;
        if (QTreeWidgetItem* child = ChildNamed(node, fav.name, FavoriteNode, true)) {
            child->setData(0, TagRole, tag);
            child->setData(0, FileRole, fav.path);
            child->setToolTip(0, fav.address);
        } else {
            AddFavoriteNode(node, fav.name, tag, fav.path);
        }
    }
    // ... then sweep: what is not marked has gone from the disk.
    QList<QTreeWidgetItem*> children;
    for (int i = 0; i < node->childCount(); ++i)
        children.append(node->child(i));
    QList<QTreeWidgetItem*> open;
    for (QTreeWidgetItem* child : children) {
        const QString tag = Tag(child);
        if (!tag.startsWith(kVVV)) {
            delete child;
            continue;
        }
        child->setData(0, TagRole, tag.mid(kVVV.size()));
        if (!IsFavorite(child) && child->isExpanded()) open.append(child);
    }
    node->setData(0, FilledRole, true);
    node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    for (QTreeWidgetItem* child : open)
        SynchTvwFav(child);
}

QTreeWidgetItem* Favorites::GetParentFiles(const QString& folder) {
    QTreeWidgetItem* node = RootNode();
    if (!node) return nullptr;
    ExpandNode(node);
    for (const QString& part : RelativeParts(folder)) {
        QTreeWidgetItem* child = ChildNamed(node, part, FolderNode, false);
        if (!child) return nullptr;
        ExpandNode(child);
        node = child;
    }
    return node;
}

void Favorites::ExpandNode(QTreeWidgetItem* node) {
    if (!node || IsFavorite(node)) return;
    if (!node->data(0, FilledRole).toBool()) {
        GetFiles(FolderOf(node), node, true);
        node->setData(0, FilledRole, true);
        node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    }
    SetImage(node, kOpen);
    if (!node->isExpanded()) {
        m_inExpand = true;
        node->setExpanded(true);
        m_inExpand = false;
    }
    UpdateWatches();
}

void Favorites::CollapseNode(QTreeWidgetItem* node) {
    if (!node || IsFavorite(node)) return;
    // Closing forgets the children, so the next opening reads the folder again.
    const QList<QTreeWidgetItem*> children = node->takeChildren();
    qDeleteAll(children);
    node->setData(0, FilledRole, false);
    node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    SetImage(node, kClosed);
    if (node->isExpanded()) {
        m_inExpand = true;
        node->setExpanded(false);
        m_inExpand = false;
    }
    m_tree->setCurrentItem(node);
    UpdateWatches();
}

void Favorites::RefreshFavorites(bool full) {
    m_lastRefresh = Clock::Now();
    if (!full) return;
    if (m_refreshing) {
        m_changePending = true;
        return;
    }
    m_refreshing = true;
    m_changePending = false;
    App().FavoritesReady = false;
    Errors::Guarded(QLatin1String(kModule), QStringLiteral("RefreshFavorites"), [&] {
        QTreeWidgetItem* root = RootNode();
        const bool first = root == nullptr;
        if (first) {
            FavoritesReader::EnsureFavoritesFolder(m_root);
            root = new FavoriteItem(m_tree);
            root->setText(0, QStringLiteral("Favorites"));
            root->setData(0, TagRole, m_root);
            root->setData(0, KeyRole, QStringLiteral("K") + QString::number(++m_nextKey));
            root->setData(0, KindRole, int(FolderNode));
            root->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            SetImage(root, kOpen);
        }
        // No other event runs during the pass, so nobody can click into the tree meanwhile;
        // it only stops drawing until the pass is over.
        m_tree->setUpdatesEnabled(false);
        SynchTvwFav(root);
        if (first) {
            m_inExpand = true;
            root->setExpanded(true);
            m_inExpand = false;
            // The folder remembered from the last session is opened and chosen again.
            Links* links = m_host.FavoritesLinks();
            const QString remembered = links ? links->FavoritesFolder()
                                             : ReadText(App().CurrentUser, stored::user::kFavoritesFolder);
            if (!remembered.isEmpty() && m_lastName.isEmpty() && m_lastFolder.isEmpty()) {
                if (QTreeWidgetItem* node = GetParentFiles(remembered); node && node != root)
                    Remember(FolderOf(node->parent()), node->text(0));
            }
        }
        SelectLastChosen();
        UpdateWatches();
    });
    m_tree->setUpdatesEnabled(true);
    m_refreshing = false;
    App().FavoritesReady = true;
    emit Refreshed();
    // A change reported while the pass ran is looked at once more.
    if (m_changePending) m_changed.start();
}

void Favorites::Remember(const QString& folder, const QString& name) {
    m_lastFolder = folder;
    m_lastName = name;
}

void Favorites::SelectLastChosen() {
    if (m_lastFolder.isEmpty()) return;
    QStringList parts = RelativeParts(m_lastFolder);
    if (QDir::cleanPath(m_lastFolder) != m_root && parts.isEmpty()) return;
    if (!m_lastName.isEmpty()) parts.append(m_lastName);
    if (QTreeWidgetItem* node = FindNode(Joined(parts))) m_tree->setCurrentItem(node);
}

void Favorites::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The tree is read when it is first seen.
    if (!RootNode()) RefreshFavorites(true);
}

// ----- watching the disk -----------------------------------------------------------------------

QStringList Favorites::WatchedFolders() const {
    return m_watcher->directories();
}

void Favorites::UpdateWatches() {
    QStringList wanted;
    if (QTreeWidgetItem* root = RootNode()) {
        QList<QTreeWidgetItem*> pending{root};
        while (!pending.isEmpty()) {
            QTreeWidgetItem* node = pending.takeLast();
            if (IsFavorite(node) || !node->data(0, FilledRole).toBool()) continue;
            if (node != root && !node->isExpanded()) continue;
            wanted.append(FolderOf(node));
            for (int i = 0; i < node->childCount(); ++i)
                pending.append(node->child(i));
        }
    }
    const QStringList current = m_watcher->directories();
    QStringList gone;
    for (const QString& folder : current)
        if (!wanted.contains(folder)) gone.append(folder);
    if (!gone.isEmpty()) m_watcher->removePaths(gone);
    QStringList added;
    for (const QString& folder : wanted)
        if (!current.contains(folder)) added.append(folder);
    if (!added.isEmpty()) {
        // A folder the system will not watch (too many watches) is looked at by the timer.
        const QStringList failed = m_watcher->addPaths(added);
        m_watchFailed = !failed.isEmpty();
    }
}

void Favorites::FolderChanged() {
    m_changePending = true;
    m_changed.start();
}

void Favorites::OnLoadFavoritesTimer() {
    if (!RootNode()) return;
    if (m_changePending) {
        RefreshFavorites(true);
        return;
    }
    if (!m_watchFailed) return;
    const QDateTime now = Clock::Now();
    if (m_lastPoll.isValid() && m_lastPoll.secsTo(now) < kPollSeconds) return;
    m_lastPoll = now;
    RefreshFavorites(true);
}

bool Favorites::HelperDue() {
    if (!m_lastRefresh.isValid()) return false;
    const QDateTime now = Clock::Now();
    const qint64 limit = qint64(kHelperAfterSeconds) * 1000;
    if (m_lastRefresh.msecsTo(now) <= limit) return false;
    if (m_helperAsked.isValid() && m_helperAsked.msecsTo(now) <= limit) return false;
    m_helperAsked = now;
    return true;
}

// ----- clicks ----------------------------------------------------------------------------------

void Favorites::SaveFolder(const QString& folder) {
    Links* links = m_host.FavoritesLinks();
    if (links) links->SetFavoritesFolder(folder);
    const QString user = links ? links->User() : App().CurrentUser;
    if (!user.isEmpty()) SaveValue(user, stored::user::kFavoritesFolder.name, folder);
}

void Favorites::OnFavoriteClicked(QTreeWidgetItem* node) {
    if (!node) return;
    Errors::Guarded(QLatin1String(kModule), QStringLiteral("tvwFav_NodeClick"), [&] {
        if (IsFavorite(node)) {
            const QString folder = FolderOf(node);
            const QString name = node->text(0);
            if (Links* links = m_host.FavoritesLinks()) links->SetNavigateStopped(false);
            m_host.Nav2Visible(GetStrFromNode(Tag(node)), kNavigateMode);
            SaveFolder(folder);
            Remember(folder, name);
            return;
        }
        const QString folder = FolderOf(node);
        if (node == RootNode())
            Remember(m_root, QString());
        else
            Remember(FolderOf(node->parent()), node->text(0));
        if (node->isExpanded())
            CollapseNode(node);
        else
            ExpandNode(node);
        SaveFolder(folder);
    });
}

// ----- context menu ----------------------------------------------------------------------------

void Favorites::ContextMenuRequested(const QPoint& pos) {
    if (QTreeWidgetItem* node = m_tree->itemAt(pos))
        m_menu->Popup(node, m_tree->viewport()->mapToGlobal(pos));
}

bool Favorites::UpdateFavorite(const QString& mode, QTreeWidgetItem* node, const QString& newName) {
    if (mode.compare(QLatin1String("Rename"), Qt::CaseInsensitive) != 0) return false;
    if (!node || node == RootNode()) return false;
    const QString name = FavoritesReader::SafeFileName(newName);
    if (name.isEmpty() || name == node->text(0)) return false;
    const bool favorite = IsFavorite(node);
    const QString parentFolder = FolderOf(node->parent());
    const QString from = favorite ? node->data(0, FileRole).toString() : FolderOf(node);
    const QString to =
        parentFolder + QLatin1Char('/') + name + (favorite ? QStringLiteral(".url") : QString());
    if (!IsInsideRoot(from)) return false;
    if (QFileInfo::exists(to)) {
        MsgBox((favorite ? QStringLiteral("A Favorite named '") : QStringLiteral("A folder named '")) + name +
                   QStringLiteral("' already exists."),
               msgbox::OKOnly, msgbox::Exclamation,
               favorite ? QStringLiteral("Rename Favorite") : QStringLiteral("Rename Folder"));
        return false;
    }
    if (!(favorite ? QFile::rename(from, to) : QDir().rename(from, to))) return false;

    // The node takes its new name and place at once, so an open folder stays open.
    node->setText(0, name);
    if (favorite) {
        node->setData(0, FileRole, to);
    } else {
        node->setData(0, TagRole, to);
        // The remembered folder moves with it.
        auto moved = [&](const QString& path) {
            if (path == from) return to;
            if (path.startsWith(from + QLatin1Char('/'))) return to + path.mid(from.size());
            return path;
        };
        if (Links* links = m_host.FavoritesLinks();
            links && moved(links->FavoritesFolder()) != links->FavoritesFolder())
            SaveFolder(moved(links->FavoritesFolder()));
        m_lastFolder = moved(m_lastFolder);
    }
    Remember(parentFolder, name);
    RefreshFavorites(true);
    return true;
}
