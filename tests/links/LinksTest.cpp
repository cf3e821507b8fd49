#include <gtest/gtest.h>
#include <QRegularExpression>
#include <QSignalSpy>

#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Errors.h"
#include "core/PasswordChange.h"
#include "core/SecretCipher.h"
#include "core/Settings.h"
#include "links/LinkIds.h"
#include "links/Links.h"
#include "support/TestSupport.h"

using namespace core;

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

// Captions of the stored slots 1..Items.
QStringList storedSlots(const QString& user) {
    QStringList out;
    const int items = GetValue(user, "Items", 0).toInt();
    for (int slot = 1; slot <= items; ++slot)
        out << GetValue(user, QStringLiteral("Caption%1").arg(slot));
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
    void SetUp() override {
        App().CurrentUser = "ann";
        App().PassPhrase = "annpass1";
    }
    TempStore temp;
    ScriptedBoxes boxes;
};

} // namespace

TEST_F(LinksTest, LinksAreSavedAsAddedAndReadBackAfterARestart) {
    SaveValue("ann", "FavoritesFolder", "Links\\News");
    SaveValue("ann", "SuppressNewWindows", "False");
    {
        Links links("ann");
        EXPECT_EQ(links.Count(), 0);
        EXPECT_TRUE(links.FavoritesFolder() == "Links\\News");
        EXPECT_FALSE(links.SuppressNewWindows());
        Link* bank = links.Add("Bank", enc("https://bank.example/"), enc("jdoe"), enc("pa55"), "Personal",
                               "Accounts", true, true);
        EXPECT_EQ(bank->Index(), 1);
        EXPECT_EQ(bank->ControlOrder(), 0);
        EXPECT_TRUE(bank->HidePopUps());
        EXPECT_FALSE(bank->IsPageAvailable());
        // Saved at once: the count and the values of slot 1, in their order.
        EXPECT_EQ(valueNames("ann"),
                  (QStringList{"FavoritesFolder", "SuppressNewWindows", "Items", "Caption1", "SelectOption1",
                               "NavigateAfterLogin1", "URL1", "UserName1", "PW1", "AutoNavigate1",
                               "ReqLogin1", "ControlOrder1", "HidePopUps1", "ShareCookies1", "LinkId1"}));
        EXPECT_EQ(GetValue("ann", "LinkId1"), bank->Id());
        EXPECT_EQ(GetValue("ann", "ShareCookies1"), QStringLiteral("False"));
        EXPECT_EQ(GetValue("ann", "URL1"), bank->URLEnc());
        EXPECT_EQ(GetValue("ann", "PW1"), enc("pa55"));
        EXPECT_EQ(GetValue("ann", "AutoNavigate1"), QStringLiteral("True"));
        EXPECT_EQ(GetValue("ann", "HidePopUps1"), QStringLiteral("True"));
        Link* mail = links.Add("Mail", enc("https://mail.example/"), "", "", "", "", false, false);
        EXPECT_EQ(mail->ControlOrder(), 1);
        EXPECT_EQ(GetValue("ann", "Items"), QStringLiteral("2"));

        // UpdateLink rewrites the Link's slot but leaves its order, pop-up and cookie choices alone.
        mail->SetHidePopUps(false);
        mail->SetShareCookies(true);
        links.UpdateLink(2, "Webmail", enc("https://webmail.example/"), enc("me"), enc("pw2"), "", "Inbox",
                         true, true);
        EXPECT_EQ(GetValue("ann", "Caption2"), QStringLiteral("Webmail"));
        EXPECT_EQ(GetValue("ann", "HidePopUps2"), QStringLiteral("False"));
        EXPECT_EQ(GetValue("ann", "ControlOrder2"), QStringLiteral("1"));
        EXPECT_EQ(mail->URL(), QStringLiteral("https://webmail.example/"));
    }
    temp.Reopen();
    Links links("ann");
    ASSERT_EQ(links.Count(), 2);
    Link* bank = links.Item(1);
    EXPECT_EQ(bank->Caption(), QStringLiteral("Bank"));
    EXPECT_EQ(bank->URL(), QStringLiteral("https://bank.example/"));
    EXPECT_EQ(bank->UserName(), QStringLiteral("jdoe"));
    EXPECT_EQ(bank->pw(), QStringLiteral("pa55"));
    EXPECT_EQ(bank->SelectOption(), QStringLiteral("Personal"));
    EXPECT_EQ(bank->NavigateAfterLogin(), QStringLiteral("Accounts"));
    EXPECT_TRUE(bank->AutoNavigate());
    EXPECT_TRUE(bank->ReqLogin());
    EXPECT_TRUE(bank->IsPageAvailable());
    Link* mail = links.Item(2);
    EXPECT_EQ(mail->Index(), 2);
    EXPECT_EQ(mail->Caption(), QStringLiteral("Webmail"));
    EXPECT_FALSE(mail->HidePopUps());
    EXPECT_TRUE(mail->ShareCookies());
    EXPECT_EQ(mail->WebProfileId(), QString());
    EXPECT_FALSE(bank->ShareCookies());
    EXPECT_EQ(bank->WebProfileId(), GetValue("ann", "LinkId1"));
    EXPECT_EQ(mail->pw(), QStringLiteral("pw2"));
    EXPECT_EQ(links.Visible(), -1);
    EXPECT_EQ(links.ForceVisible(), -1);
    int seen = 0;
    for (Link* link : links)
        EXPECT_EQ(link->Index(), ++seen);
    EXPECT_EQ(seen, 2);
}

