#include "core/DialogButtons.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace dialogbuttons {

QPushButton* Make(const QString& text, const char* objectName, Enter enter) {
    auto* button = new QPushButton(text);
    button->setObjectName(QLatin1String(objectName));
    switch (enter) {
    case Enter::Default:
        button->setDefault(true);
        break;
    case Enter::NotTaken:
        button->setAutoDefault(false);
        break;
    case Enter::Plain:
        break;
    }
    return button;
}

QHBoxLayout* Row(std::initializer_list<QWidget*> left, std::initializer_list<QWidget*> right) {
    auto* row = new QHBoxLayout;
    for (QWidget* widget : left)
        row->addWidget(widget);
    row->addStretch();
    for (QWidget* widget : right)
        row->addWidget(widget);
    return row;
}

OkCancel::OkCancel(Help withHelp, const QString& cancelText)
    : ok(Make(QStringLiteral("OK"), "cmdOK", Enter::Default)),
      cancel(Make(cancelText, "cmdCancel", Enter::NotTaken)),
      help(withHelp == Help::Yes ? Make(QStringLiteral("&Help"), "cmdHelp", Enter::NotTaken) : nullptr) {
    row = help ? Row({}, {ok, cancel, help}) : Row({}, {ok, cancel});
}

} // namespace dialogbuttons
