#include <gtest/gtest.h>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "browse/FavoritesReader.h"
#include "browse/LinkDrag.h"
#include "core/AppState.h"
#include "core/Settings.h"
#include "frame/ShortcutEditor.h"
#include "frame/ShortcutsBar.h"
#include "support/TestSupport.h"

using namespace core;

namespace {

struct Strip {
    TempStore temp;
    ScriptedBoxes boxes;
    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<ShortcutsBar> bar;

    Strip() : folder(dir.path() + "/Links") {
        App().CurrentUser = "Ann";
        QDir().mkpath(folder);
        bar = NewBar();
    }
    std::unique_ptr<ShortcutsBar> NewBar() {
        auto b = std::make_unique<ShortcutsBar>();
        b->SetFolder(folder);
        return b;
    }
    void Write(const QString& name, const QString& address) {
        ASSERT_TRUE(FavoritesReader::WriteShortcut(folder + "/" + name + ".url", address));
    }
    // The stored order: name=address in the key's order.
    QStringList Stored() const {
        QStringList names, values, out;
        const int n = EnumValues("Software\\Bramblegate\\AnnIELinks", names, values);
        for (int i = 0; i < n; ++i)
            out << names[i] + "=" + values[i];
        return out;
    }
    QStringList Files() const { return QDir(folder).entryList({"*.url"}, QDir::Files, QDir::Name); }
};

} // namespace

TEST(ShortcutsBar, KeepsTheUsersOrderAcrossLoadsAndFollowsTheFolder) {
    Strip s;
    s.Write("Weather", "https://weather.example/");
    s.Write("News", "https://news.example/");
    s.Write("Maps", "https://maps.example/");
    s.bar->Load();
    // New shortcuts come by name; the order is stored whole.
    EXPECT_EQ(s.bar->Names(), QStringList({"Maps", "News", "Weather"}));
    EXPECT_EQ(s.Stored(), QStringList({"Maps=https://maps.example/", "News=https://news.example/",
                                       "Weather=https://weather.example/"}));
    s.bar->MoveLink(2, 0);
    s.bar->MoveLink(1, 3);
    EXPECT_EQ(s.bar->Names(), QStringList({"Weather", "News", "Maps"}));
    EXPECT_EQ(s.Stored(), QStringList({"Weather=https://weather.example/", "News=https://news.example/",
                                       "Maps=https://maps.example/"}));

    // The next start reads the same order; a shortcut new in the folder goes to the end, one
    // gone from it leaves the order.
    s.temp.Reopen();
    s.Write("Alpha", "https://alpha.example/");
    QFile::remove(s.folder + "/News.url");
    auto again = s.NewBar();
    again->Load();
    EXPECT_EQ(again->Names(), QStringList({"Weather", "Maps", "Alpha"}));
    EXPECT_EQ(s.Stored(), QStringList({"Weather=https://weather.example/", "Maps=https://maps.example/",
                                       "Alpha=https://alpha.example/"}));
    // Each user has an order of his own.
    App().CurrentUser = "Bob";
    auto bobs = s.NewBar();
    bobs->Load();
    EXPECT_EQ(bobs->Names(), QStringList({"Alpha", "Maps", "Weather"}));

    // A click opens the address.
    QSignalSpy navigate(again.get(), &ShortcutsBar::NavigateRequested);
    again->Button(1)->click();
    ASSERT_EQ(navigate.count(), 1);
    EXPECT_EQ(navigate.at(0).at(0).toString(), "https://maps.example/");
}

TEST(ShortcutsBar, ShortcutsThatCannotBeTrustedAreLeftOut) {
    Strip s;
    s.Write("Good", "https://good.example/");
    s.Write("Script", "javascript:alert(1)");
    QFile empty(s.folder + "/Empty.url");
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.write("[InternetShortcut]\r\nIconIndex=0\r\n");
    empty.close();
    QFile huge(s.folder + "/Huge.url");
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    huge.write("[InternetShortcut]\r\nURL=https://huge.example/\r\n" + QByteArray(70 * 1024, 'x'));
    huge.close();
    QDir().mkpath(s.folder + "/Folder.url");
    s.bar->Load();
    EXPECT_EQ(s.bar->Names(), QStringList({"Good"}));
    EXPECT_EQ(s.Stored(), QStringList({"Good=https://good.example/"}));

    // Dropped from elsewhere they are refused as well.
    auto data = std::make_unique<QMimeData>();
    data->setUrls(
        {QUrl::fromLocalFile(s.folder + "/Script.url"), QUrl::fromLocalFile(s.folder + "/Huge.url")});
    EXPECT_FALSE(s.bar->DropData(data.get(), 0));
    EXPECT_EQ(s.bar->Names(), QStringList({"Good"}));
}

