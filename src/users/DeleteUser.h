#pragma once

#include <functional>
#include <QString>

// The fields of the user-deletion dialog as the deletion reads and writes them (trimmed texts
// are written back).
struct DeleteUserFields {
    QString userName;
    QString password;
};

// What the dialog does after one press of OK.
struct DeleteUserStep {
    enum Outcome {
        Stay,      // a message was shown (or the question answered No): the dialog stays open
        Deleted,   // another user was deleted: close
        EndProgram // the logged-in user was deleted: close, then the frame unloads
    };
    enum Field { None, UserName, Password };
    Outcome outcome = Stay;
    Field focus = None; // after a message about a field: focus it with its text selected
};

// Deleting a user account: whoever is logged in may delete any account whose name and master
// password are typed, the own account included.
namespace UserDeletion {

// OK of the dialog: checks the name and the password (any number of tries), asks, and deletes.
DeleteUserStep ConfirmAndDelete(DeleteUserFields& fields);

// Deletes everything stored for the user, in one store transaction: the password record, the
// user's key and its four list keys, one off the user count; for the logged-in user also the
// last-user name. Then clears the user's web data in the engine and removes its web profile
// folder (cookies, cache, site storage) from the disk.
// Shows the closing message. Returns true when the deleted user was the logged-in one; App()
// then has EndingOnError set, so that nothing of the user is saved again on the way out.
bool DeleteUser(const QString& name);

// Removes the folder with the user's web profile. With `alsoAtExit` (the logged-in user, whose
// profile the engine still uses) it is removed again when the process ends, after the engine has
// written its last files there.
void RemoveUserProfileFolder(const QString& name, bool alsoAtExit);
// Removes the folders kept for the end now. For the frame, once the engine's profile is gone.
void RemovePendingProfileFolders();
// Removes the profile folders of users that do not exist (left by a deletion whose program was
// killed before the engine let go of them): a new user of the same name must not find them.
void RemoveLeftoverProfileFolders();
// What clears the web data the engine holds in memory for a user (the engine layer installs it).
void SetWebDataRemover(std::function<void(const QString& user)> remover);

} // namespace UserDeletion
