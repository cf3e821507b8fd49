// A child process changes a password, creates and deletes a user, or imports and deletes a user,
// over and over until it is killed: afterwards every secret reads under exactly one password and
// every user is either wholly there or wholly gone.
#include <cstdio>
#include <QThread>

#include "core/PasswordChange.h"
#include "core/SecretCipher.h"
#include "core/Settings.h"
#include "links/Links.h"
#include "support/KillRounds.h"
#include "users/DeleteUser.h"
#include "users/SettingsFile.h"
#include "users/UserNames.h"
#include "users/UserOptions.h"
#include "UsersSupport.h"

using namespace core;

namespace {

const char* const kVariable = "BG_USERS_KILL";
const QString kKeeper = QStringLiteral("Keeper");
const QStringList kPasswords = {"pass-a", "pass-b", "pass-c", "pass-d", "pass-e"};
constexpr int kLinks = 20;

QString secret(const QString& what, int i) {
    return QStringLiteral("%1-%2").arg(what).arg(i);
}

// The work of the child: "<what>|<store file>".
void work(const QString& value) {
    const QString what = value.section(QLatin1Char('|'), 0, 0);
    QString error;
    std::unique_ptr<SettingsStore> store = SettingsStore::Open(value.section(QLatin1Char('|'), 1, 1), &error);
    if (!store) {
        std::fprintf(stderr, "child: %s\n", qPrintable(error));
        return;
    }
    SettingsStore::SetCurrent(store.get());
    msgbox::SetAnswerer([](const msgbox::Request&) { return msgbox::Yes; });
    App().CurrentUser = kKeeper;
    if (what == QLatin1String("password")) {
        App().CurrentUser = QStringLiteral("Pat");
        int current = 0;
        while (!Accounts::CheckPassword(App().CurrentUser, kPasswords[current]))
            ++current;
        App().PassPhrase = kPasswords[current];
        Links links(App().CurrentUser); // the running program's Links are re-encrypted too
        KillRounds::Ready();
        for (;;) {
            const int next = (current + 1) % int(kPasswords.size());
            SaveUserPassword(QStringLiteral("Users"), App().CurrentUser, kPasswords[next],
                             kPasswords[current]);
            current = next;
        }
    }
    if (what == QLatin1String("create")) {
        KillRounds::Ready();
        for (;;) {
            Accounts accounts;
            LoginFields fields{QStringLiteral("Ned"), QStringLiteral("ned-pass"), QString(),
                               QStringLiteral("ned-pass")};
            accounts.DoNewUser(fields);
            App().CurrentUser = kKeeper;
            UserDeletion::DeleteUser(QStringLiteral("Ned"));
        }
    }
    const SettingsFile::ReadResult file = SettingsFile::ReadFile(value.section(QLatin1Char('|'), 2, 2));
    if (file.problem != SettingsFile::Problem::None) return;
    const QString& user = file.data.userName;
    KillRounds::Ready();
    for (;;) {
        if (ValueExists(QStringLiteral("Users"), user)) {
            UserDeletion::DeleteUser(user);
            continue;
        }
        SettingsFile::Apply(file.data, true); // a new user, as the import checks
        // The import takes much longer than the deletion: a moment with the user there lets the
        // kills find both states.
        QThread::msleep(2);
    }
}
const void* const g_child = KillRounds::Child(kVariable, work);

class UsersKill : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(g_child, nullptr);
        userstest::createAndLogIn(kKeeper, "keeper-pass", boxes);
        SaveValue(kKeeper, "SearchChoice", "Kept");
    }
    // Keeper and the user count are as they were, but for `more` users.
    void expectOthersUntouched(int more) {
        EXPECT_TRUE(Accounts::CheckPassword(kKeeper, "keeper-pass"));
        EXPECT_EQ(GetValue(kKeeper, "SearchChoice"), QStringLiteral("Kept"));
        EXPECT_EQ(GetValue("General", "Users"), QString::number(1 + more));
    }
    // All of the user, or nothing of it; true when it is there.
    bool wholeOrGone(const QString& user, const QString& password, const std::function<void()>& checkWhole) {
        const bool there = ValueExists("Users", user);
        expectOthersUntouched(there ? 1 : 0);
        if (!there) {
            for (const QString& key : UserNames::Keys(user))
                EXPECT_LT(SettingsStore::Current()->FindKey("Software\\Bramblegate\\" + key), 0)
                    << key.toStdString();
            return false;
        }
        EXPECT_TRUE(Accounts::CheckPassword(user, password));
        App().CurrentUser = user;
        App().PassPhrase = password;
        checkWhole();
        return true;
    }
    TempStore temp;
    ScriptedBoxes boxes;
};

