#pragma once

#include <QLatin1String>
#include <QString>

// Every key and value name the program stores, with the default a value has when it is missing.
// These names are the layout of the store and of settings files that other tools write and read:
// they never change. Value names are compared without regard to case.
namespace stored {

// A value's name and the default it reads as when missing or empty.
template <typename T> struct Value {
    QLatin1String name;
    T byDefault;
};

// The product key: every key below is below it ("Software\\Bramblegate\\...").
inline constexpr QLatin1String kProductKey("Bramblegate");

// ----- keys below the product key
inline constexpr QLatin1String kGeneral("General");
// One value per user, named after the user: the master password, encrypted with itself.
inline constexpr QLatin1String kUsers("Users");
// A user's own values are in the key named after the user; these keys follow the user's name.
inline constexpr QLatin1String kUrlsKeySuffix("Urls"); // typed addresses: Url0, Url1, ...
inline constexpr QLatin1String kTypedUrlPrefix("Url");
inline constexpr QLatin1String kBookmarksKeySuffix("BMs");           // caption = address
inline constexpr QLatin1String kHistoryKeySuffix("History");         // caption = address
inline constexpr QLatin1String kLinksBarKeySuffix("IELinks");        // caption = address
inline constexpr QLatin1String kPermissionsKeySuffix("Permissions"); // "origin|feature" = answer
// The list keys a settings file carries with the user.
inline constexpr const char* kListKeySuffixes[] = {"Urls", "BMs", "History", "IELinks"};

// Typed addresses every user shares (read only): url1, url2, ... of this key beside the product key.
inline constexpr QLatin1String kSharedTypedUrlsParent("Microsoft\\Internet Explorer");
inline constexpr QLatin1String kSharedTypedUrlsKey("TypedURLs");
inline constexpr QLatin1String kSharedTypedUrlPrefix("url");

inline QString UserKey(const QString& user, QLatin1String suffix) {
    return user + suffix;
}

// ----- values of General
namespace general {
inline constexpr Value<int> kUserCount{QLatin1String("Users"), 0};
inline constexpr QLatin1String kLastUser("LastUser");
inline constexpr Value<const char*> kVersion{QLatin1String("Version"), "0"};
inline constexpr QLatin1String kAppPath("AppPath");
inline constexpr Value<bool> kWorkOffline{QLatin1String("WorkOffline"), false};
// Only in settings files: the names of list entries are escaped.
inline constexpr Value<bool> kEscapedNames{QLatin1String("EscapedNames"), false};
} // namespace general

// ----- values of a user's key
namespace user {
inline constexpr QLatin1String kVersion("Version");
inline constexpr Value<bool> kWarnPasswordReset{QLatin1String("WarnPWResetToUserName"), false};
inline constexpr Value<int> kLinkCount{QLatin1String("Items"), 0};
inline constexpr Value<const char*> kFavoritesFolder{QLatin1String("FavoritesFolder"), ""};
inline constexpr Value<bool> kSuppressNewWindows{QLatin1String("SuppressNewWindows"), true};
inline constexpr QLatin1String kHomePage("HomePage");
inline constexpr QLatin1String kDownloadFolder("DownloadFolder");
// How many typed addresses <user>Urls holds.
inline constexpr QLatin1String kUrlCount("Urls");
// The width of the side bar's tab n: PicWidth<n>.
inline constexpr Value<int> kSideBarWidth{QLatin1String("PicWidth"), 230};

// The options
inline constexpr Value<int> kAutoLogOutMinutes{QLatin1String("AutoLogOutMts"), 30};
inline constexpr Value<bool> kBeepOnPopUp{QLatin1String("BeepOnPopup"), true};
inline constexpr Value<const char*> kSearchChoice{QLatin1String("SearchChoice"), "Msn"};
inline constexpr QLatin1String kSSN("SSN");
inline constexpr Value<int> kFreezeAfterMinutes{QLatin1String("FreezeAfterMinutes"), 10};
inline constexpr Value<int> kDiscardAfterMinutes{QLatin1String("DiscardAfterMinutes"), 30};
inline constexpr Value<int> kMaxHistoryItems{QLatin1String("MaxHistoryItems"), 100};
inline constexpr Value<int> kMaxBookmarkItems{QLatin1String("MaxBookmarkItems"), 40};
// The search engines: SearchEngines = n, SearchEngineName<i>, SearchEngineURL<i> (1 to n).
inline constexpr Value<int> kSearchEngineCount{QLatin1String("SearchEngines"), 0};
inline constexpr QLatin1String kSearchEngineName("SearchEngineName");
inline constexpr QLatin1String kSearchEngineUrl("SearchEngineURL");
// Tip of the day (in General before anyone logged in).
inline constexpr Value<bool> kShowTips{QLatin1String("ShowTips"), false};
inline constexpr Value<int> kCurrentTip{QLatin1String("CurrTip"), 0};
// View, Toolbars.
inline constexpr Value<bool> kViewButtons{QLatin1String("ViewButtons"), true};
inline constexpr Value<bool> kViewLinksBar{QLatin1String("ViewLinksBar"), true};
inline constexpr Value<bool> kViewStatusBar{QLatin1String("ViewStatusBar"), true};
inline constexpr Value<bool> kViewTextLabels{QLatin1String("ViewTextLabels"), true};
} // namespace user

// ----- a Link's values: the field's name followed by the Link's slot number (Caption1, URL1, ...)
namespace link {
inline constexpr QLatin1String kCaption("Caption");
inline constexpr QLatin1String kUrl("URL");
inline constexpr QLatin1String kUserName("UserName");
inline constexpr QLatin1String kPassword("PW");
inline constexpr QLatin1String kSelectOption("SelectOption");
inline constexpr QLatin1String kNavigateAfterLogin("NavigateAfterLogin");
inline constexpr Value<bool> kAutoNavigate{QLatin1String("AutoNavigate"), false};
inline constexpr Value<bool> kRequiresLogin{QLatin1String("ReqLogin"), false};
inline constexpr Value<int> kControlOrder{QLatin1String("ControlOrder"), -1};
inline constexpr Value<bool> kHidePopUps{QLatin1String("HidePopUps"), true};
inline constexpr QLatin1String kAlsoAllowedSite("AlsoAllowedSite");
inline constexpr Value<int> kZoom{QLatin1String("Zoom"), 100};
inline constexpr Value<bool> kShareCookies{QLatin1String("ShareCookies"), false};
inline constexpr QLatin1String kId("LinkId");
// Every field, lower case: a value whose name starts with one of these is a Link's.
inline constexpr const char* kFieldPrefixes[] = {
    "url",      "caption",      "username",   "selectoption", "navigateafterlogin", "pw",     "autonavigate",
    "reqlogin", "controlorder", "hidepopups", "zoom",         "alsoallowedsite",    "linkid", "sharecookies"};

inline QString ValueName(QLatin1String field, int slot) {
    return field + QString::number(slot);
}
} // namespace link

} // namespace stored
