#pragma once

#include <QDateTime>
#include <QString>

#include "links/HisList.h"

// Who hears about a Link's login progress: the browse window. Every call runs synchronously
// inside the Link's setter, with the Link's Index.
class LinkOwner {
public:
    virtual ~LinkOwner() = default;
    virtual void PasswordSent(int index) = 0;
    virtual void LoggedIn(int index) = 0;
    virtual void LoginAssumed(int index) = 0;
    virtual void NavigationError(int index) = 0;
};

// One site shortcut of the logged-in user: what its button shows, where it goes, how to log in
// there, and the run-time state of its browser pane.
//
// URL, UserName and pw are held encrypted, as they are stored: their setters take the
// encrypted text, their getters return the plain text (decrypted on first use and cached), and
// URLEnc, UserNameEnc and pwEnc return the encrypted text.
//
// Links are made by Links::Add only.
class Link {
public:
    Link();
    ~Link();
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    // Where the notifications go; null until the browse window takes over.
    void SetOwner(LinkOwner* owner) { m_owner = owner; }
    LinkOwner* Owner() const { return m_owner; }

    // --- stored fields
    const QString& Caption() const { return m_caption; }
    void SetCaption(const QString& v) { m_caption = v; }
    // The caption as people see it: a new user's first Link is stored as "Home Page$$" and
    // shows as "Home Page".
    QString ShownCaption() const { return ShownCaption(m_caption); }
    static QString ShownCaption(const QString& caption);
    QString URL() const { return m_url.Plain(); }
    void SetURL(const QString& encrypted) { m_url.Set(encrypted); }
    const QString& URLEnc() const { return m_url.encrypted; }
    QString UserName() const { return m_userName.Plain(); }
    void SetUserName(const QString& encrypted) { m_userName.Set(encrypted); }
    const QString& UserNameEnc() const { return m_userName.encrypted; }
    QString Password() const { return m_pw.Plain(); }
    void SetPassword(const QString& encrypted) { m_pw.Set(encrypted); }
    const QString& PasswordEnc() const { return m_pw.encrypted; }
    const QString& SelectOption() const { return m_selectOption; }
    void SetSelectOption(const QString& v) { m_selectOption = v; }
    const QString& NavigateAfterLogin() const { return m_navigateAfterLogin; }
    void SetNavigateAfterLogin(const QString& v) { m_navigateAfterLogin = v; }
    bool AutoNavigate() const { return m_autoNavigate; }
    void SetAutoNavigate(bool v) { m_autoNavigate = v; }
    bool ReqLogin() const { return m_reqLogin; }
    void SetReqLogin(bool v) { m_reqLogin = v; }
    bool HidePopUps() const { return m_hidePopUps; }
    void SetHidePopUps(bool v) { m_hidePopUps = v; }
    int ControlOrder() const { return m_controlOrder; }
    void SetControlOrder(int v) { m_controlOrder = v; }
    // Another site that may receive the Link's credentials (a login that lives on the site of
    // another company): a host name or an address, empty for none. Not a secret: plain text.
    const QString& AlsoAllowedSite() const { return m_alsoAllowedSite; }
    void SetAlsoAllowedSite(const QString& v) { m_alsoAllowedSite = v; }
    // The zoom of the Link's pane in percent (100: none), stored as "Zoom<n>" when not 100.
    int Zoom() const { return m_zoom; }
    void SetZoom(int percent) { m_zoom = percent; }
    // The Link's pages use the user's shared cookies and site storage instead of their own (for
    // sites whose single sign-on spans several Links); stored as "ShareCookies<n>".
    bool ShareCookies() const { return m_shareCookies; }
    void SetShareCookies(bool v) { m_shareCookies = v; }

    // --- identity and bookkeeping
    // The stable id (LinkIds) that names the Link's own web profile.
    const QString& Id() const { return m_id; }
    void SetId(const QString& id) { m_id = id; }
    // The web profile the Link's pages live in: its id, or empty for the user's shared profile.
    QString WebProfileId() const { return m_shareCookies ? QString() : m_id; }
    int Index() const { return m_index; }
    void SetIndex(int v) { m_index = v; }
    // The numbered slot of the store that holds the Link's values (0: none). It starts as the
    // Index but moves when the store is rewritten, so anything that stores a value of one Link
    // goes through it, never through the Index.
    int Slot() const { return m_slot; }
    void SetSlot(int v) { m_slot = v; }
    bool Deleted() const { return m_deleted; }
    void SetDeleted(bool v) { m_deleted = v; }
    HisList& LinkHisList() { return m_hisList; }
    const HisList& LinkHisList() const { return m_hisList; }

