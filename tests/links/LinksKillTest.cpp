#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QRandomGenerator>
#include <QRegularExpression>

#include "core/AppState.h"
#include "core/SecretCipher.h"
#include "core/Settings.h"
#include "links/Links.h"
#include "support/KillRounds.h"
#include "support/TestSupport.h"

// A child process that saves the same 100 Links over and over, each round with a new
// generation number in every caption and a changed button order, until it is killed. The test
// program becomes that child when BG_LINKS_SAVER names a store file.

namespace {

const char* const kSaverVariable = "BG_LINKS_SAVER";
const QString kUser = QStringLiteral("saver");
const QString kPassPhrase = QStringLiteral("saverpw1");
constexpr int kLinkCount = 100;

QString captionFor(int id, int generation) {
    return QStringLiteral("Link %1 gen %2").arg(id).arg(generation);
}
// The address and the password of each Link, by its id.
const QString kUrl = QStringLiteral("https://site%1.example/"), kPassword = QStringLiteral("pw%1");

void runSaver(const QString& path) {
    QString error;
    std::unique_ptr<SettingsStore> store = SettingsStore::Open(path, &error);
    if (!store) {
        std::fprintf(stderr, "saver: %s\n", qPrintable(error));
        std::_Exit(2);
    }
    SettingsStore::SetCurrent(store.get());
    App().CurrentUser = kUser;
    App().PassPhrase = kPassPhrase;
    Links links(kUser);
    int generation = links.Item(1)->NavigateAfterLogin().toInt();
    KillRounds::Ready();
    QRandomGenerator random(quint32(QCoreApplication::applicationPid()));
    for (int round = 0; round < 100000; ++round) {
        ++generation;
        for (Link* link : links) {
            const int id = link->SelectOption().toInt();
            link->SetCaption(captionFor(id, generation));
            link->SetNavigateAfterLogin(QString::number(generation));
        }
        links.MoveLink(1 + int(random.bounded(kLinkCount)), 1 + int(random.bounded(kLinkCount)));
        links.SaveLinks(generation % 2 == 0);
    }
}
const void* const g_saver = KillRounds::Child(kSaverVariable, runSaver);

// Checks that the store holds one whole set of the 100 Links; returns its generation.
int checkCompleteSet() {
    Links links(kUser);
    EXPECT_EQ(links.Count(), kLinkCount);
    QSet<int> ids, orders, generations;
    static const QRegularExpression pattern(QStringLiteral("^Link (\\d+) gen (\\d+)$"));
    for (Link* link : links) {
        const auto match = pattern.match(link->Caption());
        const int id = match.captured(1).toInt();
        EXPECT_TRUE(match.hasMatch()) << link->Caption().toStdString();
        EXPECT_EQ(link->SelectOption().toInt(), id);
        EXPECT_EQ(link->URL() + link->Password(), kUrl.arg(id) + kPassword.arg(id));
        ids << id;
        orders << link->ControlOrder();
        generations << match.captured(2).toInt();
    }
    EXPECT_EQ(ids.size(), kLinkCount) << "a Link is missing or there twice";
    EXPECT_EQ(orders.size(), kLinkCount) << "the button order has a hole";
    EXPECT_EQ(generations.size(), 1) << "Links of two generations in one store";
    EXPECT_FALSE(core::ValueExists(kUser, QStringLiteral("Caption%1").arg(kLinkCount + 1)));
    return generations.isEmpty() ? -1 : *generations.begin();
}

} // namespace

TEST(LinksKill, AKilledSaveLeavesTheOldOrTheNewSetNeverNone) {
    ASSERT_NE(g_saver, nullptr);
    TempStore temp;
    App().CurrentUser = kUser;
    App().PassPhrase = kPassPhrase;
    {
        Links links(kUser);
        for (int id = 0; id < kLinkCount; ++id)
            links.Add(captionFor(id, 0), SecretCipher::EncryptMessage(kUrl.arg(id)), "",
                      SecretCipher::EncryptMessage(kPassword.arg(id)), QString::number(id), "0", false, true);
    }
    int generation = checkCompleteSet();

    int progressed = 0;
    KillRounds::Run(kSaverVariable, temp.path(), 30, [&](int round) {
        SCOPED_TRACE(round);
        temp.Reopen();
        const int now = checkCompleteSet();
        EXPECT_GE(now, generation) << "a save went missing after it had been committed";
        if (now > generation) ++progressed;
        generation = now;
    });
    // The saver really was saving when it was killed (on a loaded machine a set of saves can take
    // longer than the moment before a kill, so not every round moves on).
    EXPECT_GT(progressed, 5);
}
