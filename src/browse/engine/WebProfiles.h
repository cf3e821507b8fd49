#pragma once

#include <functional>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

class QWebEngineProfile;
class QWebEngineUrlRequestInterceptor;

// The engine profiles (cookies, cache, site storage) of the program. Each Bramblegate user has a
// shared profile in AppPaths::UserProfileFolder(user), and each of the user's Links a profile of
// its own in AppPaths::LinkProfileFolder(user, id), named by the Link's stable id: one person's
// web data is never seen by another person on the same OS account, and two Links to one site
// stay signed in as two accounts. Profiles are owner-only on the disk, keep persistent cookies,
// and are made on first use. The empty user name gets profiles that keep nothing on disk
// (before anyone has logged in, and for tests).
//
// The profiles serve the program's own pages (ProgramPages) and redirect the product's web site
// to them.
//
// Also the program's offline switch: while it is on, every profile blocks network loads
// (http, https, ftp, ws); local pages (file, qrc, data, about) still load.
namespace WebProfiles {

// The shared profile of a user, created on first use; it lives until RemoveUserProfile,
// CloseUserProfiles or the end of the program.
QWebEngineProfile* ForUser(const QString& userName);
// The profile of one of the user's Links (LinkIds); the shared one for an empty id. An id that
// is not one gets a profile that keeps nothing, never another Link's data.
QWebEngineProfile* ForLink(const QString& userName, const QString& linkId);
// Whether a profile object exists for the user's shared profile, or for a Link's, in this run.
bool Exists(const QString& userName);
bool Exists(const QString& userName, const QString& linkId);

// Closes every profile of the user and deletes the user's folder with them (at once, and again
// over the next seconds while the engine finishes writing to it). False, and nothing is
// touched, while a pane still uses one of them.
bool RemoveUserProfile(const QString& userName);
// A removed Link's web data goes: its cookies, cache and storage are forgotten now, and its
// profile and folder go as soon as no page uses the profile any more.
void RemoveLinkProfile(const QString& userName, const QString& linkId);
// Deletes the folders of Link profiles of the user whose id is not in `keep` (Links removed
// while the program could not finish, Links replaced by an import). Profiles in use stay.
void PruneLinkProfiles(const QString& userName, const QStringList& keep);
// Closes every profile object of the user, leaving the files: a new session of the user in this
// process opens them again from the disk. False, and nothing is closed, while a page uses one.
bool CloseUserProfiles(const QString& userName);
// Every profile of the user: the shared one, and the one of every Link that has web data on the
// disk or a profile in this run (opening those that are not open yet). For clearing them all.
QList<QWebEngineProfile*> EveryProfileOf(const QString& userName);
// Forgets what the engine holds of the user now (cookies, the cache, visited links) in every
// profile of the user open in this run, whether or not panes still use it; for a user who is
// being deleted.
void ClearUserData(const QString& userName);

// Number of engine pages that use a profile (kept by WebEnginePane).
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
