#include <gtest/gtest.h>

#include "core/AppState.h"
#include "core/Clock.h"
#include "core/SecretCipher.h"
#include "links/Link.h"
#include "support/TestSupport.h"

namespace {

// Records the notifications; PasswordSent with the flag and the time the Link had as it arrived.
class RecordingOwner : public LinkOwner {
public:
    explicit RecordingOwner(const Link* link) : m_link(link) {}
    QStringList calls;
    void PasswordSent(int index) override {
        calls << QStringLiteral("PasswordSent %1 %2 %3")
                     .arg(index)
                     .arg(m_link->PasswordSent())
                     .arg(m_link->PasswordSentTime().toString("ss"));
    }
    void LoggedIn(int index) override { calls << QStringLiteral("LoggedIn %1").arg(index); }
    void LoginAssumed(int index) override { calls << QStringLiteral("LoginAssumed %1").arg(index); }
    void NavigationError(int index) override { calls << QStringLiteral("NavigationError %1").arg(index); }

private:
    const Link* m_link;
};

} // namespace

TEST(Link, SecretsAreHeldEncryptedAndDecryptedOnceOnRead) {
    TempStore temp;
    App().PassPhrase = "master1";
    Link link;
    // A fresh record reads empty without any decryption.
    EXPECT_EQ(link.URL() + link.Password() + link.UserNameEnc(), QString());
    const QString pw = SecretCipher::EncryptMessage("s3cret!");
    link.SetURL(SecretCipher::EncryptMessage("https://bank.example/login"));
    link.SetUserName(SecretCipher::EncryptMessage("jdoe"));
    link.SetPassword(pw);
    EXPECT_EQ(link.PasswordEnc(), pw);
    EXPECT_EQ(QStringList({link.URL(), link.UserName(), link.Password()}),
              QStringList({"https://bank.example/login", "jdoe", "s3cret!"}));
    // The plain text is cached: with another pass phrase in force, setting the same encrypted text
    // again leaves it alone, while a different one is decrypted afresh.
    App().PassPhrase = "other";
    link.SetPassword(pw);
    EXPECT_EQ(link.Password(), QStringLiteral("s3cret!"));
    link.SetPassword(SecretCipher::EncryptMessage("second"));
    EXPECT_EQ(link.Password(), QStringLiteral("second"));
    link.SetPassword(QString());
    EXPECT_EQ(link.Password(), QString());
}

TEST(Link, LoginSettersNotifyTheOwnerSynchronouslyAndInOrder) {
    TempStore temp;
    Link link;
    link.SetIndex(4);
    link.SetPasswordSent(true); // without an owner nothing breaks
    link.SetPasswordSent(false);
    RecordingOwner owner(&link);
    link.SetOwner(&owner);
    const QDateTime t0 = QDateTime(QDate(2024, 5, 1), QTime(10, 0, 0));
    Clock::SetNow(t0);
    link.SetPasswordSent(true);
    Clock::Advance(3000);
    link.SetPasswordSent(true);
    EXPECT_EQ(link.PasswordSentTime(), t0.addSecs(3));
    link.SetPasswordSent(false); // tells nobody
    EXPECT_TRUE(link.PasswordSentTime().isNull());
    link.SetLoggedIn(true);
    link.SetLoggedIn(true); // already true: silent
    link.SetLoginAssumed(true);
    link.SetLoginAssumed(true);
    link.SetNavigationError(true);
    link.SetNavigationError(true); // every true counts
    link.SetNavigationError(false);
    link.SetLoggedIn(false);
    link.SetLoggedIn(true); // false then true: again
    // The owner saw the new flag but not yet the new time.
    EXPECT_EQ(owner.calls,
              (QStringList{"PasswordSent 4 1 ", "PasswordSent 4 1 00", "LoggedIn 4", "LoginAssumed 4",
                           "NavigationError 4", "NavigationError 4", "LoggedIn 4"}));
    EXPECT_FALSE(link.NavigationError());
}
