// The real message box (no answerer installed): its Help button opens the topic and keeps the box
// for the answer.
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "core/HelpRequest.h"
#include "core/MessageBox.h"

namespace {

// Presses the box's button with this role once the box is up.
void PressWhenShown(QMessageBox::StandardButton which) {
    QTimer::singleShot(50, [which] {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible())
                if (QAbstractButton* button = box->button(which)) return button->click();
        PressWhenShown(which); // not up yet
    });
}

} // namespace

TEST(MessageBox, HelpAndF1OpenTheTopicWhileTheBoxStaysUpForTheAnswer) {
    msgbox::SetAnswerer({}); // the real box, drawn off screen
    QStringList topics;
    bool stayedUp = false;
    helprequest::SetHandler([&](const QString& topic) {
        topics << topic;
        stayedUp = QApplication::activeModalWidget() != nullptr;
    });
    msgbox::Request request;
    request.text = QStringLiteral("Import this file?");
    request.buttons = msgbox::YesNo;
    request.helpButton = true;
    request.helpTopic = QStringLiteral("59");
    PressWhenShown(QMessageBox::Help);
    QTimer::singleShot(300, [] {
        if (QWidget* box = QApplication::activeModalWidget()) QTest::keyClick(box, Qt::Key_F1);
        PressWhenShown(QMessageBox::No);
    });
    EXPECT_EQ(msgbox::Show(request), msgbox::No);
    EXPECT_EQ(topics, QStringList({"59", "59"}));
    EXPECT_TRUE(stayedUp);
    helprequest::SetHandler({});
}
