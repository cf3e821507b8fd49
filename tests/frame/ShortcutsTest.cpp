// The frame's keyboard: every key sequence belongs to one command only, and the standard keys
// reach the active child window, whether that is the browse window or a stand-alone window.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QShortcut>
#include <QTest>

#include "browse/PopupPolicy.h"
#include "browse/StandaloneWindow.h"
#include "core/AppState.h"
#include "frame/FindBar.h"
#include "frame/MainWindow.h"
#include "FrameSupport.h"

using namespace frametest;

namespace {

// Every enabled action and shortcut under the frame, by the key sequences that trigger them.
QMultiMap<QString, QString> KeyOwners(QWidget& frame) {
    QSet<QAction*> actions;
    for (QAction* action : frame.findChildren<QAction*>())
        actions.insert(action);
    for (QWidget* widget : frame.findChildren<QWidget*>())
        for (QAction* action : widget->actions())
            actions.insert(action);
    for (QAction* action : frame.actions())
        actions.insert(action);
    QMultiMap<QString, QString> owners;
    for (QAction* action : actions) {
        if (!action->isEnabled() || action->shortcutContext() == Qt::WidgetShortcut) continue;
        for (const QKeySequence& keys : action->shortcuts())
            owners.insert(keys.toString(), action->objectName() + QLatin1Char('/') + action->text());
    }
    for (QShortcut* shortcut : frame.findChildren<QShortcut*>()) {
        if (!shortcut->isEnabled() || shortcut->context() == Qt::WidgetShortcut) continue;
        for (const QKeySequence& keys : shortcut->keys())
            owners.insert(keys.toString(), QStringLiteral("QShortcut ") + shortcut->parent()->objectName());
    }
    return owners;
}

QStringList SharedKeys(QWidget& frame) {
    const QMultiMap<QString, QString> owners = KeyOwners(frame);
    QStringList shared;
    for (const QString& keys : owners.uniqueKeys())
        if (owners.count(keys) > 1) shared << keys + QStringLiteral(": ") + owners.values(keys).join(", ");
    return shared;
}

struct KeysRun : FrameRun {
    KeysRun() {
        CreateUser(kUser, kPassword);
        AddLink(kUser, kPassword, QStringLiteral("A"), QStringLiteral("http://a.test/"));
        Start();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame()));
        frame().activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&frame()));
        open(QStringLiteral("A"), QStringLiteral("http://a.test/"));
    }
    FakePane& page() { return pane(index(QStringLiteral("A"))); }
    StandaloneWindow* openWindow(const QString& url) {
        StandaloneWindow* win = browse().PopUps().OpenNewWin(url, true, nullptr, true, QString());
        if (win) static_cast<FakePane*>(win->Pane())->SimulateLoad(url, {}, QStringLiteral("Stand-alone"));
        return win;
    }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(&frame(), k, m); }
};

TEST(Shortcuts, NoTwoEnabledCommandsShareAKeySequence) {
    KeysRun run;
    EXPECT_EQ(SharedKeys(run.frame()), QStringList());
    // Stand-alone windows bring their own window commands along.
    ASSERT_TRUE(run.openWindow(QStringLiteral("http://n.test/")));
    ASSERT_TRUE(run.openWindow(QStringLiteral("http://m.test/")));
    EXPECT_EQ(SharedKeys(run.frame()), QStringList());
}

