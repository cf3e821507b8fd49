#include "frame/HelpWindow.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
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
    connect(m_back, &QToolButton::clicked, this, [this] { m_pane->GoBack(); });
    connect(m_forward, &QToolButton::clicked, this, [this] { m_pane->GoForward(); });
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
    static_cast<QVBoxLayout*>(layout())->addWidget(m_pane->widget(), 1);
    connect(m_pane, &BrowserPane::CommandStateChange, this, [this](int command, bool enable) {
        (command == PaneCommand::Back ? m_back : m_forward)->setEnabled(enable);
    });
    connect(m_pane, &BrowserPane::TitleChange, this, [this](const QString& title) {
        setWindowTitle(title.isEmpty() || title == kTitle ? kTitle : title + QStringLiteral(" - ") + kTitle);
    });
    // Help pages lead only to help pages; anything else opens nowhere from here.
    connect(m_pane, &BrowserPane::NewWindow2, this, [](NewWindowEvent& e) { e.cancel(); });
}

void HelpWindow::ShowPage(const QString& url) {
    // A modal dialog takes every other window's input; the help joins it, beside it.
    QWidget* modal = QApplication::activeModalWidget();
    Adopt(modal && modal != this ? modal : m_home.data());
    EnsurePane();
    m_pane->Navigate2(url);
    show();
    raise();
    activateWindow();
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
