// A child process changes a password, creates and deletes a user, and imports and deletes a user,
// over and over until it is killed: afterwards every secret reads under exactly one password and
// every user is either wholly there or wholly gone.
#include <cstdio>

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

// The work of the child: "<store file>|<Zoe's export file>".
void work(const QString& value) {
    QString error;
    std::unique_ptr<SettingsStore> store = SettingsStore::Open(value.section(QLatin1Char('|'), 0, 0), &error);
    const SettingsFile::ReadResult zoe = SettingsFile::ReadFile(value.section(QLatin1Char('|'), 1, 1));
    if (!store || zoe.problem != SettingsFile::Problem::None) {
        std::fprintf(stderr, "child: %s\n", qPrintable(error));
        return;
    }
    SettingsStore::SetCurrent(store.get());
    msgbox::SetAnswerer([](const msgbox::Request&) { return msgbox::Yes; });
    int current = 0;
    while (!Accounts::CheckPassword("Pat", kPasswords[current]))
        ++current;
    userstest::runAs("Pat", kPasswords[current]);
    Links links("Pat"); // the running program's Links are re-encrypted too
    KillRounds::Ready();
    for (;;) {
        userstest::runAs("Pat", kPasswords[current]);
        const int next = (current + 1) % int(kPasswords.size());
        SaveUserPassword("Users", "Pat", kPasswords[next], kPasswords[current]);
        current = next;
        App().CurrentUser = kKeeper;
        if (ValueExists("Users", "Ned")) {
            UserDeletion::DeleteUser("Ned");
        } else {
            LoginFields fields{"Ned", "ned-pass", QString(), "ned-pass"};
            Accounts().DoNewUser(fields);
            App().CurrentUser = kKeeper;
        }
        if (ValueExists("Users", "Zoe"))
            UserDeletion::DeleteUser("Zoe");
        else
            SettingsFile::Apply(zoe.data, true); // a new user, as the import checks
    }
}
const void* const g_child = KillRounds::Child(kVariable, work);

// All of the user, or nothing of it; true when it is there.
bool wholeOrGone(const QString& user, const QString& password,
                 const std::function<void(Links&)>& checkWhole) {
    if (!ValueExists("Users", user)) {
        for (const QString& key : UserNames::Keys(user))
            EXPECT_LT(SettingsStore::Current()->FindKey("Software\\Bramblegate\\" + key), 0)
                << key.toStdString();
        return false;
    }
    EXPECT_TRUE(Accounts::CheckPassword(user, password));
    userstest::runAs(user, password);
    Links links(user);
    checkWhole(links);
    return true;
}

TEST(UsersKill, PasswordChangesNewUsersImportsAndDeletionsAreWholeOrNotAtAll) {
    ASSERT_NE(g_child, nullptr);
    TempStore temp;
    ScriptedBoxes boxes;
    // Zoe's settings, exported from another store.
    const QString file = temp.folder() + "/zoe.dat";
    {
        TempStore other;
        userstest::createAndLogIn("Zoe", "zoe-pass", boxes);
        Links links("Zoe");
        for (int i = 0; i < kLinks; ++i) {
            links.Add(secret("caption", i), SecretCipher::EncryptMessage(secret("https://site", i)), "",
                      SecretCipher::EncryptMessage(secret("pw", i)), "", "", false, true);
            SaveValue("ZoeHistory", secret("H", i), secret("http://visited.example/", i));
        }
        ASSERT_EQ(SettingsFile::MakeExport("Zoe").Save(file), IniFile::Status::Ok);
    }
    temp.Reopen();
    userstest::createAndLogIn(kKeeper, "keeper-pass", boxes);
    SaveValue(kKeeper, "SearchChoice", "Kept");
    userstest::createAndLogIn("Pat", kPasswords[0], boxes);
    {
        Links links("Pat");
        for (int i = 0; i < kLinks; ++i)
            links.Add(secret("caption", i), SecretCipher::EncryptMessage(secret("https://site", i)),
                      SecretCipher::EncryptMessage(secret("user", i)),
                      SecretCipher::EncryptMessage(secret("pw", i)), "", "", false, true);
    }
    UserOptions("Pat").SetSSN("078-05-1120");

    int changed = 0, ned = 0, zoe = 0;
    QString last = kPasswords[0];
    KillRounds::Run(kVariable, temp.path() + "|" + file, 40, [&](int round) {
        SCOPED_TRACE(round);
        temp.Reopen();
        QStringList valid;
        for (const QString& password : kPasswords)
            if (Accounts::CheckPassword("Pat", password)) valid << password;
        ASSERT_EQ(valid.size(), 1);
        changed += valid.first() != last;
        last = valid.first();
        wholeOrGone("Pat", last, [](Links& links) {
            ASSERT_EQ(links.CountUndeleted(), kLinks + 2);
            for (int i = 0; i < kLinks; ++i) {
                const Link* link = links.Item(i + 3);
                EXPECT_EQ(link->URL() + link->UserName() + link->Password(),
                          secret("https://site", i) + secret("user", i) + secret("pw", i));
            }
            EXPECT_EQ(UserOptions("Pat").SSN(), QStringLiteral("078-05-1120"));
        });
        const bool nedThere = wholeOrGone("Ned", "ned-pass", [](Links& links) {
            EXPECT_EQ(GetValue("Ned", "Version"), AppVersion());
            ASSERT_EQ(links.CountUndeleted(), 2);
            EXPECT_EQ(links.Item(1)->URL(), QStringLiteral("BGDummy"));
        });
        const bool zoeThere = wholeOrGone("Zoe", "zoe-pass", [](Links& links) {
            ASSERT_EQ(links.CountUndeleted(), kLinks + 2);
            EXPECT_EQ(links.Item(kLinks + 2)->Password(), secret("pw", kLinks - 1));
            QStringList names, values;
            EXPECT_EQ(EnumValues("Software\\Bramblegate\\ZoeHistory", names, values), kLinks);
        });
        ned += nedThere;
        zoe += zoeThere;
        // The others are as they were.
        EXPECT_TRUE(Accounts::CheckPassword(kKeeper, "keeper-pass"));
        EXPECT_EQ(GetValue(kKeeper, "SearchChoice"), QStringLiteral("Kept"));
        EXPECT_EQ(GetValue("General", "Users"), QString::number(2 + nedThere + zoeThere));
    });
    // The child was at work when it was killed: every kind of change was caught half-done.
    EXPECT_TRUE(changed > 10 && ned > 0 && ned < 40 && zoe > 0 && zoe < 40)
        << changed << " " << ned << " " << zoe;
}

} // namespace
