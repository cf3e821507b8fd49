#pragma once

#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "core/AppState.h"
#include "support/TestSupport.h"
#include "users/Accounts.h"
#include "users/PasswordPrompt.h"
#include "users/ProgramEnd.h"

// Helpers shared by the tests of users, logins and Links.
namespace userstest {

// A dialog's widget by its object name; a missing one fails the test at once.
template <typename T = QWidget> T* child(const QObject& dialog, const char* name) {
    T* found = dialog.findChild<T*>(QLatin1String(name));
    if (!found) {
        ADD_FAILURE() << "no widget " << name;
        std::abort();
    }
    return found;
}
inline QLineEdit* edit(const QObject& d, const char* name) {
    return child<QLineEdit>(d, name);
}
inline void click(const QObject& d, const char* name) {
    child<QAbstractButton>(d, name)->click();
}
inline void type(const QObject& d, const char* name, const QString& text) {
    edit(d, name)->setText(text);
}
// The editable user-name list's text box.
inline QLineEdit* nameBox(const QObject& d) {
    return child<QComboBox>(d, "cmbUserName")->lineEdit();
}

inline void showActive(QWidget& window) {
    window.show();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
}

// Creates a user as the login dialog would (answering its question), then forgets the session.
inline void createUser(const QString& name, const QString& password, ScriptedBoxes& boxes) {
    boxes.Answer(msgbox::Yes);
    LoginFields fields{name, password, QString(), password};
    EXPECT_EQ(Accounts().DoNewUser(fields).outcome, LoginStep::Succeeded) << boxes.lastText().toStdString();
    App() = AppState();
}

// The running program's session: this user, with this master password.
inline void runAs(const QString& user, const QString& password) {
    App().CurrentUser = user;
    App().PassPhrase = password;
}

// Creates a user and logs it in.
inline void createAndLogIn(const QString& name, const QString& password, ScriptedBoxes& boxes) {
    createUser(name, password, boxes);
    runAs(name, password);
    App().LoginOK = true;
    boxes.Clear();
}

// Stands in for the frame: counts the requests to end the program.
struct EndRequests {
    int unloads = 0, endsNow = 0;
    EndRequests() {
        ProgramEnd::SetUnloadFrameHandler([this] { ++unloads; });
        ProgramEnd::SetEndNowHandler([this] { ++endsNow; });
    }
    ~EndRequests() {
        ProgramEnd::SetUnloadFrameHandler({});
        ProgramEnd::SetEndNowHandler({});
    }
};

// Answers the password prompt with the given passwords, one OK each, then Exit if still open.
inline std::function<int(QDialog&)> typePasswords(QStringList passwords) {
    return [=](QDialog& d) {
        auto& f = static_cast<PasswordPrompt&>(d);
        for (const QString& password : passwords) {
            type(f, "txtPassword", password);
            click(f, "cmdOK");
            if (f.Result()) break;
        }
        if (!f.Result()) click(f, "cmdCancel");
        return f.result();
    };
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
