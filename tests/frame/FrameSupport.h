#pragma once

#include <csignal>
#include <gtest/gtest.h>
#include <memory>
#include <QtTest>
#include <QtWidgets>
#include <stdexcept>

#include "browse/LinkButtonsPanel.h"
#include "browse/OfflineState.h"
#include "browse/PopupPolicy.h"
#include "browse/StandaloneWindow.h"
#include "core/SecretCipher.h"
#include "core/Settings.h"
#include "frame/FrameToolbar.h"
#include "frame/MainWindow.h"
#include "links/Links.h"
#include "support/FakePane.h"
#include "users/UsersSupport.h"

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

// Every message box text the frame's tests see, checked here and only here.
struct Message {
    const char* key;
    const char* title;
    msgbox::Icon icon;
    const char* text;
};
inline const Message kMessages[] = {
    {"exit", "Exit Bramblegate", msgbox::Question,
     "This will exit Bramblegate.                      \rAre your sure you want to exit?\r\r"},
    {"alreadyOpen", "Already Open", msgbox::Exclamation, "Bramblegate is already open!               \r\r"},
    {"incorrectVersion", "Incorrect Version", msgbox::Critical,
     "This is an older version of Bramblegate and is not compatible with product settings in the "
     "Registry.\rBramblegate must exit now."},
    {"problem", "Problem Encountered", msgbox::Critical,
     "Bramblegate has encountered a problem. It needs to exit now. Please retry again or contact Support "
     "for help."},
    {"declined", "License Agreement", msgbox::Question,
     "You have declined the agreement. Bramblegate will close now.\r\rAre you sure you want to leave "
     "Bramblegate?\r\r"},
    {"errorOnPage", "Bramblegate", msgbox::NoIcon,
     "Problem with this Web page might prevent it from being \r\ndisplayed properly or functioning "
     "properly.\r\n\r\nLine: 12\r\nError: x is not defined\r\nURL: http://a.test/a.js"},
    {"replaceBookmark", "Replace Bookmark", msgbox::Question,
     "A Bookmark with this name already exists.\rDo you want to replace the existing Bookmark that points "
     "to http://www.bank.com/\rWith this: http://www.bank.com/index2\r\r"},
    {"bookmarkExists", "Bookmark Already Exists", msgbox::Information,
     "This Bookmark already exists. Please select another name.\r\r"},
    {"deleteAllHistory", "Delete All History Items", msgbox::Question,
     "Are you sure you want to delete all these items?\r\r"},
    {"idleRange", "Automatic Logout", msgbox::Exclamation, "Please enter a value between 0 and 60"},
    {"linkIdleRange", "Idle Links", msgbox::Exclamation, "Please enter a value between 0 and 1440"},
    {"bookmarksRange", "Bookmarks", msgbox::Exclamation, "Please enter a value between 5 and 200"},
    {"historyRange", "History Items", msgbox::Exclamation, "Please enter a value between 0 and 200"},
    {"ssnLength", "Options - SSN", msgbox::Exclamation,
     "The Social Security Number may be maximum 9 characters long"},
    {"ssnDigits", "Options - SSN", msgbox::Exclamation,
     "The Social Security Number may contain numeric characters only"},
    {"engineTaken", "Search Engines", msgbox::Exclamation,
     "There is already a search engine named \"Google\"."},
    {"engineQuery", "Search Engines", msgbox::Exclamation,
     "Please enter the web address of a search, with %s where the searched words go, for example "
     "https://www.example.com/search?q=%s"},
    {"homePage", "Internet Options", msgbox::Exclamation,
     "Please enter the address of a web page (http://...) as the home page.\r\r"},
    {"deleteBrowsingData", "Delete Browsing Data", msgbox::Question,
     "Delete the cookies, cached files and the history of visited links of Ann?\r\rThis cannot be "
     "undone.\r\r"},
    {"linkTaken", "Edit Link", msgbox::Exclamation, "A link named 'bank' already exists.\r\r"},
    {"deleteLink", "Delete Link", msgbox::Question, "Are you sure you want to delete the link 'Bank'?\r\r"},
    {"selectToolbars", "Toolbars", msgbox::Information, "Please select Toolbars from View menu."},
};

inline QString Describe(const QString& title, int icon, const QString& text) {
    return QStringLiteral("[%1] %2: %3").arg(icon).arg(title, text);
}

// The boxes shown since the last check, each named by its key in the table above; clears the record.
inline void ExpectBoxes(ScriptedBoxes& boxes, const QStringList& keys) {
    QStringList expected, shown;
    for (const QString& key : keys) {
        const auto it = std::find_if(std::begin(kMessages), std::end(kMessages),
                                     [&](const Message& m) { return key == QLatin1String(m.key); });
        if (it == std::end(kMessages))
            ADD_FAILURE() << "no message " << key.toStdString();
        else
            expected << Describe(QLatin1String(it->title), it->icon, QString::fromUtf8(it->text));
    }
    for (const msgbox::Request& box : boxes.shown())
        shown << Describe(box.title, box.icon, box.text);
    EXPECT_EQ(shown, expected);
    boxes.Clear();
}

