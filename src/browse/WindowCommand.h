#pragma once

// What the main window's menus and buttons ask of a browser window (the browse window or a
// stand-alone one). A window ignores what it has no use for.
enum class WindowCommand {
    Back,
    Forward,
    Stop,
    Refresh,
    Home,
    NewWindow,
    OpenInBrowser,
    AddressBar,   // the browse window: into its address box; a stand-alone window: its bar shown or hidden
    FocusAddress, // into the address box, the bar shown first
    SearchTab,
    FavoritesTab,
};