    // --- run-time state of the Link's pane
    const QString& Title() const { return m_title; }
    void SetTitle(const QString& v) { m_title = v; }
    const QString& FrameURL() const { return m_frameUrl; }
    void SetFrameURL(const QString& v) { m_frameUrl = v; }
    const QString& ProgressText() const { return m_progressText; }
    void SetProgressText(const QString& v) { m_progressText = v; }
    int ProgressValue() const { return m_progressValue; }
    void SetProgressValue(int v) { m_progressValue = v; }
    qint32 NavigateMode() const { return m_navigateMode; }
    void SetNavigateMode(qint32 v) { m_navigateMode = v; }
    bool IsPageAvailable() const { return m_isPageAvailable; }
    void SetIsPageAvailable(bool v) { m_isPageAvailable = v; }
    bool IsInDomain() const { return m_isInDomain; }
    void SetIsInDomain(bool v) { m_isInDomain = v; }
    bool NavigateAfterLoginDone() const { return m_navigateAfterLoginDone; }
    void SetNavigateAfterLoginDone(bool v) { m_navigateAfterLoginDone = v; }
    // A null time means "no time set".
    const QDateTime& PasswordSentTime() const { return m_passwordSentTime; }
    void SetPasswordSentTime(const QDateTime& v) { m_passwordSentTime = v; }
    const QDateTime& LoginTimeOut() const { return m_loginTimeOut; }
    void SetLoginTimeOut(const QDateTime& v) { m_loginTimeOut = v; }
    bool CanGoBack() const { return m_canGoBack; }
    void SetCanGoBack(bool v) { m_canGoBack = v; }
    bool CanGoForward() const { return m_canGoForward; }
    void SetCanGoForward(bool v) { m_canGoForward = v; }

    // The setters that tell the owner.
    bool PasswordSent() const { return m_passwordSent; }
    // True: tells the owner, then stamps PasswordSentTime with now (so the owner still sees
    // the previous time). False: clears PasswordSentTime, tells nobody.
    void SetPasswordSent(bool v);
    bool LoggedIn() const { return m_loggedIn; }
    // Tells the owner when it turns from false to true.
    void SetLoggedIn(bool v);
    bool LoginAssumed() const { return m_loginAssumed; }
    // Tells the owner when it turns from false to true.
    void SetLoginAssumed(bool v);
    bool NavigationError() const { return m_navigationError; }
    // Tells the owner every time it is set to true.
    void SetNavigationError(bool v);

    // Plain fields.
    qint32 SecureLock = 0;          // the pane's last secure-lock report
    bool SignInServiceUsed = false; // the login went through the external sign-in service
    // The login under way, from the Link's opening (which clears them): the user name was
    // typed for a password field the page shows only then; the user name alone went as the
    // first step of a two-step login; a password went (it never goes twice); the page is
    // watched for a login form that appears late until this time.
    bool IdentifierTyped = false;
    bool IdentifierSent = false;
    bool PasswordSubmitted = false;
    QDateTime LoginWatchUntil;

private:
    // One secret: the encrypted text and a lazily filled plain-text cache.
    struct Secret {
        QString encrypted;
        mutable QString cache;
        mutable bool stale = false;
        void Set(const QString& enc);
        QString Plain() const;
        void Wipe();
    };

    QString m_caption, m_selectOption, m_navigateAfterLogin, m_alsoAllowedSite;
    Secret m_url, m_userName, m_pw;
    bool m_autoNavigate = false, m_reqLogin = false, m_hidePopUps = false, m_shareCookies = false;
    int m_controlOrder = 0;
    int m_zoom = 100;

    QString m_id;
    int m_index = 0, m_slot = 0;
    bool m_deleted = false;
    HisList m_hisList;

    QString m_title, m_frameUrl, m_progressText;
    int m_progressValue = 0;
    qint32 m_navigateMode = 0;
    bool m_navigationError = false, m_isPageAvailable = false, m_isInDomain = false;
    bool m_passwordSent = false, m_loggedIn = false, m_loginAssumed = false;
    bool m_navigateAfterLoginDone = false;
    QDateTime m_passwordSentTime, m_loginTimeOut;
    bool m_canGoBack = false, m_canGoForward = false;

    LinkOwner* m_owner = nullptr;
};
