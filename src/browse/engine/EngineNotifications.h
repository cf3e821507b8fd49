#pragma once

#include <QObject>
#include <QString>

// The notifications of sites the user let show them, from every profile the program makes
// (WebProfiles::OnEveryProfile), handed on as plain text for the program to show.
class EngineNotifications : public QObject {
    Q_OBJECT
public:
    explicit EngineNotifications(QObject* parent = nullptr);

signals:
    // `site`: the host that sent it.
    void Shown(const QString& site, const QString& title, const QString& message);
};
