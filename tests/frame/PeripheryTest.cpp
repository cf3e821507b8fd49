#include <gtest/gtest.h>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtWebEngineCore/qtwebenginecoreglobal.h>

#include "support/FakePane.h"
#include "browse/engine/ProgramPages.h"
#include "browse/UserHomePage.h"
#include "core/AppState.h"
#include "core/Companion.h"
#include "core/Settings.h"
#include "frame/AboutBox.h"
#include "frame/AgreementDialog.h"
#include "frame/FindBar.h"
#include "frame/Help.h"
#include "frame/InternetOptions.h"
#include "frame/PagePropertiesDialog.h"
#include "frame/TipOfTheDay.h"
#include "support/TestSupport.h"

using namespace core;

namespace {

// A companion that writes how it was called into a file beside it.
struct FakeCompanion {
    QTemporaryDir dir;
    QString record() const { return dir.path() + "/called.txt"; }
    FakeCompanion() {
        QFile script(dir.path() + "/bghelper");
        script.open(QIODevice::WriteOnly);
        script.write(("#!/bin/sh\necho \"$# [$1] $(pwd)\" > '" + record() + "'\n").toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        Companion::SetFolder(dir.path());
    }
    ~FakeCompanion() { Companion::SetFolder(QString()); }
    QString Called() {
        WaitFor([this] { return QFile(record()).size() > 0; }, 10000);
        QFile file(record());
        file.open(QIODevice::ReadOnly);
        const QString text = QString::fromUtf8(file.readAll()).trimmed();
        file.close();
        QFile::remove(record());
        return text;
    }
};

} // namespace

TEST(Companion, StartsDetachedWithTheArgumentsAndSkipsAMissingProgram) {
    ScriptedBoxes boxes;
    {
        FakeCompanion helper;
        EXPECT_TRUE(Companion::Start(" /REGSERVER"));
        EXPECT_EQ(helper.Called(), "1 [/REGSERVER] " + helper.dir.path());
        EXPECT_TRUE(Companion::Start(QString()));
        EXPECT_EQ(helper.Called(), "0 [] " + helper.dir.path());
    }
    QTemporaryDir empty;
    Companion::SetFolder(empty.path());
    EXPECT_FALSE(Companion::Start(" /REGSERVER"));
    Companion::SetFolder(QString());
    EXPECT_EQ(boxes.count(), 0);
}

TEST(TipOfTheDay, EachShowingMovesOnAndTheTickIsRemembered) {
    TempStore temp;
    ScriptedDialogs dialogs;
    App().CurrentUser = "Ann";
    const int count = int(TipOfTheDay::Tips().size());
    ASSERT_GE(count, 10);
    {
        TipOfTheDay tip;
        EXPECT_EQ(tip.TipShown(), 0);
        EXPECT_EQ(tip.TipLabel()->text(), TipOfTheDay::Tips().at(0));
        EXPECT_EQ(GetValue("Ann", "CurrTip"), "1");
        tip.OnNextClicked();
        EXPECT_EQ(tip.TipShown(), 1);
        EXPECT_EQ(GetValue("Ann", "CurrTip"), "2");
        // Tips at start-up are the user's choice; they start switched off.
        EXPECT_FALSE(tip.ShowTipsCheck()->isChecked());
        tip.ShowTipsCheck()->setChecked(true);
        EXPECT_EQ(GetValue("Ann", "ShowTips"), "True");
    }
    // At start-up the next one shows; the last one is followed by the first.
    dialogs.Next([](QDialog& d) {
        EXPECT_EQ(static_cast<TipOfTheDay&>(d).TipShown(), 2);
        return int(QDialog::Accepted);
    });
    EXPECT_TRUE(TipOfTheDay::ShowAtStartUp());
    SaveValue("Ann", "CurrTip", QString::number(count - 1));
    TipOfTheDay last;
    EXPECT_EQ(last.TipShown(), count - 1);
    EXPECT_EQ(GetValue("Ann", "CurrTip"), "0");
    SaveValue("Ann", "CurrTip", "999");
    EXPECT_EQ(TipOfTheDay::CurrTip(), 0);

    // Unticked: no tips at start-up (for this user only).
    last.ShowTipsCheck()->setChecked(false);
    EXPECT_EQ(GetValue("Ann", "ShowTips"), "False");
    EXPECT_FALSE(TipOfTheDay::ShowAtStartUp());
    EXPECT_EQ(dialogs.count(), 1);
    App().CurrentUser = "Bob";
    EXPECT_FALSE(TipOfTheDay::ShowTips());
    EXPECT_FALSE(TipOfTheDay::ShowAtStartUp());
}

TEST(Help, TopicsLeadToPagesTheProgramServesAndEveryHelpLinkWorks) {
    EXPECT_EQ(Help::TopicUrl(""), "bramblegate://help/");
    EXPECT_EQ(Help::TopicUrl("59"), "bramblegate://help/transfer.html#compatibility");
    EXPECT_EQ(Help::TopicUrl("Options"), "bramblegate://help/options.html");
    EXPECT_EQ(Help::TopicUrl("AddEditLink"), "bramblegate://help/links.html");
    EXPECT_EQ(Help::TopicUrl("Login"), "bramblegate://help/account.html");
    EXPECT_EQ(Help::TopicUrl("no such topic"), "bramblegate://help/");

    // Every page a topic names, and every program page the help pages link to, is served.
    QStringList pages;
    for (const char* topic : {"", "Links", "PopUps", "History", "Lock", "Options", "Keys", "59", "Export"})
        pages << Help::TopicUrl(topic);
    QStringList checked;
    const QRegularExpression link(QStringLiteral("href=\"(bramblegate://[^\"]*)\""));
    while (!pages.isEmpty()) {
        const QString page = QUrl(pages.takeFirst()).adjusted(QUrl::RemoveFragment).toString();
        if (checked.contains(page)) continue;
        checked << page;
        QByteArray mime;
        const QByteArray content = ProgramPages::Content(QUrl(page), &mime);
        ASSERT_FALSE(content.isEmpty()) << page.toStdString();
        for (auto it = link.globalMatch(QString::fromUtf8(content)); it.hasNext();)
            pages << it.next().captured(1);
    }
    EXPECT_GE(checked.size(), 10);
    const QString transfer =
        QString::fromUtf8(ProgramPages::Content(QUrl("bramblegate://help/transfer.html")));
    EXPECT_TRUE(transfer.contains("id=\"compatibility\""));
}

TEST(AgreementDialog, DecliningAsksAndOnlyAConfirmedLeaveEndsIt) {
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    dialogs.Next([](QDialog&) { return int(QDialog::Rejected); }).Next([](QDialog& d) {
        static_cast<AgreementDialog&>(d).AcceptButton()->click();
        return d.result();
    });
    boxes.Answer(msgbox::No);
    EXPECT_TRUE(AgreementDialog::Run(nullptr));
    EXPECT_EQ(dialogs.count(), 2);
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.lastText(),
              "You have declined the agreement. Bramblegate will close now.\r\rAre you sure you "
              "want to leave Bramblegate?\r\r");
    EXPECT_EQ(boxes.lastTitle(), "License Agreement");

