#include "frame/FrameToolbar.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QIcon>
#include <QMenu>
#include <QToolButton>

static void InitFrameIcons() {
    Q_INIT_RESOURCE(FrameIcons);
}

namespace {

// Names of the matching pictures in the freedesktop icon naming scheme, where there is one.
QString ThemeName(const QString& image) {
    static const QHash<QString, QString> names = {
        {QStringLiteral("Back"), QStringLiteral("go-previous")},
        {QStringLiteral("Forward"), QStringLiteral("go-next")},
        {QStringLiteral("Stop"), QStringLiteral("process-stop")},
        {QStringLiteral("Refresh"), QStringLiteral("view-refresh")},
        {QStringLiteral("Home"), QStringLiteral("go-home")},
        {QStringLiteral("History"), QStringLiteral("document-open-recent")},
        {QStringLiteral("Bookmark"), QStringLiteral("bookmark-new")},
        {QStringLiteral("Newwindow"), QStringLiteral("window-new")},
        {QStringLiteral("Explorer"), QStringLiteral("web-browser")},
        {QStringLiteral("Search"), QStringLiteral("edit-find")},
        {QStringLiteral("Favorites"), QStringLiteral("emblem-favorite")},
        {QStringLiteral("Print"), QStringLiteral("document-print")},
        {QStringLiteral("Help"), QStringLiteral("help-browser")},
    };
    return names.value(image);
}

} // namespace

const QList<FrameToolbar::ButtonInfo>& FrameToolbar::Table() {
    static const QList<ButtonInfo> table = {
        {"ShowHide", "Hide", "Auto Hide", Button, "Hide"},
        {"Back", "Back", "Back", Button, "Back"},
        {"phldr", "", "", Placeholder, ""},
        {"Forward", "Fwd", "Forward", Button, "Forward"},
        {"Stop", "Stop", "Stop", Button, "Stop"},
        {"Sep1", "", "", Separator, ""},
        {"Refresh", "Refresh", "Refresh", Button, "Refresh"},
        {"Home", "Home", "Home", Button, "Home"},
        {"History", "History", "History", Button, "History"},
        {"Bookmark", "Mark", "BookMark", DropDown, "Bookmark"},
        {"Sep2", "", "", Separator, ""},
        {"NewWindow", "New", "New", Button, "Newwindow"},
        {"Explorer", "IE", "Explorer", Button, "Explorer"},
        {"Search", "Search", "Search", Button, "Search"},
        {"Favorites", "Favrts", "Favorites", Button, "Favorites"},
        {"Sep3", "", "", Separator, ""},
        {"Print", "Print", "Print", Button, "Print"},
        {"Cascade", "Arrange", "Cascade", Button, "Cascade"},
        {"Popup", "PopUp", "PopUp", Button, "Popup"},
        {"Help", "Help", "Help", Button, "Help"},
    };
    return table;
}

QIcon FrameToolbar::Icon(const QString& image) {
    InitFrameIcons();
    const QIcon own(QStringLiteral(":/frame/icons/") + image + QStringLiteral(".svg"));
    const QString themeName = ThemeName(image);
    return themeName.isEmpty() ? own : QIcon::fromTheme(themeName, own);
}

FrameToolbar::FrameToolbar(QWidget* parent) : QToolBar(QStringLiteral("Buttons"), parent) {
    setObjectName(QStringLiteral("tbr"));
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(22, 22));
}

void FrameToolbar::ToolbarResetData(int screenWidth, bool textLabels) {
    const bool narrow = screenWidth <= kNarrowScreen;
    // On a narrow screen the bar has to fit in its width: smaller pictures and captions.
    setIconSize(narrow ? QSize(18, 18) : QSize(22, 22));
    QFont captions = QApplication::font(this);
    if (narrow) captions.setPointSizeF(captions.pointSizeF() * 0.85);
    setFont(captions);
    clear();
    m_actions.clear();
    m_images.clear();
    for (const ButtonInfo& button : Table()) {
        const QString key = QString::fromLatin1(button.key);
        QAction* action = nullptr;
        switch (button.style) {
        case Separator:
            action = addSeparator();
            break;
        case Placeholder: {
            auto* arrow = new QToolButton(this);
            arrow->setObjectName(key);
            arrow->setArrowType(Qt::DownArrow);
            arrow->setAutoRaise(true);
            arrow->setPopupMode(QToolButton::InstantPopup);
            arrow->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }"));
            arrow->setMenu(m_placeholderMenu);
            arrow->setEnabled(m_placeholderMenu && m_placeholderMenu->isEnabled() &&
                              !m_placeholderMenu->isEmpty());
            m_placeholder = arrow;
            action = addWidget(arrow);
            break;
        }
        case Button:
        case DropDown: {
            const QString caption = QString::fromLatin1(narrow ? button.shortCaption : button.longCaption);
            const QString image = QString::fromLatin1(button.image);
            action = addAction(Icon(image), caption);
            action->setToolTip(QString::fromLatin1(button.longCaption));
            m_images.insert(key, image);
            connect(action, &QAction::triggered, this, [this, key] { emit ButtonClick(key); });
            break;
        }
        }
        action->setObjectName(QStringLiteral("tbr") + key);
        action->setData(key);
        m_actions.insert(key, action);
    }
    if (QToolButton* mark = ToolButton(QStringLiteral("Bookmark")))
        mark->setPopupMode(QToolButton::MenuButtonPopup);
    SetToolbar(textLabels);
}

void FrameToolbar::SetToolbar(bool textLabels) {
    m_textLabels = textLabels;
    setToolButtonStyle(textLabels ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
    adjustSize();
    SetPHldr();
}

void FrameToolbar::SetPHldr() {
    if (!m_placeholder) return;
    QToolButton* back = ToolButton(QStringLiteral("Back"));
    const int height = back ? back->sizeHint().height() : iconSize().height() + 8;
    m_placeholder->setFixedSize(14, height);
}

void FrameToolbar::SetPlaceholderMenu(QMenu* menu) {
    if (m_placeholderMenu) m_placeholderMenu->removeEventFilter(this);
    m_placeholderMenu = menu;
    // The arrow is usable while its menu is (it follows the menu's changes).
    if (menu) menu->installEventFilter(this);
    if (m_placeholder) {
        m_placeholder->setMenu(menu);
        m_placeholder->setEnabled(menu && menu->isEnabled() && !menu->isEmpty());
    }
}

bool FrameToolbar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_placeholderMenu && m_placeholder &&
        (event->type() == QEvent::EnabledChange || event->type() == QEvent::ActionAdded ||
         event->type() == QEvent::ActionRemoved))
        // The menu is still changing: look once it is done.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_placeholder)
                    m_placeholder->setEnabled(m_placeholderMenu && m_placeholderMenu->isEnabled() &&
                                              !m_placeholderMenu->isEmpty());
            },
            Qt::QueuedConnection);
    return QToolBar::eventFilter(watched, event);
}

QToolButton* FrameToolbar::ToolButton(const QString& key) const {
    QAction* action = Action(key);
    return action ? qobject_cast<QToolButton*>(widgetForAction(action)) : nullptr;
}

QString FrameToolbar::Caption(const QString& key) const {
    QAction* action = Action(key);
    return action ? action->text() : QString();
}

void FrameToolbar::SetImage(const QString& key, const QString& image) {
    QAction* action = Action(key);
    if (!action || m_images.value(key) == image) return;
    m_images.insert(key, image);
    action->setIcon(Icon(image));
}

void FrameToolbar::contextMenuEvent(QContextMenuEvent* event) {
    emit ContextMenuRequested(event->globalPos());
    event->accept();
}
