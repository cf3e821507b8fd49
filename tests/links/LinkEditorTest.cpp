#include <QCheckBox>
#include <QLabel>

#include "core/SecretCipher.h"
#include "core/Settings.h"
#include "links/LinkEditor.h"
#include "links/LinkEditorHost.h"
#include "links/Links.h"
#include "users/UsersSupport.h"

using namespace userstest;
using namespace core;

namespace {

// The browse window's side of the editor, over the user's real Links.
class EditorHost : public LinkEditorHost {
public:
    explicit EditorHost(const QString& user) : links(user) {}
    Links links;
    int adds = 0, updates = 0;
    QList<QPair<QString, int>> navigations;
    QList<bool> verifyAnswers; // the master password check's answers, in order; none left: refused
    int verifications = 0;

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
    bool VerifyPassword(QWidget*) override {
        ++verifications;
        return !verifyAnswers.isEmpty() && verifyAnswers.takeFirst();
    }

private:
    static QString enc(const QString& plain) { return SecretCipher::EncryptMessage(plain); }
};

QCheckBox* check(const QObject& f, const char* name) {
    return child<QCheckBox>(f, name);
}
bool advancedShown(const QDialog& f) {
    return static_cast<const LinkEditor&>(f).AdvancedShown();
}

// OK brings exactly this box, and the focus goes to `field`.
void okRefused(QDialog& f, ScriptedBoxes& boxes, const QString& text, const char* field) {
    boxes.Clear();
    boxes.Answer(msgbox::OK);
    click(f, "cmdOK");
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.lastText(), text);
    expectFocusedAndSelected(edit(f, field), field);
}

} // namespace

TEST(LinkEditor, AddingChecksTheFieldsAndStoresHidePopUpsAtOnce) {
    TempStore temp;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    createAndLogIn("Olga", "olga-pass", boxes);
    EditorHost host("Olga");
    dialogs.Next([&](QDialog& f) {
        showActive(f);
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Add Link"));
        // No login asked for: every login field is off, the pop-up box is not.
        for (const char* name : {"fraLogin", "txtUserName", "txtPW", "cmdShow", "cmdAdvanced",
                                 "txtSelectOption", "txtNavigateAfterLogin"})
            EXPECT_FALSE(child(f, name)->isEnabled()) << name;
        EXPECT_TRUE(check(f, "chkHidePopUps")->isEnabled() && check(f, "chkHidePopUps")->isChecked());
        EXPECT_FALSE(check(f, "chkShareCookies")->isChecked()) << "a new Link keeps its own cookies";
        EXPECT_FALSE(advancedShown(f));
        const QString missingNames =
            QStringLiteral("Please fill in the Nickname and WebAddress information\r\r");
        okRefused(f, boxes, missingNames, "txtCaption");
        EXPECT_EQ(boxes.lastTitle(), QStringLiteral("Missing Information"));
        type(f, "txtCaption", "Mail");
        type(f, "txtUrl", "   ");
        okRefused(f, boxes, missingNames, "txtUrl");

        click(f, "chkReqLogin");
        for (const char* name : {"fraLogin", "txtUserName", "txtPW", "cmdAdvanced", "txtNavigateAfterLogin"})
            EXPECT_TRUE(child(f, name)->isEnabled()) << name;
        EXPECT_FALSE(child(f, "cmdShow")->isEnabled()); // nothing to show yet
        type(f, "txtPW", "p");
        EXPECT_TRUE(child(f, "cmdShow")->isEnabled());
        type(f, "txtUrl", "mail.example");
        type(f, "txtPW", "m@il-pw");
        okRefused(f, boxes, "Please fill in the UserName and Password information\r\r", "txtUserName");
        // A secret the store cannot hold is refused, without repeating it.
        type(f, "txtUserName", "olga");
        type(f, "txtPW", QStringLiteral("m\u0142il"));
        okRefused(f, boxes,
                  "The password contains a character that cannot be stored. Please use only Western European "
                  "letters, digits and punctuation.\r\r",
                  "txtPW");
        EXPECT_EQ(host.adds, 0);

        type(f, "txtPW", "m@il-pw");
        const int closed = f.height();
        click(f, "cmdAdvanced");
        EXPECT_TRUE(advancedShown(f));
        EXPECT_TRUE(child(f, "txtSelectOption")->isVisible());
        EXPECT_GT(f.height(), closed);
        type(f, "txtSelectOption", "Personal");
        type(f, "txtNavigateAfterLogin", "Inbox");
        check(f, "chkHidePopUps")->setChecked(false);
        check(f, "chkAutoNavigate")->setChecked(true);
        click(f, "cmdOK");
        EXPECT_FALSE(f.isVisible());
        return f.result();
    });
    Link* added = LinkEditor::RunAdd(host);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->Index(), 3);
    EXPECT_FALSE(added->HidePopUps());

    temp.Reopen();
    Links stored("Olga");
    const Link* link = stored.Item(3);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(QStringList({link->Caption(), link->URL(), link->UserName(), link->Password(), link->SelectOption(),
                           link->NavigateAfterLogin()}),
              QStringList({"Mail", "mail.example", "olga", "m@il-pw", "Personal", "Inbox"}));
    EXPECT_TRUE(link->AutoNavigate() && link->ReqLogin());
    EXPECT_FALSE(link->HidePopUps());
}

