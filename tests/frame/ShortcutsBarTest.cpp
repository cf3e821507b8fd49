// The links strip: shortcut files in a folder, the user's order of them, its context menu, drag
// and drop, and scrolling.

#include "frame/ShortcutsBar.h"
#include "browse/FavoritesReader.h"
#include "browse/HistoryTestSupport.h"
#include "browse/LinkDrag.h"
#include "FrameSupport.h"

using namespace frametest;

namespace {

struct Strip {
    LoggedInUser ann;
    ScriptedBoxes boxes;
    QTemporaryDir dir;
    QString folder = dir.filePath("Links");
    std::unique_ptr<ShortcutsBar> bar;

    explicit Strip(const QStringList& names) {
        QDir().mkpath(folder);
        for (const QString& name : names)
            Write(name, "https://" + name.toLower() + ".example/");
        bar = NewBar();
    }
    std::unique_ptr<ShortcutsBar> NewBar() {
        auto b = std::make_unique<ShortcutsBar>();
        b->SetFolder(folder);
        b->Load();
        return b;
    }
    void Write(const QString& name, const QString& address) {
        ASSERT_TRUE(FavoritesReader::WriteShortcut(folder + "/" + name + ".url", address));
    }
    QStringList Stored() const { return ann.Stored("IELinks"); } // name=address in the stored order
    QToolButton& button(int place) {
        return Child<QToolButton>(*bar, ("cmdIELink" + std::to_string(place)).c_str());
    }
    void menu(int place, const char* action) {
        bar->PrepareContextMenu(place);
        Child<QAction>(*bar, action).trigger();
    }
};

} // namespace

TEST(ShortcutsBar, KeepsTheUsersOrderAcrossLoadsAndLeavesOutWhatCannotBeTrusted) {
    Strip s({"Weather", "News", "Maps"});
    QFile bad(s.folder + "/Huge.url");
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("[InternetShortcut]\r\nURL=https://huge.example/\r\n" + QByteArray(70 * 1024, 'x'));
    bad.close();
    s.Write("Script", "javascript:alert(1)");
    QDir().mkpath(s.folder + "/Folder.url");
    // New shortcuts come by name; the order is stored whole.
    s.bar = s.NewBar();
    EXPECT_EQ(s.bar->Names(), QStringList({"Maps", "News", "Weather"}));
    s.bar->MoveLink(2, 0);
    s.bar->MoveLink(1, 3);
    EXPECT_EQ(s.Stored(), QStringList({"Weather=https://weather.example/", "News=https://news.example/",
                                       "Maps=https://maps.example/"}));
    // The next start: a shortcut new in the folder goes to the end, one gone leaves the order.
    s.ann.temp().Reopen();
    s.Write("Alpha", "https://alpha.example/");
    QFile::remove(s.folder + "/News.url");
    s.bar = s.NewBar();
    EXPECT_EQ(s.bar->Names(), QStringList({"Weather", "Maps", "Alpha"}));
    EXPECT_EQ(s.Stored().last(), "Alpha=https://alpha.example/");
    QSignalSpy navigate(s.bar.get(), &ShortcutsBar::NavigateRequested);
    s.button(1).click();
    EXPECT_EQ(navigate.value(0).value(0).toString(), "https://maps.example/");
    // Dropped from elsewhere the untrusted ones are refused as well.
    QMimeData data;
    data.setUrls(
        {QUrl::fromLocalFile(s.folder + "/Script.url"), QUrl::fromLocalFile(s.folder + "/Huge.url")});
    EXPECT_FALSE(s.bar->DropData(&data, 0));
    // Each user has an order of his own.
    App().CurrentUser = "Bob";
    EXPECT_EQ(s.NewBar()->Names(), QStringList({"Alpha", "Maps", "Weather"}));
}

TEST(ShortcutsBar, TheContextMenuAddsEditsDeletesAndSorts) {
    Strip s({"Zoo", "Bank"});
    ScriptedDialogs dialogs;
    core::PageLocation page{"Daily Planet: Home", "https://planet.example/"};
    s.bar->SetPageSource([&page] { return page; });
    // Add: the page on show, after the link the menu was opened on; again only moves it; another
    // page of the same name gets a number.
    s.menu(0, "addLink");
    s.menu(0, "addLink");
    page.url = "https://planet.example/sports";
    s.menu(-1, "addLink");
    const QString planet = FavoritesReader::SafeFileName("Daily Planet: Home");
    EXPECT_EQ(s.bar->Names(), QStringList({"Bank", planet, "Zoo", planet + " (2)"}));
    EXPECT_EQ(FavoritesReader::ReadShortcut(s.folder + "/" + planet + ".url"), "https://planet.example/");
    page.url = ""; // no page: no Add, and without a link no Edit
    s.bar->PrepareContextMenu(-1);
    EXPECT_FALSE(Child<QAction>(*s.bar, "addLink").isEnabled());
    EXPECT_FALSE(Child<QAction>(*s.bar, "editLink").isEnabled());

    // Edit: a new name renames the file; a typed address is completed; a taken name is refused.
    dialogs.Next([](QDialog& d) {
        EXPECT_EQ(Child<QLineEdit>(d, "txtAddress").text(), "https://zoo.example/");
        Child<QLineEdit>(d, "txtName").setText("City Zoo");
        Child<QLineEdit>(d, "txtAddress").setText("cityzoo.example/tickets");
        Child<QPushButton>(d, "cmdOK").click();
        return d.result();
    });
    s.menu(2, "editLink");
    EXPECT_FALSE(QFile::exists(s.folder + "/Zoo.url"));
    EXPECT_EQ(FavoritesReader::ReadShortcut(s.folder + "/City Zoo.url"), "http://cityzoo.example/tickets");
    s.boxes.Answer(msgbox::OK);
    EXPECT_FALSE(s.bar->EditLink(2, "bank", "https://zoo.example/"));

    // Delete asks first.
    s.boxes.Answer(msgbox::No).Answer(msgbox::Yes);
    s.menu(0, "deleteLink");
    s.menu(0, "deleteLink");
    EXPECT_FALSE(QFile::exists(s.folder + "/Bank.url"));
    s.menu(-1, "sortLinks");
    EXPECT_EQ(s.bar->Names(), QStringList({"City Zoo", planet, planet + " (2)"}));
    EXPECT_EQ(s.Stored().first(), "City Zoo=http://cityzoo.example/tickets");

    QSignalSpy toolbars(s.bar.get(), &ShortcutsBar::ToolbarsMenuRequested);
    s.boxes.Answer(msgbox::OK);
    s.menu(-1, "toolbars");
    EXPECT_EQ(toolbars.count(), 1);
    ExpectBoxes(s.boxes, {"linkTaken", "deleteLink", "deleteLink", "selectToolbars"});
}