TEST_F(LinksTest, MissingSlotsAreBridgedAndTheStoreIsRewrittenWithoutGaps) {
    SaveValue("ann", "Items", "3");
    writeSlot("ann", 1, "A", 0);
    writeSlot("ann", 3, "C", 2);
    writeSlot("ann", 4, "D", 1);
    {
        Links links("ann");
        ASSERT_EQ(links.Count(), 3);
        EXPECT_EQ(links.Item(1)->Caption(), QStringLiteral("A"));
        EXPECT_EQ(links.Item(2)->Caption(), QStringLiteral("C"));
        EXPECT_EQ(links.Item(3)->Caption(), QStringLiteral("D"));
        EXPECT_EQ(links.Item(3)->Index(), 3);
        EXPECT_EQ(links.Item(3)->URL(), QStringLiteral("https://D.example/"));
        EXPECT_EQ(buttonOrder(links), (QStringList{"A", "D", "C"}));
    }
    // Rewritten in button order into slots 1 to 3; slot 4 is gone.
    EXPECT_EQ(storedSlots("ann"), (QStringList{"A", "D", "C"}));
    EXPECT_FALSE(ValueExists("ann", "Caption4"));
    EXPECT_FALSE(ValueExists("ann", "ControlOrder4"));
    EXPECT_EQ(GetValue("ann", "ControlOrder2"), QStringLiteral("1"));

    // Nine missing slots in a row are bridged; the tenth ends the load.
    TempStore other;
    App().CurrentUser = "bo";
    App().PassPhrase = "bopass";
    SaveValue("bo", "Items", "3");
    writeSlot("bo", 1, "first", 0);
    writeSlot("bo", 11, "after nine", 1); // slots 2..10 missing
    writeSlot("bo", 22, "after ten", 2);  // slots 12..21 missing
    Links links("bo");
    EXPECT_EQ(buttonOrder(links), (QStringList{"first", "after nine"}));
    EXPECT_EQ(GetValue("bo", "Items"), QStringLiteral("2"));
    EXPECT_EQ(storedSlots("bo"), (QStringList{"first", "after nine"}));

    // Orders with holes and repeats (a damaged or hand-edited store, an imported file) become
    // 0..n-1 as they are loaded, in the order they had: the next compact save keeps every Link.
    TempStore third;
    App().CurrentUser = "cy";
    App().PassPhrase = "cypass";
    SaveValue("cy", "Items", "4");
    writeSlot("cy", 1, "five", 5);
    writeSlot("cy", 2, "two", 2);
    writeSlot("cy", 3, "nine", 9);
    writeSlot("cy", 4, "two again", 2);
    {
        Links loaded("cy");
        EXPECT_EQ(buttonOrder(loaded), (QStringList{"two", "two again", "five", "nine"}));
        loaded.SaveLinks(true);
    }
    EXPECT_EQ(storedSlots("cy"), (QStringList{"two", "two again", "five", "nine"}));
}

