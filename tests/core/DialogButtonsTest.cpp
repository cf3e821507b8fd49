#include <gtest/gtest.h>
#include <QDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "core/DialogButtons.h"

// Enter means OK wherever the focus is, Cancel and Help included (a click still cancels); a plain
// button keeps the toolkit's way and takes Enter itself.
TEST(DialogButtons, EnterMeansOkAnywhereButOnAPlainButton) {
    QDialog dialog;
    auto* field = new QLineEdit;
    const dialogbuttons::OkCancel closing(dialogbuttons::Help::Yes, QStringLiteral("Exit"));
    QPushButton* apply =
        dialogbuttons::Make(QStringLiteral("&Apply"), "cmdApply", dialogbuttons::Enter::Plain);
    auto* main = new QVBoxLayout(&dialog);
    main->addWidget(field);
    main->addLayout(closing.row);
    main->addLayout(dialogbuttons::Row({apply}, {}));
    QStringList clicked;
    for (QPushButton* button : {closing.ok, closing.cancel, closing.help, apply})
        QObject::connect(button, &QPushButton::clicked,
                         [&clicked, button] { clicked << button->objectName(); });
    dialog.show();
    for (QWidget* on : std::initializer_list<QWidget*>{field, closing.cancel, closing.help, apply}) {
        on->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(on, Qt::Key_Return);
    }
    closing.cancel->click();
    EXPECT_EQ(clicked, (QStringList{"cmdOK", "cmdOK", "cmdOK", "cmdApply", "cmdCancel"}));
    EXPECT_EQ(closing.cancel->text(), QStringLiteral("Exit"));
}
