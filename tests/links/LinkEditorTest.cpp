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

QString enc(const QString& plain) {
    return SecretCipher::EncryptMessage(plain);
}

// The browse window's side of the editor, over the user's real Links.
class EditorHost : public LinkEditorHost {
public:
    explicit EditorHost(const QString& user) : links(user) {}
    Links links;
    int updates = 0;
    QList<QPair<QString, int>> navigations;
    QList<bool> verifyAnswers; // the master password check's answers, in order; none left: refused
    int verifications = 0;

    Link* AddLink(const QString& caption, const QString& url, const QString& userName, const QString& pw,
                  const QString& selectOption, const QString& navigateAfterLogin, bool autoNavigate,
                  bool reqLogin) override {
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
};

// OK brings exactly this box.
void okRefused(QDialog& f, ScriptedBoxes& boxes, const QString& text) {
    boxes.Clear();
    boxes.Answer(msgbox::OK);
    click(f, "cmdOK");
    EXPECT_EQ(boxes.texts(), QStringList{text + "\r\r"});
}

} // namespace

TEST(LinkEditor, AddingChecksTheFieldsAndStoresEveryChoice) {
    TempStore temp;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    createAndLogIn("Olga", "olga-pass", boxes);
    EditorHost host("Olga");
    const QString missingNames = QStringLiteral("Please fill in the Nickname and WebAddress information");
    // Without a login: no login data is asked for, and Ctrl+Enter completes the address.
    dialogs.Next([&](QDialog& f) {
        f.show(); // so that isVisible() tells whether it closed
        EXPECT_FALSE(child<QCheckBox>(f, "chkShareCookies")->isChecked())
            << "a new Link keeps its own cookies";
        okRefused(f, boxes, missingNames);
        type(f, "txtCaption", "News");
        type(f, "txtUrl", "   ");
        okRefused(f, boxes, missingNames);
        type(f, "txtUrl", "news");
        QTest::keyClick(edit(f, "txtUrl"), Qt::Key_Return, Qt::ControlModifier);
        EXPECT_EQ(edit(f, "txtUrl")->text(), QStringLiteral("www.news.com"));
        EXPECT_TRUE(f.isVisible()); // Ctrl+Enter is not OK
        click(f, "cmdOK");
        return f.result();
    });
    ASSERT_NE(LinkEditor::RunAdd(host), nullptr);
    EXPECT_EQ(GetValue("Olga", "HidePopUps3"), QStringLiteral("True"));

    dialogs.Next([&](QDialog& f) {
        type(f, "txtCaption", "Mail");
        type(f, "txtUrl", "mail.example");
        click(f, "chkReqLogin");
        type(f, "txtPW", "m@il-pw");
        okRefused(f, boxes, "Please fill in the UserName and Password information");
        // A secret the store cannot hold is refused, without repeating it.
        type(f, "txtUserName", "olga");
        type(f, "txtPW", QStringLiteral("m\u0142il"));
        okRefused(f, boxes,
                  "The password contains a character that cannot be stored. Please use only Western European "
                  "letters, digits and punctuation.");
        type(f, "txtPW", "m@il-pw");
        click(f, "cmdAdvanced");
        type(f, "txtSelectOption", "Personal");
        type(f, "txtNavigateAfterLogin", "Inbox");
        child<QCheckBox>(f, "chkHidePopUps")->setChecked(false);
        child<QCheckBox>(f, "chkAutoNavigate")->setChecked(true);
        click(f, "cmdOK");
        return f.result();
    });
    ASSERT_NE(LinkEditor::RunAdd(host), nullptr);

    temp.Reopen();
    Links stored("Olga");
    ASSERT_EQ(stored.Count(), 4);
    const Link* link = stored.Item(4);
    EXPECT_EQ(QStringList({link->Caption(), link->URL(), link->UserName(), link->Password(),
                           link->SelectOption(), link->NavigateAfterLogin()}),
              QStringList({"Mail", "mail.example", "olga", "m@il-pw", "Personal", "Inbox"}));
    EXPECT_TRUE(link->AutoNavigate() && link->ReqLogin());
    EXPECT_FALSE(link->HidePopUps() || stored.Item(3)->ReqLogin() || !stored.Item(3)->Password().isEmpty());
}