TEST_F(LinksTest, EveryLinkHasAnIdOfItsOwnThatFollowsItWhereverItIsStored) {
    // A store written without ids (by another tool, an older version), one id copied into a
    // second slot, one that is no id (it would become a folder name).
    SaveValue("ann", "Items", "4");
    writeSlot("ann", 1, "A", 0);
    writeSlot("ann", 2, "B", 1);
    writeSlot("ann", 3, "C", 2);
    writeSlot("ann", 4, "D", 3);
    const QString kept = LinkIds::New();
    SaveValue("ann", "LinkId2", kept);
    SaveValue("ann", "LinkId3", kept);
    SaveValue("ann", "LinkId4", "../../../elsewhere");
    QHash<QString, QString> idOf; // caption -> id
    {
        Links links("ann");
        for (Link* link : links) {
            EXPECT_TRUE(LinkIds::IsValid(link->Id())) << link->Caption().toStdString();
            idOf.insert(link->Caption(), link->Id());
        }
        EXPECT_EQ(idOf.value("B"), kept);
        EXPECT_EQ(QSet<QString>(idOf.cbegin(), idOf.cend()).size(), 4) << "no two Links share an id";
        // The new ids are stored at once, each in its Link's slot.
        for (int slot = 1; slot <= 4; ++slot)
            EXPECT_EQ(GetValue("ann", QStringLiteral("LinkId%1").arg(slot)), links.Item(slot)->Id());

        // Removing a Link renumbers the slots; the ids go with their Links.
        links.Remove(1);
        addPlain(links, "E");
        idOf.insert("E", links.Item(5)->Id());
    }
    temp.Reopen();
    Links links("ann");
    ASSERT_EQ(buttonOrder(links), (QStringList{"B", "C", "D", "E"}));
    for (Link* link : links)
        EXPECT_EQ(link->Id(), idOf.value(link->Caption())) << link->Caption().toStdString();
    EXPECT_EQ(LinkIds::Stored("ann").size(), 4);
    EXPECT_FALSE(LinkIds::Stored("ann").contains(idOf.value("A")));
}

