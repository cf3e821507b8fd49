#pragma once

#include <QString>

#include "browse/BrowseContext.h"
#include "links/Link.h"

class Link;
class Links;
class LinkControls;
class LinkView;
class NavigationBar;
class PageLoadTracker;
class PaneArea;
class PaneShower;
class QTimer;
class SearchPane;
class TabColours;
class BrowseHost;
struct BrowseState;

// Every navigation of a Link's pane starts here: a Link opened from its button or at start-up,
// an address sent to the visible Link, and the frame's Back, Forward, Stop, Refresh and Home.
// Records on the Link why it navigates (NavigateMode) and, while a Link logs in, covers its pane
// with the "Please wait..." page of the placeholder pane until the login has had its time.
class NavigationDriver : public LinkOwner {
public:
    // The dummy address: a Link with it opens the home page.
    static constexpr const char* kDummyUrl = "bgdummy";
    // How long the progress page may cover a Link that logs in.
    static constexpr int kLoginTimeOutSeconds = 24;

    // Navigate modes.
    enum Mode {
        ModeNone = 0,
        ModeStartUp = 1,
        ModeButton = 2,
        ModeUser = 3,
        ModeSearch = 4,
        ModeFavorite = 6,
        ModeFile = 7,
        ModeMessage = 8,
        ModeKeep = -1
    };

    // `showPageTimer` brings a pane to the front once its login has had its time.
    NavigationDriver(const BrowseContext& context, const BrowseView& view, LinkControls& controls,
                     PageLoadTracker& tracker, QTimer& showPageTimer);

    void OpenLink(int i);

    // --- LinkOwner: a Link's login sent its password, ended, was assumed or failed; the
    // progress page and the login time-out follow.
    void PasswordSent(int index) override;
    void LoggedIn(int index) override;
    void LoginAssumed(int index) override;
    void NavigationError(int index) override;
    // False when nothing was issued (a Stop less than 5 seconds ago).
    bool DoNavigate(int i);
    void NavigateURL(const QString& url);
    void Nav2Visible(const QString& url, int mode);
    // The start-up question about working offline; always true.
    bool CheckOnline();
    void SetProgressText(int i, const QString& text);
    void ShowProgressPage(int i);
    void SetLoginTimeOut(int i);
    void OnShowPageTimer();
    // The start-up navigation of the Links marked to load at start (once).
    void AutoNavigate();

    // The frame's navigation commands on the visible Link.
    void GoBack();
    void GoForward();
    void GoHome();
    void Refresh();
    void Stop();

    // The placeholder's markup for a progress text (the text is escaped: it may hold a page title).
    static QString ProgressPageMarkup(const QString& progressText);
    // Whether a Link's address is the dummy one.
    static bool IsDummy(const QString& url);

private:
    bool ShowsProgressPage(const Link& link) const;
    bool DamagedSettings();

    Links& m_links;
    PaneArea& m_panes;
    NavigationBar& m_navBar;
    TabColours& m_tabs;
    PaneShower& m_shower;
    LinkView& m_view;
    LinkControls& m_controls;
    PageLoadTracker& m_tracker;
    SearchPane* m_search;
    QTimer& m_showPageTimer;
    BrowseHost& m_host;
    BrowseState& m_state;
};
