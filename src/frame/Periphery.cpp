#include "frame/Periphery.h"

#include <QWidget>

#include "browse/engine/BrowserPane.h"
#include "browse/UserHomePage.h"
#include "core/Companion.h"
#include "core/MessageBox.h"
#include "frame/AboutBox.h"
#include "frame/AgreementDialog.h"
#include "frame/FindBar.h"
#include "frame/Help.h"
#include "frame/InternetOptions.h"
#include "frame/OptionsDialog.h"
#include "frame/PagePropertiesDialog.h"
#include "frame/ShortcutsBar.h"
#include "frame/SplashWindow.h"
#include "frame/TipOfTheDay.h"

namespace Periphery {

void RunOptions(Links* links, QWidget* parent, const std::function<void()>& applied) {
    OptionsDialog dialog(links, parent);
    QObject::connect(&dialog, &OptionsDialog::Applied, &dialog, [&applied] {
        if (applied) applied();
    });
    modal::RunModal(dialog);
}

QWidget* MakeLinksBar(QWidget* parent, std::function<void(const QString& url)> navigate,
                      std::function<void()> toolbarsMenu) {
    auto* bar = new ShortcutsBar(parent);
    QObject::connect(bar, &ShortcutsBar::NavigateRequested, bar, [navigate](const QString& url) {
        if (navigate) navigate(url);
    });
    QObject::connect(bar, &ShortcutsBar::ToolbarsMenuRequested, bar, [toolbarsMenu] {
        if (toolbarsMenu) toolbarsMenu();
    });
    return bar;
}

void LoadLinksBar(QWidget* bar) {
    if (auto* links = qobject_cast<ShortcutsBar*>(bar)) links->Load();
}

void RunInternetOptions(QWidget* parent) {
    InternetOptions::Run(parent);
}

QString HomePage() {
    return UserHomePage::Get();
}

void RunPageProperties(BrowserPane& pane, QWidget* parent) {
    PagePropertiesDialog::Run(pane, parent);
}

QWidget* MakeFindBar(QWidget* parent) {
    return new FindBar(parent);
}

void AttachFindBar(QWidget* bar, BrowserPane* pane) {
    if (auto* find = qobject_cast<FindBar*>(bar)) find->Attach(pane);
}

void SetFindBarPanes(QWidget* bar, std::function<BrowserPane*()> panes) {
    if (auto* find = qobject_cast<FindBar*>(bar)) find->SetPaneProvider(std::move(panes));
}

void OpenFindBar(QWidget* bar) {
    if (auto* find = qobject_cast<FindBar*>(bar)) find->OpenBar();
}

void FindNext(QWidget* bar) {
    if (auto* find = qobject_cast<FindBar*>(bar)) find->FindNext();
}

void CloseFindBar(QWidget* bar) {
    if (auto* find = qobject_cast<FindBar*>(bar)) find->CloseBar();
}

void RunAbout(QWidget* parent) {
    AboutBox::Run(parent);
}

QWidget* ShowSplash() {
    auto* splash = new SplashWindow();
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->ShowCentered();
    return splash;
}

void RunTipOfTheDay(QWidget* parent) {
    TipOfTheDay::Run(parent);
}

bool TipAtStartUp() {
    return TipOfTheDay::ShowTips();
}

QString HelpTopicUrl(const QString& topic) {
    return Help::TopicUrl(topic);
}

void StartCompanion(const QString& arguments) {
    Companion::Start(arguments);
}

bool RunAgreement(QWidget* parent) {
    return AgreementDialog::Run(parent);
}

} // namespace Periphery
