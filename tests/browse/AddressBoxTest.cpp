#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QShortcut>
#include <QSignalSpy>
#include <QVBoxLayout>

#include "browse/AddressBox.h"
#include "BrowseSupport.h"

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
    bool shown() const { return matches()->isVisible(); }
    QStringList offered() const {
        QStringList out;
        for (int i = 0; shown() && i < matches()->count(); ++i)
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

TEST(AddressBox, TypingOffersMatchesUnderTheBoxArrowsWalkThemEscapeAndTheFocusCloseThem) {
    BoxWindow w;
    w.type("Ya");
    EXPECT_EQ(w.offered(), QStringList({"http://yahoo.com/mail", "http://www.yandex.ru/"}));
    EXPECT_EQ(w.edit()->text(), "Ya");             // nothing is filled in for the user
    EXPECT_EQ(QApplication::focusWidget(), w.box); // the list never takes the focus
    w.key(Qt::Key_Down);
    w.key(Qt::Key_Down);
    w.key(Qt::Key_Down); // at the last match: stays
    EXPECT_EQ(w.edit()->text(), "http://www.yandex.ru/");
    EXPECT_EQ(w.offered().size(), 2); // browsing did not look anything up again
    w.key(Qt::Key_Up);
    w.key(Qt::Key_Up); // up past the first restores what was typed
    EXPECT_EQ(w.edit()->text(), "Ya");
    w.key(Qt::Key_Down);
    w.type("x"); // typing on after browsing looks up the new text
    EXPECT_EQ(w.box->TypedText(), "http://yahoo.com/mailx");
    EXPECT_FALSE(w.shown());
    w.key(Qt::Key_Backspace); // editing keys look up again
    EXPECT_EQ(w.offered(), QStringList({"http://yahoo.com/mail"}));
    // Escape closes the matches until the next typed character.
    w.key(Qt::Key_Escape);
    w.key(Qt::Key_Left);
    EXPECT_FALSE(w.shown() || w.box->IsMatching());
    w.edit()->selectAll();
    w.type("h");
    EXPECT_EQ(w.offered().size(), 5);
    w.other->setFocus();
    EXPECT_FALSE(w.shown() || w.box->IsBeingEdited());
    EXPECT_TRUE(w.asked().isEmpty());
}

TEST(AddressBox, EnterCtrlEnterAndClicksOpenWhatWasChosen) {
    BoxWindow w;
    w.type("ya");
    w.key(Qt::Key_Down);
    w.key(Qt::Key_Return);
    EXPECT_FALSE(w.shown() || w.box->IsBeingEdited());
    w.edit()->clear();
    w.key(Qt::Key_Enter); // empty: nothing to open
    w.type("example");
    w.key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(w.edit()->text(), "www.example.com");
    // A click on a match; the box's own list: opening it closes the matches, a chosen address
    // opens with "keep".
    w.edit()->clear();
    w.type("ya");
    QTest::mouseClick(w.matches()->viewport(), Qt::LeftButton, {},
                      w.matches()->visualItemRect(w.matches()->item(1)).center());
    w.edit()->clear();
    w.type("ya");
    w.box->showPopup();
    EXPECT_FALSE(w.shown());
    QAbstractItemView* view = w.box->view();
    ASSERT_TRUE(WaitFor([&] { return view->isVisible(); }));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(w.box->model()->index(3, 0)).center());
    EXPECT_EQ(w.edit()->text(), "http://example.com/");
    // Arrow keys on the closed box step through its list without opening anything, and so
    // does leaving the box on a known address.
    QCoreApplication::processEvents();
    w.edit()->clear();
    w.key(Qt::Key_Down);
    EXPECT_TRUE(kKnown.contains(w.edit()->text()));
    w.other->setFocus();
    EXPECT_EQ(w.asked(), QStringList({"http://yahoo.com/mail 3", "www.example.com 3",
                                      "http://www.yandex.ru/ 3", "http://example.com/ -1"}));
}

TEST(AddressBox, KeysTheBoxUsesAreNotTakenByWindowShortcutsAndTheBlankPageNeverShows) {
    BoxWindow w;
    int stolen = 0;
    for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::CTRL | Qt::Key_C),
                                     QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::CTRL | Qt::Key_Z),
                                     QKeySequence(Qt::Key_Escape), QKeySequence(Qt::Key_Down),
                                     QKeySequence(Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Return)})
        QObject::connect(new QShortcut(keys, &w.window), &QShortcut::activated, [&] { ++stolen; });
    QGuiApplication::clipboard()->setText("ya");
    w.key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.offered().size(), 2);
    w.edit()->selectAll();
    w.key(Qt::Key_X, Qt::ControlModifier);
    w.key(Qt::Key_Z, Qt::ControlModifier);
    w.edit()->selectAll();
    w.key(Qt::Key_C, Qt::ControlModifier);
    w.key(Qt::Key_End);
    w.type("h");
    w.key(Qt::Key_Down);
    w.key(Qt::Key_Escape);
    w.key(Qt::Key_Return);
    w.key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(stolen, 0);
    EXPECT_EQ(w.asked(), QStringList({"http://yahoo.com/mail 3", "http://www.yahoo.com/mail 3"}));
    // The program's blank page never shows, typed, pasted or set.
    QGuiApplication::clipboard()->setText(core::BlankPageUrl());
    w.edit()->selectAll();
    w.key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.box->AddressText(), "");
    w.box->SetAddressText(QString(core::BlankPageUrl()).replace("/Blank.htm", "/blank%2Ehtm"));
    EXPECT_EQ(w.box->AddressText(), "");
}
