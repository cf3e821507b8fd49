#include "browse/PaneOverlays.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "browse/engine/BrowserPane.h"
#include "browse/SitePermissions.h"
#include "core/UrlUtils.h"

PaneOverlay::PaneOverlay(QWidget* host) : QFrame(host) {
    host->installEventFilter(this);
    setAutoFillBackground(true);
    hide();
}

bool PaneOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
        Follow();
    return QFrame::eventFilter(watched, event);
}

void PaneOverlay::JoinColumn() {
    if (auto* column = qobject_cast<QBoxLayout*>(parentWidget()->layout())) {
        column->insertWidget(0, this);
        m_inColumn = true;
    }
}

void PaneOverlay::Follow() {
    if (!parentWidget() || m_inColumn) return;
    setGeometry(Place(parentWidget()->size()));
    raise();
}

// ----- permission bar -------------------------------------------------------------------------

PermissionBar::PermissionBar(QWidget* host, Answered answered)
    : PaneOverlay(host), m_answered(std::move(answered)) {
    setObjectName(QStringLiteral("barPermission"));
    setFrameShape(QFrame::StyledPanel);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(255, 248, 204));
    p.setColor(QPalette::WindowText, QColor(40, 40, 40));
    setPalette(p);
    m_question = new QLabel;
    m_question->setObjectName(QStringLiteral("lblQuestion"));
    m_question->setTextFormat(Qt::PlainText);
    m_question->setWordWrap(true);
    m_remember = new QCheckBox(QStringLiteral("&Remember for this site"));
    m_remember->setObjectName(QStringLiteral("chkRemember"));
    m_allow = new QPushButton(QStringLiteral("&Allow"));
    m_allow->setObjectName(QStringLiteral("cmdAllow"));
    m_deny = new QPushButton(QStringLiteral("&Deny"));
    m_deny->setObjectName(QStringLiteral("cmdDeny"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->addWidget(m_question, 1);
    layout->addWidget(m_remember);
    layout->addWidget(m_allow);
    layout->addWidget(m_deny);
    connect(m_allow, &QPushButton::clicked, this, [this] { Answer(true); });
    connect(m_deny, &QPushButton::clicked, this, [this] { Answer(false); });
    JoinColumn();
}

QString PermissionBar::Question(const Request& request) {
    const QString site = core::SiteLabel(request.origin);
    return QStringLiteral("%1 wants to %2.")
        .arg(site.isEmpty() ? request.origin : site, SitePermissions::FeatureWords(request.feature));
}

QRect PermissionBar::Place(const QSize& host) const {
    return QRect(0, 0, host.width(), qMin(host.height(), sizeHint().height()));
}

void PermissionBar::Add(const Request& request) {
    for (const Request& r : std::as_const(m_queue))
        if (r.origin == request.origin && r.feature == request.feature) return;
    m_queue.append(request);
    if (m_queue.size() == 1) ShowFirst();
}

void PermissionBar::Remove(const QString& origin, SiteFeature feature) {
    const bool first =
        !m_queue.isEmpty() && m_queue.first().origin == origin && m_queue.first().feature == feature;
    m_queue.removeIf([&](const Request& r) { return r.origin == origin && r.feature == feature; });
    if (first) ShowFirst();
}

void PermissionBar::DenyAll() {
    const QList<Request> waiting = std::exchange(m_queue, {});
    hide();
    for (const Request& r : waiting)
        m_answered(r, false, false);
}

void PermissionBar::ShowFirst() {
    if (m_queue.isEmpty()) {
        hide();
        return;
    }
    m_question->setText(Question(m_queue.first()));
    m_remember->setChecked(false);
    show();
    Follow();
}

void PermissionBar::Answer(bool allow) {
    if (m_queue.isEmpty()) return;
    const Request request = m_queue.takeFirst();
    const bool remember = m_remember->isChecked();
    ShowFirst();
    m_answered(request, allow, remember);
}

// ----- notice ---------------------------------------------------------------------------------

PaneNotice::PaneNotice(QWidget* host) : PaneOverlay(host) {
    setObjectName(QStringLiteral("paneNotice"));
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(247, 248, 245));
    p.setColor(QPalette::WindowText, QColor(34, 34, 34));
    setPalette(p);
    m_title = new QLabel;
    m_title->setObjectName(QStringLiteral("lblTitle"));
    QFont big = m_title->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    m_title->setFont(big);
    m_title->setWordWrap(true);
    m_text = new QLabel;
    m_text->setObjectName(QStringLiteral("lblText"));
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_buttons = new QWidget;
    auto* row = new QHBoxLayout(m_buttons);
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch(1);
    auto* column = new QVBoxLayout;
    column->addStretch(1);
    column->addWidget(m_title);
    column->addSpacing(10);
    column->addWidget(m_text);
    column->addSpacing(16);
    column->addWidget(m_buttons);
    column->addStretch(2);
    auto* layout = new QHBoxLayout(this);
    layout->addStretch(1);
    layout->addLayout(column, 4);
    layout->addStretch(1);
}

QRect PaneNotice::Place(const QSize& host) const {
    return QRect(QPoint(0, 0), host);
}

void PaneNotice::ShowNotice(Kind kind, const QString& title, const QString& text,
                            const QList<Action>& actions) {
    m_kind = kind;
    m_title->setText(title);
    m_text->setText(text);
    auto* row = static_cast<QHBoxLayout*>(m_buttons->layout());
    while (row->count() > 1) {
        QLayoutItem* item = row->takeAt(0);
        item->widget()->hide();
        item->widget()->deleteLater(); // it may be the button whose click got here
        delete item;
    }
    for (const Action& action : actions) {
        auto* button = new QPushButton(action.text);
        button->setObjectName(QLatin1String(action.name));
        connect(button, &QPushButton::clicked, this, [run = action.run] { run(); });
        row->insertWidget(row->count() - 1, button);
    }
    show();
    Follow();
}

void PaneNotice::HideNotice() {
    m_kind = Kind::None;
    hide();
}
