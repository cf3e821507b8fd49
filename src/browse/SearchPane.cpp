#include "browse/SearchPane.h"

#include <QButtonGroup>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "browse/engine/BrowserPane.h"
#include "browse/PageRequests.h"
#include "browse/SearchPaneHost.h"
#include "core/AppPaths.h"
#include "core/AppState.h"
#include "core/Errors.h"
#include "core/Settings.h"
#include "core/StoredNames.h"
#include "users/UserOptions.h"

using namespace core;

namespace {

// "host" or "host:port" of an address, in lower case.
QString Authority(const QUrl& url) {
    QString authority = url.host().toLower();
    if (url.port() != -1) authority += QLatin1Char(':') + QString::number(url.port());
    return authority;
}

} // namespace

SearchPane::SearchPane(SearchPaneHost& host, PaneFactory factory, QWidget* parent,
                       const SearchServiceTable& services, ScriptRunner runner)
    : QWidget(parent), m_host(host), m_services(services), m_runner(std::move(runner)),
      m_folder(AppPaths::DataFolder()) {
    setObjectName(QStringLiteral("picSearch"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);

    m_optionsBox = new QWidget(this);
    m_optionsBox->setObjectName(QStringLiteral("fraSearchOptions"));
    layout->addWidget(m_optionsBox);
    BuildOptions();

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    m_back = new QToolButton(this);
    m_back->setObjectName(QStringLiteral("cmdSearchBack"));
    m_back->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    m_back->setToolTip(QStringLiteral("Back"));
    m_forward = new QToolButton(this);
    m_forward->setObjectName(QStringLiteral("cmdSearchForward"));
    m_forward->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
    m_forward->setToolTip(QStringLiteral("Forward"));
    connect(m_back, &QToolButton::clicked, this, &SearchPane::OnSearchBackClicked);
    connect(m_forward, &QToolButton::clicked, this, &SearchPane::OnSearchForwardClicked);
    buttons->addWidget(m_back);
    buttons->addWidget(m_forward);
    buttons->addStretch(1);
    layout->addLayout(buttons);

    m_pane = factory(this);
    if (!m_pane->parent()) m_pane->setParent(this);
    m_pane->setObjectName(QStringLiteral("wbrSearch"));
    layout->addWidget(m_pane->Widget(), 1);
    connect(m_pane, &BrowserPane::BeforeNavigate2, this, &SearchPane::OnBeforeNavigate2);
    connect(m_pane, &BrowserPane::DocumentComplete, this, &SearchPane::OnDocumentComplete);
    PageRequests::Attach(m_pane);

    UpdateButtons();
}

SearchPane::~SearchPane() = default;

void SearchPane::BuildOptions() {
    qDeleteAll(m_optionsBox->children());
    m_options.clear();
    // As many rows as the narrow pane needs: three engines to a row.
    auto* grid = new QGridLayout(m_optionsBox);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    auto* group = new QButtonGroup(m_optionsBox);
    for (int i = 0; i < int(m_services.size()); ++i) {
        auto* option = new QRadioButton(m_services[i].caption, m_optionsBox);
        option->setObjectName(QStringLiteral("optSearch%1").arg(i));
        group->addButton(option, i);
        grid->addWidget(option, i / 3, i % 3);
        m_options.append(option);
        // clicked, not toggled: only the user's choice stores and navigates.
        connect(option, &QRadioButton::clicked, this, [this, i] { OnSearchClicked(i); });
    }
    grid->setColumnStretch(3, 1);
    if (!m_options.isEmpty()) m_options[qBound(0, m_selected, int(m_options.size()) - 1)]->setChecked(true);
}

void SearchPane::SetServices(const SearchServiceTable& services) {
    if (services.isEmpty()) return;
    m_services = services;
    m_selected = 0;
    BuildOptions();
    if (m_started) ApplySearchChoice();
}

QRadioButton* SearchPane::SearchOption(int index) const {
    return index >= 0 && index < int(m_options.size()) ? m_options[index] : nullptr;
}

void SearchPane::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Shown before the start-up chose a service: show the user's one now.
    if (!m_started) ApplySearchChoice();
}

// ----- the choice of service -------------------------------------------------------------------

QString SearchPane::StoredChoice() const {
    if (App().Options) return App().Options->SearchChoice();
    return GetValue(App().CurrentUser, stored::user::kSearchChoice.name, m_services.value(0).choice);
}

void SearchPane::SaveChoice(const QString& choice) {
    if (App().Options)
        App().Options->SetSearchChoice(choice);
    else if (!App().CurrentUser.isEmpty())
        SaveValue(App().CurrentUser, stored::user::kSearchChoice.name, choice);
}

void SearchPane::SelectOption(int index) {
    m_selected = index;
    m_options[index]->setChecked(true);
}

void SearchPane::ApplySearchChoice() {
    OnSearchClicked(SearchPages::IndexOfChoice(m_services, StoredChoice()));
}

void SearchPane::OnSearchClicked(int index) {
    if (index < 0 || index >= int(m_services.size())) return;
    Errors::Guarded(QLatin1String(kModule), QStringLiteral("optSearch_Click"), [&] {
        m_started = true;
        SelectOption(index);
        SaveChoice(m_services[index].choice);
        m_record = true;
        // The page follows the engine as the user has it now.
        SearchPages::WritePage(m_services[index], m_folder);
        m_pane->Navigate2(SearchPages::PageUrl(m_services[index], m_folder));
    });
}

// ----- history ---------------------------------------------------------------------------------

