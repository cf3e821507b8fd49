// The frame's smaller pieces: the companion program, tips, help pages, the agreement, Internet
// Options, the find bar, page properties and the About box.
#include <QtWebEngineCore/qtwebenginecoreglobal.h>

#include "browse/engine/ProgramPages.h"
#include "browse/UserHomePage.h"
#include "core/AppState.h"
#include "core/Companion.h"
#include "frame/AboutBox.h"
#include "frame/AgreementDialog.h"
#include "frame/FindBar.h"
#include "frame/Help.h"
#include "frame/InternetOptions.h"
#include "frame/PagePropertiesDialog.h"
#include "frame/TipOfTheDay.h"
#include "FrameSupport.h"

using namespace core;
using namespace frametest;

TEST(Companion, StartsDetachedWithTheArgumentsAndSkipsAMissingProgram) {
    QTemporaryDir dir;
    QFile script(dir.filePath("bghelper")); // writes how it was called
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(("#!/bin/sh\necho \"$# [$1] $(pwd)\" > '" + dir.filePath("called") + "'\n").toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    Companion::SetFolder(dir.path());
    EXPECT_TRUE(Companion::Start(" /REGSERVER"));
    QFile called(dir.filePath("called"));
    ASSERT_TRUE(WaitFor([&] { return called.size() > 0; }) && called.open(QIODevice::ReadOnly));
    EXPECT_EQ(called.readAll().trimmed(), "1 [/REGSERVER] " + dir.path().toUtf8());
    script.remove();
    EXPECT_FALSE(Companion::Start(" /REGSERVER"));
    Companion::SetFolder(QString());
}

TEST(TipOfTheDay, EachShowingMovesOnAndTheTickIsTheUsersOwn) {
    TempStore temp;
    ScriptedDialogs dialogs;
    App().CurrentUser = "Ann";
    {
        TipOfTheDay tip;
        EXPECT_EQ(Child<QLabel>(tip, "lblTip").text(), TipOfTheDay::Tips().at(0));
        Child<QPushButton>(tip, "cmdNext").click();
        EXPECT_EQ(GetValue("Ann", "CurrTip"), "2");
        EXPECT_FALSE(TipOfTheDay::ShowAtStartUp()) << "tips at start-up start switched off";
        Child<QCheckBox>(tip, "chkShowTips").setChecked(true);
    }
    dialogs.Next([](QDialog& d) {
        EXPECT_EQ(static_cast<TipOfTheDay&>(d).TipShown(), 2);
        return 1;
    });
    EXPECT_TRUE(TipOfTheDay::ShowAtStartUp());
    // The last one is followed by the first; a place out of range starts again.
    SaveValue("Ann", "CurrTip", QString::number(TipOfTheDay::Tips().size() - 1));
    EXPECT_EQ(TipOfTheDay().TipShown(), TipOfTheDay::Tips().size() - 1);
    EXPECT_EQ(GetValue("Ann", "CurrTip"), "0");
    SaveValue("Ann", "CurrTip", "999");
    EXPECT_EQ(TipOfTheDay::CurrTip(), 0);
    App().CurrentUser = "Bob";
    EXPECT_FALSE(TipOfTheDay::ShowAtStartUp());
    EXPECT_EQ(dialogs.count(), 1);
}

TEST(Help, TopicsLeadToPagesTheProgramServesAndEveryHelpLinkWorks) {
    EXPECT_EQ(Help::TopicUrl("no such topic"), "bramblegate://help/");
    QStringList pages, checked;
    for (const char* topic : {"", "Links", "PopUps", "History", "Lock", "Options", "Keys", "59", "NewUser"})
        pages << Help::TopicUrl(topic);
    const QRegularExpression link("href=\"(bramblegate://[^\"]*)\"");
    while (!pages.isEmpty()) {
        const QUrl url(pages.takeFirst());
        const QString page = url.adjusted(QUrl::RemoveFragment).toString();
        const QString content = QString::fromUtf8(ProgramPages::Content(QUrl(page)));
        ASSERT_FALSE(content.isEmpty()) << page.toStdString();
        EXPECT_TRUE(!url.hasFragment() || content.contains("id=\"" + url.fragment() + "\""))
            << url.toString().toStdString();
        if (checked.contains(page)) continue;
        checked << page;
        for (auto it = link.globalMatch(content); it.hasNext();)
            pages << it.next().captured(1);
    }
    EXPECT_GE(checked.size(), 10);
}

TEST(AgreementDialog, DecliningAsksAndOnlyAConfirmedLeaveEndsIt) {
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    const auto click = [](const char* button) {
        return [button](QDialog& d) { return (Child<QPushButton>(d, button).click(), d.result()); };
    };
    dialogs.Next(click("cmdDecline")).Next(click("cmdAccept")).Next(click("cmdDecline"));
    boxes.Answer(msgbox::No).Answer(msgbox::Yes);
    EXPECT_TRUE(AgreementDialog::Run(nullptr));
    EXPECT_FALSE(AgreementDialog::Run(nullptr));
    EXPECT_EQ(dialogs.count(), 3);
    ExpectBoxes(boxes, {"declined", "declined"});
}

TEST(InternetOptions, AHomePagePerUserDefaultingToTheStartPage) {
    TempStore temp;
    ScriptedBoxes boxes;
    App().CurrentUser = "Ann";
    QSignalSpy changed(UserHomePage::Notifier(), &HomePageNotifier::HomePageChanged);
    InternetOptions dialog;
    auto& home = Child<QLineEdit>(dialog, "txtHomePage");
    auto& ok = Child<QPushButton>(dialog, "cmdOK");
    EXPECT_EQ(home.text(), "bramblegate://start/");
    home.setText("javascript:alert(1)");
    boxes.Answer(msgbox::OK);
    ok.click();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    home.setText("news.example/today");
    ok.click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(changed.value(0).value(0).toString(), "http://news.example/today");
    EXPECT_EQ(UserHomePage::Get(), "http://news.example/today");
    App().CurrentUser = "Bob";
    EXPECT_EQ(UserHomePage::Get(), "bramblegate://start/");
    App().CurrentUser = "Ann";
    Child<QPushButton>(dialog, "cmdUseDefault").click();
    ok.click();
    EXPECT_FALSE(ValueExists("Ann", "HomePage"));
    // Deleting browsing data asks first; No deletes nothing.
    Child<QCheckBox>(dialog, "chkCookies").setChecked(true);
    boxes.Answer(msgbox::No);
    EXPECT_FALSE(dialog.OnDeleteClicked());
    ExpectBoxes(boxes, {"homePage", "deleteBrowsingData"});
}

namespace {
class FindPane : public FakePane {
public:
    QStringList finds;
    void FindText(const QString& text, bool backward, bool caseSensitive, Done done) override {
        finds << text + (backward ? " <" : " >") + (caseSensitive ? " Aa" : "");
        FakePane::FindText(text, backward, caseSensitive, std::move(done));
    }
};
} // namespace

TEST(FindBar, FindsForwardBackwardWithCaseAndSaysWhenNotFound) {
    FindPane pane;
    QWidget window;
    FindBar bar(&window);
    bar.Attach(&pane);
    window.show();
    bar.FindNext(); // nothing to look for yet: the bar opens
    auto& edit = Child<QLineEdit>(bar, "txtFind");
    QTest::keyClicks(&edit, "pri");
    QTest::keyClick(&edit, Qt::Key_Return);
    QTest::keyClick(&edit, Qt::Key_F3, Qt::ShiftModifier);
    Child<QCheckBox>(bar, "chkMatchCase").setChecked(true);
    pane.SetFindResult(false);
    bar.FindPrevious();
    EXPECT_EQ(pane.finds, QStringList({"p >", "pr >", "pri >", "pri >", "pri <", "pri > Aa", "pri < Aa"}));
    EXPECT_EQ(Child<QLabel>(bar, "lblFindStatus").text(), FindBar::kNotFound);
    QTest::keyClick(&edit, Qt::Key_Escape);
    EXPECT_FALSE(bar.isVisible());
    EXPECT_EQ(pane.finds.last(), " >"); // the page's highlight goes
    EXPECT_EQ(Child<QLabel>(bar, "lblFindStatus").text(), "");
}

TEST(PagePropertiesDialog, ShowsAddressTitleTypeSizeSecurityAndDates) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    FakePane pane;
    pane.SetLocation("https://bank.example/accounts", "Your Accounts");
    pane.SetHtmlDocument(true);
    using D = PagePropertiesDialog;
    D dialog(pane);
    const auto texts = [&](std::initializer_list<D::Row> rows) {
        QStringList out;
        for (D::Row row : rows)
            out << (dialog.IsShown(row) ? dialog.Text(row) : "-");
        return out;
    };
    EXPECT_EQ(texts({D::Protocol, D::Type, D::Size, D::Security, D::Modified}),
              QStringList({"HyperText Transfer Protocol with Privacy", "HTML Document", "Not available",
                           "Secure: encrypted (HTTPS), the site's certificate is valid", "-"}));
    PageFacts facts;
    facts.contentType = "application/pdf";
    facts.size = 12345;
    facts.lastModified = QDateTime(QDate(2024, 3, 1), QTime(9, 30));
    dialog.SetFacts(facts);
    EXPECT_EQ(texts({D::Type, D::Size, D::Loaded}),
              QStringList({"PDF Document", "12.1 kB (12,345 bytes)", "-"}));
    EXPECT_TRUE(dialog.Text(D::Modified).contains("2024"));
    // A failed secure page is no secure page; plain http never is.
    pane.SetErrorPage(true);
    EXPECT_EQ(D(pane).Text(D::Security), "Not secure: the secure connection failed");
    pane.SetErrorPage(false);
    pane.SetLocation("http://news.example/", "");
    EXPECT_EQ(D(pane).Text(D::Security) + "|" + D(pane).Text(D::Title),
              "Not secure: not encrypted (HTTP)|(no title)");
    QLocale::setDefault(QLocale::system());
}

TEST(AboutBox, ShowsTheProgramsVersionAndTheEnginesAge) {
    EXPECT_EQ(AboutBox::VersionText().remove('.'), AppVersion());
    AboutBox box;
    const QString engine = Child<QLabel>(box, "lblEngine").text();
    EXPECT_TRUE(
        engine.contains(QStringLiteral("Chromium %1 (security fixes up to %2)")
                            .arg(qWebEngineChromiumVersion(), qWebEngineChromiumSecurityPatchVersion())))
        << engine.toStdString();
}