TEST_F(LinksTest, RemoveMoveAndInsertKeepTheButtonOrderDense) {
    Links links("ann");
    for (const char* caption : {"A", "B", "C", "D", "E"})
        addPlain(links, caption);
    QSignalSpy visibleChanged(&links, &Links::VisibleChanged);

    // Up: order 4 onto order 1.
    links.MoveLink(5, 2);
    EXPECT_EQ(buttonOrder(links), (QStringList{"A", "E", "B", "C", "D"}));
    // Down: order 0 onto order 3.
    links.MoveLink(1, 3);
    EXPECT_EQ(buttonOrder(links), (QStringList{"E", "B", "C", "A", "D"}));
    links.MoveLink(4, 4);
    EXPECT_EQ(buttonOrder(links), (QStringList{"E", "B", "C", "A", "D"}));
    // Moving saves nothing; the caller saves.
    EXPECT_EQ(storedSlots("ann"), (QStringList{"A", "B", "C", "D", "E"}));
    EXPECT_EQ(GetValue("ann", "ControlOrder5"), QStringLiteral("4"));
    links.SaveLinks(false);
    EXPECT_EQ(storedSlots("ann"), (QStringList{"A", "B", "C", "D", "E"}));
    EXPECT_EQ(GetValue("ann", "ControlOrder5"), QStringLiteral("0"));

    // Removing the first button closes the gap and rewrites compactly in button order.
    links.SetVisible(5);
    EXPECT_EQ(visibleChanged.count(), 1);
    links.Remove(5);
    EXPECT_EQ(links.Visible(), -1);
    EXPECT_EQ(visibleChanged.count(), 1);
    EXPECT_TRUE(links.Item(5)->Deleted());
    EXPECT_EQ(links.Count(), 5);
    EXPECT_EQ(links.CountUndeleted(), 4);
    EXPECT_EQ(buttonOrder(links), (QStringList{"B", "C", "A", "D"}));
    EXPECT_EQ(links.ControlOrderItemIndex(0), 2);
    EXPECT_EQ(links.ControlOrderItemIndex(4), -1);
    EXPECT_EQ(storedSlots("ann"), (QStringList{"B", "C", "A", "D"}));
    EXPECT_FALSE(ValueExists("ann", "Caption5"));
    EXPECT_FALSE(ValueExists("ann", "ControlOrder5"));

    // Inserting at order 1 moves the rest down and saves every Link in Index order, leaving no
    // slot empty for the removed Link.
    Link* inserted = links.Add("New", enc("https://new.example/"), "", "", "", "", false, false, 1, true);
    EXPECT_EQ(inserted->Index(), 6);
    EXPECT_EQ(buttonOrder(links), (QStringList{"B", "New", "C", "A", "D"}));
    EXPECT_EQ(GetValue("ann", "Items"), QStringLiteral("5"));
    EXPECT_EQ(storedSlots("ann"), (QStringList{"A", "B", "C", "D", "New"}));
    EXPECT_EQ(GetValue("ann", "ControlOrder5"), QStringLiteral("1"));
    EXPECT_FALSE(ValueExists("ann", "Caption6"));

    Links reloaded("ann");
    EXPECT_EQ(reloaded.Count(), 5);
    EXPECT_EQ(buttonOrder(reloaded), (QStringList{"B", "New", "C", "A", "D"}));
    EXPECT_EQ(reloaded.Item(5)->pw(), QStringLiteral(""));
    EXPECT_EQ(reloaded.Item(1)->pw(), QStringLiteral("A-pw"));

    // Removing the last of the buttons leaves no trace of its slot.
    reloaded.Remove(reloaded.ControlOrderItemIndex(4));
    EXPECT_EQ(GetValue("ann", "Items"), QStringLiteral("4"));
    EXPECT_FALSE(ValueExists("ann", "ControlOrder5"));
    EXPECT_EQ(storedSlots("ann"), (QStringList{"B", "New", "C", "A"}));
}

