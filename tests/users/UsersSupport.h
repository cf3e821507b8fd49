#pragma once

#include <functional>

#include "LoginSupport.h"
#include "users/ProgramEnd.h"

// Helpers shared by the tests of deletion, the password prompt and settings transfer.
namespace userstest {

// Stands in for the frame: counts the requests to end the program, as the frame's handlers
// would receive them, and removes itself at the end of the test.
struct EndRequests {
    int unloads = 0;
    int endsNow = 0;
    EndRequests() {
        ProgramEnd::SetUnloadFrameHandler([this] { ++unloads; });
        ProgramEnd::SetEndNowHandler([this] { ++endsNow; });
    }
    ~EndRequests() {
        ProgramEnd::SetUnloadFrameHandler({});
        ProgramEnd::SetEndNowHandler({});
    }
};

// Creates a user (answering the confirmation) and logs it in as the login dialog would.
inline void createAndLogIn(const QString& name, const QString& password, ScriptedBoxes& boxes) {
    logintest::createUser(name, password, boxes);
    App().CurrentUser = name;
    App().PassPhrase = password;
    App().LoginOK = true;
    boxes.Clear();
}

// Every key and value of the store, for "nothing changed".
inline QStringList dumpStore() {
    QStringList out;
    SettingsStore* store = SettingsStore::Current();
    std::function<void(const QString&)> walk = [&](const QString& path) {
        const SettingsStore::KeyId key = path.isEmpty() ? SettingsStore::kRoot : store->FindKey(path);
        for (const SettingsStore::Value& v : store->Values(key))
            out << path + " | " + v.name + " = " + QString::fromUtf8(v.data);
        for (int i = 0;; ++i) {
            const QString name = store->SubKeyName(key, i);
            if (name.isNull()) break;
            walk(path.isEmpty() ? name : path + "\\" + name);
        }
    };
    walk(QString());
    return out;
}

} // namespace userstest