    dialogs.Next([](QDialog& d) {
        static_cast<AgreementDialog&>(d).DeclineButton()->click();
        return d.result();
    });
    boxes.Answer(msgbox::Yes);
    EXPECT_FALSE(AgreementDialog::Run(nullptr));
}

TEST(InternetOptions, HomePagePerUserDefaultingToTheStartPage) {
    TempStore temp;
    ScriptedBoxes boxes;
    App().CurrentUser = "Ann";
    EXPECT_EQ(UserHomePage::Get(), "bramblegate://start/");
    QSignalSpy changed(UserHomePage::Notifier(), &HomePageNotifier::HomePageChanged);
    {
        InternetOptions dialog;
        EXPECT_EQ(dialog.HomePageEdit()->text(), "bramblegate://start/");
        dialog.HomePageEdit()->setText("javascript:alert(1)");
        dialog.OnOkClicked();
        EXPECT_EQ(boxes.lastTitle(), "Internet Options");
        EXPECT_NE(dialog.result(), QDialog::Accepted);
        dialog.HomePageEdit()->setText("news.example/today");
        dialog.OnOkClicked();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    EXPECT_EQ(UserHomePage::Get(), "http://news.example/today");
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toString(), "http://news.example/today");
    App().CurrentUser = "Bob";
    EXPECT_EQ(UserHomePage::Get(), "bramblegate://start/");
    App().CurrentUser = "Ann";
    {
        InternetOptions dialog;
        dialog.OnUseDefaultClicked();
        dialog.OnOkClicked();
    }
    EXPECT_EQ(UserHomePage::Get(), "bramblegate://start/");
    EXPECT_FALSE(ValueExists("Ann", "HomePage"));

    // Clearing asks first; No clears nothing.
    InternetOptions dialog;
    dialog.CookiesCheck()->setChecked(true);
    boxes.Answer(msgbox::No);
    EXPECT_FALSE(dialog.OnDeleteClicked());
    EXPECT_EQ(boxes.lastText(),
              "Delete the cookies, cached files and the history of visited links of Ann?\r\rThis "
              "cannot be undone.\r\r");
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
    pane.SetFindResult(true);
    QWidget window;
    FindBar bar(&window);
    bar.Attach(&pane);
    window.show();
    EXPECT_FALSE(bar.isVisible());
    bar.FindNext(); // nothing to look for yet: the bar opens
    EXPECT_TRUE(bar.isVisible());
    EXPECT_TRUE(pane.finds.isEmpty());

    QTest::keyClicks(bar.FindEdit(), "pri");
    EXPECT_EQ(pane.finds.last(), "pri >");
    QTest::keyClick(bar.FindEdit(), Qt::Key_Return);
    QTest::keyClick(bar.FindEdit(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(pane.finds.mid(pane.finds.size() - 2), QStringList({"pri >", "pri <"}));
    bar.MatchCaseCheck()->setChecked(true);
    EXPECT_EQ(pane.finds.last(), "pri > Aa");
    EXPECT_EQ(bar.StatusLabel()->text(), "");

    pane.SetFindResult(false);
    bar.FindPrevious();
    EXPECT_EQ(pane.finds.last(), "pri < Aa");
    EXPECT_EQ(bar.StatusLabel()->text(), "Not found");
    EXPECT_FALSE(bar.LastFound());

    QTest::keyClick(bar.FindEdit(), Qt::Key_Escape);
    EXPECT_FALSE(bar.isVisible());
    EXPECT_EQ(pane.finds.last(), " >"); // the page's highlight goes
    EXPECT_EQ(bar.StatusLabel()->text(), "");
}

TEST(PagePropertiesDialog, ShowsAddressTitleTypeSizeSecurityAndDates) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    FakePane pane;
    pane.SetLocation("https://bank.example/accounts", "Your Accounts");
    pane.SetHtmlDocument(true);
    using D = PagePropertiesDialog;
    {
        D dialog(pane);
        EXPECT_EQ(dialog.Text(D::Title), "Your Accounts");
        EXPECT_EQ(dialog.Text(D::Address), "https://bank.example/accounts");
        EXPECT_EQ(dialog.Text(D::Protocol), "HyperText Transfer Protocol with Privacy");
        EXPECT_EQ(dialog.Text(D::Type), "HTML Document");
        EXPECT_EQ(dialog.Text(D::Size), "Not available");
        EXPECT_EQ(dialog.Text(D::Security), "Secure: encrypted (HTTPS), the site's certificate is valid");
        EXPECT_FALSE(dialog.IsShown(D::Modified));

        PageFacts facts;
        facts.contentType = "application/pdf";
        facts.size = 12345;
        facts.lastModified = QDateTime(QDate(2024, 3, 1), QTime(9, 30));
        dialog.SetFacts(facts);
        EXPECT_EQ(dialog.Text(D::Type), "PDF Document");
        EXPECT_EQ(dialog.Text(D::Size), "12.1 kB (12,345 bytes)");
        EXPECT_TRUE(dialog.IsShown(D::Modified));
        EXPECT_TRUE(dialog.Text(D::Modified).contains("2024"));
        EXPECT_FALSE(dialog.IsShown(D::Loaded));
    }
    // A failed secure page is no secure page; plain http never is.
    pane.SetErrorPage(true);
    EXPECT_EQ(D(pane).Text(D::Security), "Not secure: the secure connection failed");
    pane.SetErrorPage(false);
    pane.SetLocation("http://news.example/", "");
    D plain(pane);
    EXPECT_EQ(plain.Text(D::Security), "Not secure: not encrypted (HTTP)");
    EXPECT_EQ(plain.Text(D::Title), "(no title)");
    QLocale::setDefault(QLocale::system());
}

TEST(AboutBox, ShowsTheProgramsVersionAndTheEnginesAge) {
    QString digits = AboutBox::VersionText();
    digits.remove('.');
    EXPECT_EQ(digits, AppVersion());
    EXPECT_FALSE(AboutBox::ProductIcon().pixmap(32, 32).isNull());
    // The Chromium the pages run in, with its security fixes: how old the engine is.
    AboutBox box;
    auto* engine = box.findChild<QLabel*>(QStringLiteral("lblEngine"));
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(
        engine->text(),
        QStringLiteral("Web pages are shown by Chromium %1 (security fixes up to %2) of Qt "
                       "WebEngine %3.")
            .arg(qWebEngineChromiumVersion(), qWebEngineChromiumSecurityPatchVersion(), qWebEngineVersion()));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("Chromium \\d+\\.")).match(engine->text()).hasMatch());
}
