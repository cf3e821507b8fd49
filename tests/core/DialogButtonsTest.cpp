#include <gtest/gtest.h>

#include <QDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include "core/DialogButtons.h"
#include "support/TestSupport.h"

namespace {

// A dialog with a field and the usual closing row, shown offscreen; counts the clicks.
struct Dialog {
    explicit Dialog(dialogbuttons::Help help, const QString& cancelText = QStringLiteral("Cancel"))
        : closing(help, cancelText) {
        auto* main = new QVBoxLayout(&dialog);
        main->addWidget(field);
        main->addLayout(closing.row);
        QObject::connect(closing.ok, &QPushButton::clicked, [this] { ++okClicks; });
        QObject::connect(closing.cancel, &QPushButton::clicked, [this] { ++cancelClicks; });
        dialog.show();
    }
    // The buttons of the row, left to right.
    QList<QPushButton*> order() const {
        QList<QPushButton*> out;
        for (int i = 0; i < closing.row->count(); ++i)
            if (auto* b = qobject_cast<QPushButton*>(closing.row->itemAt(i)->widget())) out << b;
        return out;
    }
    void Enter(QWidget* on) {
        on->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(on, Qt::Key_Return);
    }

    QDialog dialog;
    QLineEdit* field = new QLineEdit;
    dialogbuttons::OkCancel closing;
    int okClicks = 0;
    int cancelClicks = 0;
};

} // namespace

// OK, the cancel button and Help stand right-aligned, named as the dialogs' code and tests find
// them; Enter means OK wherever the focus is, Cancel or Help included.
TEST(DialogButtons, OkCancelHelpRowTakesEnterOnlyOnOk) {
    Dialog d(dialogbuttons::Help::Yes);
    ASSERT_NE(d.closing.help, nullptr);
    EXPECT_EQ(d.order(), (QList<QPushButton*>{d.closing.ok, d.closing.cancel, d.closing.help}));
    EXPECT_NE(d.closing.row->itemAt(0)->spacerItem(), nullptr); // the stretch comes first
    EXPECT_EQ(d.dialog.findChild<QPushButton*>(QStringLiteral("cmdOK")), d.closing.ok);
    EXPECT_EQ(d.dialog.findChild<QPushButton*>(QStringLiteral("cmdCancel")), d.closing.cancel);
    EXPECT_EQ(d.dialog.findChild<QPushButton*>(QStringLiteral("cmdHelp")), d.closing.help);
    EXPECT_EQ(d.closing.ok->text(), QStringLiteral("OK"));
    EXPECT_EQ(d.closing.cancel->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(d.closing.help->text(), QStringLiteral("&Help"));
    EXPECT_TRUE(d.closing.ok->isDefault());

    d.Enter(d.field);
    EXPECT_EQ(d.okClicks, 1);
    d.Enter(d.closing.cancel);
    d.Enter(d.closing.help);
    EXPECT_EQ(d.okClicks, 3);
    EXPECT_EQ(d.cancelClicks, 0);
    // A click still cancels.
    d.closing.cancel->click();
    EXPECT_EQ(d.cancelClicks, 1);
}

TEST(DialogButtons, RowWithoutHelpTakesItsCancelText) {
    Dialog d(dialogbuttons::Help::No, QStringLiteral("Exit"));
    EXPECT_EQ(d.closing.help, nullptr);
    EXPECT_EQ(d.order(), (QList<QPushButton*>{d.closing.ok, d.closing.cancel}));
    EXPECT_EQ(d.dialog.findChild<QPushButton*>(QStringLiteral("cmdHelp")), nullptr);
    EXPECT_EQ(d.closing.cancel->text(), QStringLiteral("Exit"));
    d.Enter(d.closing.cancel);
    EXPECT_EQ(d.okClicks, 1);
    EXPECT_EQ(d.cancelClicks, 0);
}

// A plain button keeps the toolkit's way: Enter on it presses it, not the default.
TEST(DialogButtons, PlainButtonsTakeEnterWhenFocused) {
    QDialog dialog;
    QPushButton* ok = dialogbuttons::Make(QStringLiteral("OK"), "cmdOK", dialogbuttons::Enter::Default);
    QPushButton* apply =
        dialogbuttons::Make(QStringLiteral("&Apply"), "cmdApply", dialogbuttons::Enter::Plain);
    QPushButton* help = dialogbuttons::Make(QStringLiteral("Help"), "cmdHelp", dialogbuttons::Enter::Plain);
    QHBoxLayout* row = dialogbuttons::Row({help}, {ok, apply});
    auto* main = new QVBoxLayout(&dialog);
    main->addLayout(row);
    ASSERT_EQ(row->count(), 4);
    EXPECT_EQ(row->itemAt(0)->widget(), help);
    EXPECT_NE(row->itemAt(1)->spacerItem(), nullptr);
    EXPECT_EQ(row->itemAt(2)->widget(), ok);
    EXPECT_EQ(row->itemAt(3)->widget(), apply);
    EXPECT_EQ(apply->objectName(), QStringLiteral("cmdApply"));
    int okClicks = 0, applyClicks = 0;
    QObject::connect(ok, &QPushButton::clicked, [&] { ++okClicks; });
    QObject::connect(apply, &QPushButton::clicked, [&] { ++applyClicks; });
    dialog.show();
    apply->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(apply, Qt::Key_Return);
    EXPECT_EQ(applyClicks, 1);
    EXPECT_EQ(okClicks, 0);
}
