#include "browse/FavoritesMenu.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenu>
#include <QTreeWidget>
#include <QUrl>

#include "browse/Favorites.h"
#include "browse/FavoritesHost.h"
#include "browse/FavoritesReader.h"
#include "core/Errors.h"
#include "core/MessageBox.h"

using namespace core;

FavoritesMenu::FavoritesMenu(Favorites& favorites, FavoritesHost& host)
    : QObject(&favorites), m_favorites(favorites), m_host(host) {
    m_menu = new QMenu(&favorites);
    m_menu->setObjectName(QStringLiteral("mnuFav"));
    m_actDelete =
        m_menu->addAction(QStringLiteral("Delete Favorite..."), this, &FavoritesMenu::OnDeleteFavorite);
    m_actDelete->setObjectName(QStringLiteral("deleteFavorite"));
    m_actRename =
        m_menu->addAction(QStringLiteral("Rename Favorite..."), this, &FavoritesMenu::OnRenameFavorite);
    m_actRename->setObjectName(QStringLiteral("renameFavorite"));
    m_menu->addSeparator();
    m_actAdd = m_menu->addAction(QStringLiteral("Add to Favorites..."), this, &FavoritesMenu::OnAddFavorite);
    m_actAdd->setObjectName(QStringLiteral("addFavorite"));
    m_menu->addAction(QStringLiteral("Create Folder..."), this, &FavoritesMenu::OnNewFolder);
    m_menu->addSeparator();
    m_menu->addAction(QStringLiteral("Organize Favorites..."), this, &FavoritesMenu::OnOrganize);
}

void FavoritesMenu::Popup(QTreeWidgetItem* node, const QPoint& globalPos) {
    PrepareContextMenu(node);
    m_menu->popup(globalPos);
}

void FavoritesMenu::PrepareContextMenu(QTreeWidgetItem* node) {
    if (!node) node = m_favorites.RootNode();
    if (!node) return;
    m_favorites.m_tree->setCurrentItem(node);
    m_context = Context();
    m_context.favorite = Favorites::IsFavorite(node);
    m_context.name = node->text(0);
    m_context.folder = m_favorites.FolderOf(node);
    if (m_context.favorite) m_context.file = node->data(0, Favorites::FileRole).toString();
    m_actDelete->setText(m_context.favorite ? QStringLiteral("Delete Favorite...")
                                            : QStringLiteral("Delete Folder..."));
    m_actRename->setText(m_context.favorite ? QStringLiteral("Rename Favorite...")
                                            : QStringLiteral("Rename Folder..."));
    m_actRename->setEnabled(node != m_favorites.RootNode());
    m_actAdd->setEnabled(!m_host.VisiblePage().url.isEmpty());
}

QTreeWidgetItem* FavoritesMenu::ContextNode() const {
    const QStringList parts = m_favorites.RelativeParts(m_context.folder);
    if (QDir::cleanPath(m_context.folder) != m_favorites.m_root && parts.isEmpty()) return nullptr;
    QTreeWidgetItem* folder = m_favorites.FindNode(parts.join(QLatin1Char('/')));
    if (!m_context.favorite) return folder;
    return m_favorites.ChildNamed(folder, m_context.name, Favorites::FavoriteNode, false);
}

QTreeWidgetItem* FavoritesMenu::SelectedFolderNode() const {
    QTreeWidgetItem* node = m_favorites.m_tree->currentItem();
    if (Favorites::IsFavorite(node)) node = node->parent();
    return node ? node : m_favorites.RootNode();
}

bool FavoritesMenu::AskName(const QString& title, const QString& label, QString* name) {
    QInputDialog dialog(&m_favorites);
    dialog.setObjectName(QStringLiteral("frmFavName"));
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setTextValue(*name);
    if (modal::RunModal(dialog) != QDialog::Accepted) return false;
    *name = dialog.textValue();
    return true;
}