TEST_F(LinksTest, WritesAfterTheStoreIsRenumberedLandInEachLinksOwnSlot) {
    {
        Links links("ann");
        for (const char* caption : {"A", "B", "C", "D"})
            addPlain(links, caption);
        // B's slot goes; C and D move up one slot while their Indexes stay 3 and 4.
        links.Remove(2);
        ASSERT_EQ(storedSlots("ann"), (QStringList{"A", "C", "D"}));
        links.UpdateLink(3, "Cats", enc("https://cats.example/"), enc("cat"), enc("meow"), "", "", false,
                         true);
        links.Item(4)->SetHidePopUps(false);
        links.Item(4)->SetAlsoAllowedSite("login.partner.example");
        links.SaveLink(4);
        EXPECT_EQ(storedSlots("ann"), (QStringList{"A", "Cats", "D"}));
        EXPECT_EQ(GetValue("ann", "HidePopUps3"), QStringLiteral("False"));
        // Only a Link that has an also allowed site has the value.
        EXPECT_EQ(GetValue("ann", "AlsoAllowedSite3"), QStringLiteral("login.partner.example"));
        EXPECT_FALSE(ValueExists("ann", "AlsoAllowedSite2"));
        EXPECT_FALSE(ValueExists("ann", "Caption4"));
        // A new Link takes the next slot, not its Index.
        addPlain(links, "E");
        EXPECT_EQ(storedSlots("ann"), (QStringList{"A", "Cats", "D", "E"}));

        // Moved and compacted: the slots follow the button order, the Indexes do not.
        links.MoveLink(5, 1);
        links.SaveLinks(true);
        ASSERT_EQ(storedSlots("ann"), (QStringList{"E", "A", "Cats", "D"}));
        links.UpdateLink(1, "Apple", enc("https://apple.example/"), enc("ap"), enc("pip"), "", "", false,
                         true);
        EXPECT_EQ(storedSlots("ann"), (QStringList{"E", "Apple", "Cats", "D"}));

        // Saved in Index order again (the removed Link leaves no empty slot), then one Link alone.
        links.SaveLinks(false);
        links.UpdateLink(3, "Cats", enc("https://cats.example/"), enc("cat"), enc("purr"), "", "", false,
                         true);
        EXPECT_EQ(storedSlots("ann"), (QStringList{"Apple", "Cats", "D", "E"}));
        links.Item(1)->SetAlsoAllowedSite("sso.apple.example");
        links.SaveLink(1);
        links.Item(1)->SetAlsoAllowedSite(QString());
        links.SaveLink(1);
        EXPECT_FALSE(ValueExists("ann", "AlsoAllowedSite1"));
        EXPECT_EQ(GetValue("ann", "PW2"), enc("purr"));
        EXPECT_FALSE(ValueExists("ann", "Caption5"));
    }
    temp.Reopen();
    Links links("ann");
    ASSERT_EQ(buttonOrder(links), (QStringList{"E", "Apple", "Cats", "D"}));
    const struct {
        int order;
        const char *url, *pw;
        bool hidePopUps;
        const char* also;
    } expected[] = {{0, "https://e.example/", "E-pw", true, ""},
                    {1, "https://apple.example/", "pip", true, ""},
                    {2, "https://cats.example/", "purr", true, ""},
                    {3, "https://d.example/", "D-pw", false, "login.partner.example"}};
    for (const auto& e : expected) {
        const Link* link = links.ControlOrderItem(e.order);
        SCOPED_TRACE(link->Caption().toStdString());
        EXPECT_EQ(link->URL(), QString::fromLatin1(e.url));
        EXPECT_EQ(link->pw(), QString::fromLatin1(e.pw));
        EXPECT_EQ(link->HidePopUps(), e.hidePopUps);
        EXPECT_EQ(link->AlsoAllowedSite(), QLatin1String(e.also));
    }
}

TEST_F(LinksTest, ManyRemovalsThenAMoveLoseNoLinkAtTheNextLogin) {
    {
        Links links("ann");
        for (int n = 1; n <= 14; ++n)
            addPlain(links, QStringLiteral("L%1").arg(n));
        for (int index = 1; index <= 11; ++index)
            links.Remove(index);
        // A drag puts L14 first; the window then saves in Index order.
        links.MoveLink(14, 12);
        links.SaveLinks(false);
        // Another one appended after that takes the next slot.
        addPlain(links, QStringLiteral("L15"));
    }
    temp.Reopen();
    Links links("ann");
    EXPECT_EQ(buttonOrder(links), (QStringList{"L14", "L12", "L13", "L15"}));
    ASSERT_EQ(links.Count(), 4);
    EXPECT_EQ(links.Item(1)->Caption(), QStringLiteral("L12"));
    EXPECT_EQ(links.Item(3)->pw(), QStringLiteral("L14-pw"));
    EXPECT_EQ(links.Item(4)->URL(), QStringLiteral("https://l15.example/"));
}

TEST_F(LinksTest, SavingTouchesOnlyTheLinksValues) {
    SaveValue("ann", "Urls", "3");
    SaveValue("ann", "SearchChoice", "Msn");
    SaveValue("ann", "PicWidth0", "120");
    SaveValue("ann", "CaptionOld", "stray");
    Links links("ann");
    addPlain(links, "A");
    addPlain(links, "B");
    links.SaveLinks(true);
    const QStringList names = valueNames("ann");
    EXPECT_TRUE(names.contains("Urls"));
    EXPECT_TRUE(names.contains("SearchChoice"));
    EXPECT_TRUE(names.contains("PicWidth0"));
    EXPECT_FALSE(names.contains("CaptionOld"));
    EXPECT_EQ(names.filter(QRegularExpression("^(Caption|URL|PW|ControlOrder)\\d+$")).size(), 8);
}

