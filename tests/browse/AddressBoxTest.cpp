#include <gtest/gtest.h>
#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QShortcut>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "browse/AddressBox.h"
#include "browse/HistoryTestSupport.h"
#include "core/UrlUtils.h"

namespace {
const QStringList kKnown = {"http://yahoo.com/mail", "https://secure.example.com/", "http://www.yandex.ru/",
                            "http://example.com/", "https://www.yammer.com/"};

// A window with the address box and a second field to move the focus to.
struct BoxWindow {
    LoggedInUser ann;
    QWidget window;
    AddressBox* box = new AddressBox;
    QLineEdit* other = new QLineEdit;
    QSignalSpy navigations{box, &AddressBox::NavigateRequested};

    explicit BoxWindow(const QStringList& known = kKnown) {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(box);
        layout->addWidget(other);
        layout->addStretch();
        window.resize(600, 400);
        for (const QString& url : known)
            box->AddUrlItem(url);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        box->setFocus();
    }
    QLineEdit* edit() const { return box->lineEdit(); }
    QListWidget* matches() const { return box->MatchList(); }
    bool matchesShown() const { return matches()->isVisible(); }
    QStringList offered() const {
        QStringList out;
        if (!matchesShown()) return out;
        for (int i = 0; i < matches()->count(); ++i)
            out << matches()->item(i)->text();
        return out;
    }
    // Keys go where the focus is: the box (its line edit only shows the text).
    void type(const QString& text) { QTest::keyClicks(box, text); }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(box, key, modifiers);
    }
    // The navigations asked for so far, as "url mode".
    QStringList asked() const {
        QStringList out;
        for (const QList<QVariant>& args : navigations)
            out << args.at(0).toString() + QLatin1Char(' ') + QString::number(args.at(1).toInt());
        return out;
    }
};
} // namespace

TEST(AddressBox, TypingOffersMatchesUnderTheBox) {
    BoxWindow w;
    w.type("ya");
    EXPECT_EQ(w.offered(), QStringList({"http://yahoo.com/mail", "http://www.yandex.ru/"}));
    EXPECT_EQ(w.edit()->text(), "ya"); // nothing is filled in for the user
    EXPECT_EQ(w.box->TypedText(), "ya");
    EXPECT_EQ(w.matches()->parentWidget(), &w.window);
    EXPECT_EQ(w.matches()->geometry().top(), w.box->mapTo(&w.window, QPoint(0, w.box->height())).y());
    EXPECT_EQ(w.matches()->width(), w.box->width());
    EXPECT_TRUE(w.box->IsBeingEdited());
    EXPECT_EQ(QApplication::focusWidget(), w.box); // the list never takes the focus

    w.edit()->clear();
    EXPECT_FALSE(w.matchesShown());
    w.type("ht");
    EXPECT_EQ(w.offered(),
              QStringList({"http://yahoo.com/mail", "https://secure.example.com/", "http://www.yandex.ru/",
                           "http://example.com/", "https://www.yammer.com/"}));
    w.edit()->clear();
    w.type("https:");
    EXPECT_EQ(w.offered(), QStringList({"https://secure.example.com/", "https://www.yammer.com/"}));
    w.type("//www.yan");
    EXPECT_FALSE(w.matchesShown());
    w.key(Qt::Key_Backspace); // editing keys look up again
    w.key(Qt::Key_Backspace);
    EXPECT_EQ(w.offered(), QStringList({"https://www.yammer.com/"}));
    EXPECT_TRUE(w.asked().isEmpty());
}

TEST(AddressBox, ArrowsWalkTheMatchesAndUpPastTheFirstRestoresWhatWasTyped) {
    BoxWindow w;
    w.type("Ya");
    ASSERT_EQ(w.matches()->count(), 2);
    w.key(Qt::Key_Down);
    EXPECT_EQ(w.edit()->text(), "http://yahoo.com/mail");
    EXPECT_EQ(w.edit()->cursorPosition(), w.edit()->text().size());
    EXPECT_EQ(w.matches()->currentRow(), 0);
    w.key(Qt::Key_Down);
    EXPECT_EQ(w.edit()->text(), "http://www.yandex.ru/");
    w.key(Qt::Key_Down); // at the last match: stays
    EXPECT_EQ(w.matches()->currentRow(), 1);
    EXPECT_EQ(w.offered().size(), 2); // browsing did not look anything up again
    w.key(Qt::Key_Up);
    EXPECT_EQ(w.edit()->text(), "http://yahoo.com/mail");
    w.key(Qt::Key_Up);
    EXPECT_EQ(w.edit()->text(), "Ya");
    EXPECT_EQ(w.matches()->currentRow(), -1);
    EXPECT_TRUE(w.matchesShown());

    // Typing on after browsing looks up the new text.
    w.key(Qt::Key_Down);
    w.key(Qt::Key_Down);
    w.type("x");
    EXPECT_EQ(w.box->TypedText(), "http://www.yandex.ru/x");
    EXPECT_FALSE(w.matchesShown());

    // Enter opens what the box holds, with the list shown or not.
    w.edit()->clear();
    w.type("ya");
    w.key(Qt::Key_Down);
    w.key(Qt::Key_Return);
    EXPECT_FALSE(w.matchesShown());
    EXPECT_EQ(w.asked(), QStringList({"http://yahoo.com/mail 3"}));
    EXPECT_FALSE(w.box->IsBeingEdited());
}

