#pragma once

#include <gtest/gtest.h>
#include <memory>
#include <QList>
#include <QStringList>

#include "support/FakePane.h"
#include "frame/FrameToolbar.h"
#include "frame/MainWindow.h"
#include "support/TestSupport.h"

// A real store, real users and a real frame started through its own start-up (the login dialog
// answered by a script), with FakePanes for the pages. The process never ends: the frame's
// requests to end it are recorded.
namespace frametest {

// The main window's button bar.
inline FrameToolbar& Toolbar(QWidget& window) {
    return *window.findChild<FrameToolbar*>(QStringLiteral("tbr"));
}

inline const QString kUser = QStringLiteral("alice");
inline const QString kPassword = QStringLiteral("wonderland");

class FrameRun {
public:
    FrameRun();
    ~FrameRun();

    // Creates a user as the login dialog does, then forgets the session.
    void CreateUser(const QString& name, const QString& password);
    // Adds a Link (caption, address) to a user's stored Links.
    void AddLink(const QString& user, const QString& password, const QString& caption, const QString& url);

    // Makes the frame and runs its start-up; the login dialog is answered with `user` and
    // `password`, or cancelled when `user` is empty. The browse window's timers are stopped.
    MainWindow& Start(const QString& user = kUser, const QString& password = kPassword);
    // The frame goes, as at the end of the program; the store stays for the next Start.
    void Close();

    MainWindow& frame() { return *m_frame; }
    BrowseWindow& browse();
    FakePane& pane(int i);
    // The control index of the Link with this caption.
    int index(const QString& caption);
    // Opens the Link with a click on its button and lets its page load.
    FakePane& open(const QString& caption, const QString& url);
    // Ticks the unload timer until the frame asks to end (at most `max` ticks); returns the ticks.
    int TickUntilEnded(int max = ProgramLifeCycle::kForcedEndTicks);
    // A stored value of the user.
    static QString Stored(const QString& key, const QString& name);

    TempStore store;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    ProgramLifeCycle::StartUpHooks hooks;
    QStringList addresses; // the command line's

    QStringList companionRuns;
    int agreements = 0;
    bool acceptAgreement = true;
    QList<ProgramLifeCycle::EndKind> ends;

private:
    std::unique_ptr<MainWindow> m_frame;
};

} // namespace frametest
