// A settings file written from the documented layout by a tool of its own, with none of our code
// (the login corpus's writer, in Python), must start the program: no first-run agreement, the
// master password accepted, and every field of its Link given back decrypted.
#include <QProcess>
#include <QStandardPaths>

#include "core/AppState.h"
#include "FrameSupport.h"
#include "links/Links.h"

using namespace frametest;

TEST(ExternalSettings, AStoreWrittenByAnotherToolStartsLogsInAndGivesBackItsLink) {
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty()) GTEST_SKIP() << "python3 is not installed";
    FrameRun run;
    // The cipher of this user name holds the bytes 1 and 17 (escaped as <CHR..>), that of the
    // password the byte 0x8D, which has no Windows-1252 letter of its own.
    const QString master = QStringLiteral("Heron#4812");
    const QString url = QStringLiteral("http://127.0.0.1:9/p/plain-post/");
    const QString name = QStringLiteral("zoë0@mail.test");
    const QString password = QStringLiteral("Grün€100");
    QProcess writer;
    writer.start(python, {QStringLiteral(BG_CORPUS_DIR "/settings_writer.py"), run.store.path(),
                          QStringLiteral("tester"), master, QStringLiteral("plain-post"), url, name, password,
                          QStringLiteral("Business")});
    ASSERT_TRUE(writer.waitForFinished(30000));
    ASSERT_EQ(writer.exitCode(), 0) << writer.readAllStandardError().toStdString();
    run.store.Reopen();

    run.Start(QStringLiteral("Tester"), master);
    EXPECT_EQ(run.agreements, 0);
    EXPECT_EQ(run.companionRuns, QStringList());
    EXPECT_EQ(run.boxes.texts(), QStringList());
    ASSERT_TRUE(App().LoginOK);
    ASSERT_TRUE(run.browse().HasLinks());
    const Links& links = run.browse().links();
    ASSERT_EQ(links.CountUndeleted(), 1);
    const Link* link = links.ControlOrderItem(0);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->Caption(), QStringLiteral("plain-post"));
    EXPECT_EQ(link->URL(), url);
    // Decrypted after the login, whose per-user upgrade must not have touched it.
    EXPECT_EQ(link->UserName(), name);
    EXPECT_EQ(link->pw(), password);
    EXPECT_EQ(link->SelectOption(), QStringLiteral("Business"));
    EXPECT_TRUE(link->AutoNavigate());
    EXPECT_TRUE(link->ReqLogin());
    EXPECT_TRUE(link->HidePopUps());
}
