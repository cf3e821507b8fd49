#pragma once

#include <functional>
#include <QString>

class QDialog;
class QWidget;

// Every message box of the program goes through MsgBox(). Texts keep their carriage returns
// in the canonical form; they become line breaks only when the box is drawn. Tests install an
// answerer that records each box and returns a scripted button.
namespace msgbox {

enum Icon { NoIcon = 0, Critical = 16, Question = 32, Exclamation = 48, Information = 64 };
enum Buttons { OKOnly = 0, OKCancel = 1, AbortRetryIgnore = 2, YesNoCancel = 3, YesNo = 4, RetryCancel = 5 };
enum Result { OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7, Help = 8 };

struct Request {
    QString text;
    QString title;
    Icon icon = NoIcon;
    Buttons buttons = OKOnly;
    int defaultButton = 1;   // 1st, 2nd or 3rd button
    bool helpButton = false; // an extra Help button, also F1 (shows the help beside the box, which stays)
    QString helpTopic;
};

using Answerer = std::function<Result(const Request&)>;

// Shows the box (or asks the installed answerer) and returns the pressed button.
Result Show(const Request& request);

// Installs a replacement for the real boxes; an empty function restores them.
void SetAnswerer(Answerer answerer);

// The text as drawn: CR LF, lone CR and lone LF each become one line break.
QString DisplayText(const QString& canonical);

} // namespace msgbox

// The familiar call: text, buttons and icon, title.
msgbox::Result MsgBox(const QString& text, msgbox::Buttons buttons = msgbox::OKOnly,
                      msgbox::Icon icon = msgbox::NoIcon, const QString& title = QString(),
                      int defaultButton = 1);

// Carriage return and CR LF, as the message texts are written.
inline const QString CR = QStringLiteral("\r");
inline const QString CRLF = QStringLiteral("\r\n");

// Modal dialogs of the program are run through RunModal(), so tests can drive a real dialog
// (fill its fields, press its buttons) without a nested event loop.
namespace modal {
using Runner = std::function<int(QDialog&)>;
int RunModal(QDialog& dialog);
void SetRunner(Runner runner);
} // namespace modal

// File dialogs, likewise replaceable in tests. Filters use the "Name|*.ext|Name|*.*" form.
namespace filedialogs {
struct Request {
    bool save = false;
    QString title;
    QString folder;
    QString fileName;
    QString filter;
    bool confirmOverwrite = true;
    bool mustExist = false;
};
using Answerer = std::function<QString(const Request&)>;
// Returns the chosen path, or the empty text when the user cancelled.
QString Ask(const Request& request, QWidget* parent = nullptr);
void SetAnswerer(Answerer answerer);
} // namespace filedialogs