TEST_F(UsersKill, APasswordChangeLeavesEverySecretUnderExactlyOnePassword) {
    userstest::createAndLogIn("Pat", kPasswords[0], boxes);
    {
        Links links("Pat");
        for (int i = 0; i < kLinks; ++i)
            links.Add(secret("caption", i), SecretCipher::EncryptMessage(secret("https://site", i)),
                      SecretCipher::EncryptMessage(secret("user", i)),
                      SecretCipher::EncryptMessage(secret("pw", i)), "", "", false, true);
    }
    UserOptions("Pat").SetSSN("078-05-1120");
    int changed = 0;
    QString last = kPasswords[0];
    KillRounds::Run(kVariable, "password|" + temp.path(), 30, [&](int round) {
        SCOPED_TRACE(round);
        temp.Reopen();
        QStringList valid;
        for (const QString& password : kPasswords)
            if (Accounts::CheckPassword("Pat", password)) valid << password;
        ASSERT_EQ(valid.size(), 1);
        App().CurrentUser = "Pat";
        App().PassPhrase = valid.first();
        Links links("Pat");
        ASSERT_EQ(links.CountUndeleted(), kLinks + 2);
        for (int i = 0; i < kLinks; ++i) {
            const Link* link = links.Item(i + 3);
            EXPECT_EQ(link->URL() + link->UserName() + link->Password(),
                      secret("https://site", i) + secret("user", i) + secret("pw", i));
        }
        EXPECT_EQ(UserOptions("Pat").SSN(), QStringLiteral("078-05-1120"));
        expectOthersUntouched(1);
        if (valid.first() != last) ++changed;
        last = valid.first();
    });
    EXPECT_GT(changed, 15) << "the child was not changing the password when it was killed";
}

TEST_F(UsersKill, ANewUserAndItsDeletionAreWholeOrNotAtAll) {
    int there = 0;
    KillRounds::Run(kVariable, "create|" + temp.path(), 30, [&](int round) {
        SCOPED_TRACE(round);
        temp.Reopen();
        there += wholeOrGone("Ned", "ned-pass", [] {
            EXPECT_EQ(GetValue("Ned", "Version"), AppVersion());
            Links links("Ned");
            ASSERT_EQ(links.CountUndeleted(), 2);
            EXPECT_EQ(links.Item(1)->URL(), QStringLiteral("BGDummy"));
        });
        App().CurrentUser = kKeeper;
    });
    EXPECT_GT(there, 0);
    EXPECT_LT(there, 30);
}

TEST_F(UsersKill, AnImportAndItsDeletionAreWholeOrNotAtAll) {
    // Zoe's settings, exported from another store.
    const QString file = temp.folder() + "/zoe.dat";
    {
        TempStore other;
        userstest::createAndLogIn("Zoe", "zoe-pass", boxes);
        Links links("Zoe");
        for (int i = 0; i < kLinks; ++i)
            links.Add(secret("caption", i), SecretCipher::EncryptMessage(secret("https://site", i)), "",
                      SecretCipher::EncryptMessage(secret("pw", i)), "", "", false, true);
        for (int i = 0; i < kLinks; ++i)
            SaveValue("ZoeHistory", secret("H", i), secret("http://visited.example/", i));
        IniFile ini = SettingsFile::MakeExport("Zoe");
        ASSERT_EQ(ini.Save(file), IniFile::Status::Ok);
    }
    temp.Reopen(); // the other store is gone, and with it the session
    App().CurrentUser = kKeeper;
    int there = 0;
    KillRounds::Run(kVariable, "import|" + temp.path() + "|" + file, 30, [&](int round) {
        SCOPED_TRACE(round);
        temp.Reopen();
        there += wholeOrGone("Zoe", "zoe-pass", [] {
            Links links("Zoe");
            ASSERT_EQ(links.CountUndeleted(), kLinks + 2);
            EXPECT_EQ(links.Item(kLinks + 2)->Password(), secret("pw", kLinks - 1));
            QStringList names, values;
            EXPECT_EQ(EnumValues("Software\\Bramblegate\\ZoeHistory", names, values), kLinks);
        });
        App().CurrentUser = kKeeper;
    });
    EXPECT_GT(there, 0);
    EXPECT_LT(there, 30);
}

} // namespace