TEST(LinkEditor, ALinkWithoutLoginNeedsNoLoginDataAndCtrlEnterCompletesTheAddress) {
    TempStore temp;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    createAndLogIn("Pia", "pia-pass", boxes);
    EditorHost host("Pia");
    dialogs.Next([&](QDialog& f) {
        showActive(f);
        type(f, "txtCaption", "News");
        type(f, "txtUrl", "news");
        QTest::keyClick(edit(f, "txtUrl"), Qt::Key_Return, Qt::ControlModifier);
        EXPECT_EQ(edit(f, "txtUrl")->text(), QStringLiteral("www.news.com"));
        QTest::keyClick(edit(f, "txtUrl"), Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
        EXPECT_EQ(edit(f, "txtUrl")->text(), QStringLiteral("www.news.com"));
        EXPECT_TRUE(f.isVisible()); // Ctrl+Enter is not OK
        click(f, "cmdOK");
        return f.result();
    });
    Link* added = LinkEditor::RunAdd(host);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(boxes.count(), 0);
    EXPECT_FALSE(added->ReqLogin());
    EXPECT_EQ(added->UserName() + added->Password(), QString());
    EXPECT_EQ(GetValue("Pia", "HidePopUps3"), QStringLiteral("True"));
    // Cancel adds nothing.
    dialogs.Next([&](QDialog& f) {
        type(f, "txtCaption", "Other");
        click(f, "cmdCancel");
        return f.result();
    });
    EXPECT_EQ(LinkEditor::RunAdd(host), nullptr);
    EXPECT_EQ(host.links.Count(), 3);
}

TEST(LinkEditor, EditingStoresItsChoicesInTheLinksOwnSlotAtOnce) {
    TempStore temp;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    createAndLogIn("Quinn", "quinn-pw", boxes);
    EditorHost host("Quinn");
    host.links.Add("Cats", "", "", "", "", "", false, false);
    Link* toons = host.links.Add("Tom && Jerry", SecretCipher::EncryptMessage("https://toons.example/"),
                                 SecretCipher::EncryptMessage("quinn"),
                                 SecretCipher::EncryptMessage("c@rtoon"), "", "Episodes", false, true);
    // The first Link's slot goes, so the store numbers the others one lower than their Indexes.
    host.links.Remove(1);
    ASSERT_EQ(toons->Index(), 4);
    dialogs.Next([&](QDialog& f) {
        EXPECT_EQ(f.windowTitle(), QStringLiteral("Edit Link"));
        EXPECT_EQ(edit(f, "txtCaption")->text(), QStringLiteral("Tom & Jerry"));
        EXPECT_EQ(edit(f, "txtUserName")->text(), QStringLiteral("quinn"));
        EXPECT_EQ(edit(f, "txtPW")->text(), QStringLiteral("c@rtoon"));
        EXPECT_EQ(edit(f, "txtNavigateAfterLogin")->text(), QStringLiteral("Episodes"));
        EXPECT_TRUE(advancedShown(f)); // it has a post-login link
        EXPECT_TRUE(check(f, "chkReqLogin")->isChecked());
        check(f, "chkHidePopUps")->setChecked(false);
        check(f, "chkShareCookies")->setChecked(true);
        type(f, "txtAlsoAllowedSite", " login.toon-id.example ");
        type(f, "txtUrl", "https://toons.example/new");
        click(f, "cmdOK");
        return f.result();
    });
    EXPECT_EQ(LinkEditor::RunEdit(host, *toons), toons);
    EXPECT_EQ(host.updates, 1);
    EXPECT_EQ(GetValue("Quinn", "HidePopUps3"), QStringLiteral("False"));
    EXPECT_EQ(GetValue("Quinn", "ShareCookies3"), QStringLiteral("True"));
    EXPECT_EQ(GetValue("Quinn", "AlsoAllowedSite3"), QStringLiteral("login.toon-id.example"));
    Links again("Quinn");
    EXPECT_EQ(again.Item(3)->URL(), QStringLiteral("https://toons.example/new"));
    EXPECT_TRUE(again.Item(3)->ShareCookies());
    EXPECT_FALSE(again.Item(3)->HidePopUps());
    EXPECT_TRUE(again.Item(2)->HidePopUps());

    // A Link without login, option or post-login link opens with the advanced section closed.
    dialogs.Next([&](QDialog& f) {
        EXPECT_FALSE(advancedShown(f));
        EXPECT_FALSE(child(f, "txtAlsoAllowedSite")->isEnabled());
        EXPECT_FALSE(child(f, "txtPW")->isEnabled());
        click(f, "cmdCancel");
        return f.result();
    });
    EXPECT_EQ(LinkEditor::RunEdit(host, *host.links.Item(2)), nullptr);
    EXPECT_EQ(host.updates, 1);

    // The starting Link is edited as "Home Page" and keeps its stored caption unless renamed.
    Link* home = host.links.Item(2);
    host.links.UpdateLink(2, "Home Page$$", SecretCipher::EncryptMessage("https://home.example/"), "", "", "",
                          "", false, false);
    for (const auto& [typed, stored] :
         {std::pair{"Home Page", "Home Page$$"}, std::pair{"My Home", "My Home"}}) {
        dialogs.Next([&](QDialog& f) {
            EXPECT_EQ(edit(f, "txtCaption")->text(), QStringLiteral("Home Page"));
            type(f, "txtCaption", QString::fromLatin1(typed));
            click(f, "cmdOK");
            return f.result();
        });
        EXPECT_EQ(LinkEditor::RunEdit(host, *home), home);
        EXPECT_EQ(GetValue("Quinn", "Caption1"), QString::fromLatin1(stored));
    }
}

TEST(LinkEditor, PasswordHelpAdviceAndTheLoginProblemPage) {
    TempStore temp;
    ScriptedBoxes boxes;
    createAndLogIn("Rita", "rita-pass", boxes);
    EditorHost host("Rita");
    Link* shop = host.links.Add("Shop", SecretCipher::EncryptMessage("https://shop.example/"),
                                SecretCipher::EncryptMessage("rita"), SecretCipher::EncryptMessage("sh0p!"),
                                "", "", false, true);
    LinkEditor f(host, LinkEditor::Mode::Edit);
    f.LoadLink(*shop);
    showActive(f);
    type(f, "txtCaption", "  Shop  ");
    // The password is shown only after the host has verified the master password, in a box titled
    // after the caption.
    host.verifyAnswers = {true, false};
    boxes.Answer(msgbox::OK);
    click(f, "cmdShow");
    click(f, "cmdShow");
    EXPECT_EQ(host.verifications, 2);
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.lastText(), QStringLiteral("sh0p!"));
    EXPECT_EQ(boxes.lastTitle(), QStringLiteral("Password for Shop"));

    // Each control with a help text shows it when it takes the focus; the others hide the area.
    const QHash<QString, QString> texts = {
        // clang-format off
        {"txtCaption", "Enter any short name for this Link. It will be used for display."},
        {"txtUrl", "Enter the URL for this web site like www... You may leave out Http://. Press Ctrl+Enter to add "
                   "'www.' to the beginning and '.com' to the end."},
        {"chkAutoNavigate", "Check this box If you want to load this web page automatically on application "
                            "start-up."},
        {"chkReqLogin", "Check this box If you want to login to this web site automatically when either a) 'Load "
                        "At Start' checkbox is checked or b) You press the load button from Links tab in the "
                        "Sidebar."},
        {"txtUserName", "Enter the login ID or UserName for this web site. Depending upon your web-site, it may "
                        "be your email address, account number, phone number, etc."},
        {"txtPW", "Enter your password for this web site."},
        {"txtSelectOption", "If the web page displays a list-box with options for logging-in, enter the text for "
                            "item to be selected from such list-box. Example: fernmail.test, quillpost.test"},
        {"txtNavigateAfterLogin", "Enter text for the web-link as it appears on this web page.Example: Recent "
                                  "Transactions"},
        {"chkHidePopUps", "Checking this box will block all unsolicited PopUp windows from opening up. This will "
                          "apply to all windows that are opened in the Tab for this Shortcut."},
        {"chkShareCookies", "Leave this box clear and this Link keeps its own cookies, so two Links to one site "
                            "can stay logged in with two accounts. Check it for a site whose single sign-on spans "
                            "several of your Links."},
        // clang-format on
    };
    click(f, "cmdAdvanced");
    int helped = 0, checked = 0;
    for (QWidget* control : f.findChildren<QWidget*>()) {
        if (!control->isVisible() || control->focusPolicy() == Qt::NoFocus) continue;
        control->setFocus(Qt::TabFocusReason);
        const QString help = f.HelpText(control);
        SCOPED_TRACE(control->objectName().toStdString());
        if (texts.contains(control->objectName())) {
            EXPECT_EQ(help, texts.value(control->objectName()));
            ++checked;
        }
        EXPECT_EQ(child<QLabel>(f, "lblHelp")->isVisible(), !help.isEmpty());
        if (!help.isEmpty()) {
            EXPECT_EQ(child<QLabel>(f, "lblHelp")->text(), help);
        }
        helped += !help.isEmpty();
    }
    EXPECT_EQ(helped, 11);
    EXPECT_EQ(checked, int(texts.size()));

    // Leaving an address of the sign-in service brings advice; other addresses do not.
    boxes.Answer(msgbox::OK);
    for (const char* url : {"https://www.example.org/", "https://LOGIN.Passport-Example.test/signin?x=1"}) {
        edit(f, "txtUrl")->setFocus(Qt::TabFocusReason);
        type(f, "txtUrl", url);
        edit(f, "txtCaption")->setFocus(Qt::TabFocusReason);
    }
    ASSERT_EQ(boxes.count(), 2);
    EXPECT_EQ(boxes.lastText(),
              "If this URL does not work for Passport, please try with URL of the \r\nmain page "
              "to which you want to login, like www.fernmail.test\r\n");
    EXPECT_EQ(boxes.lastTitle(), QStringLiteral("Sign-in through Passport"));

    emit child<QLabel>(f, "lblUrl")->linkActivated(QStringLiteral("ignored"));
    ASSERT_EQ(host.navigations.size(), 1);
    EXPECT_EQ(host.navigations.first(),
              qMakePair(QStringLiteral("http://bramblegate.localhost/Support/LoginProblem.asp"), 3));
}
