#pragma once

#include <QObject>
#include <QString>

// Carries the home page change to whoever listens (the browse window's panes).
class HomePageNotifier : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
signals:
    void HomePageChanged(const QString& url);
};

// The logged-in user's home page, the page every pane's Home opens; the Internet Options
// dialog changes it.
namespace UserHomePage {

// The program's start page unless the user chose another.
QString Get();
// Stores the user's home page (the empty text: the start page again) and tells the notifier's
// listeners.
void Set(const QString& url);
// Emits HomePageChanged(url) after Set, so that open panes can follow.
HomePageNotifier* Notifier();

} // namespace UserHomePage
