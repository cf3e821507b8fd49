#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include "core/AppState.h"
#include "core/SecretCipher.h"
#include "core/Settings.h"
#include "frame/OptionsDialog.h"
#include "links/Links.h"
#include "support/TestSupport.h"
#include "users/UserOptions.h"

using namespace core;
using SecretCipher::EncryptMessage;

namespace {

const QString kUser = QStringLiteral("Ann");

// A logged-in user with three Links (the middle one removed) and the dialog on show.
struct OptionsFixture {
    TempStore temp;
    ScriptedBoxes boxes;
    std::unique_ptr<UserOptions> options;
    std::unique_ptr<Links> links;
    std::unique_ptr<OptionsDialog> dialog;

    explicit OptionsFixture(const QStringList& captions = {"Bank", "Gone", "Mail", "News"}) {
        App().CurrentUser = kUser;
        App().PassPhrase = QStringLiteral("wonderland");
        options = std::make_unique<UserOptions>(kUser);
        App().Options = options.get();
        links = std::make_unique<Links>(kUser);
        for (const QString& caption : captions)
            links->Add(caption, EncryptMessage("https://" + caption.toLower() + ".example/"), "", "", "", "",
                       false, false);
        if (captions.contains("Gone")) links->Remove(2);
        links->Item(1)->SetHidePopUps(false); // Bank lets pop-ups through
        links->SaveLink(1, 1);
        dialog = std::make_unique<OptionsDialog>(links.get());
        dialog->show();
        dialog->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    }
    ~OptionsFixture() {
        dialog.reset();
        App().Options = nullptr;
    }

    // Puts text into a field and leaves it for `next`, as the user would.
    void Leave(QLineEdit* field, const QString& text, QWidget* next) {
        ShowPageOf(field);
        field->setFocus(Qt::TabFocusReason);
        field->setText(text);
        ShowPageOf(next);
        next->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
    }
    void ShowPageOf(QWidget* w) {
        QTabWidget* tabs = dialog->tabs();
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->widget(i)->isAncestorOf(w)) tabs->setCurrentIndex(i);
    }
    QStringList HidePopUpsValues() const {
        QStringList names, values, out;
        EnumValues("Software\\Bramblegate\\" + kUser, names, values);
        for (int i = 0; i < names.size(); ++i)
            if (names[i].startsWith("HidePopUps")) out << names[i] + "=" + values[i];
        return out;
    }
    QStringList Checked() const {
        QStringList out;
        for (int i = 0; i < dialog->LinksList()->count(); ++i) {
            const QListWidgetItem* item = dialog->LinksList()->item(i);
            out << item->text() + (item->checkState() == Qt::Checked ? "+" : "-");
        }
        return out;
    }
};

void ExpectRefused(OptionsFixture& f, QLineEdit* field, const QString& text, const QString& title) {
    SCOPED_TRACE(field->objectName().toStdString() + " " + field->text().toStdString());
    ASSERT_EQ(f.boxes.count(), 1);
    EXPECT_EQ(f.boxes.lastText(), text);
    EXPECT_EQ(f.boxes.lastTitle(), title);
    EXPECT_EQ(f.boxes.shown().last().icon, msgbox::Exclamation);
    EXPECT_EQ(QApplication::focusWidget(), field);
    EXPECT_EQ(field->selectedText(), field->text());
    EXPECT_TRUE(field->isVisible()); // its tab is in front again
    f.boxes.Clear();
}

} // namespace

TEST(OptionsDialog, ShowsTheUsersOptionsAndTheLinksWithHelpLines) {
    OptionsFixture f;
    OptionsDialog& d = *f.dialog;
    EXPECT_EQ(d.tabs()->currentIndex(), 0);
    EXPECT_FALSE(d.ApplyButton()->isEnabled());
    EXPECT_EQ(d.IdleMinutesEdit()->text(), "30");
    EXPECT_EQ(d.FreezeMinutesEdit()->text(), "10");
    EXPECT_EQ(d.DiscardMinutesEdit()->text(), "30");
    EXPECT_EQ(d.SsnEdit()->text(), "");
    EXPECT_EQ(d.HistoryItemsEdit()->text(), "100");
    EXPECT_EQ(d.BookmarksEdit()->text(), "40");
    EXPECT_TRUE(d.BeepOnPopUpCheck()->isChecked());
    // Not the removed Link; in the collection's order; ticked where pop-ups are blocked.
    EXPECT_EQ(f.Checked(), QStringList({"Bank-", "Mail+", "News+"}));

    const struct {
        QWidget* field;
        const char* help;
    } lines[] = {
        {d.HistoryItemsEdit(),
         "Enter a number between 0 and 200. Please note the oldest items are automatically deleted."},
        {d.BookmarksEdit(),
         "Enter a number between 5 and 200. Please note the oldest items are automatically deleted."},
        {d.IdleMinutesEdit(), "Enter 0 to disable Automatic Logout, else enter a number between 1 and 60."},
        {d.SsnEdit(),
         "Filling-in this information is optional. You may complete it later if you have any login "
         "problem with any of your online accounts."},
        {d.LinksList(),
         "Checking a box will block unsolicited PopUp windows from opening up. This will apply to all "
         "windows that are opened in the Tab for this Link."},
    };
    for (const auto& line : lines) {
        f.ShowPageOf(line.field);
        line.field->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        EXPECT_EQ(d.HelpLabel()->text(), QString::fromLatin1(line.help));
    }
    EXPECT_EQ(f.boxes.count(), 0);
    EXPECT_FALSE(d.ApplyButton()->isEnabled()); // moving around changes nothing

    // Any change enables Apply: a field, the beep, a Link.
    QTest::keyClick(d.BookmarksEdit(), Qt::Key_Backspace);
    EXPECT_TRUE(d.ApplyButton()->isEnabled());
    d.BookmarksEdit()->setText("40");
    d.OnApplyClicked();
    EXPECT_FALSE(d.ApplyButton()->isEnabled());
    d.BeepOnPopUpCheck()->setChecked(false);
    EXPECT_TRUE(d.ApplyButton()->isEnabled());
    d.OnApplyClicked();
    d.LinksList()->item(0)->setCheckState(Qt::Checked);
    EXPECT_TRUE(d.ApplyButton()->isEnabled());
}

