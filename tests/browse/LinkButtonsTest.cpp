// The Link buttons: their order through add, insert, remove, sort and drag; tool tips; the
// context menu; the Links menu; removal; the Link limit; saving at close.
#include <QApplication>
#include <QDrag>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QToolButton>

#include "browse/LinkControls.h"
#include "browse/LinkDrag.h"
#include "BrowseSupport.h"

using namespace browsetest;

namespace {

QStringList menuTexts(MainWindow& frame, const char* menu) {
    QStringList out;
    for (QAction* a : Child<QMenu>(&frame, menu)->actions())
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

// Right-clicks Link i's button and chooses the context menu's item.
void contextMenu(BrowseWindow& browse, int i, const char* item) {
    QTest::mouseClick(browse.Buttons().LinkButtonAt(i), Qt::RightButton);
    Child<QAction>(&browse, item)->trigger();
}

QString caption1() {
    return core::GetValue(QLatin1String(BrowseFixture::kUser), QStringLiteral("Caption1"));
}

TEST(LinkButtons, OrderFollowsAddInsertRemoveSortAndDrag) {
    BrowseFixture w({{"b", "http://b.test/"}, {"A", "http://a.test/"}, {"c", "http://c.test/"}});
    BrowseWindow& browse = w.Load();
    EXPECT_EQ(w.buttonOrder(), QStringList({"b", "A", "c"}));
    // Sorting asks first; No changes nothing.
    w.boxes().Answer(msgbox::No);
    browse.SortButtons();
    EXPECT_EQ(w.buttonOrder(), QStringList({"b", "A", "c"}));
    w.boxes().Answer(msgbox::Yes);
    browse.SortButtons();
    EXPECT_EQ(w.buttonOrder(), QStringList({"A", "b", "c"}));
    EXPECT_EQ(storedCaptions(), QStringList({"A", "b", "c"}));
    EXPECT_EQ(menuTexts(w.frame(), "mnuLinksRemove"), QStringList({"A", "b", "c"}));

    // Add with a Link button pressed (right button): the new one goes above the pressed one.
    QTest::mouseClick(browse.Buttons().LinkButtonAt(w.index("b")), Qt::RightButton);
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
    EXPECT_EQ(fromPage->URL(), QStringLiteral("http://a.test/page"));
    EXPECT_EQ(w.buttonOrder(), QStringList({"A", "d", "b", "c", "The A page"}));

    // Remove through the context menu.
    w.boxes().Answer(msgbox::Yes);
    contextMenu(browse, w.index("d"), "mnuDynaRemove");
    EXPECT_EQ(w.buttonOrder(), QStringList({"A", "b", "c", "The A page"}));
    EXPECT_EQ(menuTexts(w.frame(), "mnuLinksEdit"), w.buttonOrder());

    // Dragging "c" onto "A" puts "c" first and "A" second.
    LinkDrag drag(w.index("c"), QStringLiteral("http://c.test/"), QStringLiteral("c"), QString());
    std::unique_ptr<QMimeData> data(drag.MimeData());
    browse.Controls().OnLinkDrop(w.index("A"), data.get());
    EXPECT_EQ(w.buttonOrder(), QStringList({"c", "A", "b", "The A page"}));
    EXPECT_EQ(storedCaptions(), w.buttonOrder());
}

TEST(LinkButtons, RemovalAsksAndRefusesTheLastLink) {
    BrowseFixture w({{"One", "http://one.test/"}, {"Two", "http://two.test/"}});
    BrowseWindow& browse = w.Load();
    const int two = w.index("Two");
    w.boxes().Answer(msgbox::No);
    browse.Controls().RemoveLink(two);
    EXPECT_EQ(w.boxes().lastTitle(), QStringLiteral("Delete Link"));
    EXPECT_EQ(w.buttonOrder(), QStringList({"One", "Two"}));

    w.boxes().Answer(msgbox::Yes);
    browse.Controls().RemoveLink(two);
    EXPECT_EQ(browse.Pane(two), nullptr) << "the removed Link's pane is released";
    EXPECT_TRUE(w.links().Item(two + 1)->Deleted());
    EXPECT_EQ(storedCaptions(), QStringList({"One"}));

    w.boxes().Answer(msgbox::OK);
    browse.Controls().RemoveLink(w.index("One"));
    EXPECT_EQ(w.boxes().lastTitle(), QStringLiteral("Cannot delete the only Link"));
    EXPECT_EQ(w.buttonOrder(), QStringList({"One"}));
}

TEST(LinkButtons, TheLinkLimitOfOneWindowLifetimeIsRefused) {
    QList<LinkSpec> many;
    for (int i = 1; i <= BrowseWindow::kMaxLinks; ++i)
        many.append({QStringLiteral("L%1").arg(i), QStringLiteral("http://l%1.test/").arg(i)});
    BrowseFixture w(many);
    BrowseWindow& browse = w.Load();
    EXPECT_EQ(w.buttonOrder().size(), BrowseWindow::kMaxLinks);
    // A removed Link keeps its place until the next login.
    w.boxes().Answer(msgbox::Yes);
    browse.Controls().RemoveLink(w.index("L7"));
    w.boxes().Answer(msgbox::OK);
    EXPECT_EQ(browse.AddLink("One more", "http://more.test/", "", "", "", "", false, false), nullptr);
    EXPECT_EQ(w.boxes().lastTitle(), QStringLiteral("Too Many Links"));
    EXPECT_EQ(w.links().Count(), BrowseWindow::kMaxLinks);
}

TEST(LinkButtons, DragOffersFourFormatsAndItsShortcutStaysUntilTheWindowGoes) {
    BrowseFixture w({{"One", "http://one.test/"}, {"Bank & Co", "https://bank.test/login?x=1"}});
    BrowseWindow& browse = w.Load();
    int drags = 0;
    QString text, shortcut;
    QByteArray linkBytes;
    browse.SetDragRunner([&](QDrag& drag) {
        ++drags;
        const QMimeData* data = drag.mimeData();
        text = data->text();
        linkBytes = data->data(QLatin1String(LinkDrag::kLinkFormat));
        EXPECT_EQ(data->data(QLatin1String(LinkDrag::kUrlFormat)), text.toLatin1());
        ASSERT_EQ(data->urls().size(), 1);
        shortcut = data->urls().first().toLocalFile();
    });
    // Held for the drag time without moving, the button still opens its Link on release; moved
    // after the time or before it, it drags (as soon as the time is up), and the release opens nothing.
    LinkButton* button = browse.Buttons().LinkButtonAt(w.index("Bank & Co"));
    const QPoint from(10, 8), to(40, 12);
    QTest::mousePress(button, Qt::LeftButton, {}, from);
    browse.Controls().OnDragStartTimer();
    QTest::mouseRelease(button, Qt::LeftButton, {}, from);
    EXPECT_EQ(drags, 0);
    EXPECT_EQ(w.navigations(), QStringList({"1 https://bank.test/login?x=1"}));
    w.clearNavigations();
    QTest::mousePress(button, Qt::LeftButton, {}, from);
    browse.Controls().OnDragStartTimer();
    QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(button->mapToGlobal(to)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(button, &move);
    QTest::mouseRelease(button, Qt::LeftButton, {}, to);
    QTest::mousePress(button, Qt::LeftButton, {}, from);
    QApplication::sendEvent(button, &move);
    browse.Controls().OnDragStartTimer();
    QTest::mouseRelease(button, Qt::LeftButton, {}, to);
    EXPECT_EQ(drags, 2);
    EXPECT_TRUE(w.navigations().isEmpty());
    EXPECT_EQ(text, QStringLiteral("https://bank.test/login?x=1"));
    EXPECT_EQ(linkBytes, QByteArray("1::https://bank.test/login?x=1::Bank & Co::cmdLink"));
    // The shortcut file is the owner's only; file managers copy it after the drop, so it stays
    // while the window lives.
    EXPECT_TRUE(shortcut.endsWith(QLatin1String("/Bank & Co.url"))) << shortcut.toStdString();
    QFile file(shortcut);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("[InternetShortcut]\r\nURL=https://bank.test/login?x=1\r\n"));
    EXPECT_EQ(file.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
              QFileDevice::Permissions());
    delete &browse;
    EXPECT_FALSE(QFile::exists(shortcut));
}

// A caption with a character outside the code page still makes a drag another program reads,
// and the drop back on a button still finds the Link.
TEST(LinkButtons, DragFormatsAreEightBit) {
    const QString caption = QString::fromUtf8("Bank \u0141\u00f3d\u017e");
    QTemporaryDir folder;
    LinkDrag drag(7, QString::fromUtf8("http://bank.test/\u00e9"), caption, folder.path());
    std::unique_ptr<QMimeData> data(drag.MimeData());
    EXPECT_EQ(data->data(QLatin1String(LinkDrag::kUrlFormat)), QByteArray("http://bank.test/\xE9"));
    EXPECT_EQ(data->data(QLatin1String(LinkDrag::kLinkFormat)),
              QByteArray("7::http://bank.test/\xE9::Bank ?\xF3"
                         "d\x9E::cmdLink"));
    EXPECT_EQ(LinkDrag::Parse(data.get()).kind, LinkDrag::Drop::LinkButton);
    EXPECT_EQ(LinkDrag::Parse(data.get()).sourceIndex, 7);
    QFile shortcut(drag.ShortcutPath());
    ASSERT_TRUE(shortcut.open(QIODevice::ReadOnly));
    EXPECT_EQ(shortcut.readAll(), QByteArray("[InternetShortcut]\r\nURL=http://bank.test/\xE9\r\n"));
}

TEST(LinkButtons, DropsOfAddressesAndPagesMakeLinks) {
    BrowseFixture w({{"One", "http://one.test/"}});
    BrowseWindow& browse = w.Load();
    QMimeData outside, other;
    outside.setText(QStringLiteral("http://www.example.org/some/page"));
    browse.Controls().OnLinkDrop(0, &outside);
    Link& made = w.link(QStringLiteral("Example"));
    EXPECT_EQ(made.URL(), QStringLiteral("http://www.example.org/some/page"));
    EXPECT_FALSE(made.AutoNavigate() || made.ReqLogin());
    other.setText(QStringLiteral("ftp://files.test/x"));
    browse.Controls().OnLinkDrop(0, &other);
    // The page picture drags the visible page; its title names the Link.
    std::unique_ptr<QMimeData> page(
        LinkDrag::PageMimeData(QStringLiteral("http://news.test/today"), QStringLiteral("Today's\tnews")));
    browse.Controls().OnLinkDrop(0, page.get());
    EXPECT_EQ(w.buttonOrder(), QStringList({"One", "Example", "Today's news"}));
}

TEST(LinkButtons, ContextMenuAndLinksMenuOpenTheEditor) {
    BrowseFixture w({{"One", "http://one.test/"}, {"Two", "http://two.test/"}});
    BrowseWindow& browse = w.Load();
    QAction* add = Child<QAction>(&w.frame(), "mnuLinksAdd");
    QMenu* edit = Child<QMenu>(&w.frame(), "mnuLinksEdit");
    // No editor wired: its commands cannot be chosen.
    browse.SetLinkEditorOpener({});
    EXPECT_FALSE(add->isEnabled() || edit->isEnabled());
    QStringList opened;
    browse.SetLinkEditorOpener([&](LinkEditorHost& host, QWidget*, const Link* link) {
        opened << (link ? QStringLiteral("Edit ") + link->Caption() : QStringLiteral("Add"));
        if (!link)
            host.AddLink(QStringLiteral("New"), QStringLiteral("http://new.test/"), "", "", "", "", false,
                         false);
    });
    EXPECT_TRUE(add->isEnabled() && edit->isEnabled());
    contextMenu(browse, w.index("Two"), "mnuDynaEdit");
    contextMenu(browse, w.index("Two"), "mnuDynaAdd");
    EXPECT_EQ(w.buttonOrder(), QStringList({"One", "New", "Two"}));
    // From the Links menu the new Link goes to the end, whatever was right-clicked before.
    QTest::mouseClick(browse.Buttons().LinkButtonAt(w.index("One")), Qt::RightButton);
    Child<QMenu>(&browse, "mnuDyna")->hide();
    add->trigger();
    EXPECT_EQ(w.buttonOrder(), QStringList({"One", "New", "Two", "New"}));
    edit->actions().at(2)->trigger();
    EXPECT_EQ(opened, QStringList({"Edit Two", "Add", "Add", "Edit Two"}));

    // The editor's update changes the stored Link and its button; the user name is stored encrypted.
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
        EXPECT_EQ(caption1(), "A") << "moving keeps each Link in its own slot";
        EXPECT_FALSE(browse.close()) << "the browse window does not close on its own";
        App().EndingOnError = endingOnError;
        Child<QAction>(&w.frame(), "mnuFileExit")->trigger();
        EXPECT_TRUE(App().Unloading);
        // The frame unloads on the second tick of its unload timer.
        w.frame().LifeCycle().UnloadTick();
        w.frame().LifeCycle().UnloadTick();
        EXPECT_EQ(caption1(), endingOnError ? "A" : "C");
    }
}

} // namespace
