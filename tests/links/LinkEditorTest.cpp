#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "core/SecretCipher.h"
#include "core/Settings.h"
#include "links/LinkEditor.h"
#include "links/LinkEditorHost.h"
#include "links/Links.h"
#include "users/LoginSupport.h"

using namespace logintest;
using namespace core;

namespace {

const QString CR2 = QStringLiteral("\r\r");
const QString kMissingNames = QStringLiteral("Please fill in the Nickname and WebAddress information\r\r");
const QString kMissingLogin = QStringLiteral("Please fill in the UserName and Password information\r\r");

// The browse window's side of the editor, over the user's real Links.
class EditorHost : public LinkEditorHost {
public:
    explicit EditorHost(const QString& user) : links(user) {}
    Links links;
    int adds = 0, updates = 0;
    QList<QPair<QString, int>> navigations;

    Link* AddLink(const QString& caption, const QString& url, const QString& userName, const QString& pw,
                  const QString& selectOption, const QString& navigateAfterLogin, bool autoNavigate,
                  bool reqLogin) override {
        ++adds;
        return links.Add(caption, enc(url), enc(userName), enc(pw), selectOption, navigateAfterLogin,
                         autoNavigate, reqLogin);
    }
    Link* UpdateLink(int index, const QString& caption, const QString& url, const QString& userName,
                     const QString& pw, const QString& selectOption, const QString& navigateAfterLogin,
                     bool autoNavigate, bool reqLogin) override {
        ++updates;
        return links.UpdateLink(index, caption, enc(url), enc(userName), enc(pw), selectOption,
                                navigateAfterLogin, autoNavigate, reqLogin);
    }
    void Nav2Visible(const QString& url, int mode) override { navigations.append({url, mode}); }
    // The master password check's answers, in order; none left: refused.
    QList<bool> verifyAnswers;
    int verifications = 0;
    bool VerifyPassword(QWidget*) override {
        ++verifications;
        return !verifyAnswers.isEmpty() && verifyAnswers.takeFirst();
    }

private:
    static QString enc(const QString& plain) { return SecretCipher::EncryptMessage(plain); }
};

LinkEditor& asEditor(QDialog& dialog) {
    return static_cast<LinkEditor&>(dialog);
}

void expectBox(const ScriptedBoxes& boxes, const QString& text, const QString& title, msgbox::Icon icon) {
    ASSERT_GT(boxes.count(), 0);
    EXPECT_EQ(boxes.lastText(), text);
    EXPECT_EQ(boxes.lastTitle(), title);
    EXPECT_EQ(boxes.shown().last().icon, icon);
}

// A logged-in user with the two starting Links (Index 1 and 2).
void logIn(const QString& user, const QString& password, ScriptedBoxes& boxes) {
    createUser(user, password, boxes);
    App().CurrentUser = user;
    App().PassPhrase = password;
    App().LoginOK = true;
    boxes.Clear();
}

} // namespace

