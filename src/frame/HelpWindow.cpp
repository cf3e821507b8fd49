#include "frame/HelpWindow.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "browse/engine/BrowserPane.h"
#include "frame/Help.h"

namespace {
const QString kTitle = QStringLiteral("Bramblegate Help");
} // namespace

HelpWindow::HelpWindow(QWidget* home, PaneFactory factory)
    : QWidget(home, Qt::Window), m_home(home), m_factory(std::move(factory)) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(kTitle);
    resize(760, 640);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(4, 3, 4, 3);
    const auto button = [this, bar](const char* name, const QString& text, QStyle::StandardPixmap icon) {
        auto* b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setText(text);
        b->setIcon(style()->standardIcon(icon));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        bar->addWidget(b);
        return b;
    };
    m_back = button("cmdBack", QStringLiteral("&Back"), QStyle::SP_ArrowBack);
    m_forward = button("cmdForward", QStringLiteral("&Forward"), QStyle::SP_ArrowForward);
    QToolButton* contents = button("cmdContents", QStringLiteral("&Contents"), QStyle::SP_DirHomeIcon);
    bar->addStretch(1);
    layout->addLayout(bar);
    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    connect(m_back, &QToolButton::clicked, this, [this] { Step(-1); });
    connect(m_forward, &QToolButton::clicked, this, [this] { Step(1); });
    connect(contents, &QToolButton::clicked, this, [this] { ShowPage(Help::TopicUrl(QString())); });
}

HelpWindow::~HelpWindow() {
    if (m_dialog) m_dialog->removeEventFilter(this);
}

void HelpWindow::EnsurePane() {
    if (m_pane) return;
    m_pane = m_factory(this);
    if (!m_pane->parent()) m_pane->setParent(this);
    m_pane->setObjectName(QStringLiteral("wbrHelp"));
    static_cast<QVBoxLayout*>(layout())->addWidget(m_pane->Widget(), 1);
    connect(m_pane, &BrowserPane::NavigateComplete2, this, [this](const QString& url, bool top) {
        if (top) PageShown(url);
    });
    connect(m_pane, &BrowserPane::TitleChange, this, [this](const QString& title) {
        setWindowTitle(title.isEmpty() || title == kTitle ? kTitle : title + QStringLiteral(" - ") + kTitle);
    });
    // Help pages lead only to help pages; anything else opens nowhere from here.
    connect(m_pane, &BrowserPane::NewWindow2, this, [](NewWindowEvent& e) { e.Cancel(); });
}

void HelpWindow::ShowPage(const QString& url) {
    // A modal dialog takes every other window's input; the help joins it, beside it.
    QWidget* modal = QApplication::activeModalWidget();
    QWidget* owner = modal && modal != this ? modal : m_home.data();
    const bool placed = isVisible() && owner == parentWidget();
    Adopt(owner);
    EnsurePane();
    m_pane->Navigate2(url);
    if (!placed) PlaceBeside(owner);
    show();
    raise();
    activateWindow();
}

void HelpWindow::PlaceBeside(QWidget* owner) {
    QScreen* screen = owner ? owner->screen() : this->screen();
    if (!screen) return;
    const QRect room = screen->availableGeometry();
    QSize size = QSize(760, 640).boundedTo(room.size());
    QPoint at = room.topLeft();
    if (owner && owner->isVisible()) {
        // On the side with more room, as wide as that side allows (narrower rather than over
        // the dialog), level with the dialog.
        constexpr int kGap = 8;
        constexpr int kNarrowest = 380;
        const QRect beside = owner->frameGeometry();
        const int right = room.right() - beside.right() - kGap;
        const int left = beside.left() - room.left() - kGap;
        const int width = qMax(right, left);
        if (width >= kNarrowest) size.setWidth(qMin(size.width(), width));
        at = right >= left ? QPoint(qMin(beside.right() + kGap, room.right() - size.width()), beside.top())
                           : QPoint(qMax(room.left(), beside.left() - kGap - size.width()), beside.top());
    }
    at.setY(qBound(room.top(), at.y(), room.bottom() - size.height()));
    resize(size);
    move(at);
}

void HelpWindow::PageShown(const QString& url) {
    if (!m_stepping && (m_current < 0 || m_pages.value(m_current) != url)) {
        m_pages = m_pages.mid(0, m_current + 1);
        m_pages.append(url);
        m_current = int(m_pages.size()) - 1;
    }
    m_stepping = false;
    RefreshButtons();
}

void HelpWindow::Step(int direction) {
    const int target = m_current + direction;
    if (target < 0 || target >= int(m_pages.size())) return;
    m_current = target;
    m_stepping = true;
    m_pane->Navigate2(m_pages[target]);
    RefreshButtons();
}

void HelpWindow::RefreshButtons() {
    m_back->setEnabled(m_current > 0);
    m_forward->setEnabled(m_current >= 0 && m_current + 1 < int(m_pages.size()));
}

void HelpWindow::Adopt(QWidget* owner) {
    if (owner == parentWidget()) return;
    const QRect where = geometry();
    const bool shown = isVisible();
    if (m_dialog) m_dialog->removeEventFilter(this);
    m_dialog = owner != m_home ? owner : nullptr;
    if (m_dialog) m_dialog->installEventFilter(this);
    setParent(owner, Qt::Window);
    if (shown) {
        setGeometry(where);
        show();
    }
}

bool HelpWindow::eventFilter(QObject* watched, QEvent* event) {
    // The dialog goes: the help stays, with the frame again.
    if (watched == m_dialog && (event->type() == QEvent::Hide || event->type() == QEvent::Close))
        Adopt(m_home);
    return QWidget::eventFilter(watched, event);
}