inline const QString kUser = QStringLiteral("alice");
inline const QString kPassword = QStringLiteral("wonderland");
using EndKinds = QList<ProgramLifeCycle::EndKind>;
inline const EndKinds kOrderly{ProgramLifeCycle::EndKind::Orderly};
inline const EndKinds kImmediate{ProgramLifeCycle::EndKind::Immediate};

// A real store, real users and a real frame started through its own start-up (the login dialog
// answered by a script), with FakePanes for the pages. The process never ends: the frame's
// requests to end it are recorded.
class FrameRun {
public:
    FrameRun() {
        // The machine's own network state must not decide what a test sees.
        OfflineState::SetConnectionProbe([] { return true; });
        hooks.version.startCompanion = [this](const QString& arguments) { companionRuns << arguments; };
        hooks.version.agreement = [this](QWidget*) {
            ++agreements;
            return acceptAgreement;
        };
    }
    ~FrameRun() {
        m_frame.reset();
        OfflineState::SetConnectionProbe({});
    }

    // Creates a user as the login dialog does, then forgets the session.
    void CreateUser(const QString& name, const QString& password) {
        userstest::createUser(name, password, boxes);
        boxes.Clear();
    }
    // Makes the frame and runs its start-up; the login dialog is answered with `user` and
    // `password`, or cancelled when `user` is empty. The browse window's timers are stopped.
    MainWindow& Start(const QString& user = kUser, const QString& password = kPassword) {
        dialogs.Next([user, password](QDialog& login) {
            if (user.isEmpty()) {
                Child<QPushButton>(login, "cmdCancel").click();
            } else {
                Child<QComboBox>(login, "cmbUserName").setEditText(user);
                Child<QLineEdit>(login, "txtPassword").setText(password);
                Child<QPushButton>(login, "cmdOK").click();
            }
            return login.result();
        });
        return Launch();
    }
    // The same for a start-up that ends before the login dialog.
    MainWindow& Launch() {
        m_frame = std::make_unique<MainWindow>([](QWidget* parent) { return new FakePane(parent); });
        m_frame->LifeCycle().SetStartUpHooks(hooks);
        m_frame->LifeCycle().SetStartAddresses(addresses);
        m_frame->LifeCycle().SetEndProcessHandler([this](ProgramLifeCycle::EndKind kind) { ends << kind; });
        m_frame->LifeCycle().StartUp();
        if (BrowseWindow* browse = m_frame->Browse())
            for (const char* timer :
                 {"busyTimer", "parseTimeOutTimer", "showPageTimer", "loadFavoritesTimer"})
                browse->findChild<QTimer*>(QLatin1String(timer))->stop();
        return *m_frame;
    }
    // kUser with a Link per caption at "http://<caption>.test/", started.
    MainWindow& StartWith(const QStringList& captions) {
        CreateUser(kUser, kPassword);
        App().PassPhrase = kPassword;
        {
            Links links(kUser);
            for (const QString& caption : captions)
                links.Add(
                    caption,
                    SecretCipher::EncryptMessage(QStringLiteral("http://%1.test/").arg(caption.toLower())),
                    QString(), QString(), QString(), QString(), false, false, -1, true);
        }
        App() = AppState();
        return Start();
    }
    // The frame goes, as at the end of the program; the store stays for the next Start.
    void Close() {
        m_frame.reset();
        App() = AppState();
        ends.clear();
    }

    MainWindow& frame() { return *m_frame; }
    BrowseWindow& browse() {
        EXPECT_TRUE(m_frame && m_frame->Browse());
        return *m_frame->Browse();
    }
    FakePane& pane(int i) {
        BrowserPane* pane = browse().Pane(i);
        EXPECT_TRUE(pane) << "no pane " << i;
        return *static_cast<FakePane*>(pane);
    }
    FakePane& pane(const QString& caption) { return pane(index(caption)); }
    // The control index of the Link with this caption.
    int index(const QString& caption) { return PaneIndexOf(browse().LinkList(), caption); }
    // Opens a loaded stand-alone window and makes it the active child window.
    StandaloneWindow& OpenWindow(const QString& url) {
        StandaloneWindow* win = browse().PopUps().OpenNewWin(url, true, nullptr, true, QString());
        if (!win) throw std::runtime_error("no stand-alone window");
        static_cast<FakePane*>(win->Pane())->SimulateLoad(url, {}, QStringLiteral("Stand-alone"));
        Activate(win->parentWidget());
        return *win;
    }
    void Activate(QWidget* subWindow) {
        Child<QMdiArea>(*m_frame, "mdiArea").setActiveSubWindow(qobject_cast<QMdiSubWindow*>(subWindow));
    }
    // Opens the Link with a click on its button and lets its page load.
    FakePane& open(const QString& caption, const QString& url) {
        QTest::mouseClick(browse().Buttons().LinkButtonAt(index(caption)), Qt::LeftButton);
        pane(caption).SimulateLoad(url, {}, caption + QStringLiteral(" page"));
        return pane(caption);
    }
    // Ticks the unload timer until the frame asks to end (at most `max` ticks); returns the ticks.
    int TickUntilEnded(int max = ProgramLifeCycle::kForcedEndTicks) {
        Child<QTimer>(m_frame->LifeCycle(), "unloadTimer").stop();
        int ticks = 0;
        for (; ends.isEmpty() && ticks < max; ++ticks)
            m_frame->LifeCycle().UnloadTick();
        return ticks;
    }

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
