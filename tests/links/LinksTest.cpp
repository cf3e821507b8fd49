// The Links of a user: how they are stored and read back (damaged stores too), their ids, a password
// change, a save killed half-way, and the editor that adds and changes them.
#include <QCheckBox>
#include <QLabel>
#include <QRegularExpression>
#include <QSignalSpy>
#include <tuple>

#include "core/Errors.h"
#include "core/PasswordChange.h"
#include "core/SecretCipher.h"
#include "core/Settings.h"
#include "links/LinkEditor.h"
#include "links/LinkEditorHost.h"
#include "links/LinkIds.h"
#include "links/Links.h"
#include "support/KillRounds.h"
#include "users/UsersSupport.h"

using namespace core;
using namespace userstest;

namespace {

QStringList valueNames(const QString& user) {
    QStringList names, values;
    EnumValues(QStringLiteral("Software\\Bramblegate\\") + user, names, values);
    return names;
}

QString enc(const QString& plain) {
    return SecretCipher::EncryptMessage(plain);
}

// Captions in button order.
QStringList buttonOrder(const Links& links) {
    QStringList out;
    for (int order = 0; order < links.CountUndeleted(); ++order) {
        Link* link = links.ControlOrderItem(order);
        out << (link ? link->Caption() : QStringLiteral("<none>"));
    }
    return out;
}

// Captions of the stored slots 1..Items; nothing stored past them.
QStringList storedSlots(const QString& user) {
    QStringList out;
    const int items = GetValue(user, "Items", 0).toInt();
    for (int slot = 1; slot <= items; ++slot)
        out << GetValue(user, QStringLiteral("Caption%1").arg(slot));
    EXPECT_FALSE(ValueExists(user, QStringLiteral("Caption%1").arg(items + 1)));
    EXPECT_FALSE(ValueExists(user, QStringLiteral("ControlOrder%1").arg(items + 1)));
    return out;
}

Link* addPlain(Links& links, const QString& caption) {
    return links.Add(caption, enc("https://" + caption.toLower() + ".example/"), enc(caption + "-user"),
                     enc(caption + "-pw"), QString(), QString(), false, true);
}

void writeSlot(const QString& user, int slot, const QString& caption, int order) {
    const QString n = QString::number(slot);
    SaveValue(user, "Caption" + n, caption);
    SaveValue(user, "URL" + n, enc("https://" + caption + ".example/"));
    SaveValue(user, "ControlOrder" + n, QString::number(order));
}

class LinksTest : public ::testing::Test {
protected:
    void SetUp() override { runAs("ann", "annpass1"); }
    TempStore temp;
    ScriptedBoxes boxes;
};

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

// A child process that saves the same 100 Links over and over, each round with a new
// generation number in every caption and a changed button order, until it is killed. The test
// program becomes that child when BG_LINKS_SAVER names a store file.
const char* const kSaverVariable = "BG_LINKS_SAVER";
const QString kSaver = QStringLiteral("saver");
const QString kPassPhrase = QStringLiteral("saverpw1");
constexpr int kLinkCount = 100;

QString captionFor(int id, int generation) {
    return QStringLiteral("Link %1 gen %2").arg(id).arg(generation);
}
// The address and the password of each Link, by its id.
const QString kUrl = QStringLiteral("https://site%1.example/"), kPassword = QStringLiteral("pw%1");

void runSaver(const QString& path) {
    QString error;
    std::unique_ptr<SettingsStore> store = SettingsStore::Open(path, &error);
    if (!store) {
        std::fprintf(stderr, "saver: %s\n", qPrintable(error));
        std::_Exit(2);
    }
    SettingsStore::SetCurrent(store.get());
    runAs(kSaver, kPassPhrase);
    Links links(kSaver);
    int generation = links.Item(1)->NavigateAfterLogin().toInt();
    KillRounds::Ready();
    QRandomGenerator random(quint32(QCoreApplication::applicationPid()));
    for (int round = 0; round < 100000; ++round) {
        ++generation;
        for (Link* link : links) {
            const int id = link->SelectOption().toInt();
            link->SetCaption(captionFor(id, generation));
            link->SetNavigateAfterLogin(QString::number(generation));
        }
        links.MoveLink(1 + int(random.bounded(kLinkCount)), 1 + int(random.bounded(kLinkCount)));
        links.SaveLinks(generation % 2 == 0);
    }
}
const void* const g_saver = KillRounds::Child(kSaverVariable, runSaver);

// Checks that the store holds one whole set of the 100 Links; returns its generation.
int checkCompleteSet() {
    Links links(kSaver);
    EXPECT_EQ(links.Count(), kLinkCount);
    QSet<int> ids, orders, generations;
    static const QRegularExpression pattern(QStringLiteral("^Link (\\d+) gen (\\d+)$"));
    for (Link* link : links) {
        const auto match = pattern.match(link->Caption());
        const int id = match.captured(1).toInt();
        EXPECT_TRUE(match.hasMatch()) << link->Caption().toStdString();
        EXPECT_EQ(link->SelectOption().toInt(), id);
        EXPECT_EQ(link->URL() + link->Password(), kUrl.arg(id) + kPassword.arg(id));
        ids << id;
        orders << link->ControlOrder();
        generations << match.captured(2).toInt();
    }
    EXPECT_EQ(ids.size(), kLinkCount) << "a Link is missing or there twice";
    EXPECT_EQ(orders.size(), kLinkCount) << "the button order has a hole";
    EXPECT_EQ(generations.size(), 1) << "Links of two generations in one store";
    EXPECT_FALSE(ValueExists(kSaver, QStringLiteral("Caption%1").arg(kLinkCount + 1)));
    return generations.isEmpty() ? -1 : *generations.begin();
}

} // namespace