TEST(ShortcutsBar, ContextMenuAddsEditsDeletesAndSorts) {
    Strip s;
    ScriptedDialogs dialogs;
    s.Write("Zoo", "https://zoo.example/");
    s.Write("Bank", "https://bank.example/");
    s.bar->Load();
    core::PageLocation page{"Daily Planet: Home", "https://planet.example/"};
    s.bar->SetPageSource([&page] { return page; });

    // Add: the page on show, after the link the menu was opened on.
    s.bar->PrepareContextMenu(0);
    ASSERT_TRUE(s.bar->AddAction()->isEnabled());
    s.bar->AddAction()->trigger();
    const QString planet = FavoritesReader::SafeFileName("Daily Planet: Home");
    EXPECT_EQ(s.bar->Names(), QStringList({"Bank", planet, "Zoo"}));
    EXPECT_EQ(FavoritesReader::ReadShortcut(s.folder + "/" + planet + ".url"), "https://planet.example/");
    // The same page again adds nothing; another page of the same name gets a number.
    s.bar->AddAction()->trigger();
    EXPECT_EQ(s.bar->Count(), 3);
    page.url = "https://planet.example/sports";
    s.bar->PrepareContextMenu(-1);
    s.bar->AddAction()->trigger();
    EXPECT_EQ(s.bar->Names().last(), planet + " (2)");
    // No page, no Add.
    page.url = "";
    s.bar->PrepareContextMenu(-1);
    EXPECT_FALSE(s.bar->AddAction()->isEnabled());
    EXPECT_FALSE(s.bar->EditAction()->isEnabled());

    // Edit: a new name renames the file; a typed address is completed.
    dialogs.Next([](QDialog& d) {
        auto& editor = static_cast<ShortcutEditor&>(d);
        EXPECT_EQ(editor.NameEdit()->text(), "Zoo");
        EXPECT_EQ(editor.AddressEdit()->text(), "https://zoo.example/");
        editor.NameEdit()->setText("City Zoo");
        editor.AddressEdit()->setText("cityzoo.example/tickets");
        editor.OnOkClicked();
        return d.result();
    });
    s.bar->PrepareContextMenu(2);
    s.bar->EditAction()->trigger();
    EXPECT_EQ(s.bar->Names().at(2), "City Zoo");
    EXPECT_FALSE(QFile::exists(s.folder + "/Zoo.url"));
    EXPECT_EQ(FavoritesReader::ReadShortcut(s.folder + "/City Zoo.url"), "http://cityzoo.example/tickets");
    // Another link's name is refused.
    EXPECT_FALSE(s.bar->EditLink(2, "bank", "https://zoo.example/"));
    EXPECT_EQ(s.boxes.lastText(), "A link named 'bank' already exists.\r\r");

    // Delete asks first.
    s.boxes.Answer(msgbox::No).Answer(msgbox::Yes);
    s.bar->PrepareContextMenu(0);
    s.bar->DeleteAction()->trigger();
    EXPECT_EQ(s.bar->Count(), 4);
    s.bar->DeleteAction()->trigger();
    EXPECT_EQ(s.boxes.lastText(), "Are you sure you want to delete the link 'Bank'?\r\r");
    EXPECT_EQ(s.bar->Names(), QStringList({planet, "City Zoo", planet + " (2)"}));
    EXPECT_FALSE(QFile::exists(s.folder + "/Bank.url"));

    s.bar->SortAction()->trigger();
    EXPECT_EQ(s.bar->Names(), QStringList({"City Zoo", planet, planet + " (2)"}));
    EXPECT_EQ(s.Stored().first(), "City Zoo=http://cityzoo.example/tickets");

    QSignalSpy toolbars(s.bar.get(), &ShortcutsBar::ToolbarsMenuRequested);
    s.bar->ToolbarsAction()->trigger();
    EXPECT_EQ(s.boxes.lastText(), "Please select Toolbars from View menu.");
    EXPECT_EQ(s.boxes.lastTitle(), "Toolbars");
    EXPECT_EQ(toolbars.count(), 1);
}

