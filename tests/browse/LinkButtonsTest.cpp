// The Link buttons: their order through add, insert, remove, sort and drag; tool tips; the
// context menu; the Links menu; removal messages; the Link limit; saving at close.
#include <QApplication>
#include <QDrag>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>

#include "browse/LinkButtonsPanel.h"
#include "browse/LinkControls.h"
#include "browse/LinkDrag.h"
#include "browse/NavigationBar.h"
#include "browse/NavigationDriver.h"
#include "BrowseSupport.h"
#include "core/AppState.h"
#include "core/Settings.h"
#include "frame/MainWindow.h"
#include "links/Links.h"

using namespace browsetest;

namespace {

QStringList menuTexts(QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions())
        out << a->text();
    return out;
}

QStringList storedCaptions() {
    Links stored(QString::fromLatin1(BrowseFixture::kUser));
    QStringList out;
    for (int order = 0; order < stored.CountUndeleted(); ++order)
        out << stored.ControlOrderItem(order)->Caption();
    return out;
}

void rightClick(BrowseWindow& browse, int i) {
    QTest::mouseClick(browse.Buttons().LinkButtonAt(i), Qt::RightButton);
}

QAction* dynaAction(BrowseWindow& browse, const char* name) {
    for (QAction* a : browse.LinkButtonMenu()->actions())
        if (a->objectName() == QLatin1String(name)) return a;
    return nullptr;
}

TEST(LinkButtons, OrderFollowsAddInsertRemoveSortAndDrag) {
    BrowseFixture w({{"b", "http://b.test/"}, {"A", "http://a.test/"}, {"c", "http://c.test/"}});
    BrowseWindow& browse = w.Load();
    EXPECT_EQ(w.buttonOrder(), QStringList({"b", "A", "c"}));
    EXPECT_EQ(menuTexts(w.frame().findChild<QMenu*>(QStringLiteral("mnuLinksEdit"))),
              QStringList({"b", "A", "c"}));

    // Sorting asks first; No changes nothing.
    w.boxes().Answer(msgbox::No);
    browse.SortButtons();
    EXPECT_EQ(w.boxes().lastTitle(), QStringLiteral("Sort Links by Name"));
    EXPECT_EQ(w.boxes().lastText(), QStringLiteral("Are you sure you want to Re-Order all Link buttons "
                                                   "alphabetically?\rThis action cannot be undone.\r\r"));
    EXPECT_EQ(w.boxes().shown().last().defaultButton, 2);
    EXPECT_EQ(w.buttonOrder(), QStringList({"b", "A", "c"}));
    browse.SortButtons();
    EXPECT_EQ(w.buttonOrder(), QStringList({"A", "b", "c"}));
    EXPECT_EQ(storedCaptions(), QStringList({"A", "b", "c"}));
    EXPECT_EQ(menuTexts(w.frame().findChild<QMenu*>(QStringLiteral("mnuLinksRemove"))),
              QStringList({"A", "b", "c"}));

    // Add with a Link button pressed (right button): the new one goes above the pressed one.
    rightClick(browse, w.index("b"));
    EXPECT_EQ(browse.State().contextLinkIndex, w.index("b"));
    ASSERT_TRUE(browse.AddLink("d", "http://d.test/", "", "", "", "", false, false));
    EXPECT_EQ(w.buttonOrder(), QStringList({"A", "d", "b", "c"}));
    EXPECT_EQ(browse.State().contextLinkIndex, -1);
    // Without a pressed button it goes to the end; empty caption and address come from the page.
    w.pane(w.index("A"))
        .SetLocation(QStringLiteral("http://a.test/page"), QStringLiteral("  The\r\nA   page "));
    w.links().SetForceVisible(w.index("A") + 1);
    browse.ShowPane(w.index("A"));
    Link* fromPage = browse.AddLink("", "", "", "", "", "", false, false);
    ASSERT_TRUE(fromPage);
    EXPECT_EQ(fromPage->Caption(), QStringLiteral("The A page"));
    EXPECT_EQ(fromPage->URL(), QStringLiteral("http://a.test/page"));
    EXPECT_EQ(w.buttonOrder(), QStringList({"A", "d", "b", "c", "The A page"}));
    EXPECT_EQ(storedCaptions(), w.buttonOrder());

    // Remove through the context menu.
    rightClick(browse, w.index("d"));
    w.boxes().Answer(msgbox::Yes);
    dynaAction(browse, "mnuDynaRemove")->trigger();
    EXPECT_EQ(w.boxes().lastText(), QStringLiteral("Are you sure you want to delete the Link 'd' ?\r\r"));
    EXPECT_EQ(w.buttonOrder(), QStringList({"A", "b", "c", "The A page"}));
    EXPECT_EQ(menuTexts(w.frame().findChild<QMenu*>(QStringLiteral("mnuLinksEdit"))),
              QStringList({"A", "b", "c", "The A page"}));

    // Dragging "c" onto "A" puts "c" first and "A" second.
    LinkDrag drag(w.index("c"), QStringLiteral("http://c.test/"), QStringLiteral("c"), QString());
    std::unique_ptr<QMimeData> data(drag.MimeData());
    browse.Controls().OnLinkDrop(w.index("A"), data.get());
    EXPECT_EQ(w.buttonOrder(), QStringList({"c", "A", "b", "The A page"}));
    EXPECT_EQ(storedCaptions(), QStringList({"c", "A", "b", "The A page"}));
}