TEST(ShortcutsBar, TakesDropsAndOffersShortcutsWhenDragged) {
    Strip s({"Bank", "Mail"});
    // A button offers its shortcut file and the Link buttons' formats; dropped on the strip again
    // it only moves.
    std::unique_ptr<QMimeData> dragged(s.bar->DragData(1));
    ASSERT_TRUE(dragged);
    EXPECT_EQ(dragged->text(), "https://mail.example/");
    EXPECT_EQ(dragged->data(LinkDrag::kUrlFormat), "https://mail.example/");
    EXPECT_EQ(dragged->data(LinkDrag::kLinkFormat), "1::https://mail.example/::Mail::IELinks");
    EXPECT_EQ(dragged->urls(), QList<QUrl>({QUrl::fromLocalFile(s.folder + "/Mail.url")}));
    EXPECT_TRUE(s.bar->DropData(dragged.get(), 0));
    EXPECT_EQ(QDir(s.folder).entryList({"*.url"}, QDir::Files, QDir::Name),
              QStringList({"Bank.url", "Mail.url"}));
    // A shortcut file from elsewhere is copied in; a Link button and a page picture become new ones.
    QTemporaryDir other;
    FavoritesReader::WriteShortcut(other.filePath("Library.url"), "https://library.example/");
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(other.filePath("Library.url"))});
    EXPECT_TRUE(s.bar->DropData(&files, 1));
    EXPECT_TRUE(QFile::exists(other.filePath("Library.url")));
    std::unique_ptr<QMimeData> link(LinkDrag(4, "https://shop.example/", "Shop", QString()).MimeData());
    EXPECT_TRUE(s.bar->DropData(link.get(), -1));
    std::unique_ptr<QMimeData> picture(LinkDrag::PageMimeData("https://news.example/today", "Today's News"));
    EXPECT_TRUE(s.bar->DropData(picture.get(), 0));
    EXPECT_EQ(s.bar->Names(), QStringList({FavoritesReader::SafeFileName("Today's News"), "Mail", "Library",
                                           "Bank", "Shop"}));
    EXPECT_EQ(s.Stored().last(), "Shop=https://shop.example/");
    QMimeData text; // plain text that is no address
    text.setText("hello world");
    EXPECT_FALSE(ShortcutsBar::CanDrop(&text));
    EXPECT_FALSE(s.bar->DropData(&text, 0));
}

TEST(ShortcutsBar, ScrollButtonsOnlyWhenTheRowDoesNotFit) {
    QStringList names;
    for (int i = 0; i < 12; ++i)
        names << QString("Site number %1").arg(i, 2, 10, QChar('0'));
    Strip s(names);
    auto& left = Child<QToolButton>(*s.bar, "cmdIELinksLeft");
    auto& right = Child<QToolButton>(*s.bar, "cmdIELinksRight");
    s.bar->resize(300, 30);
    s.bar->show();
    QCoreApplication::processEvents();
    ASSERT_TRUE(right.isVisible() && left.isVisible());
    EXPECT_FALSE(left.isEnabled());
    right.click();
    right.click();
    EXPECT_EQ(s.bar->FirstShown(), 2);
    EXPECT_TRUE(left.isEnabled());
    // All the way: the last button is in view, between the arrows.
    s.bar->ScrollBy(100);
    EXPECT_FALSE(right.isEnabled());
    QToolButton& last = s.button(11);
    EXPECT_LE(last.mapTo(s.bar.get(), QPoint(last.width(), 0)).x(), right.x());
    EXPECT_GE(last.mapTo(s.bar.get(), QPoint(0, 0)).x(), left.width());
    s.bar->resize(6000, 30);
    QCoreApplication::processEvents();
    EXPECT_FALSE(left.isVisible() || right.isVisible());
    EXPECT_EQ(s.bar->FirstShown(), 0);
}
