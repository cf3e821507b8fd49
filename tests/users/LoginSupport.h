#pragma once

#include <gtest/gtest.h>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "core/AppState.h"
#include "support/TestSupport.h"
#include "users/Accounts.h"
#include "users/LoginDialog.h"

// Helpers shared by the login tests.
namespace logintest {

inline LoginDialog& asLogin(QDialog& dialog) {
    return static_cast<LoginDialog&>(dialog);
}

inline void showActive(QWidget& window) {
    window.show();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
}

// The focus is in `box` and its whole text is selected.
inline void expectFocusedAndSelected(QLineEdit* box, const char* where) {
    SCOPED_TRACE(where);
    QWidget* focus = QApplication::focusWidget();
    auto* combo = qobject_cast<QComboBox*>(box->parentWidget());
    const std::string name = focus ? focus->objectName().toStdString() : "none";
    if (combo) {
        EXPECT_TRUE(focus == box || focus == combo) << name;
    } else {
        EXPECT_EQ(focus, box) << name;
    }
    EXPECT_EQ(box->selectionLength(), box->text().size());
    if (!box->text().isEmpty()) {
        EXPECT_EQ(box->selectionStart(), 0);
    }
}

// Creates a user as the dialog would (the caller's ScriptedBoxes answer Yes to the
// question), then forgets the session, as a restart of the program would.
inline void createUser(const QString& name, const QString& password, const ScriptedBoxes& boxes) {
    Accounts accounts;
    LoginFields fields{name, password, QString(), password};
    const LoginStep step = accounts.DoNewUser(fields);
    EXPECT_EQ(step.outcome, LoginStep::Succeeded) << boxes.lastText().toStdString();
    App() = AppState();
}

// Records the windows shown whose object name is `name`, with the text of their label.
class ShowWatcher : public QObject {
public:
    explicit ShowWatcher(QString name) : m_name(std::move(name)) { qApp->installEventFilter(this); }
    ~ShowWatcher() override { qApp->removeEventFilter(this); }
    QStringList shown;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->objectName() == m_name) {
            auto* label = watched->findChild<QLabel*>();
            shown << (label ? label->text() : QString());
        }
        return false;
    }

private:
    QString m_name;
};

} // namespace logintest