TEST(LinkButtons, ToolTipsTellLoadOrReloadAndLogin) {
    BrowseFixture w(
        {{"Bank", "http://bank.test/", false, true, "me", "secret"}, {"News", "http://news.test/"}});
    BrowseWindow& browse = w.Load();
    LinkButton* bank = browse.Buttons().LinkButtonAt(w.index("Bank"));
    LinkButton* news = browse.Buttons().LinkButtonAt(w.index("News"));
    QTest::mouseMove(bank);
    QTest::mouseMove(bank, QPoint(5, 5));
    EXPECT_EQ(bank->toolTip(), QStringLiteral("Load and login to Bank"));
    QTest::mouseMove(news, QPoint(6, 6));
    EXPECT_EQ(news->toolTip(), QStringLiteral("Load News"));
    EXPECT_TRUE(browse.Buttons().ViewButtonAt(w.index("Bank"))->isHidden());

    // The view button (and "Reload") come once the Link's page has loaded, not when it is asked for.
    w.click(QStringLiteral("Bank"));
    EXPECT_TRUE(browse.Buttons().ViewButtonAt(w.index("Bank"))->isHidden());
    w.pane(w.index("Bank")).SimulateLoad(QStringLiteral("http://bank.test/"));
    QTest::mouseMove(bank, QPoint(7, 7));
    EXPECT_EQ(bank->toolTip(), QStringLiteral("Reload and login to Bank"));
    EXPECT_FALSE(browse.Buttons().ViewButtonAt(w.index("Bank"))->isHidden());
    EXPECT_EQ(browse.Buttons().ViewButtonAt(w.index("Bank"))->toolTip(), QStringLiteral("View Bank"));
}

TEST(LinkButtons, TheStartingHomePageLinkShowsWithoutItsMarker) {
    BrowseFixture w({{"Home Page$$", "BGDummy"}, {"News", "http://news.test/"}});
    BrowseWindow& browse = w.Load();
    LinkButton* button = browse.Buttons().LinkButtonAt(w.index("Home Page$$"));
    EXPECT_EQ(button->text(), QStringLiteral("Home Page"));
    QTest::mouseMove(button, QPoint(5, 5));
    EXPECT_EQ(button->toolTip(), QStringLiteral("Load Home Page"));
    for (QMenu* menu : {w.frame().findChild<QMenu*>(QStringLiteral("mnuLinksEdit")),
                        w.frame().findChild<QMenu*>(QStringLiteral("mnuLinksRemove"))})
        EXPECT_EQ(menu->actions().first()->text(), QStringLiteral("Home Page"));
    w.click(QStringLiteral("Home Page$$"));
    EXPECT_EQ(browse.windowTitle(), QStringLiteral("Home Page"));
    EXPECT_EQ(w.link(QStringLiteral("Home Page$$")).Caption(), QStringLiteral("Home Page$$"));
}