TEST_F(LinksTest, LinksAreSavedAsAddedEachInItsOwnSlotAfterARenumberingTooAndReadBackAfterARestart) {
    SaveValue("ann", "FavoritesFolder", "Links\\News");
    SaveValue("ann", "SearchChoice", "Msn");
    SaveValue("ann", "CaptionOld", "stray");
    QString gone;
    QStringList ids; // Bob's, in button order
    {
        Links links("ann");
        EXPECT_EQ(links.FavoritesFolder(), QStringLiteral("Links\\News"));
        Link* bank = links.Add("Bank", enc("https://bank.example/"), enc("jdoe"), enc("pa55"), "Personal",
                               "Accounts", true, true);
        EXPECT_TRUE(bank->HidePopUps());
        // Saved at once: the count and the values of slot 1, in their order.
        EXPECT_EQ(
            valueNames("ann"),
            (QStringList{"FavoritesFolder", "SearchChoice", "CaptionOld", "Items", "Caption1",
                         "SelectOption1", "NavigateAfterLogin1", "URL1", "UserName1", "PW1", "AutoNavigate1",
                         "ReqLogin1", "ControlOrder1", "HidePopUps1", "ShareCookies1", "LinkId1"}));
        EXPECT_EQ(GetValue("ann", "PW1"), enc("pa55"));
        EXPECT_EQ(GetValue("ann", "AutoNavigate1") + GetValue("ann", "ShareCookies1"),
                  QStringLiteral("TrueFalse"));
        Link* mail = links.Add("Mail", enc("https://mail.example/"), "", "", "", "", false, false);

        // UpdateLink rewrites the Link's slot but leaves its order, pop-up and cookie choices alone.
        mail->SetHidePopUps(false);
        mail->SetShareCookies(true);
        links.UpdateLink(2, "Webmail", enc("https://webmail.example/"), enc("me"), enc("pw2"), "", "Inbox",
                         true, true);
        EXPECT_EQ(GetValue("ann", "HidePopUps2") + GetValue("ann", "ControlOrder2"),
                  QStringLiteral("False1"));
        // A compact save touches only the Links' values; stray ones of theirs go.
        links.SaveLinks(true);
        EXPECT_TRUE(valueNames("ann").contains("SearchChoice") && !valueNames("ann").contains("CaptionOld"));
        EXPECT_EQ(valueNames("ann").filter(QRegularExpression("^(Caption|URL|PW|ControlOrder)\\d+$")).size(),
                  8);

        // Bob's writes after his store was renumbered.
        Links bob("bob");
        for (const char* caption : {"A", "B", "C", "D"})
            addPlain(bob, caption);
        // B's slot goes; C and D move up one slot while their Indexes stay 3 and 4.
        gone = bob.Item(2)->Id();
        bob.Remove(2);
        bob.UpdateLink(3, "Cats", enc("https://cats.example/"), enc("cat"), enc("meow"), "", "", false, true);
        bob.Item(4)->SetHidePopUps(false);
        bob.Item(4)->SetAlsoAllowedSite("login.partner.example");
        bob.SaveLink(4);
        // Only a Link that has an also allowed site has the value.
        EXPECT_TRUE(ValueExists("bob", "AlsoAllowedSite3") && !ValueExists("bob", "AlsoAllowedSite2"));
        // A new Link takes the next slot, not its Index.
        addPlain(bob, "E");
        EXPECT_EQ(storedSlots("bob"), (QStringList{"A", "Cats", "D", "E"}));
        // Moved and compacted: the slots follow the button order, the Indexes do not.
        bob.MoveLink(5, 1);
        bob.SaveLinks(true);
        bob.UpdateLink(1, "Apple", enc("https://apple.example/"), enc("ap"), enc("pip"), "", "", false, true);
        EXPECT_EQ(storedSlots("bob"), (QStringList{"E", "Apple", "Cats", "D"}));
        // Saved in Index order again, then one Link alone.
        bob.SaveLinks(false);
        bob.UpdateLink(3, "Cats", enc("https://cats.example/"), enc("cat"), enc("purr"), "", "", false, true);
        EXPECT_EQ(storedSlots("bob"), (QStringList{"Apple", "Cats", "D", "E"}));
        for (int order = 0; order < 4; ++order)
            ids << bob.ControlOrderItem(order)->Id();
    }
    temp.Reopen();
    Links links("ann");
    ASSERT_EQ(links.Count(), 2);
    Link* bank = links.Item(1);
    Link* mail = links.Item(2);
    EXPECT_EQ(
        QStringList({bank->Caption(), bank->URL(), bank->UserName(), bank->Password(), bank->SelectOption(),
                     bank->NavigateAfterLogin(), mail->Caption(), mail->Password()}),
        QStringList(
            {"Bank", "https://bank.example/", "jdoe", "pa55", "Personal", "Accounts", "Webmail", "pw2"}));
    EXPECT_TRUE(bank->AutoNavigate() && bank->ReqLogin() && bank->IsPageAvailable());
    EXPECT_FALSE(mail->HidePopUps() || bank->ShareCookies());
    // A Link that shares its cookies has no web profile of its own.
    EXPECT_TRUE(mail->ShareCookies() && mail->WebProfileId().isEmpty());
    EXPECT_EQ(bank->WebProfileId(), GetValue("ann", "LinkId1"));

    Links bob("bob");
    ASSERT_EQ(buttonOrder(bob), (QStringList{"E", "Apple", "Cats", "D"}));
    // The ids went with their Links; the removed Link's went.
    QStringList read;
    for (int order = 0; order < 4; ++order) {
        const Link* link = bob.ControlOrderItem(order);
        read << link->URL() + " " + link->Password() + " " + (link->HidePopUps() ? "hide " : "show ") +
                    link->AlsoAllowedSite();
        EXPECT_EQ(link->Id(), ids.value(order));
    }
    EXPECT_FALSE(LinkIds::Stored("bob").contains(gone));
    EXPECT_EQ(read, (QStringList{"https://e.example/ E-pw hide ", "https://apple.example/ pip hide ",
                                 "https://cats.example/ purr hide ",
                                 "https://d.example/ D-pw show login.partner.example"}));
}

