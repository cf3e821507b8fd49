#include "users/MessageWindow.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>

MessageWindow::MessageWindow(QWidget* parent)
    : QFrame(parent,
             Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus) {
    setObjectName(QStringLiteral("frmMsg"));
    setFrameStyle(QFrame::Box | QFrame::Raised);
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("lblMsg"));
    m_label->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 20, 32, 20);
    layout->addWidget(m_label);
}

QString MessageWindow::Text() const {
    return m_label->text();
}

void MessageWindow::ShowMessage(const QString& text, QWidget* over) {
    m_label->setText(text);
    adjustSize();
    if (!over) over = QApplication::activeWindow();
    if (over && over != this) {
        move(over->frameGeometry().center() - rect().center());
    } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    show();
    raise();
    // Let it paint before the work starts; the user cannot act meanwhile.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

namespace {
QPointer<MessageWindow> g_window;
}

MessageWindow* MessageWindow::Instance() {
    if (!g_window) {
        g_window = new MessageWindow;
        // Gone with the application's event loop, never at static destruction.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, g_window.data(), &QObject::deleteLater);
    }
    return g_window;
}

void MessageWindow::ShowText(const QString& text, QWidget* over) {
    Instance()->ShowMessage(text, over);
}

void MessageWindow::HideText() {
    if (!g_window) return;
    g_window->hide();
    g_window->m_label->clear();
}

bool MessageWindow::IsShown() {
    return g_window && g_window->isVisible();
}