TEST(LinkButtons, RemovalAsksAndRefusesTheLastLink) {
    BrowseFixture w({{"One", "http://one.test/"}, {"Two", "http://two.test/"}});
    BrowseWindow& browse = w.Load();
    const int two = w.index("Two");

    w.boxes().Answer(msgbox::No);
    browse.Controls().RemoveLink(two);
    EXPECT_EQ(w.boxes().lastTitle(), QStringLiteral("Delete Link"));
    EXPECT_EQ(w.boxes().shown().last().buttons, msgbox::YesNo);
    EXPECT_EQ(w.buttonOrder(), QStringList({"One", "Two"}));

    // While the Link goes, "Refreshing..." is on show and its pane is stopped.
    QString shownAtStop;
    w.pane(two).onStop = [&] {
        shownAtStop = w.frame().MessageShown() ? w.frame().MessageText() : QString();
    };
    w.boxes().Answer(msgbox::Yes);
    browse.Controls().RemoveLink(two);
    EXPECT_EQ(shownAtStop, QStringLiteral("Refreshing..."));
    EXPECT_FALSE(w.frame().MessageShown());
    EXPECT_EQ(w.buttonOrder(), QStringList({"One"}));
    EXPECT_EQ(browse.Pane(two), nullptr) << "the removed Link's pane is released";
    EXPECT_TRUE(w.links().Item(two + 1)->Deleted());
    EXPECT_EQ(storedCaptions(), QStringList({"One"}));

    w.boxes().Clear();
    browse.Controls().RemoveLink(w.index("One"));
    ASSERT_EQ(w.boxes().count(), 1);
    EXPECT_EQ(w.boxes().lastTitle(), QStringLiteral("Cannot delete the only Link"));
    EXPECT_EQ(w.boxes().lastText(),
              QStringLiteral("Cannot delete the only available link. To delete this link "
                             "\r\ncreate another one first and then delete it.\r\r"));
    EXPECT_EQ(w.boxes().shown().last().icon, msgbox::Exclamation);
    EXPECT_EQ(w.buttonOrder(), QStringList({"One"}));
}

TEST(LinkButtons, TheLinkLimitOfOneWindowLifetimeIsRefused) {
    QList<LinkSpec> many;
    for (int i = 1; i <= BrowseWindow::kMaxLinks; ++i)
        many.append({QStringLiteral("L%1").arg(i), QStringLiteral("http://l%1.test/").arg(i)});
    BrowseFixture w(many);
    BrowseWindow& browse = w.Load();
    EXPECT_EQ(w.buttonOrder().size(), BrowseWindow::kMaxLinks);

    EXPECT_EQ(browse.AddLink("One more", "http://more.test/", "", "", "", "", false, false), nullptr);
    EXPECT_EQ(w.boxes().lastTitle(), QStringLiteral("Too Many Links"));
    EXPECT_EQ(w.links().Count(), BrowseWindow::kMaxLinks);

    // A removed Link keeps its place until the next login.
    w.boxes().Answer(msgbox::Yes);
    browse.Controls().RemoveLink(w.index("L7"));
    w.boxes().Clear();
    EXPECT_EQ(browse.AddLink("One more", "http://more.test/", "", "", "", "", false, false), nullptr);
    EXPECT_EQ(w.boxes().lastTitle(), QStringLiteral("Too Many Links"));
}

