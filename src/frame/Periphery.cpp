// Each piece is compiled in as soon as its header is part of the source tree; until then the
// frame sees it as missing and keeps the matching command disabled. Once every piece is in, the
// conditions can go.
#include "frame/Periphery.h"

#include <QWidget>

#include "browse/engine/BrowserPane.h"
#include "browse/engine/ProgramPages.h"
#include "core/AppState.h"
#include "core/MessageBox.h"

#if __has_include("frame/frmOptions.h")
#include "frame/frmOptions.h"
#define BG_HAS_OPTIONS 1
#endif
#if __has_include("frame/IELinksBar.h")
#include "frame/IELinksBar.h"
#define BG_HAS_LINKSBAR 1
#endif
#if __has_include("frame/InternetOptions.h")
#include "frame/InternetOptions.h"
#define BG_HAS_INTERNETOPTIONS 1
#endif
#if __has_include("frame/PagePropertiesDialog.h")
#include "frame/PagePropertiesDialog.h"
#define BG_HAS_PROPERTIES 1
#endif
#if __has_include("frame/FindBar.h")
#include "frame/FindBar.h"
#define BG_HAS_FINDBAR 1
#endif
#if __has_include("frame/AboutBox.h")
#include "frame/AboutBox.h"
#define BG_HAS_ABOUT 1
#endif
#if __has_include("frame/SplashWindow.h")
#include "frame/SplashWindow.h"
#define BG_HAS_SPLASH 1
#endif
#if __has_include("frame/TipOfTheDay.h")
#include "frame/TipOfTheDay.h"
#define BG_HAS_TIPS 1
#endif
#if __has_include("frame/Help.h")
#include "frame/Help.h"
#define BG_HAS_HELP 1
#endif
#if __has_include("frame/Companion.h")
#include "frame/Companion.h"
#define BG_HAS_COMPANION 1
#endif
#if __has_include("frame/AgreementDialog.h")
#include "frame/AgreementDialog.h"
#define BG_HAS_AGREEMENT 1
#endif

namespace Periphery {

bool HasOptions() {
#ifdef BG_HAS_OPTIONS
    return true;
#else
    return false;
#endif
}

void RunOptions([[maybe_unused]] Links* links, [[maybe_unused]] QWidget* parent,
                [[maybe_unused]] const std::function<void()>& applied) {
#ifdef BG_HAS_OPTIONS
    frmOptions dialog(links, parent);
    QObject::connect(&dialog, &frmOptions::Applied, &dialog, [&applied] {
        if (applied) applied();
    });
    modal::RunModal(dialog);
#endif
}

QWidget* MakeLinksBar([[maybe_unused]] QWidget* parent,
                      [[maybe_unused]] std::function<void(const QString& url)> navigate,
                      [[maybe_unused]] std::function<void()> toolbarsMenu) {
#ifdef BG_HAS_LINKSBAR
    auto* bar = new IELinksBar(parent);
    QObject::connect(bar, &IELinksBar::NavigateRequested, bar, [navigate](const QString& url) {
        if (navigate) navigate(url);
    });
    QObject::connect(bar, &IELinksBar::ToolbarsMenuRequested, bar, [toolbarsMenu] {
        if (toolbarsMenu) toolbarsMenu();
    });
    return bar;
#else
    return nullptr;
#endif
}

void LoadLinksBar([[maybe_unused]] QWidget* bar) {
#ifdef BG_HAS_LINKSBAR
    if (auto* links = qobject_cast<IELinksBar*>(bar)) links->Load();
#endif
}

bool HasInternetOptions() {
#ifdef BG_HAS_INTERNETOPTIONS
    return true;
#else
    return false;
#endif
}

void RunInternetOptions([[maybe_unused]] QWidget* parent) {
#ifdef BG_HAS_INTERNETOPTIONS
    InternetOptions::Run(parent);
#endif
}

QString HomePage() {
#ifdef BG_HAS_INTERNETOPTIONS
    return InternetOptions::HomePage();
#else
    return QString::fromLatin1(ProgramPages::kStartPageUrl);
#endif
}

bool HasPageProperties() {
#ifdef BG_HAS_PROPERTIES
    return true;
#else
    return false;
#endif
}

void RunPageProperties([[maybe_unused]] BrowserPane& pane, [[maybe_unused]] QWidget* parent) {
#ifdef BG_HAS_PROPERTIES
    PagePropertiesDialog::Run(pane, parent);
#endif
}

QWidget* MakeFindBar([[maybe_unused]] QWidget* parent) {
#ifdef BG_HAS_FINDBAR
    return new FindBar(parent);
#else
    return nullptr;
#endif
}

void AttachFindBar([[maybe_unused]] QWidget* bar, [[maybe_unused]] BrowserPane* pane) {
#ifdef BG_HAS_FINDBAR
    if (auto* find = qobject_cast<FindBar*>(bar)) find->Attach(pane);
#endif
}

void OpenFindBar([[maybe_unused]] QWidget* bar) {
#ifdef BG_HAS_FINDBAR
    if (auto* find = qobject_cast<FindBar*>(bar)) find->OpenBar();
#endif
}

void FindNext([[maybe_unused]] QWidget* bar) {
#ifdef BG_HAS_FINDBAR
    if (auto* find = qobject_cast<FindBar*>(bar)) find->FindNext();
#endif
}

void CloseFindBar([[maybe_unused]] QWidget* bar) {
#ifdef BG_HAS_FINDBAR
    if (auto* find = qobject_cast<FindBar*>(bar)) find->CloseBar();
#endif
}

void RunAbout([[maybe_unused]] QWidget* parent) {
#ifdef BG_HAS_ABOUT
    AboutBox::Run(parent);
#else
    const QString version = AppVersion();
    MsgBox(QString::fromLatin1(ProductName()) + QStringLiteral(" version ") + version.left(1) +
               QLatin1Char('.') + version.mid(1, 1) + QLatin1Char('.') + version.mid(2),
           msgbox::OKOnly, msgbox::Information,
           QStringLiteral("About ") + QString::fromLatin1(ProductName()));
#endif
}

QWidget* ShowSplash() {
#ifdef BG_HAS_SPLASH
    auto* splash = new SplashWindow();
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->show();
    return splash;
#else
    return nullptr;
#endif
}

bool HasTipOfTheDay() {
#ifdef BG_HAS_TIPS
    return true;
#else
    return false;
#endif
}

void RunTipOfTheDay([[maybe_unused]] QWidget* parent) {
#ifdef BG_HAS_TIPS
    TipOfTheDay::Run(parent);
#endif
}

bool TipAtStartUp() {
#ifdef BG_HAS_TIPS
    return TipOfTheDay::ShowAtStartUp();
#else
    return false;
#endif
}

QString HelpTopicUrl([[maybe_unused]] const QString& topic) {
#ifdef BG_HAS_HELP
    return Help::TopicUrl(topic);
#else
    return QString();
#endif
}

void StartCompanion([[maybe_unused]] const QString& arguments) {
#ifdef BG_HAS_COMPANION
    Companion::Start(arguments);
#endif
}

bool RunAgreement([[maybe_unused]] QWidget* parent) {
#ifdef BG_HAS_AGREEMENT
    return AgreementDialog::Run(parent);
#else
    return true;
#endif
}

} // namespace Periphery