TEST_F(LinksTest, MissingLinksGiveNothingOrAnObjectRequiredError) {
    Links links("ann");
    addPlain(links, "A");
    EXPECT_EQ(links.Item(0), nullptr);
    EXPECT_EQ(links.Item(2), nullptr);
    EXPECT_EQ(links.ControlOrderItem(1), nullptr);
    EXPECT_EQ(links.RenewLink(7), nullptr);
    for (auto call :
         {std::function<void()>([&] { links.SaveLink(2); }), std::function<void()>([&] { links.Remove(9); }),
          std::function<void()>([&] { links.MoveLink(1, 3); })}) {
        try {
            call();
            ADD_FAILURE() << "no error";
        } catch (const BgError& e) {
            EXPECT_EQ(e.number(), ErrNo::ObjectRequired);
        }
    }
    EXPECT_EQ(buttonOrder(links), QStringList{"A"});
}

TEST_F(LinksTest, EventsFollowTheirRules) {
    Links links("ann");
    addPlain(links, "A");
    addPlain(links, "B");
    QSignalSpy visible(&links, &Links::VisibleChanged);
    QSignalSpy loaded(&links, &Links::ControlsLoaded);

    links.SetControlsLoaded(false);
    EXPECT_EQ(loaded.count(), 0);
    links.SetControlsLoaded(true);
    EXPECT_EQ(loaded.count(), 1);
    EXPECT_TRUE(links.ControlsAreLoaded());

    int seenInHandler = 0;
    QObject::connect(&links, &Links::VisibleChanged, [&] { seenInHandler = links.Visible(); });
    links.SetVisible(2);
    EXPECT_EQ(visible.count(), 1);
    EXPECT_EQ(seenInHandler, 2); // synchronous, after the store
    links.SetVisible(2);
    EXPECT_EQ(visible.count(), 1);
    links.SetForceVisible(2);
    links.SetVisible(2);
    EXPECT_EQ(visible.count(), 2);
    links.SetVisible(-1);
    links.SetVisible(0);
    EXPECT_EQ(visible.count(), 2);
    EXPECT_EQ(links.Visible(), 0);
    links.SetForceVisible(0);
    links.SetVisible(1);
    EXPECT_EQ(visible.count(), 3);
}

TEST_F(LinksTest, BusyAndNavigateStoppedExpireByThemselves) {
    Links links("ann");
    Link* link = addPlain(links, "A");
    QSignalSpy status(&links, &Links::StatusPanelText);
    const QDateTime t0(QDate(2024, 3, 4), QTime(9, 0, 0));
    Clock::SetNow(t0);

    EXPECT_FALSE(links.Busy());
    EXPECT_FALSE(links.NavigateStopped());
    links.SetBusy(true);
    EXPECT_TRUE(links.Busy());
    Clock::Advance(1999);
    EXPECT_TRUE(links.Busy());
    Clock::Advance(1);
    EXPECT_FALSE(links.Busy());
    links.SetBusy(true);
    links.SetBusy(false);
    EXPECT_FALSE(links.Busy());

    links.SetNavigateStopped(true);
    ASSERT_EQ(status.count(), 1);
    EXPECT_EQ(status.at(0).at(0).toInt(), 3);
    EXPECT_EQ(status.at(0).at(1).toString(), QStringLiteral("Navigation Cancelled"));
    Clock::Advance(5999);
    EXPECT_TRUE(links.NavigateStopped());
    Clock::Advance(1);
    EXPECT_FALSE(links.NavigateStopped());
    links.SetNavigateStopped(true);
    EXPECT_TRUE(links.NavigateStopped());

    // A fresh navigation clears the flag and the Link's run-time state, but not its login.
    link->SetTitle("Old page");
    link->SetFrameURL("https://a.example/frame");
    link->SetProgressText("50%");
    link->SetProgressValue(50);
    link->SetNavigateMode(2);
    link->SetIsInDomain(true);
    link->SetIsPageAvailable(true);
    link->SetNavigationError(true);
    link->SetPasswordSent(true);
    link->SetLoggedIn(true);
    link->SetNavigateAfterLoginDone(true);
    EXPECT_EQ(links.RenewLink(1), link);
    EXPECT_FALSE(links.NavigateStopped());
    EXPECT_EQ(status.last().at(1).toString(), QString());
    EXPECT_EQ(link->Title(), QString());
    EXPECT_EQ(link->FrameURL(), QString());
    EXPECT_EQ(link->ProgressText(), QString());
    EXPECT_EQ(link->ProgressValue(), 0);
    EXPECT_EQ(link->NavigateMode(), 0);
    EXPECT_FALSE(link->IsInDomain());
    EXPECT_FALSE(link->IsPageAvailable());
    EXPECT_FALSE(link->NavigationError());
    EXPECT_FALSE(link->PasswordSent());
    EXPECT_TRUE(link->PasswordSentTime().isNull());
    EXPECT_TRUE(link->LoggedIn());
    EXPECT_TRUE(link->NavigateAfterLoginDone());
}

