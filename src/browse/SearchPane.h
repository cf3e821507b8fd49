#pragma once

#include <functional>
#include <QString>
#include <QWidget>

#include "browse/SearchPages.h"
#include "links/HisList.h"

class BrowserPane;
class QRadioButton;
class QToolButton;
class SearchPaneHost;
struct NavigateEvent;

// The Search tab of the browse window: option buttons `SearchOption` that choose one of the user's
// search engines, back and forward buttons, and a narrow browser pane `Pane` that shows the
// service's local search page and then its result pages. A result that leads away from the
// service is not opened in the narrow pane but in the visible Link's pane (navigate mode 4),
// so the result list stays where it is.
//
// Every navigation of the pane passes its BeforeNavigate2, also a click on a result link, so the
// routing there catches every result that leaves the service; links are not rewritten.
class SearchPane : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kModule = "Bramblegate.frmBrowse";
    // Navigate mode of an address opened from the search pane.
    static constexpr int kNavigateMode = 4;
    // The service whose result pages get their "results" DIVs renamed (by its SearchChoice).
    static constexpr const char* kResultsFixService = "Yahoo";

    // Makes the pane's browser (production: a WebEnginePane in the user's profile).
    using PaneFactory = std::function<BrowserPane*(QWidget* parent)>;
    // Runs a small script in the page of a pane (production: RunEngineScript).
    using ScriptRunner = std::function<void(BrowserPane& pane, const QString& script)>;

    // Where a navigation of the pane goes.
    enum class Route {
        Frame,    // a frame inside the pane: it loads freely
        Cancel,   // never loaded ("http:///")
        Blank,    // the engine's empty page: stays, not recorded
        Script,   // a script link: the engine runs it in the pane's own page, never in a Link's
        Local,    // one of the program's local pages: stays
        Stay,     // a page of the selected service: stays
        LinkPane, // leaves the service: cancelled here, opened in the visible Link's pane
    };

    SearchPane(SearchPaneHost& host, PaneFactory factory, QWidget* parent = nullptr,
               const SearchServiceTable& services = SearchPages::DefaultServices(),
               ScriptRunner runner = RunEngineScript);
    ~SearchPane() override;

    BrowserPane* Pane() const { return m_pane; }
    QRadioButton* SearchOption(int index) const;
    int ServiceCount() const { return int(m_services.size()); }
    // The user changed the engines: new option buttons, the chosen one shown again.
    void SetServices(const SearchServiceTable& services);
    const SearchServiceTable& Services() const { return m_services; }
    const HisList& SearchHistory() const { return m_history; }
    // Whether the next page shown in the pane is recorded in the search history.
    bool Recording() const { return m_record; }
    // The folder of the local pages (the program's data folder).
    const QString& PagesFolder() const { return m_folder; }

    // Selects the service of the user's SearchChoice and shows its page (start-up).
    void ApplySearchChoice();
    // The user chose a service: stores it as SearchChoice, shows its local page and switches
    // recording on.
    void OnSearchClicked(int index);
    // One step back or forward in the search history (recording off).
    void OnSearchBackClicked();
    void OnSearchForwardClicked();

    // Where an address would go with the selected service.
    Route RouteFor(const QString& url, bool topLevel) const;

    // The pane's engine events.
    void OnBeforeNavigate2(NavigateEvent& e);
    void OnDocumentComplete(const QString& url, bool topLevel);

    // The script that renames the result DIVs "results" to "result".
    static QString ResultsFixScript();
    // Runs a script in a WebEnginePane's page (in the program's own script world, beside the
    // page's scripts but sharing its document); does nothing for other panes.
    static void RunEngineScript(BrowserPane& pane, const QString& script);
    // Lets a WebEnginePane's page, while it shows a local page, send its form to the network.
    static void LetLocalPagesLeave(BrowserPane& pane);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void SelectOption(int index);
    void BuildOptions();
    void SaveChoice(const QString& choice);
    QString StoredChoice() const;
    void Record(const QString& url);
    void UpdateButtons();
    bool IsLocalPage(const QString& url) const;
    static bool IsServiceHost(const QString& url, const QString& host);

    SearchPaneHost& m_host;
    SearchServiceTable m_services;
    ScriptRunner m_runner;
    QString m_folder;
    BrowserPane* m_pane = nullptr;
    QList<QRadioButton*> m_options;
    QWidget* m_optionsBox = nullptr;
    QToolButton* m_back = nullptr;
    QToolButton* m_forward = nullptr;
    HisList m_history;
    int m_selected = 0;
    bool m_record = true;
    bool m_started = false;
};