TEST_F(LinksTest, DamagedStoresLoadEveryLinkAndAreRewrittenWithoutGaps) {
    const QString kept = QStringLiteral("0123456789abcdef0123456789abcdef");
    const struct {
        const char* name;
        QList<std::tuple<int, const char*, int>> stored; // slot, caption, order
        QStringList loaded;
        QMap<int, QString> ids = {}; // by slot; none stored elsewhere (another tool, an older version)
    } rows[] = {
        // Missing slots are bridged; the store is rewritten in button order into slots 1 to 3.
        {"gaps", {{1, "A", 0}, {3, "C", 2}, {4, "D", 1}}, {"A", "D", "C"}},
        // Nine missing slots in a row are bridged; the tenth ends the load.
        {"ten", {{1, "first", 0}, {11, "after nine", 1}, {22, "after ten", 2}}, {"first", "after nine"}},
        // Orders with holes and repeats (hand-edited, imported) become 0..n-1 in the order they had.
        // One id copied into a second slot, one that is no id (it would become a folder name).
        {"orders",
         {{1, "five", 5}, {2, "two", 2}, {3, "nine", 9}, {4, "two again", 2}},
         {"two", "two again", "five", "nine"},
         {{2, kept}, {3, kept}, {4, "../../../elsewhere"}}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        TempStore store;
        runAs("ann", "annpass1");
        SaveValue("ann", "Items", QString::number(r.stored.size()));
        for (const auto& [slot, caption, order] : r.stored)
            writeSlot("ann", slot, caption, order);
        for (auto [slot, id] : r.ids.asKeyValueRange())
            SaveValue("ann", QStringLiteral("LinkId%1").arg(slot), id);
        {
            Links links("ann");
            EXPECT_EQ(buttonOrder(links), r.loaded);
            EXPECT_EQ(links.Item(2)->URL(), "https://" + links.Item(2)->Caption() + ".example/");
            // Every Link has an id of its own, stored at once in its slot; a valid one is kept once.
            QSet<QString> ids;
            for (Link* link : links) {
                EXPECT_TRUE(LinkIds::IsValid(link->Id())) << link->Caption().toStdString();
                EXPECT_EQ(GetValue("ann", QStringLiteral("LinkId%1").arg(link->Slot())), link->Id());
                ids << link->Id();
            }
            EXPECT_EQ(ids.size(), links.Count());
            EXPECT_EQ(links.Item(2)->Id() == kept, r.ids.contains(2));
            links.SaveLinks(true);
        }
        EXPECT_EQ(storedSlots("ann"), r.loaded);
    }
}

TEST_F(LinksTest, MissingLinksVisibleNavigateStoppedAndAPasswordChangeFollowTheirRules) {
    SaveUserPassword("Users", "ann", "annpass1", "");
    Links links("ann");
    Link* link = addPlain(links, "A");
    Link* gone = addPlain(links, "B");
    for (Link* none : {links.Item(0), links.Item(3), links.ControlOrderItem(2), links.RenewLink(7)})
        EXPECT_EQ(none, nullptr);
    EXPECT_THROW(links.SaveLink(3), BgError);
    EXPECT_THROW(links.Remove(9), BgError);
    EXPECT_THROW(links.MoveLink(1, 3), BgError);
    QSignalSpy status(&links, &Links::StatusPanelText);
    // VisibleChanged comes for a change (after the store), or for the forced Link again; never
    // for none (-1 or 0), which is still stored.
    QList<int> seen;
    QObject::connect(&links, &Links::VisibleChanged, [&] { seen << links.Visible(); });
    links.SetVisible(2);
    links.SetVisible(2);
    links.SetForceVisible(2);
    for (int visible : {2, -1, 0})
        links.SetVisible(visible);
    EXPECT_EQ(seen, (QList<int>{2, 2}));
    EXPECT_EQ(links.Visible(), 0);
    // Removing the visible Link leaves none visible, without a word.
    links.SetVisible(2);
    links.Remove(2);
    EXPECT_EQ(seen.size(), 3);
    EXPECT_EQ(links.Visible(), -1);

    links.SetNavigateStopped(true); // a stop says so
    EXPECT_EQ(status.value(0), (QVariantList{3, QStringLiteral("Navigation Cancelled")}));
    // A fresh navigation clears the stop and the Link's run-time state, but not its login.
    link->SetTitle("Old page");
    link->SetProgressValue(50);
    link->SetPasswordSent(true);
    link->SetLoggedIn(true);
    EXPECT_EQ(links.RenewLink(1), link);
    EXPECT_FALSE(links.NavigateStopped() || link->PasswordSent());
    EXPECT_EQ(status.last().at(1).toString() + link->Title() + QString::number(link->ProgressValue()), "0");
    EXPECT_TRUE(link->LoggedIn());

    // A password change re-encrypts the store and the Links in memory, or nothing.
    const QString goneEnc = gone->PasswordEnc();
    SaveUserPassword("Users", "ann", "newpass2", "annpass1");
    EXPECT_EQ(SecretCipher::DecryptMessage(link->PasswordEnc(), "newpass2") + link->Password() +
                  link->UserName(),
              QStringLiteral("A-pwA-pwA-user"));
    EXPECT_EQ(gone->PasswordEnc(), goneEnc); // deleted Links are left alone
    EXPECT_EQ(GetValue("ann", "PW1"), link->PasswordEnc());

    // Held but never saved: a secret that cannot be decrypted makes the in-memory half fail
    // after the stored half succeeded. Nothing changes then.
    links.Add("Broken", enc("https://broken.example/"), "", QStringLiteral("\u0142\u0142"), "", "", false,
              false, 1, false);
    const QStringList stored{GetValue("ann", "PW1"), GetValue("Users", "ann")};
    const QString held = link->PasswordEnc();
    EXPECT_THROW(SaveUserPassword("Users", "ann", "newpass3", "newpass2"), BgError);
    EXPECT_EQ(App().PassPhrase, QStringLiteral("newpass2"));
    EXPECT_EQ((QStringList{GetValue("ann", "PW1"), GetValue("Users", "ann")}), stored);
    EXPECT_EQ(link->PasswordEnc(), held);
}

TEST(LinkEditor, AddingChecksTheFieldsAndEditingStoresEveryChoiceInTheLinksOwnSlotAtOnce) {
    TempStore temp;
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    createAndLogIn("Olga", "olga-pass", boxes);
    EditorHost host("Olga");
    const QString missingNames = QStringLiteral("Please fill in the Nickname and WebAddress information");
    // Without a login: no login data is asked for, and Ctrl+Enter completes the address.
    dialogs.Next([&](QDialog& f) {
        f.show(); // so that isVisible() tells whether it closed
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
    {
        Links stored("Olga");
        ASSERT_EQ(stored.Count(), 4);
        const Link* link = stored.Item(4);
        EXPECT_EQ(QStringList({link->Caption(), link->URL(), link->UserName(), link->Password(),
                               link->SelectOption(), link->NavigateAfterLogin()}),
                  QStringList({"Mail", "mail.example", "olga", "m@il-pw", "Personal", "Inbox"}));
        EXPECT_TRUE(link->AutoNavigate() && link->ReqLogin() && stored.Item(3)->HidePopUps());
        // A new Link keeps its own cookies.
        EXPECT_FALSE(link->HidePopUps() || stored.Item(3)->ReqLogin() ||
                     !stored.Item(3)->Password().isEmpty() || stored.Item(3)->ShareCookies());
    }

    // Editing. The first Link's slot goes, so the store numbers the others one lower than their Indexes.
    Link* toons = host.links.Add("Tom && Jerry", enc("https://toons.example/"), enc("quinn"), enc("c@rtoon"),
                                 "", "Episodes", false, true);
    host.links.Remove(1);
    ASSERT_EQ(toons->Index(), 5);
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
    EXPECT_EQ(GetValue("Olga", "HidePopUps4") + GetValue("Olga", "ShareCookies4") +
                  GetValue("Olga", "AlsoAllowedSite4"),
              QStringLiteral("FalseTruelogin.toon-id.example"));
    Links again("Olga");
    EXPECT_EQ(again.Item(4)->URL(), QStringLiteral("https://toons.example/new"));
    EXPECT_TRUE(again.Item(4)->ShareCookies() && again.Item(2)->HidePopUps() && !again.Item(4)->HidePopUps());

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
        EXPECT_EQ(GetValue("Olga", "Caption1"), QString::fromLatin1(stored));
    }

    // The password shows only after the master password was given again.
    LinkEditor f(host, LinkEditor::Mode::Edit);
    f.LoadLink(*toons);
    showActive(f);
    type(f, "txtCaption", "  Toons  ");
    boxes.Clear();
    host.verifyAnswers = {true, false};
    boxes.Answer(msgbox::OK);
    click(f, "cmdShow");
    click(f, "cmdShow");
    EXPECT_EQ(host.verifications, 2);
    EXPECT_EQ(boxes.texts(), QStringList{"c@rtoon"});
    EXPECT_EQ(boxes.lastTitle(), QStringLiteral("Password for Toons"));

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

TEST(LinksKill, AKilledSaveLeavesTheOldOrTheNewSetNeverNone) {
    ASSERT_NE(g_saver, nullptr);
    TempStore temp;
    runAs(kSaver, kPassPhrase);
    {
        Links links(kSaver);
        for (int id = 0; id < kLinkCount; ++id)
            links.Add(captionFor(id, 0), SecretCipher::EncryptMessage(kUrl.arg(id)), "",
                      SecretCipher::EncryptMessage(kPassword.arg(id)), QString::number(id), "0", false, true);
    }
    int generation = checkCompleteSet();

    int progressed = 0;
    KillRounds::Run(kSaverVariable, temp.path(), 30, [&](int round) {
        SCOPED_TRACE(round);
        temp.Reopen();
        const int now = checkCompleteSet();
        EXPECT_GE(now, generation) << "a save went missing after it had been committed";
        if (now > generation) ++progressed;
        generation = now;
    });
    // The saver really was saving when it was killed (on a loaded machine a set of saves can take
    // longer than the moment before a kill, so not every round moves on).
    EXPECT_GT(progressed, 5);
}