TEST_F(LinksTest, PasswordChangeReEncryptsTheStoreAndTheLinksInMemory) {
    SaveUserPassword("Users", "ann", "annpass1", "");
    Links links("ann");
    addPlain(links, "A");
    addPlain(links, "B");
    Link* gone = addPlain(links, "C");
    links.Remove(3);
    const QString goneEnc = gone->pwEnc();
    const QString captionBefore = GetValue("ann", "Caption1");
    const QString oldEnc = links.Item(1)->pwEnc();

    SaveUserPassword("Users", "ann", "newpass2", "annpass1");
    EXPECT_EQ(App().PassPhrase, QStringLiteral("newpass2"));
    Link* a = links.Item(1);
    EXPECT_NE(a->pwEnc(), oldEnc);
    EXPECT_EQ(SecretCipher::DecryptMessage(a->pwEnc(), "newpass2"), QStringLiteral("A-pw"));
    EXPECT_EQ(a->pw(), QStringLiteral("A-pw"));
    EXPECT_EQ(a->UserName(), QStringLiteral("A-user"));
    EXPECT_EQ(links.Item(2)->URL(), QStringLiteral("https://b.example/"));
    EXPECT_EQ(gone->pwEnc(), goneEnc); // deleted Links are left alone
    // What is stored matches what is held.
    EXPECT_EQ(GetValue("ann", "PW1"), a->pwEnc());
    EXPECT_EQ(GetValue("ann", "Caption1"), captionBefore);
    links.SaveLinks(true);
    Links reloaded("ann");
    EXPECT_EQ(reloaded.Item(2)->pw(), QStringLiteral("B-pw"));
}

TEST_F(LinksTest, AFailedPasswordChangeChangesNothing) {
    SaveUserPassword("Users", "ann", "annpass1", "");
    Links links("ann");
    addPlain(links, "A");
    // Held but never saved: a secret that cannot be decrypted makes the in-memory half fail
    // after the stored half succeeded.
    links.Add("Broken", enc("https://broken.example/"), "", QStringLiteral("\u0142\u0142"), "", "", false,
              false, 1, false);
    const QString storedPw1 = GetValue("ann", "PW1");
    const QString heldPw1 = links.Item(1)->pwEnc();
    const QString storedMaster = GetValue("Users", "ann");
    EXPECT_THROW(SaveUserPassword("Users", "ann", "newpass2", "annpass1"), BgError);
    EXPECT_EQ(App().PassPhrase, QStringLiteral("annpass1"));
    EXPECT_EQ(GetValue("Users", "ann"), storedMaster);
    EXPECT_EQ(GetValue("ann", "PW1"), storedPw1);
    EXPECT_EQ(links.Item(1)->pwEnc(), heldPw1);
    EXPECT_EQ(links.Item(1)->pw(), QStringLiteral("A-pw"));
}
