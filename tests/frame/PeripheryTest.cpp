// The frame's dialogs and smaller pieces: the companion program, tips, the agreement,
// Internet Options, the find bar, page properties, the About box, and the Options dialog (what it
// shows, the checks made when a field is left, what Apply stores).
#include <QtWebEngineCore/qtwebenginecoreglobal.h>

#include "browse/HistoryTestSupport.h"
#include "browse/UserHomePage.h"
#include "core/Companion.h"
#include "frame/AboutBox.h"
#include "frame/AgreementDialog.h"
#include "frame/FindBar.h"
#include "frame/InternetOptions.h"
#include "frame/OptionsDialog.h"
#include "frame/PagePropertiesDialog.h"
#include "frame/TipOfTheDay.h"
#include "FrameSupport.h"
#include "users/UserOptions.h"

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
    LoggedInUser ann;
    ScriptedDialogs dialogs;
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
    ExpectBoxes(boxes, {"declined", "declined"});
}

TEST(InternetOptions, AHomePagePerUserDefaultingToTheStartPage) {
    LoggedInUser ann;
    ScriptedBoxes boxes;
    QSignalSpy changed(UserHomePage::Notifier(), &HomePageNotifier::HomePageChanged);
    InternetOptions dialog;
    auto& home = Child<QLineEdit>(dialog, "txtHomePage");
    auto& ok = Child<QPushButton>(dialog, "cmdOK");
    EXPECT_EQ(home.text(), "bramblegate://start/");
    boxes.Answer(msgbox::OK); // the first is refused
    for (const char* typed : {"javascript:alert(1)", "news.example/today"}) {
        home.setText(typed);
        ok.click();
    }
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

const QString kAnn = QStringLiteral("Ann");

// Ann with the Links Bank (pop-ups let through), Mail and News ("Gone" removed between them), and
// the dialog on show.
struct Options {
    LoggedInUser ann;
    ScriptedBoxes boxes;
    std::unique_ptr<Links> links;
    std::unique_ptr<OptionsDialog> dialog;

    Options() {
        App().PassPhrase = QStringLiteral("wonderland");
        links = std::make_unique<Links>(kAnn);
        for (const QString caption : {"Bank", "Gone", "Mail", "News"})
            links->Add(caption, SecretCipher::EncryptMessage("https://" + caption + ".example/"), "", "", "",
                       "", false, false);
        links->Remove(2);
        links->Item(1)->SetHidePopUps(false);
        links->SaveLink(1, 1);
        dialog = std::make_unique<OptionsDialog>(links.get());
        dialog->show();
        dialog->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    }
    QLineEdit& field(const char* name) { return Child<QLineEdit>(*dialog, name); }
    QPushButton& button(const char* name) { return Child<QPushButton>(*dialog, name); }
    QListWidget& list() { return Child<QListWidget>(*dialog, "lstLinks"); }
    // Focuses a widget as the user would, its tab brought to the front first.
    void Focus(QWidget& w) {
        auto& tabs = Child<QTabWidget>(*dialog, "tabOptions");
        for (int i = 0; i < tabs.count(); ++i)
            if (tabs.widget(i)->isAncestorOf(&w)) tabs.setCurrentIndex(i);
        w.setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
    }
    QString Checked() {
        QString out;
        for (int i = 0; i < list().count(); ++i)
            out += list().item(i)->text() + (list().item(i)->checkState() == Qt::Checked ? "+" : "-");
        return out;
    }
};

} // namespace

