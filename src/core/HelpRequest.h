#pragma once

#include <functional>
#include <QString>

class QAbstractButton;
class QWidget;

// How the Help buttons and F1 of every dialog and message box reach the help. The dialogs live
// below the frame, which opens the help (in a window usable beside a modal dialog) and installs
// itself here.
namespace helprequest {

using Handler = std::function<void(const QString& topic)>;
// One handler for the whole program; none: help requests do nothing.
void SetHandler(Handler handler);
void Show(const QString& topic);

// The dialog's Help button and F1 anywhere in it open the topic (asked for each time, so a
// dialog whose subject changes can answer differently). `helpButton` may be null: F1 only.
void Bind(QWidget* dialog, QAbstractButton* helpButton, std::function<QString()> topic);
void Bind(QWidget* dialog, QAbstractButton* helpButton, const QString& topic);

} // namespace helprequest
