#include "browse/LinkButtonsPanel.h"

#include <QDragEnterEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>

#include "browse/LinkDrag.h"

// ----- LinkButton -----------------------------------------------------------------------------

LinkButton::LinkButton(int index, QWidget* parent) : QPushButton(parent), m_index(index) {
    setObjectName(QStringLiteral("cmdLink"));
    setMouseTracking(true);
    setAcceptDrops(true);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
}

void LinkButton::mousePressEvent(QMouseEvent* event) {
    emit MouseDown(m_index, event->button(), event->globalPosition().toPoint());
    // Every button's press is taken here, so that its release comes back to this button.
    if (event->button() == Qt::LeftButton)
        QPushButton::mousePressEvent(event);
    else
        event->accept();
}

void LinkButton::mouseMoveEvent(QMouseEvent* event) {
    emit MouseMove(m_index, event->globalPosition().toPoint(), event->buttons());
    QPushButton::mouseMoveEvent(event);
}

void LinkButton::mouseReleaseEvent(QMouseEvent* event) {
    // The button's own press look ends first; what the release means is the window's business
    // (it may open a menu or a page).
    if (event->button() == Qt::LeftButton)
        QPushButton::mouseReleaseEvent(event);
    else
        event->accept();
    emit MouseUp(m_index, event->button(), event->globalPosition().toPoint());
}

void LinkButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space) {
        emit KeyActivated(m_index);
        return;
    }
    QPushButton::keyPressEvent(event);
}

void LinkButton::enterEvent(QEnterEvent* event) {
    emit MouseMove(m_index, event->globalPosition().toPoint(), Qt::NoButton);
    QPushButton::enterEvent(event);
}

void LinkButton::dragEnterEvent(QDragEnterEvent* event) {
    if (LinkDrag::Parse(event->mimeData()).kind != LinkDrag::Drop::None) event->acceptProposedAction();
}

void LinkButton::dragMoveEvent(QDragMoveEvent* event) {
    if (LinkDrag::Parse(event->mimeData()).kind != LinkDrag::Drop::None) event->acceptProposedAction();
}

void LinkButton::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    emit Dropped(m_index, event->mimeData());
}

// ----- LinkButtonsPanel -----------------------------------------------------------------------

LinkButtonsPanel::LinkButtonsPanel(QWidget* parent) : QScrollArea(parent), m_strip(new QWidget) {
    setObjectName(QStringLiteral("fraSideBar"));
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    verticalScrollBar()->setObjectName(QStringLiteral("fsbScroll"));
    // The scroll bar never keeps the keyboard focus.
    verticalScrollBar()->setFocusPolicy(Qt::NoFocus);
    verticalScrollBar()->setSingleStep(kRowHeight);
    m_strip->setObjectName(QStringLiteral("picLinks"));
    setWidget(m_strip);
    setWidgetResizable(false);
    setStyleSheet(QStringLiteral(
        "QWidget#picLinks { background: palette(base); }"
        "QPushButton#cmdLink { text-align: left; padding: 2px 8px; border: 1px solid transparent;"
        "  border-radius: 4px; background: transparent; }"
        "QPushButton#cmdLink:hover { background: #e6eee4; border-color: #c3d2bf; }"
        "QPushButton#cmdLink:pressed { background: #d2e0ce; }"
        "QPushButton#cmdLink:focus { border-color: #8fb996; }"
        "QPushButton#cmdLink[current=\"true\"] { background: #d6e7d2; border-color: #8fb996; color: #1f3f27; "
        "}"
        "QToolButton#cmdView { border: 1px solid #a7afa5; border-radius: 4px; }"
        "QToolButton#cmdView:hover { border-color: #5f7f63; }"
        "QToolButton#cmdView[current=\"true\"] { border: 2px solid #2f5d3a; }"));
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &LinkButtonsPanel::Scrolled);
}

LinkButtonsPanel::Row* LinkButtonsPanel::RowOf(int index) {
    if (index < 0 || index >= int(m_rows.size()) || !m_rows[size_t(index)].link) return nullptr;
    return &m_rows[size_t(index)];
}

const LinkButtonsPanel::Row* LinkButtonsPanel::RowOf(int index) const {
    return const_cast<LinkButtonsPanel*>(this)->RowOf(index);
}

LinkButton* LinkButtonsPanel::CreateButtons(int index) {
    if (index < 0) return nullptr;
    if (int(m_rows.size()) <= index) m_rows.resize(size_t(index) + 1);
    Row& row = m_rows[size_t(index)];
    if (row.link) return row.link;
    row.link = new LinkButton(index, m_strip);
    row.link->hide();
    connect(row.link, &LinkButton::MouseDown, this, &LinkButtonsPanel::LinkMouseDown);
    connect(row.link, &LinkButton::MouseMove, this, &LinkButtonsPanel::LinkMouseMove);
    connect(row.link, &LinkButton::MouseUp, this, &LinkButtonsPanel::LinkMouseUp);
    connect(row.link, &LinkButton::KeyActivated, this, &LinkButtonsPanel::LinkKeyActivated);
    connect(row.link, &LinkButton::Dropped, this, &LinkButtonsPanel::LinkDropped);
    row.view = new QToolButton(m_strip);
    row.view->setObjectName(QStringLiteral("cmdView"));
    row.view->setFixedSize(kViewSize, kViewSize);
    row.view->setFocusPolicy(Qt::NoFocus);
    row.view->setCursor(Qt::PointingHandCursor);
    row.view->hide();
    connect(row.view, &QToolButton::clicked, this, [this, index] { emit ViewClicked(index); });
    Restyle(row);
    return row.link;
}