TEST(ShortcutsBar, TakesDropsAndOffersShortcutsWhenDragged) {
    Strip s;
    s.Write("Bank", "https://bank.example/");
    s.Write("Mail", "https://mail.example/");
    s.bar->Load();

    // A button offers its shortcut file and the Link buttons' formats.
    std::unique_ptr<QMimeData> dragged(s.bar->DragData(1));
    ASSERT_TRUE(dragged);
    EXPECT_EQ(dragged->text(), "https://mail.example/");
    EXPECT_EQ(dragged->data(LinkDrag::kUrlFormat), "https://mail.example/");
    EXPECT_EQ(dragged->data(LinkDrag::kLinkFormat), "1::https://mail.example/::Mail::IELinks");
    EXPECT_EQ(dragged->urls(), QList<QUrl>({QUrl::fromLocalFile(s.folder + "/Mail.url")}));
    // Dropped on the strip again it only moves.
    EXPECT_TRUE(s.bar->DropData(dragged.get(), 0));
    EXPECT_EQ(s.bar->Names(), QStringList({"Mail", "Bank"}));
    EXPECT_EQ(s.Files(), QStringList({"Bank.url", "Mail.url"}));

    // A shortcut file from elsewhere is copied in.
    QTemporaryDir other;
    FavoritesReader::WriteShortcut(other.path() + "/Library.url", "https://library.example/");
    auto files = std::make_unique<QMimeData>();
    files->setUrls({QUrl::fromLocalFile(other.path() + "/Library.url")});
    EXPECT_TRUE(ShortcutsBar::CanDrop(files.get()));
    EXPECT_TRUE(s.bar->DropData(files.get(), 1));
    EXPECT_EQ(s.bar->Names(), QStringList({"Mail", "Library", "Bank"}));
    EXPECT_TRUE(QFile::exists(other.path() + "/Library.url"));
    EXPECT_EQ(FavoritesReader::ReadShortcut(s.folder + "/Library.url"), "https://library.example/");

    // A Link button of the browse window, and the page picture with its title.
    LinkDrag link(4, "https://shop.example/", "Shop", QString());
    std::unique_ptr<QMimeData> linkData(link.MimeData());
    EXPECT_TRUE(s.bar->DropData(linkData.get(), -1));
    std::unique_ptr<QMimeData> pageData(LinkDrag::PageMimeData("https://news.example/today", "Today's News"));
    EXPECT_TRUE(s.bar->DropData(pageData.get(), 0));
    EXPECT_EQ(s.bar->Names(), QStringList({FavoritesReader::SafeFileName("Today's News"), "Mail", "Library",
                                           "Bank", "Shop"}));
    EXPECT_EQ(s.Stored().last(), "Shop=https://shop.example/");
    // Plain text that is no address is not taken.
    QMimeData text;
    text.setText("hello world");
    EXPECT_FALSE(ShortcutsBar::CanDrop(&text));
    EXPECT_FALSE(s.bar->DropData(&text, 0));
}

TEST(ShortcutsBar, ScrollButtonsOnlyWhenTheRowDoesNotFit) {
    Strip s;
    for (int i = 0; i < 12; ++i)
        s.Write(QString("Site number %1").arg(i, 2, 10, QChar('0')),
                QString("https://site%1.example/").arg(i));
    s.bar->Load();
    s.bar->resize(300, 30);
    s.bar->show();
    QCoreApplication::processEvents();
    ASSERT_TRUE(s.bar->ScrollRightButton()->isVisible());
    EXPECT_TRUE(s.bar->ScrollLeftButton()->isVisible());
    EXPECT_FALSE(s.bar->ScrollLeftButton()->isEnabled());
    EXPECT_TRUE(s.bar->ScrollRightButton()->isEnabled());
    s.bar->ScrollRightButton()->click();
    s.bar->ScrollRightButton()->click();
    EXPECT_EQ(s.bar->FirstShown(), 2);
    EXPECT_TRUE(s.bar->ScrollLeftButton()->isEnabled());
    // All the way: the last button is in view, between the arrows.
    s.bar->ScrollBy(100);
    EXPECT_FALSE(s.bar->ScrollRightButton()->isEnabled());
    QToolButton* last = s.bar->Button(11);
    EXPECT_LE(last->mapTo(s.bar.get(), QPoint(last->width(), 0)).x(), s.bar->ScrollRightButton()->x());
    EXPECT_GE(last->mapTo(s.bar.get(), QPoint(0, 0)).x(), s.bar->ScrollLeftButton()->width());
    s.bar->ScrollLeftButton()->click();
    EXPECT_TRUE(s.bar->ScrollRightButton()->isEnabled());

    s.bar->resize(6000, 30);
    QCoreApplication::processEvents();
    EXPECT_FALSE(s.bar->ScrollLeftButton()->isVisible());
    EXPECT_FALSE(s.bar->ScrollRightButton()->isVisible());
    EXPECT_EQ(s.bar->FirstShown(), 0);
}
