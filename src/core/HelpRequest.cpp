#include "core/HelpRequest.h"

#include <QAbstractButton>
#include <QShortcut>
#include <QWidget>

namespace helprequest {
namespace {
Handler g_handler;
} // namespace

void SetHandler(Handler handler) {
    g_handler = std::move(handler);
}

void Show(const QString& topic) {
    if (g_handler) g_handler(topic);
}

void Bind(QWidget* dialog, QAbstractButton* helpButton, std::function<QString()> topic) {
    const auto show = [topic] { Show(topic()); };
    if (helpButton) QObject::connect(helpButton, &QAbstractButton::clicked, dialog, show);
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), dialog);
    f1->setObjectName(QStringLiteral("shortcutHelp"));
    QObject::connect(f1, &QShortcut::activated, dialog, show);
}

void Bind(QWidget* dialog, QAbstractButton* helpButton, const QString& topic) {
    Bind(dialog, helpButton, [topic] { return topic; });
}

} // namespace helprequest
