#pragma once

#include <QString>

class Link;
class QWidget;

// What the Link editor needs from its owner, the browse window. The secrets arrive as plain
// text; the owner encrypts them, updates the Links collection and the Link's controls, and
// returns the Link (null when it reported a failure itself).
class LinkEditorHost {
public:
    virtual ~LinkEditorHost() = default;
    virtual Link* AddLink(const QString& caption, const QString& url, const QString& userName,
                          const QString& pw, const QString& selectOption, const QString& navigateAfterLogin,
                          bool autoNavigate, bool reqLogin) = 0;
    // `index` is the Index of the Link being edited (the browse window's context Link).
    virtual Link* UpdateLink(int index, const QString& caption, const QString& url, const QString& userName,
                             const QString& pw, const QString& selectOption,
                             const QString& navigateAfterLogin, bool autoNavigate, bool reqLogin) = 0;
    // Sends an address to the visible Link's pane with a navigate mode.
    virtual void Nav2Visible(const QString& url, int navigateMode) = 0;
    // Asks for the user's master password before a secret is shown; true when it was given.
    virtual bool VerifyPassword(QWidget* parent) = 0;
};
