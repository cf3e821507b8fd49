#pragma once

#include <QStringList>

#include "core/AppState.h"
#include "core/Settings.h"
#include "support/TestSupport.h"
#include "users/UserOptions.h"

// A logged-in user over a real store in a temp folder, with real options.
class LoggedInUser {
public:
    explicit LoggedInUser(const QString& user = QStringLiteral("Ann"))
        : m_options((App().CurrentUser = user, user)) {
        App().Options = &m_options;
    }
    ~LoggedInUser() { App().Options = nullptr; }
    UserOptions& options() { return m_options; }
    TempStore& temp() { return m_temp; }
    const QString& user() const { return App().CurrentUser; }

    // Name = value pairs of one of the user's keys, in the store's order.
    QStringList Stored(const QString& keySuffix) const {
        QStringList names, values, out;
        const int n = core::EnumValues(
            QStringLiteral("Software\\Bramblegate\\") + App().CurrentUser + keySuffix, names, values);
        for (int i = 0; i < n; ++i)
            out << names[i] + QLatin1Char('=') + values[i];
        return out;
    }

private:
    TempStore m_temp;
    UserOptions m_options;
};