TEST(AddressBox, EscapeClosesTheMatchesUntilTheNextTypedCharacter) {
    BoxWindow w;
    w.type("ya");
    w.key(Qt::Key_Down);
    w.key(Qt::Key_Escape);
    EXPECT_FALSE(w.matchesShown());
    EXPECT_FALSE(w.box->IsMatching());
    EXPECT_EQ(w.edit()->text(), "http://yahoo.com/mail");
    EXPECT_EQ(w.box->TypedText(), "http://yahoo.com/mail"); // taken over when the key came up
    w.key(Qt::Key_Left);
    EXPECT_FALSE(w.matchesShown());
    w.key(Qt::Key_End);
    w.type("/");
    EXPECT_TRUE(w.box->IsMatching());
    EXPECT_FALSE(w.matchesShown()); // nothing is known under that address
    w.edit()->selectAll();
    w.type("h");
    EXPECT_EQ(w.offered().size(), 5);
    EXPECT_TRUE(w.asked().isEmpty());
}

TEST(AddressBox, EnterAndCtrlEnter) {
    BoxWindow w;
    w.type("example");
    w.key(Qt::Key_Return);
    w.edit()->clear();
    w.key(Qt::Key_Enter); // empty: nothing to open
    w.type("example");
    w.key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(w.edit()->text(), "www.example.com");
    EXPECT_FALSE(w.matchesShown());
    EXPECT_FALSE(w.box->IsMatching());
    w.edit()->selectAll();
    w.type("http://ya");
    w.key(Qt::Key_Enter, Qt::ControlModifier);
    EXPECT_EQ(w.asked(), QStringList({"example 3", "www.example.com 3", "http://ya.com 3"}));
}

TEST(AddressBox, ClickingAMatchOrADropDownItemOpensIt) {
    BoxWindow w;
    w.type("ya");
    const QRect second = w.matches()->visualItemRect(w.matches()->item(1));
    QTest::mouseClick(w.matches()->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_FALSE(w.matchesShown());
    EXPECT_EQ(w.edit()->text(), "http://www.yandex.ru/");
    EXPECT_EQ(QApplication::focusWidget(), w.box);

    // The box's own list: opening it closes the matches; a chosen address opens with "keep".
    w.edit()->clear();
    w.type("ya");
    w.box->showPopup();
    EXPECT_FALSE(w.matchesShown());
    QAbstractItemView* view = w.box->view();
    ASSERT_TRUE(WaitFor([&] { return view->isVisible(); }));
    const QRect item = view->visualRect(w.box->model()->index(3, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
    EXPECT_EQ(w.edit()->text(), "http://example.com/");
    EXPECT_FALSE(w.matchesShown());
    EXPECT_EQ(w.asked(), QStringList({"http://www.yandex.ru/ 3", "http://example.com/ -1"}));

    // Arrow keys on the closed box step through its list without opening anything, and so
    // does leaving the box on a known address.
    QCoreApplication::processEvents();
    w.edit()->clear();
    w.key(Qt::Key_Down);
    w.key(Qt::Key_Up);
    EXPECT_TRUE(kKnown.contains(w.edit()->text()));
    EXPECT_FALSE(w.matchesShown());
    w.other->setFocus();
    EXPECT_EQ(w.asked().size(), 2);
}

TEST(AddressBox, LosingTheFocusClosesTheMatches) {
    BoxWindow w;
    w.type("ya");
    EXPECT_TRUE(w.matchesShown());
    w.other->setFocus();
    EXPECT_FALSE(w.matchesShown());
    EXPECT_FALSE(w.box->IsBeingEdited());
}

TEST(AddressBox, KeysTheBoxUsesAreNotTakenByWindowShortcuts) {
    BoxWindow w;
    int stolen = 0;
    for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::CTRL | Qt::Key_C),
                                     QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::CTRL | Qt::Key_Z),
                                     QKeySequence(Qt::Key_Escape), QKeySequence(Qt::Key_Down),
                                     QKeySequence(Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Return)})
        QObject::connect(new QShortcut(keys, &w.window), &QShortcut::activated, [&] { ++stolen; });
    QGuiApplication::clipboard()->setText("ya");
    w.key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.edit()->text(), "ya");
    EXPECT_EQ(w.offered().size(), 2);
    w.edit()->selectAll();
    w.key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(w.edit()->text(), "");
    w.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(w.edit()->text(), "ya");
    QGuiApplication::clipboard()->clear();
    w.edit()->selectAll();
    w.key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "ya");
    w.key(Qt::Key_End);
    w.type("h");
    w.key(Qt::Key_Down);
    EXPECT_EQ(w.edit()->text(), "http://yahoo.com/mail");
    w.key(Qt::Key_Escape);
    EXPECT_FALSE(w.matchesShown());
    w.key(Qt::Key_Return);
    w.key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(stolen, 0);
    EXPECT_EQ(w.asked(), QStringList({"http://yahoo.com/mail 3", "http://www.yahoo.com/mail 3"}));
}

