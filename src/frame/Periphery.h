#pragma once

#include <functional>
#include <QString>

class BrowserPane;
class Links;
class QWidget;

// The frame's calls into the windows that stand on their own: the options dialog, the IE links
// strip, the Internet options, the page properties, the find bar, the about box, the splash
// window, the tip of the day, the help pages, the companion program and the first-run
// agreement. All of them go through here, so the frame does not depend on how each is built.
namespace Periphery {

// Bramblegate Options. `applied` runs after every Apply (and OK with changes).
void RunOptions(Links* links, QWidget* parent, const std::function<void()>& applied);

// The IE links strip for the logged-in user, or null. `navigate` gets the address of a link the
// user chose; `toolbarsMenu` runs when the strip's own menu asks for the View, Toolbars menu.
QWidget* MakeLinksBar(QWidget* parent, std::function<void(const QString& url)> navigate,
                      std::function<void()> toolbarsMenu);
// (Re)reads the strip's links for App().CurrentUser.
void LoadLinksBar(QWidget* bar);

// The program's own Internet options (home page, clearing the engine's data).
void RunInternetOptions(QWidget* parent);
// The user's home page: what Home opens in every pane.
QString HomePage();

// File, Properties for a page.
void RunPageProperties(BrowserPane& pane, QWidget* parent);

// The find bar over the page, or null.
QWidget* MakeFindBar(QWidget* parent);
void AttachFindBar(QWidget* bar, BrowserPane* pane);
// Where the bar finds the page to search at each search.
void SetFindBarPanes(QWidget* bar, std::function<BrowserPane*()> panes);
void OpenFindBar(QWidget* bar);
void FindNext(QWidget* bar);
void CloseFindBar(QWidget* bar);

// Help, About.
void RunAbout(QWidget* parent);
// The splash window, shown; null when there is none. The caller closes it.
QWidget* ShowSplash();
// Tip of the Day, and whether the user wants it at start-up.
void RunTipOfTheDay(QWidget* parent);
bool TipAtStartUp();
// The local help pages: the address of a topic ("Contents", "Index", "Search", ...), empty
// when there is no help.
QString HelpTopicUrl(const QString& topic);

// Starts the companion program with these arguments, hidden, without waiting.
void StartCompanion(const QString& arguments);
// The first-run agreement: false when the user declined and confirmed leaving.
bool RunAgreement(QWidget* parent);

} // namespace Periphery