void SearchPane::OnSearchBackClicked() {
    Errors::Guarded(QLatin1String(kModule), QStringLiteral("cmdSearchBack_Click"), [&] {
        // Pages reached through the history are not recorded again.
        m_record = false;
        qint32 choice = 0;
        const QString url = m_history.PrevUrl(&choice);
        if (!url.isEmpty()) {
            if (choice >= 0 && choice < int(m_services.size())) SelectOption(choice);
            m_pane->Navigate2(url);
        }
        UpdateButtons();
    });
}

void SearchPane::OnSearchForwardClicked() {
    Errors::Guarded(QLatin1String(kModule), QStringLiteral("cmdSearchForward_Click"), [&] {
        m_record = false;
        qint32 choice = 0;
        const QString url = m_history.NextUrl(&choice);
        if (!url.isEmpty()) {
            if (choice >= 0 && choice < int(m_services.size())) SelectOption(choice);
            m_pane->Navigate2(url);
        }
        UpdateButtons();
    });
}

void SearchPane::Record(const QString& url) {
    if (!m_record) return;
    m_history.AddSearchItem(url, m_selected);
    UpdateButtons();
}

void SearchPane::UpdateButtons() {
    m_back->setEnabled(m_history.CanGoBack());
    m_forward->setEnabled(m_history.CanGoForward());
}

// ----- routing ---------------------------------------------------------------------------------

bool SearchPane::IsLocalPage(const QString& url) const {
    // A file in the pages' folder; an address from the network that only names the folder is none.
    const QUrl address(url);
    if (!address.isLocalFile()) return false;
    return QFileInfo(address.toLocalFile()).absolutePath() == QFileInfo(m_folder).absoluteFilePath();
}

bool SearchPane::IsServiceHost(const QString& url, const QString& host) {
    // The host the address goes to, not any text in it: "?q=service.host" stays off the service.
    const QString authority = Authority(QUrl(url));
    const QString own = host.toLower();
    if (authority.isEmpty() || own.isEmpty()) return false;
    return authority == own || authority.endsWith(QLatin1Char('.') + own);
}

SearchPane::Route SearchPane::RouteFor(const QString& url, bool topLevel) const {
    if (!topLevel) return Route::Frame;
    if (url.contains(QLatin1String("http:///"), Qt::CaseInsensitive)) return Route::Cancel;
    if (url.startsWith(QLatin1String("about:"), Qt::CaseInsensitive)) return Route::Blank;
    if (url.startsWith(QLatin1String("javascript:"), Qt::CaseInsensitive)) return Route::Script;
    if (IsLocalPage(url)) return Route::Local;
    if (m_services.isEmpty()) return Route::LinkPane;
    const SearchService& service = m_services[qBound(0, m_selected, int(m_services.size()) - 1)];
    if ((!service.redirectPath.isEmpty() && url.contains(service.redirectPath, Qt::CaseInsensitive)) ||
        !IsServiceHost(url, service.host))
        return Route::LinkPane;
    return Route::Stay;
}

void SearchPane::OnBeforeNavigate2(NavigateEvent& e) {
    if (App().Unloading || App().Locked) return;
    Errors::Guarded(QLatin1String(kModule), QStringLiteral("wbrSearch_BeforeNavigate2"), [&] {
        // The user's click credit goes with a script link only; a new page uses it up.
        if (!e.url.contains(QLatin1String("javascript:"), Qt::CaseInsensitive))
            App().LastClickedWindow = 0;
        else if (App().LastClickedWindow != 0)
            App().LastClickedWindow = m_host.WindowHandle();

        switch (RouteFor(e.url, e.topLevel)) {
        case Route::Frame:
        case Route::Blank:
        case Route::Script:
            return;
        case Route::Cancel:
            e.cancel = true;
            return;
        case Route::LinkPane:
            e.cancel = true;
            m_host.Nav2Visible(e.url, kNavigateMode);
            return;
        case Route::Local: {
            // A local page that sends its words to itself: the engine's own address takes them.
            const QString words = SearchPages::LocalQueryWords(e.url);
            if (!words.isEmpty() && m_selected < int(m_services.size())) {
                e.cancel = true;
                m_pane->Navigate2(SearchEngines::QueryFor(
                    {m_services[m_selected].caption, m_services[m_selected].queryUrl}, words));
                return;
            }
            LetLocalPagesLeave(*m_pane);
            Record(e.url);
            return;
        }
        case Route::Stay:
            Record(e.url);
            return;
        }
    });
}

QString SearchPane::ResultsFixScript() {
    return QStringLiteral(
        "(function () {"
        " var divs = document.getElementsByTagName('div'), found = [];"
        " for (var i = 0; i < divs.length; i++) if (divs[i].id === 'results') found.push(divs[i]);"
        " for (var j = 0; j < found.length; j++) found[j].id = 'result';"
        " return found.length; })()");
}

void SearchPane::OnDocumentComplete(const QString& url, bool topLevel) {
    if (!topLevel || App().Unloading || App().Locked || !m_runner) return;
    Errors::Guarded(QLatin1String(kModule), QStringLiteral("wbrSearch_DocumentComplete"), [&] {
        // That service lays its result list out for a wide window through the DIV "results";
        // renamed, the list falls back to a plain layout that suits the narrow pane.
        const int fix = SearchPages::IndexOfChoice(m_services, QLatin1String(kResultsFixService));
        if (fix < int(m_services.size()) &&
            m_services[fix].choice.compare(QLatin1String(kResultsFixService), Qt::CaseInsensitive) == 0 &&
            IsServiceHost(url, m_services[fix].host))
            m_runner(*m_pane, ResultsFixScript());
    });
}
