#pragma once

#include <initializer_list>
#include <QString>

class QHBoxLayout;
class QPushButton;
class QWidget;

// The buttons that close the program's dialogs, made alike in every dialog.
namespace dialogbuttons {

// How a button takes Enter. The default one answers Enter anywhere in the dialog; one that does not
// take it leaves Enter to the default even while it has the focus, so Enter in a field never cancels;
// a plain one keeps the toolkit's way (Enter presses the focused button).
enum class Enter { Default, NotTaken, Plain };

QPushButton* Make(const QString& text, const char* objectName, Enter enter);

// A row with `left` at its start, a stretch, then `right` at its end.
QHBoxLayout* Row(std::initializer_list<QWidget*> left, std::initializer_list<QWidget*> right);

// The usual closing row, right-aligned: "OK" (OkButton, the default), a cancel button (CancelButton,
// "Cancel" unless told) and, when wanted, "&Help" (HelpButton). Only OK takes Enter.
enum class Help { No, Yes };
struct OkCancel {
    explicit OkCancel(Help withHelp, const QString& cancelText = QStringLiteral("Cancel"));

    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QPushButton* help = nullptr; // null without Help
    QHBoxLayout* row = nullptr;  // owned by whoever it is added to
};

} // namespace dialogbuttons