TEST(LinkEditor, AddingChecksTheFieldsAndStoresHidePopUpsAtOnce) {
    TempStore temp;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    logIn("Olga", "olga-pass", boxes);
    EditorHost host("Olga");
    const QString missing = "Missing Information";

    dialogs.Next([&](QDialog& d) {
        LinkEditor& f = asEditor(d);
        showActive(f);
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Add Link"));
        // No login asked for: every login field is off, the pop-up box is not.
        for (QWidget* w : std::initializer_list<QWidget*>{
                 f.LoginGroup(), f.UserNameEdit(), f.LinkPasswordEdit(), f.UserNameLabel(),
                 f.LinkPasswordLabel(), f.ShowButton(), f.AdvancedButton(), f.SelectOptionEdit(),
                 f.SelectOptionLabel(), f.NavigateAfterLoginEdit(), f.NavigateAfterLoginLabel()})
            EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
        EXPECT_TRUE(f.HidePopUpsCheck()->isEnabled());
        EXPECT_TRUE(f.HidePopUpsCheck()->isChecked());
        EXPECT_TRUE(f.ShareCookiesCheck()->isEnabled());
        EXPECT_FALSE(f.ShareCookiesCheck()->isChecked()) << "a new Link keeps its own cookies";
        EXPECT_EQ(f.ShareCookiesCheck()->text().remove('&'),
                  QStringLiteral("Share cookies with my other Links"));
        EXPECT_FALSE(f.AdvancedShown());

        f.OkButton()->click();
        expectBox(boxes, kMissingNames, missing, msgbox::Exclamation);
        expectFocusedAndSelected(f.CaptionEdit(), "no caption");
        f.CaptionEdit()->setText("Mail");
        f.UrlEdit()->setText("   ");
        f.OkButton()->click();
        expectBox(boxes, kMissingNames, missing, msgbox::Exclamation);
        expectFocusedAndSelected(f.UrlEdit(), "no address");
        EXPECT_EQ(host.adds, 0);

        f.RequireLoginCheck()->click();
        for (QWidget* w : std::initializer_list<QWidget*>{f.LoginGroup(), f.UserNameEdit(),
                                                          f.LinkPasswordEdit(), f.AdvancedButton(),
                                                          f.SelectOptionEdit(), f.NavigateAfterLoginEdit()})
            EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
        EXPECT_FALSE(f.ShowButton()->isEnabled()); // nothing to show yet
        f.LinkPasswordEdit()->setText("p");
        EXPECT_TRUE(f.ShowButton()->isEnabled());
        f.LinkPasswordEdit()->clear();
        EXPECT_FALSE(f.ShowButton()->isEnabled());

        f.UrlEdit()->setText("mail.example");
        f.LinkPasswordEdit()->setText("m@il-pw");
        f.OkButton()->click();
        expectBox(boxes, kMissingLogin, missing, msgbox::Exclamation);
        expectFocusedAndSelected(f.UserNameEdit(), "no user name");

        // A secret the store cannot hold is refused, without repeating it.
        f.UserNameEdit()->setText("olga");
        f.LinkPasswordEdit()->setText(QStringLiteral("m\u0142il"));
        f.OkButton()->click();
        expectBox(boxes,
                  "The password contains a character that cannot be stored. Please use only Western European "
                  "letters, digits and punctuation." +
                      CR2,
                  "Add Link", msgbox::Exclamation);
        EXPECT_FALSE(boxes.lastText().contains(QChar(0x142)));
        expectFocusedAndSelected(f.LinkPasswordEdit(), "bad character");
        EXPECT_EQ(host.adds, 0);

        f.LinkPasswordEdit()->setText("m@il-pw");
        const int closed = f.height();
        f.AdvancedButton()->click();
        EXPECT_TRUE(f.AdvancedShown());
        EXPECT_TRUE(f.SelectOptionEdit()->isVisible());
        EXPECT_GT(f.height(), closed);
        EXPECT_EQ(f.AdvancedButton()->text(), QStringLiteral("&Advanced <<"));
        f.SelectOptionEdit()->setText("Personal");
        f.NavigateAfterLoginEdit()->setText("Inbox");
        f.HidePopUpsCheck()->setChecked(false);
        f.AutoNavigateCheck()->setChecked(true);
        f.OkButton()->click();
        EXPECT_FALSE(f.isVisible());
        return f.result();
    });
    Link* added = LinkEditor::RunAdd(host);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(host.adds, 1);
    EXPECT_EQ(added->Index(), 3);
    EXPECT_FALSE(added->HidePopUps());
    EXPECT_EQ(GetValue("Olga", "HidePopUps3"), QStringLiteral("False"));

    temp.Reopen();
    Links stored("Olga");
    const Link* link = stored.Item(3);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->Caption(), QStringLiteral("Mail"));
    EXPECT_EQ(link->URL(), QStringLiteral("mail.example"));
    EXPECT_EQ(link->UserName(), QStringLiteral("olga"));
    EXPECT_EQ(link->pw(), QStringLiteral("m@il-pw"));
    EXPECT_EQ(link->SelectOption(), QStringLiteral("Personal"));
    EXPECT_EQ(link->NavigateAfterLogin(), QStringLiteral("Inbox"));
    EXPECT_TRUE(link->AutoNavigate());
    EXPECT_TRUE(link->ReqLogin());
    EXPECT_FALSE(link->HidePopUps());
}

