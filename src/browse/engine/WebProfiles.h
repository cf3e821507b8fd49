#pragma once

#include <functional>
#include <QHash>
#include <QObject>
#include <QString>
#include <QUrl>

class QWebEngineProfile;
class QWebEngineUrlRequestInterceptor;

// One engine profile per Bramblegate user, so that one person's cookies, cache and site storage
// are never seen by another person on the same OS account. A user's profile lives in
// AppPaths::UserProfileFolder(user) (owner-only), with persistent cookies. The empty user name
// gets a profile that keeps nothing on disk (before anyone has logged in, and for tests).
//
// The profiles serve the program's own pages (ProgramPages) and redirect the product's web site
// to them.
//
// Also the program's offline switch: while it is on, every profile blocks network loads
// (http, https, ftp, ws); local pages (file, qrc, data, about) still load.
namespace WebProfiles {

// The profile of a user, created on first use; it lives until RemoveUserProfile or the end of
// the program.
QWebEngineProfile* ForUser(const QString& userName);
// Whether a profile object exists for the user in this run.
bool Exists(const QString& userName);
// Closes the user's profile and deletes its folder (at once, and again over the next seconds
// while the engine finishes writing to it). False, and nothing is touched, while a pane still
// uses the profile.
bool RemoveUserProfile(const QString& userName);
// Forgets what the engine holds of the user now (cookies, the cache, visited links), whether or
// not panes still use the profile; for a user who is being deleted.
void ClearUserData(const QString& userName);
// Number of engine pages that use the user's profile (kept by WebEnginePane).
int PagesUsing(QWebEngineProfile* profile);
void AddPage(QWebEngineProfile* profile);
void RemovePage(QWebEngineProfile* profile);

// Hands every profile of the program to `attach`: those that exist now at once, later ones when
// they are made (before any page uses them), for as long as `owner` lives. This is where
// whatever works per profile (the downloads) joins.
void OnEveryProfile(QObject* owner, std::function<void(QWebEngineProfile*)> attach);

// Sites the user let through despite a certificate error, per profile, for this run.
void MarkCertificateOverridden(QWebEngineProfile* profile, const QString& host);
bool CertificateOverridden(QWebEngineProfile* profile, const QString& host);

// The program's offline switch.
void SetOffline(bool offline);
bool IsOffline();
// Whether a load of this scheme, or of this address, is blocked while offline. The program's own
// pages never are.
bool BlockedOffline(const QString& scheme);
bool BlockedOffline(const QUrl& url);

} // namespace WebProfiles
