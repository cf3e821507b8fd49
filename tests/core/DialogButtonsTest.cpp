#include <gtest/gtest.h>
#include <QDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "core/DialogButtons.h"
#include "support/TestSupport.h"

namespace {
// The buttons of a row, left to right, behind the stretch that right-aligns them.
QList<QPushButton*> order(QHBoxLayout* row) {
    QList<QPushButton*> out;
    EXPECT_NE(row->itemAt(0)->spacerItem(), nullptr);
    for (int i = 1; i < row->count(); ++i)
        out << qobject_cast<QPushButton*>(row->itemAt(i)->widget());
    return out;
}
void enterOn(QWidget* on) {
    on->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(on, Qt::Key_Return);
}
} // namespace

// OK, the cancel button and Help (when asked for) stand right-aligned, under the names the
// dialogs' code and tests find them by; Enter means OK wherever the focus is, Cancel or Help
// included, while a click still cancels.
TEST(DialogButtons, OkCancelRowsTakeEnterOnlyOnOk) {
    for (const auto help : {dialogbuttons::Help::Yes, dialogbuttons::Help::No}) {
        SCOPED_TRACE(help == dialogbuttons::Help::Yes ? "with help" : "without");
        QDialog dialog;
        auto* field = new QLineEdit;
        const dialogbuttons::OkCancel closing(help, QStringLiteral("Exit"));
        auto* main = new QVBoxLayout(&dialog);
        main->addWidget(field);
        main->addLayout(closing.row);
        int ok = 0, cancel = 0;
        QObject::connect(closing.ok, &QPushButton::clicked, [&] { ++ok; });
        QObject::connect(closing.cancel, &QPushButton::clicked, [&] { ++cancel; });
        dialog.show();
        QList<QPushButton*> buttons{closing.ok, closing.cancel};
        if (help == dialogbuttons::Help::Yes) buttons << closing.help;
        EXPECT_EQ(order(closing.row), buttons);
        EXPECT_EQ(dialog.findChild<QPushButton*>("cmdOK"), closing.ok);
        EXPECT_EQ(dialog.findChild<QPushButton*>("cmdCancel"), closing.cancel);
        EXPECT_EQ(dialog.findChild<QPushButton*>("cmdHelp"), closing.help);
        EXPECT_EQ(closing.cancel->text(), QStringLiteral("Exit"));
        enterOn(field);
        for (QPushButton* on : buttons.mid(1))
            enterOn(on);
        EXPECT_EQ(ok, int(buttons.size()));
        EXPECT_EQ(cancel, 0);
        closing.cancel->click();
        EXPECT_EQ(cancel, 1);
    }
}

// A plain button keeps the toolkit's way: Enter on it presses it, not the default.
TEST(DialogButtons, PlainButtonsTakeEnterWhenFocused) {
    QDialog dialog;
    QPushButton* ok = dialogbuttons::Make(QStringLiteral("OK"), "cmdOK", dialogbuttons::Enter::Default);
    QPushButton* apply =
        dialogbuttons::Make(QStringLiteral("&Apply"), "cmdApply", dialogbuttons::Enter::Plain);
    QPushButton* help = dialogbuttons::Make(QStringLiteral("Help"), "cmdHelp", dialogbuttons::Enter::Plain);
    QHBoxLayout* row = dialogbuttons::Row({help}, {ok, apply});
    (new QVBoxLayout(&dialog))->addLayout(row);
    ASSERT_EQ(row->count(), 4);
    EXPECT_EQ(row->itemAt(0)->widget(), help);
    EXPECT_NE(row->itemAt(1)->spacerItem(), nullptr);
    EXPECT_EQ(row->itemAt(3)->widget(), apply);
    int okClicks = 0, applyClicks = 0;
    QObject::connect(ok, &QPushButton::clicked, [&] { ++okClicks; });
    QObject::connect(apply, &QPushButton::clicked, [&] { ++applyClicks; });
    dialog.show();
    enterOn(apply);
    EXPECT_EQ(applyClicks, 1);
    EXPECT_EQ(okClicks, 0);
}