void FavoritesMenu::OnDeleteFavorite() {
    Errors::Guarded(QLatin1String(Favorites::kModule), QStringLiteral("mnuFavDelete_Click"), [&] {
        if (m_context.favorite) {
            // A favorite goes at once, without a question.
            if (!m_context.file.isEmpty() && m_favorites.IsInsideRoot(m_context.file))
                QFile::remove(m_context.file);
            m_favorites.RefreshFavorites(true);
            return;
        }
        const QString path = QDir::cleanPath(m_context.folder);
        if (path.isEmpty()) return;
        if (path == m_favorites.m_root) {
            MsgBox(QStringLiteral("Cannot delete this folder '") +
                       QDir::toNativeSeparators(m_favorites.m_root) + QStringLiteral("'"),
                   msgbox::OKOnly, msgbox::Exclamation, QStringLiteral("Delete Folder"));
            return;
        }
        if (MsgBox(QStringLiteral("Are you sure you want to delete the Favorites folder '") + m_context.name +
                       QStringLiteral("'"),
                   msgbox::YesNo, msgbox::Question, QStringLiteral("Delete Folder")) != msgbox::Yes)
            return;
        // Only ever below the favorites root, whatever a tag says.
        if (m_favorites.IsInsideRoot(path)) QDir(path).removeRecursively();
        m_favorites.RefreshFavorites(true);
    });
}

void FavoritesMenu::OnRenameFavorite() {
    Errors::Guarded(QLatin1String(Favorites::kModule), QStringLiteral("mnuFavRename_Click"), [&] {
        QTreeWidgetItem* node = ContextNode();
        if (!node || node == m_favorites.RootNode()) return;
        QString name = node->text(0);
        const QString title =
            m_context.favorite ? QStringLiteral("Rename Favorite") : QStringLiteral("Rename Folder");
        if (!AskName(title, QStringLiteral("New name:"), &name)) return;
        m_favorites.UpdateFavorite(QStringLiteral("Rename"), node, name);
    });
}

void FavoritesMenu::OnNewFolder() {
    Errors::Guarded(QLatin1String(Favorites::kModule), QStringLiteral("mnuFavNewFolder_Click"), [&] {
        QTreeWidgetItem* parent = SelectedFolderNode();
        if (!parent) return;
        QString name = QStringLiteral("New Folder");
        if (!AskName(QStringLiteral("Create Folder"), QStringLiteral("Folder name:"), &name)) return;
        name = FavoritesReader::SafeFileName(name);
        if (name.isEmpty()) return;
        const QString folder = m_favorites.FolderOf(parent);
        const QString path = folder + QLatin1Char('/') + name;
        m_favorites.ExpandNode(parent);
        QTreeWidgetItem* node = m_favorites.ChildNamed(parent, name, Favorites::FolderNode, false);
        if (!QFileInfo::exists(path)) {
            if (!QDir(folder).mkdir(name)) return;
            if (!node) node = m_favorites.AddFolderNode(parent, name, path);
        }
        if (!node) return;
        m_favorites.m_tree->setCurrentItem(node);
        m_favorites.Remember(folder, name);
        m_favorites.RefreshFavorites(true);
    });
}

void FavoritesMenu::OnAddFavorite() {
    Errors::Guarded(QLatin1String(Favorites::kModule), QStringLiteral("mnuFavAdd_Click"), [&] {
        const PageLocation page = m_host.VisiblePage();
        if (page.url.isEmpty()) return;
        QTreeWidgetItem* parent = SelectedFolderNode();
        if (!parent) return;
        QString name = FavoritesReader::SafeFileName(page.name.isEmpty() ? page.url : page.name);
        if (!AskName(QStringLiteral("Add Favorite"), QStringLiteral("Name:"), &name)) return;
        name = FavoritesReader::SafeFileName(name);
        if (name.isEmpty()) return;
        const QString folder = m_favorites.FolderOf(parent);
        const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".url");
        if (QFileInfo::exists(path) &&
            MsgBox(QStringLiteral("The Favorite '") + name +
                       QStringLiteral("' already exists. Do you want to replace it?"),
                   msgbox::YesNo, msgbox::Question, QStringLiteral("Add Favorite")) != msgbox::Yes)
            return;
        QString error;
        if (!FavoritesReader::WriteShortcut(path, page.url, &error)) {
            MsgBox(QStringLiteral("The Favorite '") + name + QStringLiteral("' could not be saved.") + CR +
                       CR + error,
                   msgbox::OKOnly, msgbox::Exclamation, QStringLiteral("Add Favorite"));
            return;
        }
        m_favorites.ExpandNode(parent);
        m_favorites.Remember(folder, name);
        m_favorites.RefreshFavorites(true);
    });
}

void FavoritesMenu::OnOrganize() {
    QDesktopServices::openUrl(QUrl::fromLocalFile(m_favorites.m_root));
}