void LinkButtonsPanel::ReleaseButtons(int index) {
    Row* row = RowOf(index);
    if (!row) return;
    delete row->link;
    delete row->view;
    *row = Row();
}

LinkButton* LinkButtonsPanel::LinkButtonAt(int index) const {
    const Row* row = RowOf(index);
    return row ? row->link : nullptr;
}

QToolButton* LinkButtonsPanel::ViewButtonAt(int index) const {
    const Row* row = RowOf(index);
    return row ? row->view : nullptr;
}

QString LinkButtonsPanel::FitCaption(const QString& caption, int width) const {
    const QFontMetrics metrics(font());
    return metrics.elidedText(caption, Qt::ElideRight, qMax(20, width))
        .replace(QLatin1Char('&'), QStringLiteral("&&"));
}

int LinkButtonsPanel::CaptionWidth() const {
    const int strip = viewport()->width();
    return qMax(40, strip - kViewSize - 14 - 18);
}

void LinkButtonsPanel::LayoutRow(Row& row, int order) {
    const int width = viewport()->width();
    const int y = order * kRowHeight;
    const int linkWidth = qMax(40, width - kViewSize - 14);
    row.link->setGeometry(4, y + 2, linkWidth, kRowHeight - 4);
    row.view->move(4 + linkWidth + 4, y + (kRowHeight - kViewSize) / 2);
}

void LinkButtonsPanel::Place(int index, int order, bool viewShown) {
    Row* row = RowOf(index);
    if (!row) return;
    LayoutRow(*row, order);
    row->link->setProperty("order", order);
    row->link->show();
    row->view->setVisible(viewShown);
}

void LinkButtonsPanel::HideRow(int index) {
    if (Row* row = RowOf(index)) {
        row->link->hide();
        row->view->hide();
    }
}

void LinkButtonsPanel::SetRows(int rows) {
    m_rowCount = rows;
    m_strip->resize(viewport()->width(), qMax(rows * kRowHeight + 4, viewport()->height()));
}

int LinkButtonsPanel::LinksPerPage() const {
    return qMax(1, viewport()->height() / kRowHeight);
}

int LinkButtonsPanel::TopRow() const {
    return verticalScrollBar()->value() / kRowHeight;
}

void LinkButtonsPanel::EnsureRowVisible(int row) {
    if (row < 0) return;
    ensureVisible(0, row * kRowHeight + kRowHeight / 2, 0, kRowHeight / 2 + 2);
}

void LinkButtonsPanel::SetCurrent(int index, bool current) {
    Row* row = RowOf(index);
    if (!row || row->current == current) return;
    row->current = current;
    Restyle(*row);
}

bool LinkButtonsPanel::IsCurrent(int index) const {
    const Row* row = RowOf(index);
    return row && row->current;
}

void LinkButtonsPanel::SetViewColour(int index, const QColor& colour) {
    Row* row = RowOf(index);
    if (!row || row->colour == colour) return;
    row->colour = colour;
    Restyle(*row);
}

QColor LinkButtonsPanel::ViewColour(int index) const {
    const Row* row = RowOf(index);
    return row ? row->colour : QColor();
}

namespace {
const QString kFrozenTip = QStringLiteral("Frozen while not shown");
const QString kDiscardedTip = QStringLiteral("Discarded while not shown: loads again when shown");
} // namespace

void LinkButtonsPanel::SetViewIdle(int index, PaneIdle state) {
    Row* row = RowOf(index);
    if (!row || row->idle == state) return;
    row->idle = state;
    // The state is a line of its own under the tooltip the Link gave the button.
    QString tip = row->view->toolTip();
    for (const QString& line : {kFrozenTip, kDiscardedTip})
        if (tip.endsWith(QLatin1Char('\n') + line)) tip.chop(line.size() + 1);
    if (state != PaneIdle::Active)
        tip += QLatin1Char('\n') + (state == PaneIdle::Frozen ? kFrozenTip : kDiscardedTip);
    row->view->setToolTip(tip);
    Restyle(*row);
}

void LinkButtonsPanel::Restyle(Row& row) {
    const QString current = row.current ? QStringLiteral("true") : QStringLiteral("false");
    row.link->setProperty("current", current);
    row.view->setProperty("current", current);
    QColor colour = row.colour;
    QString frame;
    if (row.idle == PaneIdle::Frozen) {
        frame = QStringLiteral(" border: 2px dotted #3a5f9f;");
    } else if (row.idle == PaneIdle::Discarded) {
        frame = QStringLiteral(" border: 2px dashed #8a8a8a;");
        // Faded towards grey: nothing runs behind it.
        if (colour.isValid())
            colour = QColor((colour.red() + 2 * 200) / 3, (colour.green() + 2 * 200) / 3,
                            (colour.blue() + 2 * 200) / 3);
    }
    row.view->setStyleSheet(
        QStringLiteral("QToolButton#cmdView { background: %1;%2 }")
            .arg(colour.isValid() ? colour.name() : QStringLiteral("palette(button)"), frame));
    for (QWidget* w : {static_cast<QWidget*>(row.link), static_cast<QWidget*>(row.view)}) {
        w->style()->unpolish(w);
        w->style()->polish(w);
        w->update();
    }
}

void LinkButtonsPanel::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    for (Row& row : m_rows)
        if (row.link && !row.link->isHidden()) LayoutRow(row, row.link->property("order").toInt());
    SetRows(m_rowCount);
    emit Resized();
}
