// The Options dialog over a logged-in user with Links: what it shows, the checks made when a field
// is left, and what Apply stores.
#include "frame/OptionsDialog.h"
#include "core/AppState.h"
#include "core/SecretCipher.h"
#include "FrameSupport.h"
#include "links/Links.h"
#include "users/UserOptions.h"

using namespace core;
using namespace frametest;

namespace {

const QString kAnn = QStringLiteral("Ann");

// Ann with the Links Bank (pop-ups let through), Mail and News ("Gone" removed between them), and
// the dialog on show.
struct Options {
    TempStore temp;
    ScriptedBoxes boxes;
    UserOptions options{(App().CurrentUser = kAnn)};
    std::unique_ptr<Links> links;
    std::unique_ptr<OptionsDialog> dialog;

    Options() {
        App().PassPhrase = QStringLiteral("wonderland");
        App().Options = &options;
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
    ~Options() {
        dialog.reset();
        App().Options = nullptr;
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

TEST(OptionsDialog, ShowsTheOptionsWithHelpLinesAndAnyChangeOffersApply) {
    Options o;
    QStringList shown;
    for (const char* name : {"txtIdleMinutes", "txtFreezeMinutes", "txtDiscardMinutes", "txtSSN",
                             "txtHistoryItems", "txtBookmarks"})
        shown << o.field(name).text();
    EXPECT_EQ(shown, QStringList({"30", "10", "30", "", "100", "40"}));
    EXPECT_TRUE(Child<QCheckBox>(*o.dialog, "chkBeepOnPopUp").isChecked());
    // Not the removed Link; in the collection's order; ticked where pop-ups are blocked.
    EXPECT_EQ(o.Checked(), "Bank-Mail+News+");
    for (auto [name, help] : {std::pair{"txtHistoryItems", "between 0 and 200"},
                              {"txtBookmarks", "between 5 and 200"},
                              {"txtIdleMinutes", "Automatic Logout"},
                              {"txtSSN", "optional"},
                              {"lstLinks", "PopUp"}}) {
        o.Focus(Child(*o.dialog, name));
        EXPECT_TRUE(Child<QLabel>(*o.dialog, "lblHelp").text().contains(help)) << name;
    }
    QPushButton& apply = o.button("cmdApply");
    EXPECT_FALSE(apply.isEnabled()) << "moving around changes nothing";
    const std::function<void()> changes[] = {
        [&] { QTest::keyClick(&o.field("txtBookmarks"), Qt::Key_Backspace); },
        [&] { Child<QCheckBox>(*o.dialog, "chkBeepOnPopUp").setChecked(false); },
        [&] { o.list().item(0)->setCheckState(Qt::Checked); },
        [&] { o.button("cmdCheckAll").click(); }, // though everything is ticked already
    };
    for (const auto& change : changes) {
        o.field("txtBookmarks").setText("40");
        ASSERT_TRUE(o.dialog->OnApplyClicked());
        EXPECT_FALSE(apply.isEnabled());
        change();
        EXPECT_TRUE(apply.isEnabled());
    }
}

TEST(OptionsDialog, AFieldIsCheckedWhenLeftAndARefusedOneKeepsTheFocus) {
    Options o;
    const struct {
        const char* field;
        const char* text;
        const char* refused; // the message, or null
    } cases[] = {
        {"txtIdleMinutes", "0", nullptr},
        {"txtIdleMinutes", " 7 ", nullptr},
        {"txtIdleMinutes", "60", nullptr},
        {"txtIdleMinutes", "61", "idleRange"},
        {"txtIdleMinutes", "-1", "idleRange"},
        {"txtIdleMinutes", "", "idleRange"},
        {"txtIdleMinutes", "5.5", "idleRange"},
        {"txtFreezeMinutes", "1440", nullptr},
        {"txtFreezeMinutes", "1441", "linkIdleRange"},
        {"txtDiscardMinutes", "ten", "linkIdleRange"},
        {"txtBookmarks", "5", nullptr},
        {"txtBookmarks", "200", nullptr},
        {"txtBookmarks", "4", "bookmarksRange"},
        {"txtBookmarks", "201", "bookmarksRange"},
        {"txtHistoryItems", "0", nullptr},
        {"txtHistoryItems", "201", "historyRange"},
        {"txtSSN", "123-456-7890", "ssnLength"},
        {"txtSSN", "12a-45", "ssnDigits"},
    };
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
        // Back in the field, its text selected, its tab in front.
        EXPECT_EQ(QApplication::focusWidget(), &field);
        EXPECT_EQ(field.selectedText(), field.text());
        EXPECT_TRUE(field.isVisible());
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

TEST(OptionsDialog, ApplyStoresEverythingAtOnceWithTheSsnEncryptedAndEachLinksTickInItsPlace) {
    Options o;
    QSignalSpy applied(o.dialog.get(), &OptionsDialog::Applied);
    const char* names[] = {"txtIdleMinutes", "txtFreezeMinutes", "txtDiscardMinutes", "txtHistoryItems",
                           "txtBookmarks"};
    const char* values[] = {"0", "0", "45", "0", "5"};
    for (int i = 0; i < 5; ++i)
        o.field(names[i]).setText(values[i]);
    o.field("txtSSN").setText("123 45 6789");
    Child<QCheckBox>(*o.dialog, "chkBeepOnPopUp").setChecked(false);
    // Mail unticked: only Mail's value changes, in the place Mail is stored under (the store was
    // renumbered when "Gone" went; the Links' Indexes were not).
    o.list().item(1)->setCheckState(Qt::Unchecked);
    ASSERT_TRUE(o.dialog->OnApplyClicked());
    EXPECT_EQ(applied.count(), 1);
    QStringList stored;
    for (const char* name : {"AutoLogOutMts", "FreezeAfterMinutes", "DiscardAfterMinutes", "MaxHistoryItems",
                             "MaxBookmarkItems", "BeepOnPopup", "HidePopUps1", "HidePopUps2", "HidePopUps3"})
        stored << GetValue(kAnn, name);
    EXPECT_EQ(stored, QStringList({"0", "0", "45", "0", "5", "False", "False", "False", "True"}));
    EXPECT_EQ(o.options.MaxBookmarkItems(), 5);
    EXPECT_FALSE(o.links->Item(3)->HidePopUps());
    EXPECT_EQ(Links(kAnn).Item(2)->Caption(), "Mail");
    EXPECT_NE(GetValue(kAnn, "SSN"), "123456789"); // not in plain text
    EXPECT_EQ(UserOptions(kAnn).SSN(), "123456789");
    o.field("txtSSN").clear();
    o.button("cmdCheckAll").click();
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
