#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Errors.h"
#include "core/HelpRequest.h"
#include "core/Log.h"
#include "core/MessageBox.h"
#include "support/TestSupport.h"

TEST(Errors, GuardedRetriesIgnoresAndAborts) {
    TempStore temp; // and a fresh program state before and after
    ScriptedBoxes boxes;
    boxes.Answer(msgbox::Retry).Answer(msgbox::Ignore);
    int attempts = 0;
    // Inside a loop, Ignore goes on with the loop's next statement.
    int done = 0;
    for (int i = 0; i < 3; ++i) {
        Errors::Guarded("mod", "proc", [&] {
            if (i == 1 && attempts++ < 2) throw BgError(5, "bad");
            ++done;
        });
    }
    EXPECT_EQ(attempts, 2); // first try, then the retry; the ignore ends the step
    EXPECT_EQ(done, 2);
    EXPECT_EQ(
        boxes.lastText(),
        QStringLiteral("Error encountered in module 'mod' in function 'proc'. Error Description: bad\r\r"));
    EXPECT_EQ(boxes.lastTitle(), QStringLiteral("Error in Module"));
    EXPECT_EQ(boxes.shown().last().buttons, msgbox::AbortRetryIgnore);
    int aborted = 0;
    Errors::SetAbortHandler([&] { ++aborted; });
    boxes.Answer(msgbox::Abort);
    EXPECT_FALSE(Errors::Guarded("mod", "proc", [] { throw BgError(5, "y"); }));
    EXPECT_TRUE(aborted == 1 && App().EndingOnError);
    Errors::SetAbortHandler({});
}

TEST(Log, WritesOnlyInDiagnosticModeIntoAnExistingFolderAndByDay) {
    TempStore temp;
    const QString folder = core::LogFolder();
    QDir(folder).removeRecursively();
    App().DiagnosticMode = true;
    core::WriteErrorLog("lost"); // the writers do not create the folder
    QDir().mkpath(folder);
    App().DiagnosticMode = false;
    core::WriteSignInLog("nothing");
    App().DiagnosticMode = true;
    Clock::SetNow(QDateTime(QDate(2003, 10, 4), QTime(23, 59, 58)));
    core::WriteLog("first");
    Clock::Advance(5000);
    core::WriteLog("after midnight");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), (QStringList{"Log031004.Log", "Log031005.Log"}));
    EXPECT_EQ(FileBytes(folder + "/Log031004.Log"), "2003-10-04 23:59:58  first\r\n");
    EXPECT_EQ(FileBytes(folder + "/Log031005.Log"), "2003-10-05 00:00:03  after midnight\r\n");
}

namespace {

// Presses the box's button with this role once the box is up.
void PressWhenShown(QMessageBox::StandardButton which) {
    QTimer::singleShot(50, [which] {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible())
                if (QAbstractButton* button = box->button(which)) return button->click();
        PressWhenShown(which); // not up yet
    });
}

} // namespace

// The real message box (no answerer installed): its Help button opens the topic and keeps the box
// for the answer.
TEST(MessageBox, HelpAndF1OpenTheTopicWhileTheBoxStaysUpForTheAnswer) {
    msgbox::SetAnswerer({}); // the real box, drawn off screen
    QStringList topics;
    bool stayedUp = false;
    helprequest::SetHandler([&](const QString& topic) {
        topics << topic;
        stayedUp = QApplication::activeModalWidget() != nullptr;
    });
    msgbox::Request request;
    request.text = QStringLiteral("Import this file?");
    request.buttons = msgbox::YesNo;
    request.helpButton = true;
    request.helpTopic = QStringLiteral("59");
    PressWhenShown(QMessageBox::Help);
    QTimer::singleShot(300, [] {
        if (QWidget* box = QApplication::activeModalWidget()) QTest::keyClick(box, Qt::Key_F1);
        PressWhenShown(QMessageBox::No);
    });
    EXPECT_EQ(msgbox::Show(request), msgbox::No);
    EXPECT_EQ(topics, QStringList({"59", "59"}));
    EXPECT_TRUE(stayedUp);
    helprequest::SetHandler({});
}