TEST(Shortcuts, StandardKeysReachTheActiveChildWindow) {
    KeysRun run;
    MainWindow& frame = run.frame();
    FakePane& page = run.page();
    page.SetCanGoBack(true);
    page.SetCanGoForward(true);
    page.ClearRecords();

    // The browse window: back, forward, refresh, stop.
    run.key(Qt::Key_Left, Qt::AltModifier);
    run.key(Qt::Key_Right, Qt::AltModifier);
    run.key(Qt::Key_F5);
    run.key(Qt::Key_Escape);
    EXPECT_EQ(page.calls(), QStringList({"GoBack", "GoForward", "Refresh", "Stop"}));

    // A stand-alone window takes the keys while it is the active one.
    StandaloneWindow* first = run.openWindow(QStringLiteral("http://m.test/"));
    StandaloneWindow* win = run.openWindow(QStringLiteral("http://n.test/"));
    ASSERT_TRUE(first && win);
    auto* other = static_cast<FakePane*>(win->Pane());
    ASSERT_EQ(frame.ActiveChild(), static_cast<ChildWindow*>(win));
    other->ClearRecords();
    page.ClearRecords();
    run.key(Qt::Key_F5);
    run.key(Qt::Key_Escape);
    EXPECT_EQ(other->calls(), QStringList({"Refresh", "Stop"}));
    EXPECT_EQ(page.calls(), QStringList());
    // The address keys put the keyboard into its address box, every time (the menu item shows
    // or hides the box; the keys never hide it).
    for (Qt::Key k : {Qt::Key_L, Qt::Key_L, Qt::Key_D, Qt::Key_F6}) {
        run.key(k, k == Qt::Key_F6 ? Qt::NoModifier : k == Qt::Key_D ? Qt::AltModifier : Qt::ControlModifier);
        EXPECT_TRUE(win->AddrBarShown());
        EXPECT_TRUE(WaitFor([&] { return win->AddressEdit()->hasFocus(); }, 1000));
        frame.setFocus();
    }
    QAction* addrBar = frame.findChild<QAction*>(QStringLiteral("mnuNavigateAddrBar"));
    QMenu* navigate = frame.findChild<QMenu*>(QStringLiteral("mnuNavigate"));
    addrBar->trigger();
    EXPECT_FALSE(win->AddrBarShown());
    EXPECT_FALSE(addrBar->isChecked());
    // The check mark follows the window the menu is opened over.
    frame.findChild<QMdiArea*>(QStringLiteral("mdiArea"))->setActiveSubWindow(BrowseSubWindow(frame));
    emit navigate->aboutToShow();
    EXPECT_TRUE(addrBar->isChecked());
    frame.findChild<QMdiArea*>(QStringLiteral("mdiArea"))
        ->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(win->parentWidget()));
    emit navigate->aboutToShow();
    EXPECT_FALSE(addrBar->isChecked());
    run.key(Qt::Key_L, Qt::ControlModifier);
    EXPECT_TRUE(win->AddrBarShown());
    EXPECT_TRUE(WaitFor([&] { return win->AddressEdit()->hasFocus(); }, 1000));

    // Ctrl+W closes the active stand-alone window, one at a time, but never the browse window;
    // also after the File menu was last opened over the browse window.
    QPointer<QMdiSubWindow> firstSub = qobject_cast<QMdiSubWindow*>(first->parentWidget());
    QPointer<QMdiSubWindow> sub = qobject_cast<QMdiSubWindow*>(win->parentWidget());
    run.key(Qt::Key_W, Qt::ControlModifier);
    EXPECT_TRUE(WaitFor([&] { return !sub || !sub->isVisible(); }, 2000));
    EXPECT_TRUE(firstSub && firstSub->isVisible());
    frame.findChild<QMdiArea*>(QStringLiteral("mdiArea"))->setActiveSubWindow(BrowseSubWindow(frame));
    QMenu* file = frame.findChild<QMenu*>(QStringLiteral("mnuFile"));
    file->popup(frame.mapToGlobal(QPoint(10, 10)));
    EXPECT_FALSE(frame.findChild<QAction*>(QStringLiteral("mnuFileClose"))->isEnabled());
    file->hide();
    frame.findChild<QMdiArea*>(QStringLiteral("mdiArea"))->setActiveSubWindow(firstSub);
    run.key(Qt::Key_W, Qt::ControlModifier);
    EXPECT_TRUE(WaitFor([&] { return !firstSub || !firstSub->isVisible(); }, 2000));
    run.key(Qt::Key_W, Qt::ControlModifier);
    EXPECT_TRUE(BrowseSubWindow(frame)->isVisible());
}

TEST(Shortcuts, FindBarSearchesTheActivePageAndEscClosesOnlyTheBar) {
    KeysRun run;
    MainWindow& frame = run.frame();
    FakePane& page = run.page();
    auto* bar = frame.findChild<FindBar*>();
    ASSERT_TRUE(bar);
    run.key(Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(bar->isVisible());
    ASSERT_TRUE(WaitFor([&] { return bar->FindEdit()->hasFocus(); }, 1000));
    QTest::keyClicks(bar->FindEdit(), QStringLiteral("abc"));
    EXPECT_EQ(page.lastFind(), QStringLiteral("abc"));
    // The open bar leaves Alt+F to the File menu, every time.
    QMenu* file = frame.findChild<QMenu*>(QStringLiteral("mnuFile"));
    for (int i = 0; i < 2; ++i) {
        run.key(Qt::Key_F, Qt::AltModifier);
        EXPECT_TRUE(file->isVisible()) << i;
        file->hide();
    }

    // The user moves on to a stand-alone window with the bar still open: the next search is
    // in that window's page, and the page left behind loses its marks.
    StandaloneWindow* win = run.openWindow(QStringLiteral("http://n.test/"));
    ASSERT_TRUE(win);
    auto* other = static_cast<FakePane*>(win->Pane());
    bar->FindEdit()->setFocus();
    QTest::keyClicks(bar->FindEdit(), QStringLiteral("d"));
    EXPECT_EQ(other->lastFind(), QStringLiteral("abcd"));
    EXPECT_EQ(page.lastFind(), QString());
    other->SetFindResult(false);
    run.key(Qt::Key_F3);
    EXPECT_EQ(bar->StatusLabel()->text(), QLatin1String(FindBar::kNotFound));

    // Esc in the bar closes the bar; it does not stop the page.
    other->ClearRecords();
    QTest::keyClick(bar->FindEdit(), Qt::Key_Escape);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_FALSE(other->calls().contains(QStringLiteral("Stop")));
}

} // namespace
