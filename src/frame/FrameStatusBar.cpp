#include "frame/FrameStatusBar.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QStyle>

FrameStatusBar::FrameStatusBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("sbr"));
    setSizeGripEnabled(true);

    auto* panel1 = new QWidget(this);
    panel1->setObjectName(QStringLiteral("Panel1"));
    auto* row = new QHBoxLayout(panel1);
    row->setContentsMargins(2, 0, 2, 0);
    row->setSpacing(4);
    m_picture1 = new QLabel(panel1);
    m_picture1->setFixedSize(16, 16);
    m_picture1->hide();
    m_text1 = new QLabel(panel1);
    m_text1->setObjectName(QStringLiteral("Panel1Text"));
    m_text1->setTextFormat(Qt::PlainText);
    m_text1->setMinimumWidth(80);
    row->addWidget(m_picture1);
    row->addWidget(m_text1, 1);
    panel1->installEventFilter(this);
    m_picture1->installEventFilter(this);
    m_text1->installEventFilter(this);
    addWidget(panel1, 1);

    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName(QStringLiteral("Progress"));
    m_progressBar->setRange(0, 100);
    m_progressBar->setTextVisible(false);
    m_progressBar->setFixedSize(120, 12);
    m_progressBar->hide();
    addPermanentWidget(m_progressBar);

    m_lock = new QLabel(this);
    m_lock->setObjectName(QStringLiteral("Lock"));
    m_lock->setPixmap(Padlock(16));
    m_lock->setToolTip(QStringLiteral("This page came over a secure connection"));
    m_lock->hide();
    addPermanentWidget(m_lock);

    m_text3 = new QLabel(this);
    m_text3->setObjectName(QStringLiteral("Panel3"));
    m_text3->setTextFormat(Qt::PlainText);
    m_text3->setMinimumWidth(140);
    m_text3->setAlignment(Qt::AlignCenter);
    addPermanentWidget(m_text3);
}

void FrameStatusBar::SetPanelText(int panel, const QString& text) {
    if (panel == 1) m_text1->setText(text);
    if (panel == 3) m_text3->setText(text);
}

QString FrameStatusBar::PanelText(int panel) const {
    if (panel == 1) return m_text1->text();
    if (panel == 3) return m_text3->text();
    return {};
}

void FrameStatusBar::SetPanel1Picture(const QString& key) {
    m_picture = key;
    if (key == QLatin1String(kPageError)) {
        m_picture1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(16, 16));
        m_picture1->setToolTip(QStringLiteral("Click for the details of the error"));
        m_picture1->show();
    } else {
        m_picture1->clear();
        m_picture1->setToolTip(QString());
        m_picture1->hide();
    }
}

void FrameStatusBar::ClearPanel1() {
    m_text1->clear();
    SetPanel1Picture(QString());
    m_tag.clear();
}

void FrameStatusBar::UpdateProgress(int value) {
    m_progress = value;
    m_progressBar->setValue(qBound(0, value, 100));
    m_progressBar->setVisible(value > 0 && value < 100);
}

void FrameStatusBar::ShowLock(bool shown) {
    m_lockShown = shown;
    m_lock->setVisible(shown);
}

bool FrameStatusBar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease && m_picture == QLatin1String(kPageError)) {
        // The labels leave the release to the panel below them: one click, one message.
        event->accept();
        emit PageErrorClicked(m_tag);
        return true;
    }
    return QStatusBar::eventFilter(watched, event);
}

QPixmap FrameStatusBar::Padlock(int size) {
    const qreal dpr = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap pixmap(QSize(size, size) * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    // Shackle, then the body over it.
    p.setPen(QPen(QColor(90, 90, 90), s * 0.12));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(s * 0.28, s * 0.08, s * 0.44, s * 0.5), 0, 180 * 16);
    p.drawLine(QPointF(s * 0.28, s * 0.33), QPointF(s * 0.28, s * 0.48));
    p.drawLine(QPointF(s * 0.72, s * 0.33), QPointF(s * 0.72, s * 0.48));
    p.setPen(QPen(QColor(150, 110, 20), s * 0.06));
    p.setBrush(QColor(230, 180, 50));
    p.drawRoundedRect(QRectF(s * 0.16, s * 0.45, s * 0.68, s * 0.48), s * 0.08, s * 0.08);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(110, 80, 10));
    p.drawEllipse(QPointF(s * 0.5, s * 0.66), s * 0.07, s * 0.07);
    return pixmap;
}