TEST(LinkEditor, EditingStoresItsChoicesInTheLinksOwnSlotAtOnce) {
    TempStore temp;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    createAndLogIn("Quinn", "quinn-pw", boxes);
    EditorHost host("Quinn");
    host.links.Add("Cats", "", "", "", "", "", false, false);
    Link* toons = host.links.Add("Tom && Jerry", enc("https://toons.example/"), enc("quinn"), enc("c@rtoon"),
                                 "", "Episodes", false, true);
    // The first Link's slot goes, so the store numbers the others one lower than their Indexes.
    host.links.Remove(1);
    ASSERT_EQ(toons->Index(), 4);
    dialogs.Next([&](QDialog& f) {
        EXPECT_EQ(QStringList({edit(f, "txtCaption")->text(), edit(f, "txtUserName")->text(),
                               edit(f, "txtPW")->text(), edit(f, "txtNavigateAfterLogin")->text()}),
                  QStringList({"Tom & Jerry", "quinn", "c@rtoon", "Episodes"}));
        child<QCheckBox>(f, "chkHidePopUps")->setChecked(false);
        child<QCheckBox>(f, "chkShareCookies")->setChecked(true);
        type(f, "txtAlsoAllowedSite", " login.toon-id.example ");
        type(f, "txtUrl", "https://toons.example/new");
        click(f, "cmdOK");
        return f.result();
    });
    EXPECT_EQ(LinkEditor::RunEdit(host, *toons), toons);
    EXPECT_EQ(GetValue("Quinn", "HidePopUps3") + GetValue("Quinn", "ShareCookies3") +
                  GetValue("Quinn", "AlsoAllowedSite3"),
              QStringLiteral("FalseTruelogin.toon-id.example"));
    Links again("Quinn");
    EXPECT_EQ(again.Item(3)->URL(), QStringLiteral("https://toons.example/new"));
    EXPECT_TRUE(again.Item(3)->ShareCookies() && again.Item(2)->HidePopUps() && !again.Item(3)->HidePopUps());

    // Cancel changes nothing.
    dialogs.Next([&](QDialog& f) {
        click(f, "cmdCancel");
        return f.result();
    });
    EXPECT_EQ(LinkEditor::RunEdit(host, *host.links.Item(2)), nullptr);
    EXPECT_EQ(host.updates, 1);

    // The starting Link is edited as "Home Page" and keeps its stored caption unless renamed.
    Link* home = host.links.Item(2);
    host.links.UpdateLink(2, "Home Page$$", enc("https://home.example/"), "", "", "", "", false, false);
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

TEST(LinkEditor, ThePasswordShowsOnlyAfterVerificationAndAdviceAndProblemPage) {
    TempStore temp;
    ScriptedBoxes boxes;
    createAndLogIn("Rita", "rita-pass", boxes);
    EditorHost host("Rita");
    Link* shop =
        host.links.Add("Shop", enc("https://shop.example/"), enc("rita"), enc("sh0p!"), "", "", false, true);
    LinkEditor f(host, LinkEditor::Mode::Edit);
    f.LoadLink(*shop);
    showActive(f);
    type(f, "txtCaption", "  Shop  ");
    host.verifyAnswers = {true, false};
    boxes.Answer(msgbox::OK);
    click(f, "cmdShow");
    click(f, "cmdShow");
    EXPECT_EQ(host.verifications, 2);
    EXPECT_EQ(boxes.texts(), QStringList{"sh0p!"});
    EXPECT_EQ(boxes.lastTitle(), QStringLiteral("Password for Shop"));

    // Leaving an address of the sign-in service brings advice; other addresses do not.
    boxes.Answer(msgbox::OK);
    for (const char* url : {"https://www.example.org/", "https://LOGIN.Passport-Example.test/signin?x=1"}) {
        edit(f, "txtUrl")->setFocus(Qt::TabFocusReason);
        type(f, "txtUrl", url);
        edit(f, "txtCaption")->setFocus(Qt::TabFocusReason);
    }
    ASSERT_EQ(boxes.count(), 2);
    EXPECT_EQ(boxes.lastTitle(), QStringLiteral("Sign-in through Passport"));

    emit child<QLabel>(f, "lblUrl")->linkActivated(QStringLiteral("ignored"));
    EXPECT_EQ(host.navigations,
              (QList<QPair<QString, int>>{{"http://bramblegate.localhost/Support/LoginProblem.asp", 3}}));
}