TEST(LinkButtons, DragOffersFourFormatsAndItsShortcutStaysUntilTheWindowGoes) {
    BrowseFixture w({{"One", "http://one.test/"}, {"Bank & Co", "https://bank.test/login?x=1"}});
    BrowseWindow& browse = w.Load();
    const int bank = w.index("Bank & Co");
    QStringList formats;
    QByteArray linkBytes, urlBytes;
    QString text, shortcut, shortcutContent;
    browse.SetDragRunner([&](QDrag& drag) {
        const QMimeData* data = drag.mimeData();
        text = data->text();
        linkBytes = data->data(QLatin1String(LinkDrag::kLinkFormat));
        urlBytes = data->data(QLatin1String(LinkDrag::kUrlFormat));
        ASSERT_EQ(data->urls().size(), 1);
        shortcut = data->urls().first().toLocalFile();
        QFile file(shortcut);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        shortcutContent = QString::fromLatin1(file.readAll());
        EXPECT_EQ(file.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
                  QFileDevice::Permissions());
    });

    // Held for the drag time without moving, the button still opens its Link on release.
    LinkButton* button = browse.Buttons().LinkButtonAt(bank);
    const QPoint from(10, 8), to(40, 12);
    QTest::mousePress(button, Qt::LeftButton, {}, from);
    EXPECT_TRUE(browse.DragStartTimer().isActive());
    EXPECT_EQ(browse.DragStartTimer().interval(), 250);
    browse.Controls().OnDragStartTimer();
    QTest::mouseRelease(button, Qt::LeftButton, {}, from);
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(w.navigations(), QStringList({"1 https://bank.test/login?x=1"}));
    w.clearNavigations();

    // Held for the drag time and moved, it drags; the release then opens nothing.
    QTest::mousePress(button, Qt::LeftButton, {}, from);
    browse.Controls().OnDragStartTimer();
    EXPECT_TRUE(text.isEmpty());
    QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(button->mapToGlobal(to)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(button, &move);
    QTest::mouseRelease(button, Qt::LeftButton, {}, to);
    EXPECT_TRUE(w.navigations().isEmpty());
    // Moved before the drag time is up, it drags as soon as the time is up.
    QTest::mousePress(button, Qt::LeftButton, {}, from);
    QApplication::sendEvent(button, &move);
    const QString first = text;
    text.clear();
    browse.Controls().OnDragStartTimer();
    EXPECT_EQ(text, first);
    QTest::mouseRelease(button, Qt::LeftButton, {}, to);
    EXPECT_TRUE(w.navigations().isEmpty());

    EXPECT_EQ(text, QStringLiteral("https://bank.test/login?x=1"));
    EXPECT_EQ(urlBytes, QByteArray("https://bank.test/login?x=1"));
    EXPECT_EQ(linkBytes, QByteArray("1::https://bank.test/login?x=1::Bank & Co::cmdLink"));
    EXPECT_TRUE(shortcut.endsWith(QLatin1String("/Bank & Co.url"))) << shortcut.toStdString();
    EXPECT_EQ(shortcutContent, QStringLiteral("[InternetShortcut]\r\nURL=https://bank.test/login?x=1\r\n"));
    // File managers copy the shortcut after the drop: it stays while the program runs.
    EXPECT_TRUE(QFile::exists(shortcut));

    // A quick click opens the Link.
    w.click(QStringLiteral("One"));
    EXPECT_EQ(w.navigations(), QStringList({"0 http://one.test/"}));
    delete &browse;
    EXPECT_FALSE(QFile::exists(shortcut));
}

TEST(LinkButtons, DropsOfAddressesMakeLinks) {
    BrowseFixture w({{"One", "http://one.test/"}});
    BrowseWindow& browse = w.Load();
    QMimeData outside;
    outside.setText(QStringLiteral("http://www.example.org/some/page"));
    browse.Controls().OnLinkDrop(0, &outside);
    Link& made = w.link(QStringLiteral("Example"));
    EXPECT_EQ(made.URL(), QStringLiteral("http://www.example.org/some/page"));
    EXPECT_FALSE(made.AutoNavigate());
    EXPECT_FALSE(made.ReqLogin());

    QMimeData other;
    other.setText(QStringLiteral("ftp://files.test/x"));
    browse.Controls().OnLinkDrop(0, &other);
    EXPECT_EQ(w.buttonOrder(), QStringList({"One", "Example"}));

    // The page picture drags the visible page; its title names the Link.
    std::unique_ptr<QMimeData> page(
        LinkDrag::PageMimeData(QStringLiteral("http://news.test/today"), QStringLiteral("Today's\tnews")));
    browse.Controls().OnLinkDrop(0, page.get());
    EXPECT_EQ(w.buttonOrder(), QStringList({"One", "Example", "Today's news"}));
}

TEST(LinkButtons, ContextMenuAndLinksMenuOpenTheEditor) {
    BrowseFixture w({{"One", "http://one.test/"}, {"Two", "http://two.test/"}});
    BrowseWindow& browse = w.Load();
    // No editor wired: its commands cannot be chosen.
    browse.SetLinkEditorOpener({});
    EXPECT_FALSE(w.frame().findChild<QAction*>(QStringLiteral("mnuLinksAdd"))->isEnabled());
    EXPECT_FALSE(w.frame().findChild<QMenu*>(QStringLiteral("mnuLinksEdit"))->isEnabled());
    EXPECT_TRUE(w.frame().findChild<QMenu*>(QStringLiteral("mnuLinksRemove"))->isEnabled());

    QStringList opened;
    browse.SetLinkEditorOpener([&](LinkEditorHost& host, QWidget*, const Link* link) {
        opened << (link ? QStringLiteral("Edit ") + link->Caption() : QStringLiteral("Add"));
        if (!link)
            host.AddLink(QStringLiteral("New"), QStringLiteral("http://new.test/"), "", "", "", "", false,
                         false);
    });
    EXPECT_TRUE(w.frame().findChild<QAction*>(QStringLiteral("mnuLinksAdd"))->isEnabled());
    EXPECT_TRUE(w.frame().findChild<QMenu*>(QStringLiteral("mnuLinksEdit"))->isEnabled());

    rightClick(browse, w.index("Two"));
    dynaAction(browse, "mnuDynaEdit")->trigger();
    rightClick(browse, w.index("Two"));
    dynaAction(browse, "mnuDynaAdd")->trigger();
    EXPECT_EQ(w.buttonOrder(), QStringList({"One", "New", "Two"}));
    // From the Links menu the new Link goes to the end, whatever was right-clicked before.
    rightClick(browse, w.index("One"));
    browse.LinkButtonMenu()->hide();
    w.frame().findChild<QAction*>(QStringLiteral("mnuLinksAdd"))->trigger();
    EXPECT_EQ(w.buttonOrder(), QStringList({"One", "New", "Two", "New"}));
    w.frame().findChild<QMenu*>(QStringLiteral("mnuLinksEdit"))->actions().at(2)->trigger();
    EXPECT_EQ(opened, QStringList({"Edit Two", "Add", "Add", "Edit Two"}));

    // The editor's update changes the stored Link and its button.
    Link* updated =
        browse.UpdateLink(w.index("One") + 1, QStringLiteral("First"), QStringLiteral("http://first.test/"),
                          QStringLiteral("me"), QStringLiteral("pw"), "", "", true, true);
    ASSERT_TRUE(updated);
    EXPECT_EQ(updated->UserName(), QStringLiteral("me"));
    EXPECT_NE(updated->UserNameEnc(), QStringLiteral("me"));
    EXPECT_EQ(storedCaptions().first(), QStringLiteral("First"));
    EXPECT_EQ(browse.Buttons().LinkButtonAt(updated->Index() - 1)->text(), QStringLiteral("First"));
}

TEST(LinkButtons, ClosingSavesCompactlyUnlessEndingOnError) {
    for (bool endingOnError : {false, true}) {
        SCOPED_TRACE(endingOnError ? "ending on error" : "normal close");
        BrowseFixture w({{"A", "http://a.test/"}, {"B", "http://b.test/"}, {"C", "http://c.test/"}});
        BrowseWindow& browse = w.Load();
        browse.Controls().MoveLink(w.index("C"), w.index("A"));
        // Moving keeps each Link in its own slot: slot 1 is still A.
        EXPECT_EQ(core::GetValue(QLatin1String(BrowseFixture::kUser), QStringLiteral("Caption1")), "A");
        App().EndingOnError = endingOnError;
        w.frame().close();
        // The frame unloads on the second tick of its unload timer.
        w.frame().LifeCycle().UnloadTick();
        w.frame().LifeCycle().UnloadTick();
        EXPECT_EQ(core::GetValue(QLatin1String(BrowseFixture::kUser), QStringLiteral("Caption1")),
                  endingOnError ? "A" : "C");
    }
}

} // namespace