TEST(LinkEditor, ALinkWithoutLoginNeedsNoLoginDataAndCtrlEnterCompletesTheAddress) {
    TempStore temp;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    logIn("Pia", "pia-pass", boxes);
    EditorHost host("Pia");
    dialogs.Next([&](QDialog& d) {
        LinkEditor& f = asEditor(d);
        showActive(f);
        f.CaptionEdit()->setText("News");
        f.UrlEdit()->setText("news");
        QTest::keyClick(f.UrlEdit(), Qt::Key_Return, Qt::ControlModifier);
        EXPECT_EQ(f.UrlEdit()->text(), QStringLiteral("www.news.com"));
        QTest::keyClick(f.UrlEdit(), Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
        EXPECT_EQ(f.UrlEdit()->text(), QStringLiteral("www.news.com"));
        EXPECT_TRUE(f.isVisible()); // Ctrl+Enter is not OK
        EXPECT_EQ(host.adds, 0);
        f.OkButton()->click();
        return f.result();
    });
    Link* added = LinkEditor::RunAdd(host);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(boxes.count(), 0);
    EXPECT_FALSE(added->ReqLogin());
    EXPECT_EQ(added->UserName(), QString());
    EXPECT_EQ(added->pw(), QString());
    EXPECT_EQ(added->URL(), QStringLiteral("www.news.com"));
    EXPECT_EQ(GetValue("Pia", "HidePopUps3"), QStringLiteral("True"));

    // Cancel adds nothing.
    dialogs.Next([&](QDialog& d) {
        asEditor(d).CaptionEdit()->setText("Other");
        asEditor(d).CancelButton()->click();
        return d.result();
    });
    EXPECT_EQ(LinkEditor::RunAdd(host), nullptr);
    EXPECT_EQ(host.links.Count(), 3);
}

TEST(LinkEditor, EditingFillsTheFieldsAndUncheckingPopUpsIsStoredAtOnce) {
    TempStore temp;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    logIn("Quinn", "quinn-pw", boxes);
    EditorHost host("Quinn");
    Link* bank = host.links.Add("Tom && Jerry", SecretCipher::EncryptMessage("https://toons.example/"),
                                SecretCipher::EncryptMessage("quinn"),
                                SecretCipher::EncryptMessage("c@rtoon"), "", "Episodes", false, true);
    ASSERT_EQ(bank->Index(), 3);
    ASSERT_TRUE(bank->HidePopUps());
    Link* plain = host.links.Item(2);

    dialogs.Next([&](QDialog& d) {
        LinkEditor& f = asEditor(d);
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Edit Link"));
        EXPECT_EQ(f.CaptionEdit()->text(), QStringLiteral("Tom & Jerry"));
        EXPECT_EQ(f.UrlEdit()->text(), QStringLiteral("https://toons.example/"));
        EXPECT_EQ(f.UserNameEdit()->text(), QStringLiteral("quinn"));
        EXPECT_EQ(f.LinkPasswordEdit()->text(), QStringLiteral("c@rtoon"));
        EXPECT_EQ(f.NavigateAfterLoginEdit()->text(), QStringLiteral("Episodes"));
        EXPECT_TRUE(f.AdvancedShown()); // it has a post-login link
        EXPECT_TRUE(f.RequireLoginCheck()->isChecked());
        EXPECT_TRUE(f.ShowButton()->isEnabled());
        EXPECT_TRUE(f.HidePopUpsCheck()->isChecked());
        EXPECT_TRUE(f.AlsoAllowedSiteEdit()->text().isEmpty());
        f.HidePopUpsCheck()->setChecked(false);
        f.AlsoAllowedSiteEdit()->setText(" login.toon-id.example ");
        f.UrlEdit()->setText("https://toons.example/new");
        f.OkButton()->click();
        return f.result();
    });
    EXPECT_EQ(LinkEditor::RunEdit(host, *bank), bank);
    EXPECT_EQ(host.updates, 1);
    EXPECT_EQ(GetValue("Quinn", "HidePopUps3"), QStringLiteral("False"));
    EXPECT_EQ(GetValue("Quinn", "AlsoAllowedSite3"), QStringLiteral("login.toon-id.example"));
    EXPECT_FALSE(bank->HidePopUps());
    EXPECT_EQ(Links("Quinn").Item(3)->URL(), QStringLiteral("https://toons.example/new"));

    dialogs.Next([&](QDialog& d) {
        LinkEditor& f = asEditor(d);
        EXPECT_FALSE(f.AdvancedShown()); // neither option nor post-login link
        EXPECT_FALSE(f.RequireLoginCheck()->isChecked());
        EXPECT_FALSE(f.AlsoAllowedSiteEdit()->isEnabled());
        EXPECT_FALSE(f.LinkPasswordEdit()->isEnabled());
        f.CancelButton()->click();
        return f.result();
    });
    EXPECT_EQ(LinkEditor::RunEdit(host, *plain), nullptr);
    EXPECT_EQ(host.updates, 1);

    // The starting Link is edited as "Home Page" and keeps its stored caption unless renamed.
    Link* home = host.links.Item(1);
    ASSERT_EQ(home->Caption(), QStringLiteral("Home Page$$"));
    for (const auto& [typed, stored] :
         {std::pair{"Home Page", "Home Page$$"}, std::pair{"My Home", "My Home"}}) {
        dialogs.Next([&](QDialog& d) {
            LinkEditor& f = asEditor(d);
            EXPECT_EQ(f.CaptionEdit()->text(), QStringLiteral("Home Page"));
            f.CaptionEdit()->setText(QString::fromLatin1(typed));
            f.OkButton()->click();
            return f.result();
        });
        EXPECT_EQ(LinkEditor::RunEdit(host, *home), home);
        EXPECT_EQ(GetValue("Quinn", "Caption1"), QString::fromLatin1(stored));
    }
}

TEST(LinkEditor, AfterARemovalThePopUpAndCookieChoicesAreStoredWithTheEditedLink) {
    TempStore temp;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    logIn("Quinn", "quinn-pw", boxes);
    EditorHost host("Quinn");
    for (const QString& caption : QStringList{"Cats", "Dogs"})
        host.links.Add(caption, SecretCipher::EncryptMessage("https://" + caption + ".example/"), "", "", "",
                       "", false, false);
    // The first Link's slot goes, so the store numbers the others one lower than their Indexes.
    host.links.Remove(1);
    Link* cats = host.links.Item(3);

    dialogs.Next([&](QDialog& d) {
        LinkEditor& f = asEditor(d);
        f.HidePopUpsCheck()->setChecked(false);
        f.ShareCookiesCheck()->setChecked(true);
        f.OkButton()->click();
        return f.result();
    });
    EXPECT_EQ(LinkEditor::RunEdit(host, *cats), cats);
    EXPECT_EQ(GetValue("Quinn", "HidePopUps2"), QStringLiteral("False"));
    EXPECT_EQ(GetValue("Quinn", "ShareCookies2"), QStringLiteral("True"));
    EXPECT_TRUE(cats->ShareCookies());

    Links again("Quinn");
    ASSERT_EQ(again.Count(), 3);
    EXPECT_EQ(again.Item(2)->Caption(), QStringLiteral("Cats"));
    EXPECT_FALSE(again.Item(2)->HidePopUps());
    EXPECT_TRUE(again.Item(2)->ShareCookies());
    EXPECT_EQ(again.Item(3)->Caption(), QStringLiteral("Dogs"));
    EXPECT_TRUE(again.Item(3)->HidePopUps());
    EXPECT_FALSE(again.Item(3)->ShareCookies());
    EXPECT_TRUE(again.Item(1)->HidePopUps());

    // A Link that shares its cookies opens the editor with the advanced section showing it.
    dialogs.Next([&](QDialog& d) {
        LinkEditor& f = asEditor(d);
        EXPECT_TRUE(f.AdvancedShown());
        EXPECT_TRUE(f.ShareCookiesCheck()->isChecked());
        f.CancelButton()->click();
        return f.result();
    });
    EXPECT_EQ(LinkEditor::RunEdit(host, *cats), nullptr);
}

TEST(LinkEditor, ThePasswordIsShownOnlyAfterTheMasterPasswordIsVerified) {
    TempStore temp;
    ScriptedBoxes boxes;
    logIn("Rita", "rita-pass", boxes);
    EditorHost host("Rita");
    Link* shop = host.links.Add("Shop", SecretCipher::EncryptMessage("https://shop.example/"),
                                SecretCipher::EncryptMessage("rita"), SecretCipher::EncryptMessage("sh0p!"),
                                "", "", false, true);
    LinkEditor f(host, LinkEditor::Mode::Edit);
    f.LoadLink(*shop);
    f.CaptionEdit()->setText("  Shop  ");

    // The host verifies the master password first; only then is the password shown, in a box
    // titled after the caption.
    host.verifyAnswers = {true, false};
    f.ShowButton()->click();
    expectBox(boxes, "sh0p!", "Password for Shop", msgbox::Information);

    boxes.Clear();
    f.ShowButton()->click();
    EXPECT_EQ(host.verifications, 2);
    EXPECT_EQ(boxes.count(), 0);
}

TEST(LinkEditor, HelpTextsSignInAdviceAndTheLoginProblemPage) {
    TempStore temp;
    ScriptedBoxes boxes;
    logIn("Sam", "sam-pass", boxes);
    EditorHost host("Sam");
    LinkEditor f(host, LinkEditor::Mode::Add);
    showActive(f);
    f.RequireLoginCheck()->click();
    f.AdvancedButton()->click();

    const QList<QPair<QWidget*, QString>> help = {
        {f.CaptionEdit(), "Enter any short name for this Link. It will be used for display."},
        {f.UrlEdit(),
         "Enter the URL for this web site like www... You may leave out Http://. Press Ctrl+Enter to "
         "add 'www.' to the beginning and '.com' to the end."},
        {f.AutoNavigateCheck(),
         "Check this box If you want to load this web page automatically on application "
         "start-up."},
        {f.RequireLoginCheck(),
         "Check this box If you want to login to this web site automatically when either a) 'Load "
         "At Start' checkbox is checked or b) You press the load button from Links tab in the "
         "Sidebar."},
        {f.UserNameEdit(),
         "Enter the login ID or UserName for this web site. Depending upon your web-site, it may "
         "be your email address, account number, phone number, etc."},
        {f.LinkPasswordEdit(), "Enter your password for this web site."},
        {f.SelectOptionEdit(),
         "If the web page displays a list-box with options for logging-in, enter the text for "
         "item to be selected from such list-box. Example: fernmail.test, quillpost.test"},
        {f.NavigateAfterLoginEdit(),
         "Enter text for the web-link as it appears on this web page.Example: Recent "
         "Transactions"},
        {f.HidePopUpsCheck(),
         "Checking this box will block all unsolicited PopUp windows from opening up. This will "
         "apply to all windows that are opened in the Tab for this Shortcut."},
        {f.ShareCookiesCheck(),
         "Leave this box clear and this Link keeps its own cookies, so two Links to one site can "
         "stay logged in with two accounts. Check it for a site whose single sign-on spans several "
         "of your Links."},
    };
    for (const auto& [control, text] : help) {
        control->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(f.HelpLabel()->text(), text) << control->objectName().toStdString();
        EXPECT_TRUE(f.HelpLabel()->isVisible());
        EXPECT_TRUE(f.HelpTagLabel()->isVisible());
    }
    f.AdvancedButton()->setFocus(Qt::TabFocusReason); // no text: the area is hidden
    EXPECT_FALSE(f.HelpLabel()->isVisible());
    EXPECT_FALSE(f.HelpTagLabel()->isVisible());

    // Leaving an address of the sign-in service brings advice; other addresses do not.
    f.UrlEdit()->setFocus(Qt::TabFocusReason);
    f.UrlEdit()->setText("https://www.example.org/");
    f.CaptionEdit()->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(boxes.count(), 0);
    f.UrlEdit()->setFocus(Qt::TabFocusReason);
    f.UrlEdit()->setText("https://LOGIN.Passport-Example.test/signin?x=1");
    f.CaptionEdit()->setFocus(Qt::TabFocusReason);
    expectBox(boxes,
              "If this URL does not work for Passport, please try with URL of the \r\nmain page to which you "
              "want to "
              "login, like www.fernmail.test\r\n",
              "Sign-in through Passport", msgbox::Information);
    EXPECT_EQ(boxes.count(), 1);

    emit f.UrlLabel()->linkActivated(QStringLiteral("ignored"));
    ASSERT_EQ(host.navigations.size(), 1);
    EXPECT_EQ(host.navigations.first().first,
              QStringLiteral("http://bramblegate.localhost/Support/LoginProblem.asp"));
    EXPECT_EQ(host.navigations.first().second, 3);

    // The section closes again, and the dialog with it.
    const int open = f.height();
    f.AdvancedButton()->click();
    EXPECT_FALSE(f.AdvancedShown());
    EXPECT_LT(f.height(), open);
}
