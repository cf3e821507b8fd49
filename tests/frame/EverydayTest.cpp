// The frame's part of the everyday browser: help for every dialog (beside it, never behind it),
// zoom kept per Link, the search engines of the Options dialog, and the Downloads command.
#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include "browse/DownloadsWindow.h"
#include "browse/PopupPolicy.h"
#include "browse/SearchPane.h"
#include "browse/StandaloneWindow.h"
#include "core/AppState.h"
#include "frame/Help.h"
#include "frame/HelpWindow.h"
#include "frame/OptionsDialog.h"
#include "frame/SearchEngineEditor.h"
#include "FrameSupport.h"
#include "links/LinkEditor.h"
#include "links/Links.h"
#include "users/DeleteUserDialog.h"
#include "users/LoginDialog.h"
#include "users/SearchEngines.h"

using namespace frametest;

namespace {

// The help window goes with the dialog that asked for it: look for it wherever it is.
HelpWindow* TheHelpWindow() {
    for (QWidget* widget : QApplication::allWidgets())
        if (auto* help = qobject_cast<HelpWindow*>(widget)) return help;
    return nullptr;
}

QString HelpShown() {
    HelpWindow* help = TheHelpWindow();
    if (!help || !help->isVisible()) return {};
    const QStringList& pages = static_cast<FakePane*>(help->Pane())->navigations();
    return pages.isEmpty() ? QString() : pages.last();
}

} // namespace

TEST(Everyday, EveryDialogsHelpAndF1OpenItsTopicInAWindowUsableBesideIt) {
    FrameRun run;
    run.CreateUser(kUser, kPassword);
    MainWindow& frame = run.Start();
    const auto newUser = [] {
        auto* d = new LoginDialog;
        d->findChild<QRadioButton*>("optNew")->click();
        return static_cast<QDialog*>(d);
    };
    const struct {
        const char* topic;
        std::function<QDialog*()> make;
    } dialogs[] = {
        {"Login", [] { return new LoginDialog; }},
        {"NewUser", newUser},
        {"ChangePW", [] { return new LoginDialog(QLatin1String(LoginDialog::kChangePW)); }},
        {"DeleteUser", [] { return new DeleteUserDialog; }},
        {"AddEditLink", [&] { return new LinkEditor(run.browse(), LinkEditor::Mode::Add); }},
        {"Options", [&] { return new OptionsDialog(&run.browse().links()); }},
    };
    for (const auto& d : dialogs) {
        SCOPED_TRACE(d.topic);
        std::unique_ptr<QDialog> dialog(d.make());
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->show();
        ASSERT_EQ(QApplication::activeModalWidget(), dialog.get());
        dialog->findChild<QPushButton*>(QStringLiteral("cmdHelp"))->click();
        EXPECT_EQ(HelpShown(), Help::TopicUrl(QLatin1String(d.topic)));
        // Beside the modal dialog, not behind it: it belongs to the dialog and takes clicks.
        HelpWindow* help = TheHelpWindow();
        EXPECT_EQ(help->parentWidget(), dialog.get());
        auto* pane = static_cast<FakePane*>(help->Pane());
        pane->ClearRecords();
        QTest::mouseClick(help->findChild<QWidget*>(QStringLiteral("cmdContents")), Qt::LeftButton);
        EXPECT_EQ(pane->navigations(), QStringList{Help::TopicUrl(QString())});
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        QTest::keyClick(dialog.get(), Qt::Key_F1);
        EXPECT_EQ(HelpShown(), Help::TopicUrl(QLatin1String(d.topic)));
        // The dialog goes, the help stays with the frame.
        dialog->hide();
        EXPECT_EQ(help->parentWidget(), &frame);
        EXPECT_TRUE(help->isVisible());
    }
    EXPECT_EQ(Help::TopicUrl(QStringLiteral("NewUser")),
              QStringLiteral("bramblegate://help/account.html#new-user"));
    frame.findChild<QAction*>(QStringLiteral("mnuHelpContents"))->trigger();
    EXPECT_EQ(HelpShown(), Help::TopicUrl(QString()));
}

