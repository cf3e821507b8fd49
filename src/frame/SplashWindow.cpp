#include "frame/SplashWindow.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "core/AppState.h"
#include "frame/AboutBox.h"

SplashWindow::SplashWindow(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setStyleSheet(QStringLiteral("#frmSplash { background: #f7f8f5; border: 1px solid #2f5d3a; }"
                                 "#splashHeader { background: #2f5d3a; }"
                                 "#splashHeader QLabel { color: #ffffff; }"));

    auto* header = new QWidget;
    header->setObjectName(QStringLiteral("splashHeader"));
    header->setAttribute(Qt::WA_StyledBackground);
    auto* picture = new QLabel;
    picture->setPixmap(AboutBox::ProductIcon().pixmap(48, 48));
    auto* name = new QLabel(QString::fromLatin1(ProductName()));
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    name->setFont(big);
    auto* headerLayout = new QHBoxLayout(header);
    headerLayout->setContentsMargins(18, 14, 18, 14);
    headerLayout->addWidget(picture);
    headerLayout->addSpacing(10);
    headerLayout->addWidget(name, 1);

    auto* version = new QLabel(QStringLiteral("Version ") + AboutBox::VersionText());
    version->setObjectName(QStringLiteral("lblVersion"));
    m_message = new QLabel(QStringLiteral("Starting..."));
    m_message->setObjectName(QStringLiteral("lblMessage"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    layout->addWidget(header);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(18, 12, 18, 14);
    body->addWidget(version);
    body->addWidget(m_message);
    layout->addLayout(body);
    setFixedSize(360, sizeHint().height());
}

void SplashWindow::ShowCentered() {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        move(available.center() - QPoint(width() / 2, height() / 2));
    }
    show();
    raise();
    repaint();
}
