#include "browse/NavigationBar.h"

#include "browse/AddressBox.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolButton>

#include "browse/PageRecorder.h"
#include "core/UrlUtils.h"

// ----- PagePicture ----------------------------------------------------------------------------

PagePicture::PagePicture(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("picView"));
    setFixedSize(18, 18);
    setCursor(Qt::OpenHandCursor);
    setToolTip(QStringLiteral("Drag this onto a Link button to make a Link of the page"));
}

void PagePicture::SetColour(const QColor& colour) {
    if (m_colour == colour) return;
    m_colour = colour;
    update();
}

void PagePicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    p.setPen(QPen(QColor(120, 130, 118), 1));
    p.setBrush(m_colour.isValid() ? m_colour : palette().color(QPalette::Button));
    p.drawRoundedRect(r, 4, 4);
}

void PagePicture::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
    m_pressAt = event->position().toPoint();
}

void PagePicture::mouseMoveEvent(QMouseEvent* event) {
    if (!m_pressed ||
        (event->position().toPoint() - m_pressAt).manhattanLength() < QApplication::startDragDistance())
        return;
    m_pressed = false;
    emit DragRequested();
}

// ----- NavigationBar --------------------------------------------------------------------------

namespace {

// A small house: the style's own "home" picture is a folder.
QIcon HomeIcon() {
    QPixmap pixmap(40, 40);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 90, 140), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(120, 160, 215));
    p.drawPolygon(QPolygonF({QPointF(20, 6), QPointF(35, 19), QPointF(31, 19), QPointF(31, 34),
                             QPointF(9, 34), QPointF(9, 19), QPointF(5, 19)}));
    p.setBrush(QColor(245, 245, 240));
    p.drawRect(QRectF(16.5, 23, 7, 11));
    return QIcon(pixmap);
}

} // namespace

NavigationBar::NavigationBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("NavigationBar"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(6, 4, 6, 4);
    row->setSpacing(2);
    QStyle* s = style();
    row->addWidget(AddButton(QStringLiteral("Back"), WindowCommand::Back, QStringLiteral("Back"),
                             s->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("Back (Alt+Left)")));
    row->addWidget(AddButton(QStringLiteral("Forward"), WindowCommand::Forward, QStringLiteral("Forward"),
                             s->standardIcon(QStyle::SP_ArrowForward),
                             QStringLiteral("Forward (Alt+Right)")));
    row->addWidget(AddButton(QStringLiteral("Stop"), WindowCommand::Stop, QStringLiteral("Stop"),
                             s->standardIcon(QStyle::SP_BrowserStop), QStringLiteral("Stop (Esc)")));
    row->addWidget(AddButton(QStringLiteral("Refresh"), WindowCommand::Refresh, QStringLiteral("Refresh"),
                             s->standardIcon(QStyle::SP_BrowserReload), QStringLiteral("Refresh (F5)")));
    row->addWidget(AddButton(QStringLiteral("Home"), WindowCommand::Home, QStringLiteral("Home"), HomeIcon(),
                             QStringLiteral("Home (Alt+Home)")));
    row->addSpacing(6);

    m_pictureView = new PagePicture(this);
    row->addWidget(m_pictureView);
    row->addSpacing(2);

    m_address = new AddressBox(this);
    m_address->setObjectName(QStringLiteral("cmbAddress"));
    m_address->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_address->setMinimumContentsLength(30);
    m_address->lineEdit()->setPlaceholderText(QStringLiteral("Type an address and press Enter"));
    m_address->lineEdit()->setClearButtonEnabled(true);
    connect(m_address, &AddressBox::NavigateRequested, this, &NavigationBar::AddressChosen);
    row->addWidget(m_address, 1);

    auto* go = new QToolButton(this);
    go->setObjectName(QStringLiteral("cmdGo"));
    go->setText(QStringLiteral("Go"));
    go->setToolTip(QStringLiteral("Open the address in the Link on show"));
    go->setToolButtonStyle(Qt::ToolButtonTextOnly);
    connect(go, &QToolButton::clicked, this, &NavigationBar::Go);
    row->addWidget(go);
    SetBackForward(false, false);
}

QToolButton* NavigationBar::AddButton(const QString& key, WindowCommand command, const QString& text,
                                      const QIcon& icon, const QString& tip) {
    auto* button = new QToolButton(this);
    button->setObjectName(QStringLiteral("cmd") + key);
    button->setProperty("key", key);
    button->setText(text);
    button->setIcon(icon);
    button->setIconSize(QSize(20, 20));
    button->setToolTip(tip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QToolButton::clicked, this, [this, command] { emit Command(command); });
    m_buttons << button;
    return button;
}

QToolButton* NavigationBar::Button(const QString& key) const {
    for (QToolButton* b : m_buttons)
        if (b->property("key").toString() == key) return b;
    return nullptr;
}

void NavigationBar::Go() {
    m_address->HideMatches();
    const QString text = AddressText().trimmed();
    if (text.isEmpty()) return;
    emit AddressChosen(text, AddressBox::kModeTyped);
}

void NavigationBar::SetAddressText(const QString& url) {
    m_address->SetAddressText(url);
}

QString NavigationBar::AddressText() const {
    return m_address->AddressText();
}

bool NavigationBar::IsAddressBeingEdited() const {
    return m_address->IsBeingEdited();
}

void NavigationBar::HideAddressMatches() {
    m_address->HideMatches();
}

void NavigationBar::FocusAddress() {
    m_address->FocusAndSelectAll();
}

void NavigationBar::LoadAddresses() {
    m_address->LoadVisitedUrls();
    m_address->GetTypedURLs();
}

void NavigationBar::SaveAddresses() {
    m_address->SaveVisitedUrls();
}

void NavigationBar::AttachRecorder(PageRecorder& recorder) {
    recorder.SetAddressBox(m_address);
}

void NavigationBar::SetBackForward(bool back, bool forward) {
    if (QToolButton* b = Button(QStringLiteral("Back"))) b->setEnabled(back);
    if (QToolButton* b = Button(QStringLiteral("Forward"))) b->setEnabled(forward);
}
