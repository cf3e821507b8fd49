// The Link buttons: their order, drags and drops, the menus, the Link limit, saving at close.
#include <QApplication>
#include <QDrag>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QToolButton>

#include "browse/LinkControls.h"
#include "browse/LinkDrag.h"
#include "BrowseSupport.h"

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

TEST(LinkButtons, OrderFollowsAddInsertRemoveSortDragAndDrop) {
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
    w.pane(w.index("A")).SetLocation("http://a.test/page", "  The\r\nA   page ");
    w.links().SetForceVisible(w.index("A") + 1);
    browse.ShowPane(w.index("A"));
    Link* fromPage = browse.AddLink("", "", "", "", "", "", false, false);
    ASSERT_TRUE(fromPage);
    EXPECT_EQ(fromPage->URL(), "http://a.test/page");
    EXPECT_EQ(w.buttonOrder(), QStringList({"A", "d", "b", "c", "The A page"}));

    // Remove through the context menu: asked first, No keeps it.
    w.boxes().Answer(msgbox::No).Answer(msgbox::Yes);
    contextMenu(browse, w.index("d"), "mnuDynaRemove");
    EXPECT_EQ(w.buttonOrder().size(), 5);
    contextMenu(browse, w.index("d"), "mnuDynaRemove");
    EXPECT_EQ(w.buttonOrder(), QStringList({"A", "b", "c", "The A page"}));
    EXPECT_EQ(menuTexts(w.frame(), "mnuLinksEdit"), w.buttonOrder());

    // Dragging "c" onto "A" puts "c" first and "A" second.
    LinkDrag drag(w.index("c"), "http://c.test/", "c", QString());
    std::unique_ptr<QMimeData> data(drag.MimeData());
    browse.Controls().OnLinkDrop(w.index("A"), data.get());
    EXPECT_EQ(w.buttonOrder(), QStringList({"c", "A", "b", "The A page"}));

    // A dropped address makes a Link at the end; so does the page picture (it drags the visible
    // page, whose title names the Link). Not every address is one.
    QMimeData outside, other;
    outside.setText("http://www.example.org/some/page");
    browse.Controls().OnLinkDrop(0, &outside);
    Link& made = w.link("Example");
    EXPECT_EQ(made.URL(), "http://www.example.org/some/page");
    EXPECT_FALSE(made.AutoNavigate() || made.ReqLogin());
    other.setText("ftp://files.test/x");
    browse.Controls().OnLinkDrop(0, &other);
    std::unique_ptr<QMimeData> page(LinkDrag::PageMimeData("http://news.test/today", "Today's\tnews"));
    browse.Controls().OnLinkDrop(0, page.get());
    EXPECT_EQ(w.buttonOrder(), QStringList({"c", "A", "b", "The A page", "Example", "Today's news"}));
    EXPECT_EQ(storedCaptions(), w.buttonOrder());
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
    EXPECT_EQ(w.boxes().lastTitle(), "Too Many Links");
    EXPECT_EQ(w.links().Count(), BrowseWindow::kMaxLinks);
}

// A caption and address outside the code page still make a drag another program reads, and
// the drop back on a button still finds the Link.
TEST(LinkButtons, DragOffersEightBitFormatsAndItsShortcutStaysUntilTheWindowGoes) {
    const QString caption = QString::fromUtf8("Bank & \u0141\u00f3d\u017e");
    const QString url = QString::fromUtf8("https://bank.test/login?x=\u00e9");
    BrowseFixture w({{"One", "http://one.test/"}, {caption, url}});
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
        EXPECT_EQ(LinkDrag::Parse(data).sourceIndex, 1);
        ASSERT_EQ(data->urls().size(), 1);
        shortcut = data->urls().first().toLocalFile();
    });
    // Held for the drag time without moving, the button still opens its Link on release; moved
    // after the time or before it, it drags (as soon as the time is up), and the release opens nothing.
    LinkButton* button = browse.Buttons().LinkButtonAt(w.index(caption));
    const QPoint from(10, 8), to(40, 12);
    QTest::mousePress(button, Qt::LeftButton, {}, from);
    browse.Controls().OnDragStartTimer();
    QTest::mouseRelease(button, Qt::LeftButton, {}, from);
    EXPECT_EQ(drags, 0);
    EXPECT_EQ(w.navigations(), QStringList({"1 " + url}));
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
    EXPECT_EQ(text, url);
    EXPECT_EQ(linkBytes, QByteArray("1::https://bank.test/login?x=\xE9::Bank & ?\xF3"
                                    "d\x9E::cmdLink"));
    // The shortcut file is the owner's only; file managers copy it after the drop, so it stays
    // while the window lives.
    EXPECT_TRUE(shortcut.endsWith("/" + caption + ".url")) << shortcut.toStdString();
    QFile file(shortcut);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("[InternetShortcut]\r\nURL=https://bank.test/login?x=\xE9\r\n"));
    EXPECT_EQ(file.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
              QFileDevice::Permissions());
    delete &browse;
    EXPECT_FALSE(QFile::exists(shortcut));
}

TEST(LinkButtons, ContextMenuAndLinksMenuOpenTheEditor) {
    BrowseFixture w({{"One", "http://one.test/"}, {"Two", "http://two.test/"}});
    BrowseWindow& browse = w.Load();
    QStringList opened;
    browse.SetLinkEditorOpener([&](LinkEditorHost& host, QWidget*, const Link* link) {
        opened << (link ? QStringLiteral("Edit ") + link->Caption() : QStringLiteral("Add"));
        if (!link) host.AddLink("New", "http://new.test/", "", "", "", "", false, false);
    });
    contextMenu(browse, w.index("Two"), "mnuDynaEdit");
    contextMenu(browse, w.index("Two"), "mnuDynaAdd");
    EXPECT_EQ(w.buttonOrder(), QStringList({"One", "New", "Two"}));
    // From the Links menu the new Link goes to the end, whatever was right-clicked before.
    QTest::mouseClick(browse.Buttons().LinkButtonAt(w.index("One")), Qt::RightButton);
    Child<QMenu>(&browse, "mnuDyna")->hide();
    Child<QAction>(&w.frame(), "mnuLinksAdd")->trigger();
    EXPECT_EQ(w.buttonOrder(), QStringList({"One", "New", "Two", "New"}));
    Child<QMenu>(&w.frame(), "mnuLinksEdit")->actions().at(2)->trigger();
    EXPECT_EQ(opened, QStringList({"Edit Two", "Add", "Add", "Edit Two"}));

    // The editor's update changes the stored Link and its button; the user name is stored encrypted.
    Link* updated = browse.UpdateLink(w.index("One") + 1, "First", "http://first.test/", QStringLiteral("me"),
                                      "pw", "", "", true, true);
    ASSERT_TRUE(updated);
    EXPECT_EQ(updated->UserName(), "me");
    EXPECT_NE(updated->UserNameEnc(), "me");
    EXPECT_EQ(storedCaptions().first(), "First");
    EXPECT_EQ(browse.Buttons().LinkButtonAt(updated->Index() - 1)->text(), "First");
}

TEST(LinkButtons, ClosingSavesCompactlyUnlessEndingOnError) {
    const auto caption1 = [] { return core::GetValue(QLatin1String(BrowseFixture::kUser), "Caption1"); };
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