TEST(OptionsDialog, NumberFieldsAreCheckedWhenLeftAndKeepTheFocus) {
    OptionsFixture f;
    OptionsDialog& d = *f.dialog;
    QLineEdit* idle = d.IdleMinutesEdit();
    QLineEdit* ssn = d.SsnEdit();
    QLineEdit* history = d.HistoryItemsEdit();
    QLineEdit* bookmarks = d.BookmarksEdit();

    for (const char* ok : {"0", "60", " 7 "}) {
        f.Leave(idle, ok, ssn);
        EXPECT_EQ(f.boxes.count(), 0) << ok;
    }
    for (const char* bad : {"61", "-1", "", "ten", "5.5"}) {
        f.Leave(idle, bad, ssn);
        ExpectRefused(f, idle, "Please enter a value between 0 and 60", "Automatic Logout");
    }
    idle->setText("30");
    for (QLineEdit* minutes : {d.FreezeMinutesEdit(), d.DiscardMinutesEdit()}) {
        f.Leave(minutes, "1440", ssn);
        EXPECT_EQ(f.boxes.count(), 0);
        f.Leave(minutes, "1441", ssn);
        ExpectRefused(f, minutes, "Please enter a value between 0 and 1440", "Idle Links");
        f.Leave(minutes, "0", idle);
        EXPECT_EQ(f.boxes.count(), 0);
    }
    for (const char* ok : {"5", "200"}) {
        f.Leave(bookmarks, ok, history);
        EXPECT_EQ(f.boxes.count(), 0) << ok;
    }
    f.Leave(bookmarks, "4", history);
    ExpectRefused(f, bookmarks, "Please enter a value between 5 and 200", "Bookmarks");
    f.Leave(bookmarks, "201", history);
    ExpectRefused(f, bookmarks, "Please enter a value between 5 and 200", "Bookmarks");
    bookmarks->setText("40");

    f.Leave(history, "0", bookmarks);
    EXPECT_EQ(f.boxes.count(), 0);
    // Leaving for another tab brings the field's tab back.
    f.Leave(history, "300", idle);
    ExpectRefused(f, history, "Please enter a value between 0 and 200", "History Items");
    EXPECT_EQ(d.tabs()->currentIndex(), 2);

    // Cancel closes without a word about the field.
    history->setFocus(Qt::TabFocusReason);
    d.CancelButton()->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.boxes.count(), 0);

    // OK with a refused field stores nothing and tells once.
    history->setFocus(Qt::TabFocusReason);
    QTest::mouseClick(d.OkButton(), Qt::LeftButton);
    QCoreApplication::processEvents();
    ExpectRefused(f, history, "Please enter a value between 0 and 200", "History Items");
    EXPECT_TRUE(d.isVisible());
    EXPECT_FALSE(ValueExists(kUser, "MaxHistoryItems"));
    EXPECT_FALSE(ValueExists(kUser, "AutoLogOutMts"));
}

TEST(OptionsDialog, SsnIsCleanedCheckedWithoutBeepAndStoredEncrypted) {
    OptionsFixture f;
    OptionsDialog& d = *f.dialog;
    QLineEdit* ssn = d.SsnEdit();
    const QString title = "Options - SSN";

    f.Leave(ssn, " 123-45 67-89 ", d.IdleMinutesEdit());
    EXPECT_EQ(f.boxes.count(), 0);
    EXPECT_EQ(ssn->text(), "123456789");

    f.Leave(ssn, "123-456-7890", d.IdleMinutesEdit());
    ExpectRefused(f, ssn, "The Social Security Number may be maximum 9 characters long", title);
    EXPECT_EQ(ssn->text(), "1234567890");
    f.Leave(ssn, "12a-45", d.IdleMinutesEdit());
    ExpectRefused(f, ssn, "The Social Security Number may contain numeric characters only", title);
    EXPECT_EQ(ssn->text(), "12a45");

    f.Leave(ssn, "123 45 6789", d.IdleMinutesEdit());
    ASSERT_TRUE(d.OnApplyClicked());
    EXPECT_EQ(f.options->SSN(), "123456789");
    EXPECT_NE(GetValue(kUser, "SSN"), "123456789"); // not in plain text
    EXPECT_EQ(GetValue(kUser, "SSN", "", true), "123456789");
    EXPECT_EQ(UserOptions(kUser).SSN(), "123456789");

    // The empty number clears it.
    f.Leave(ssn, "", d.IdleMinutesEdit());
    EXPECT_EQ(f.boxes.count(), 0);
    ASSERT_TRUE(d.OnApplyClicked());
    EXPECT_EQ(GetValue(kUser, "SSN"), "");
    EXPECT_EQ(UserOptions(kUser).SSN(), "");
}