TEST(FindBar, FindsForwardBackwardWithCaseAndSaysWhenNotFound) {
    FakePane pane;
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
    bar.FindPrevious();
    EXPECT_EQ(pane.finds(), QStringList({"p >", "pr >", "pri >", "pri >", "pri <", "pri > Aa", "pri < Aa"}));
    EXPECT_EQ(Child<QLabel>(bar, "lblFindStatus").text(), FindBar::kNotFound);
    QTest::keyClick(&edit, Qt::Key_Escape);
    EXPECT_FALSE(bar.isVisible());
    EXPECT_EQ(pane.finds().last(), " >"); // the page's highlight goes
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
    dialog.SetFacts({"application/pdf", 12345, QDateTime(QDate(2024, 3, 1), QTime(9, 30)), {}});
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

TEST(OptionsDialog, AFieldIsCheckedWhenLeftAndARefusedOneKeepsTheFocus) {
    Options o;
    const struct {
        const char *field, *text, *refused; // the message, or null
    } cases[] = {{"txtIdleMinutes", " 60 ", nullptr},
                 {"txtIdleMinutes", "61", "idleRange"},
                 {"txtIdleMinutes", "5.5", "idleRange"},
                 {"txtFreezeMinutes", "1440", nullptr},
                 {"txtFreezeMinutes", "1441", "linkIdleRange"},
                 {"txtDiscardMinutes", "ten", "linkIdleRange"},
                 {"txtBookmarks", "5", nullptr},
                 {"txtBookmarks", "4", "bookmarksRange"},
                 {"txtBookmarks", "201", "bookmarksRange"},
                 {"txtHistoryItems", "0", nullptr},
                 {"txtHistoryItems", "201", "historyRange"},
                 {"txtSSN", "123-456-7890", "ssnLength"},
                 {"txtSSN", "12a-45", "ssnDigits"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " '" + c.text + "'");
        QLineEdit& field = o.field(c.field);
        const QString before = field.text();
        o.Focus(field);
        field.setText(c.text);
        if (c.refused) o.boxes.Answer(msgbox::OK);
        o.Focus(o.field(c.field == std::string("txtHistoryItems") ? "txtIdleMinutes" : "txtHistoryItems"));
        ExpectBoxes(o.boxes, c.refused ? QStringList{c.refused} : QStringList{});
        if (!c.refused) continue;
        EXPECT_EQ(QApplication::focusWidget(), &field) << "back in the refused field";
        field.setText(before);
    }
    // The SSN is cleaned of blanks and dashes as it is left.
    o.Focus(o.field("txtSSN"));
    o.field("txtSSN").setText(" 123-45 67-89 ");
    o.Focus(o.field("txtIdleMinutes"));
    EXPECT_EQ(o.field("txtSSN").text(), "123456789");
    // Cancel closes without a word about the field; OK with a refused field stores nothing.
    QLineEdit& history = o.field("txtHistoryItems");
    o.Focus(history);
    history.setText("300");
    o.Focus(o.button("cmdCancel"));
    o.Focus(history);
    o.boxes.Answer(msgbox::OK);
    QTest::mouseClick(&o.button("cmdOK"), Qt::LeftButton);
    QCoreApplication::processEvents();
    ExpectBoxes(o.boxes, {"historyRange"});
    EXPECT_TRUE(o.dialog->isVisible());
    EXPECT_FALSE(ValueExists(kAnn, "MaxHistoryItems") || ValueExists(kAnn, "SSN"));
}

TEST(OptionsDialog, ShowsTheOptionsAndApplyStoresEverythingAtOnceWithTheSsnEncryptedAndEachLinksTick) {
    Options o;
    QSignalSpy applied(o.dialog.get(), &OptionsDialog::Applied);
    const struct {
        const char *field, *shown, *typed, *stored;
    } fields[] = {
        {"txtIdleMinutes", "30", "0", "AutoLogOutMts"},
        {"txtFreezeMinutes", "10", "0", "FreezeAfterMinutes"},
        {"txtDiscardMinutes", "30", "45", "DiscardAfterMinutes"},
        {"txtHistoryItems", "100", "0", "MaxHistoryItems"},
        {"txtBookmarks", "40", "5", "MaxBookmarkItems"},
    };
    for (const auto& f : fields) {
        EXPECT_EQ(o.field(f.field).text(), f.shown);
        o.field(f.field).setText(f.typed);
    }
    EXPECT_EQ(o.field("txtSSN").text(), "");
    o.field("txtSSN").setText("123 45 6789");
    auto& beep = Child<QCheckBox>(*o.dialog, "chkBeepOnPopUp");
    EXPECT_TRUE(beep.isChecked());
    beep.setChecked(false);
    // Not the removed Link; in the collection's order; ticked where pop-ups are blocked.
    EXPECT_EQ(o.Checked(), "Bank-Mail+News+");
    // Mail unticked: only Mail's value changes, in the place Mail is stored under (the store was
    // renumbered when "Gone" went; the Links' Indexes were not).
    o.list().item(1)->setCheckState(Qt::Unchecked);
    ASSERT_TRUE(o.dialog->OnApplyClicked());
    EXPECT_EQ(applied.count(), 1);
    for (const auto& f : fields)
        EXPECT_EQ(GetValue(kAnn, f.stored), f.typed) << f.stored;
    QStringList stored;
    for (const char* name : {"BeepOnPopup", "HidePopUps1", "HidePopUps2", "HidePopUps3"})
        stored << GetValue(kAnn, name);
    EXPECT_EQ(stored, QStringList({"False", "False", "False", "True"}));
    EXPECT_EQ(o.ann.options().MaxBookmarkItems(), 5);
    EXPECT_FALSE(o.links->Item(3)->HidePopUps());
    EXPECT_EQ(Links(kAnn).Item(2)->Caption(), "Mail");
    EXPECT_NE(GetValue(kAnn, "SSN"), "123456789"); // not in plain text
    EXPECT_EQ(UserOptions(kAnn).SSN(), "123456789");
    // Any change offers Apply, though everything is ticked already.
    EXPECT_FALSE(o.button("cmdApply").isEnabled());
    o.field("txtSSN").clear();
    o.button("cmdCheckAll").click();
    EXPECT_TRUE(o.button("cmdApply").isEnabled());
    ASSERT_TRUE(o.dialog->OnApplyClicked());
    EXPECT_EQ(GetValue(kAnn, "SSN"), "");
    EXPECT_EQ(GetValue(kAnn, "HidePopUps2"), "True");
    // OK without a change closes and applies nothing.
    o.button("cmdOK").click();
    EXPECT_EQ(o.dialog->result(), QDialog::Accepted);
    EXPECT_EQ(applied.count(), 2);
    o.button("cmdClearAll").click();
    EXPECT_EQ(o.Checked(), "Bank-Mail-News-");
}