TEST(Everyday, EachLinkKeepsItsZoomAndAStandAloneWindowHasItsOwn) {
    FrameRun run;
    run.CreateUser(kUser, kPassword);
    run.AddLink(kUser, kPassword, QStringLiteral("A"), QStringLiteral("http://a.test/"));
    run.AddLink(kUser, kPassword, QStringLiteral("B"), QStringLiteral("http://b.test/"));
    {
        MainWindow& frame = run.Start();
        FakePane& a = run.open(QStringLiteral("A"), QStringLiteral("http://a.test/"));
        QTest::keyClick(&frame, Qt::Key_Plus, Qt::ControlModifier);
        QTest::keyClick(&frame, Qt::Key_Plus, Qt::ControlModifier);
        EXPECT_EQ(a.ZoomPercent(), 125);
        const auto stored = [&](const char* caption) {
            const Link* link = run.browse().links().Item(run.index(QLatin1String(caption)) + 1);
            return FrameRun::Stored(kUser, QStringLiteral("Zoom%1").arg(link->Slot()));
        };
        EXPECT_EQ(stored("A"), QStringLiteral("125"));
        FakePane& b = run.open(QStringLiteral("B"), QStringLiteral("http://b.test/"));
        EXPECT_EQ(b.ZoomPercent(), 100);
        for (int n = 0; n < 20; ++n)
            frame.findChild<QAction*>(QStringLiteral("mnuViewZoomOut"))->trigger();
        EXPECT_EQ(b.ZoomPercent(), BrowserPane::kMinZoom);
        frame.findChild<QAction*>(QStringLiteral("mnuViewZoomReset"))->trigger();
        EXPECT_EQ(stored("B"), QString());

        // A stand-alone window zooms by itself and leaves the Links alone.
        StandaloneWindow* window = run.browse().PopUps().OpenNewWin(QStringLiteral("http://c.test/"), true,
                                                                    nullptr, true, QString());
        frame.findChild<QMdiArea*>(QStringLiteral("mdiArea"))
            ->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(window->parentWidget()));
        frame.findChild<QAction*>(QStringLiteral("mnuViewZoomIn"))->trigger();
        EXPECT_EQ(window->Pane()->ZoomPercent(), 110);
        EXPECT_EQ(a.ZoomPercent(), 125);
        run.Close();
    }
    run.Start();
    EXPECT_EQ(run.pane(run.index(QStringLiteral("A"))).ZoomPercent(), 125);
    EXPECT_EQ(run.pane(run.index(QStringLiteral("B"))).ZoomPercent(), 100);
}

TEST(Everyday, SearchEnginesAreEditedInTheOptionsAndTheSearchPaneFollows) {
    FrameRun run;
    run.CreateUser(kUser, kPassword);
    MainWindow& frame = run.Start();
    const SearchEngine wiki{QStringLiteral("Wiki"),
                            QStringLiteral("https://en.wikipedia.org/w/index.php?search=%s")};
    run.dialogs.Next([&](QDialog& dialog) {
        auto& options = static_cast<OptionsDialog&>(dialog);
        SearchEngineEditor& editor = *options.searchEngines();
        EXPECT_EQ(editor.Engines(), SearchEngines::Defaults());
        // Refused: a name taken, an address without %s; then accepted.
        const auto add = [&](const QString& name, const QString& url) {
            run.dialogs.Next([name, url](QDialog& d) {
                auto& engine = static_cast<SearchEngineDialog&>(d);
                engine.NameEdit()->setText(name);
                engine.QueryUrlEdit()->setText(url);
                engine.OnOkClicked();
                return d.result();
            });
            editor.OnAddClicked();
        };
        add(QStringLiteral("google"), wiki.queryUrl);
        add(wiki.name, QStringLiteral("https://en.wikipedia.org/"));
        add(wiki.name, wiki.queryUrl);
        EXPECT_EQ(
            run.boxes.texts(),
            QStringList({"There is already a search engine named \"Google\".",
                         "Please enter the web address of a search, with %s where the searched words go, for "
                         "example https://www.example.com/search?q=%s"}));
        EXPECT_EQ(run.boxes.lastTitle(), QStringLiteral("Search Engines"));
        // Yahoo goes; the last engine can never go.
        editor.EnginesList()->setCurrentItem(editor.EnginesList()->topLevelItem(2));
        editor.OnRemoveClicked();
        EXPECT_TRUE(options.ApplyButton()->isEnabled());
        options.OkButton()->click();
        return dialog.result();
    });
    frame.findChild<QAction*>(QStringLiteral("mnuOptionsBramblegate"))->trigger();
    const QList<SearchEngine> stored = SearchEngines::Load(kUser);
    EXPECT_EQ(stored,
              QList<SearchEngine>({SearchEngines::Defaults()[0], SearchEngines::Defaults()[1], wiki}));
    EXPECT_EQ(FrameRun::Stored(kUser, QStringLiteral("SearchEngineURL3")), wiki.queryUrl);
    SearchPane* search = run.browse().search();
    ASSERT_EQ(search->ServiceCount(), 3);
    EXPECT_EQ(search->SearchOption(2)->text(), QStringLiteral("Wiki"));
    search->SearchOption(2)->click();
    EXPECT_EQ(FrameRun::Stored(kUser, QStringLiteral("SearchChoice")), QStringLiteral("Wiki"));
    EXPECT_EQ(SearchEngines::QueryFor(stored[2], QStringLiteral("fern")),
              QStringLiteral("https://en.wikipedia.org/w/index.php?search=fern"));
}

TEST(Everyday, CtrlJShowsTheDownloads) {
    FrameRun run;
    run.CreateUser(kUser, kPassword);
    MainWindow& frame = run.Start();
    QTest::keyClick(&frame, Qt::Key_J, Qt::ControlModifier);
    auto* window = frame.findChild<DownloadsWindow*>();
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Downloads"));
}
