#pragma once

#include <csignal>
#include <gtest/gtest.h>
#include <memory>
#include <QtTest>
#include <QtWidgets>
#include <stdexcept>

#include "core/Settings.h"
#include "frame/FrameToolbar.h"
#include "frame/MainWindow.h"
#include "support/FakePane.h"
#include "support/TestSupport.h"

// A real store, real users and a real frame started through its own start-up (the login dialog
// answered by a script), with FakePanes for the pages. The process never ends: the frame's
// requests to end it are recorded.
class StandaloneWindow;

namespace frametest {

// A child widget (or action, menu) by type and object name; a missing one fails the test.
template <typename T = QWidget> T& Child(const QObject& parent, const char* name) {
    T* child = parent.findChild<T*>(QLatin1String(name));
    if (!child) throw std::runtime_error(std::string("no child named ") + name);
    return *child;
}

inline FrameToolbar& Toolbar(QWidget& window) {
    return Child<FrameToolbar>(window, "tbr");
}

// The browse window's place in the main window's area.
inline QMdiSubWindow* BrowseSubWindow(MainWindow& frame) {
    return frame.Browse() ? qobject_cast<QMdiSubWindow*>(frame.Browse()->parentWidget()) : nullptr;
}

inline void Trigger(QWidget& frame, const char* action) {
    Child<QAction>(frame, action).trigger();
}

// The boxes shown since the last check, each named by its key in the folder's one table of
// message texts (FrameSupport.cpp); clears the record.
void ExpectBoxes(ScriptedBoxes& boxes, const QStringList& keys);

inline const QString kUser = QStringLiteral("alice");
inline const QString kPassword = QStringLiteral("wonderland");
using EndKinds = QList<ProgramLifeCycle::EndKind>;
inline const EndKinds kOrderly{ProgramLifeCycle::EndKind::Orderly};
inline const EndKinds kImmediate{ProgramLifeCycle::EndKind::Immediate};

class FrameRun {
public:
    FrameRun();
    ~FrameRun();

    // Creates a user as the login dialog does, then forgets the session.
    void CreateUser(const QString& name, const QString& password);

    // Makes the frame and runs its start-up; the login dialog is answered with `user` and
    // `password`, or cancelled when `user` is empty. The browse window's timers are stopped.
    MainWindow& Start(const QString& user = kUser, const QString& password = kPassword);
    // The same for a start-up that ends before the login dialog.
    MainWindow& Launch();
    // kUser with a Link per caption at "http://<caption>.test/", started.
    MainWindow& StartWith(const QStringList& captions);
    // The frame goes, as at the end of the program; the store stays for the next Start.
    void Close();

    MainWindow& frame() { return *m_frame; }
    BrowseWindow& browse();
    FakePane& pane(int i);
    FakePane& pane(const QString& caption) { return pane(index(caption)); }
    // The control index of the Link with this caption.
    int index(const QString& caption);
    // Opens a loaded stand-alone window and makes it the active child window.
    StandaloneWindow& OpenWindow(const QString& url);
    void Activate(QWidget* subWindow);
    // Opens the Link with a click on its button and lets its page load.
    FakePane& open(const QString& caption, const QString& url);
    // Ticks the unload timer until the frame asks to end (at most `max` ticks); returns the ticks.
    int TickUntilEnded(int max = ProgramLifeCycle::kForcedEndTicks);
    static QString Stored(const QString& key, const QString& name) { return core::GetValue(key, name); }

    TempStore store;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    ProgramLifeCycle::StartUpHooks hooks;
    QStringList addresses; // the command line's

    QStringList companionRuns;
    int agreements = 0;
    bool acceptAgreement = true;
    EndKinds ends;

private:
    std::unique_ptr<MainWindow> m_frame;
};

} // namespace frametest