TEST(AddressBox, ProgramChangesShowAddressesWithoutMatchingAndNeverTheBlankPage) {
    BoxWindow w;
    w.box->SetAddressText("http://yahoo.com/");
    EXPECT_FALSE(w.matchesShown());
    EXPECT_FALSE(w.box->IsBeingEdited());
    EXPECT_EQ(w.box->AddressText(), "http://yahoo.com/");

    w.box->SetAddressText(core::BlankPageUrl());
    EXPECT_EQ(w.box->AddressText(), "");
    w.box->SetAddressText(QString(core::BlankPageUrl()).replace("/Blank.htm", "/blank%2Ehtm"));
    EXPECT_EQ(w.box->AddressText(), "");
    // Typed or pasted, it goes too.
    QGuiApplication::clipboard()->setText(core::BlankPageUrl());
    w.key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.box->AddressText(), "");

    // The user types while a page loads: the owner sees it is being edited.
    w.type("exa");
    EXPECT_TRUE(w.box->IsBeingEdited());
    // A page offered to the known addresses meanwhile leaves the text and the caret alone.
    w.box->AddUrlItem("http://exact.example/");
    EXPECT_EQ(w.box->AddressText(), "exa");
    EXPECT_EQ(w.edit()->cursorPosition(), 3);
}

TEST(AddressBox, ShortcutsPutTheFocusInTheBoxWithItsTextSelected) {
    BoxWindow w;
    w.box->InstallFocusShortcuts(&w.window);
    w.box->SetAddressText("http://example.com/");
    for (const auto& [key, modifiers] :
         {std::pair{Qt::Key_L, Qt::ControlModifier}, std::pair{Qt::Key_D, Qt::AltModifier},
          std::pair{Qt::Key_F6, Qt::NoModifier}}) {
        w.other->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), w.other);
        QTest::keyClick(w.other, key, modifiers);
        EXPECT_EQ(QApplication::focusWidget(), w.box) << key;
        EXPECT_EQ(w.edit()->selectedText(), "http://example.com/") << key;
    }
}

TEST(AddressBox, KnownAddressesFollowTheHistoryLimitAndSurviveARestart) {
    BoxWindow w{QStringList()};
    w.ann.options().SetMaxHistoryItems(3);
    for (const char* url : {"http://a.com/", "http://b.com/", "HTTP://A.COM/", "http://c.com/"})
        w.box->AddUrlItem(url);
    EXPECT_EQ(w.box->KnownAddresses().Urls(), QStringList({"http://b.com/", "http://c.com/"}));
    ASSERT_EQ(w.box->count(), 2);
    EXPECT_EQ(w.box->itemText(0), "http://b.com/");
    EXPECT_EQ(w.box->itemText(1), "http://c.com/");
    w.box->SaveVisitedUrls();

    w.ann.options().SetMaxHistoryItems(0);
    w.box->AddUrlItem("http://d.com/");
    EXPECT_EQ(w.box->count(), 2);

    w.ann.temp().Reopen();
    w.ann.options().SetMaxHistoryItems(100);
    AddressBox again;
    again.LoadVisitedUrls();
    EXPECT_EQ(again.KnownAddresses().Urls(), QStringList({"http://b.com/", "http://c.com/"}));
    EXPECT_EQ(again.count(), 2);
    EXPECT_EQ(again.AddressText(), "");
}
