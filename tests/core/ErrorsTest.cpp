#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

#include "core/AppPaths.h"
#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Errors.h"
#include "core/Log.h"
#include "support/TestSupport.h"

TEST(Errors, ReportErrorShowsTheFixedFormAndMapsButtons) {
    ScriptedBoxes boxes;
    boxes.Answer(msgbox::Retry).Answer(msgbox::Ignore).Answer(msgbox::Abort);
    EXPECT_EQ(Errors::ReportError("frmDeleteUser", "DeleteUser", "Line one\r\nLine two"), 1);
    EXPECT_EQ(boxes.lastText(), QStringLiteral("Error encountered in module 'frmDeleteUser' in function "
                                               "'DeleteUser'. Error Description: Line one\r\nLine two\r\r"));
    EXPECT_EQ(boxes.lastTitle(), QStringLiteral("Error in Module"));
    EXPECT_EQ(boxes.shown().last().buttons, msgbox::AbortRetryIgnore);
    EXPECT_EQ(Errors::ReportError("m", "p", "d"), 2);
    EXPECT_EQ(Errors::ReportError("m", "p", "d"), 4);
}

TEST(Errors, SourceChain) {
    EXPECT_EQ(Errors::ChainSource("Links.Item", "Links", "Add"), QStringLiteral("Links.Add.Item"));
    EXPECT_EQ(Errors::ChainSource("links.add", "Links", "Add"), QStringLiteral("Links.Add"));
    EXPECT_EQ(Errors::ChainSource("modEncrypt.EncryptMessage PROC", "Links", "SaveLinks"),
              QStringLiteral("Links.SaveLinks"));
    try {
        Errors::RaiseError(BgError(0, "Links.Item", "gone"), "Links", "UpdateLink", "gone");
    } catch (const BgError& e) {
        EXPECT_EQ(e.Number(), ErrNo::GeneralObject);
        EXPECT_EQ(e.Source(), QStringLiteral("Links.UpdateLink.Item"));
    }
}

TEST(Errors, GuardedRetriesIgnoresAndAborts) {
    App() = AppState();
    ScriptedBoxes boxes;
    boxes.Answer(msgbox::Retry).Answer(msgbox::Ignore);
    int attempts = 0;
    // Inside a loop, Ignore goes on with the loop's next statement.
    int done = 0;
    for (int i = 0; i < 3; ++i) {
        Errors::Guarded("mod", "proc", [&] {
            if (i == 1 && attempts++ < 2) throw BgError(5, "mod.proc", "bad");
            ++done;
        });
    }
    EXPECT_EQ(attempts, 2); // first try, then the retry; the ignore ends the step
    EXPECT_EQ(done, 2);
    int aborted = 0;
    Errors::SetAbortHandler([&] { ++aborted; });
    boxes.Answer(msgbox::Abort);
    EXPECT_FALSE(Errors::Guarded("mod", "proc", [] { throw BgError(5, "x", "y"); }));
    EXPECT_EQ(aborted, 1);
    EXPECT_TRUE(App().EndingOnError);
    Errors::SetAbortHandler({});
    App() = AppState();
}

TEST(Log, WritesOnlyInDiagnosticModeAndByDay) {
    TempStore temp;
    const QString folder = core::LogFolder();
    QDir(folder).removeRecursively();
    // Nothing without diagnostic mode; in it, the writers do not create the folder.
    for (const bool diagnostic : {false, true}) {
        App().DiagnosticMode = diagnostic;
        core::WriteLog("nothing");
        core::WriteSignInLog("nothing");
        core::WriteErrorLog("nothing");
        EXPECT_FALSE(QDir(folder).exists());
    }
    QDir().mkpath(folder);
    Clock::SetNow(QDateTime(QDate(2003, 10, 4), QTime(23, 59, 58)));
    core::WriteLog("first");
    core::WriteLog("second");
    Clock::Advance(5000);
    core::WriteLog("after midnight");
    const auto read = [&](const char* name) {
        QFile file(folder + "/" + name);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    const QString one = read("Log031004.Log");
    EXPECT_EQ(one.count("\r\n"), 2);
    EXPECT_TRUE(one.contains("  first\r\n"));
    EXPECT_TRUE(read("Log031005.Log").endsWith("  after midnight\r\n"));

    ScriptedBoxes boxes;
    boxes.Answer(msgbox::OK);
    EXPECT_TRUE(core::WriteFile(folder + "/x.txt", "a", "a"));
    EXPECT_FALSE(core::WriteFile(folder + "/y.txt", "a", "X"));
    EXPECT_EQ(boxes.lastText(), QStringLiteral("Invalid argument for sMode"));
    EXPECT_EQ(boxes.lastTitle(), QStringLiteral("WriteFile Function"));
    EXPECT_FALSE(QFile::exists(folder + "/y.txt"));
    EXPECT_TRUE(core::WriteFile(folder + "/x.txt", "b", "O"));
    EXPECT_EQ(read("x.txt"), QStringLiteral("b\r\n"));
}