TEST(OptionsDialog, ApplyStoresEverythingAtOnceAndTellsTheFrame) {
    OptionsFixture f;
    OptionsDialog& d = *f.dialog;
    QSignalSpy applied(&d, &OptionsDialog::Applied);
    d.IdleMinutesEdit()->setText("0");
    d.FreezeMinutesEdit()->setText("0");
    d.DiscardMinutesEdit()->setText("45");
    d.BookmarksEdit()->setText("5");
    d.HistoryItemsEdit()->setText("0");
    d.BeepOnPopUpCheck()->setChecked(false);
    ASSERT_TRUE(d.OnApplyClicked());
    EXPECT_EQ(applied.count(), 1);
    EXPECT_FALSE(d.ApplyButton()->isEnabled());
    EXPECT_EQ(GetValue(kUser, "AutoLogOutMts"), "0");
    EXPECT_EQ(GetValue(kUser, "FreezeAfterMinutes"), "0");
    EXPECT_EQ(GetValue(kUser, "DiscardAfterMinutes"), "45");
    EXPECT_EQ(GetValue(kUser, "MaxBookmarkItems"), "5");
    EXPECT_EQ(GetValue(kUser, "MaxHistoryItems"), "0");
    EXPECT_EQ(GetValue(kUser, "BeepOnPopup"), "False");
    EXPECT_EQ(f.options->AutoLogOutMts(), 0);
    EXPECT_EQ(f.options->MaxBookmarkItems(), 5);

    // OK without a change closes and applies nothing.
    d.OnOkClicked();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(applied.count(), 1);
}

TEST(OptionsDialog, UncheckingALinkStoresFalseForThatLinkOnly) {
    OptionsFixture f;
    OptionsDialog& d = *f.dialog;
    QSignalSpy applied(&d, &OptionsDialog::Applied);
    const QStringList before = f.HidePopUpsValues();
    ASSERT_EQ(f.Checked(), QStringList({"Bank-", "Mail+", "News+"}));
    d.LinksList()->item(1)->setCheckState(Qt::Unchecked); // Mail
    QTest::mouseClick(d.OkButton(), Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(applied.count(), 1);
    EXPECT_FALSE(f.links->Item(3)->HidePopUps());
    // Only Mail's value changed, in the place where Mail is stored (the store was renumbered
    // when "Gone" was removed; the Links' Indexes were not).
    QStringList expected = before;
    expected.replaceInStrings("HidePopUps2=True", "HidePopUps2=False");
    EXPECT_EQ(f.HidePopUpsValues(), expected);
    Links again(kUser);
    ASSERT_EQ(again.Count(), 3);
    EXPECT_EQ(again.Item(2)->Caption(), "Mail");
    EXPECT_FALSE(again.Item(1)->HidePopUps());
    EXPECT_FALSE(again.Item(2)->HidePopUps());
    EXPECT_TRUE(again.Item(3)->HidePopUps());
}

TEST(OptionsDialog, CheckAllAndClearAll) {
    OptionsFixture f;
    OptionsDialog& d = *f.dialog;
    QTest::mouseClick(d.ClearAllButton(), Qt::LeftButton);
    EXPECT_EQ(f.Checked(), QStringList({"Bank-", "Mail-", "News-"}));
    EXPECT_TRUE(d.ApplyButton()->isEnabled());
    ASSERT_TRUE(d.OnApplyClicked());
    for (const char* name : {"HidePopUps1", "HidePopUps2", "HidePopUps3"})
        EXPECT_EQ(GetValue(kUser, name), "False") << name;
    QTest::mouseClick(d.CheckAllButton(), Qt::LeftButton);
    EXPECT_EQ(f.Checked(), QStringList({"Bank+", "Mail+", "News+"}));
    ASSERT_TRUE(d.OnApplyClicked());
    for (const char* name : {"HidePopUps1", "HidePopUps2", "HidePopUps3"})
        EXPECT_EQ(GetValue(kUser, name), "True") << name;
    // Check All when everything is ticked already still offers Apply.
    QTest::mouseClick(d.CheckAllButton(), Qt::LeftButton);
    EXPECT_TRUE(d.ApplyButton()->isEnabled());
}
