#include "browse/engine/EngineNotifications.h"

#include <memory>
#include <QPointer>
#include <QWebEngineNotification>
#include <QWebEngineProfile>

#include "browse/engine/WebProfiles.h"

EngineNotifications::EngineNotifications(QObject* parent) : QObject(parent) {
    WebProfiles::OnEveryProfile(this, [this](QWebEngineProfile* profile) {
        QPointer<EngineNotifications> self(this);
        profile->setNotificationPresenter([self](std::unique_ptr<QWebEngineNotification> notification) {
            if (!self) return;
            notification->show();
            emit self->Shown(notification->origin().host(), notification->title(), notification->message());
            notification->close();
        });
    });
}
