#pragma once

#include "frame/MainCommand.h"

class MainMenus;
class MainWindow;

// Runs the commands of the main window's menus and button bar: on the active child window, its
// page, the window itself or the program.
class MainCommands {
public:
    MainCommands(MainWindow& window, MainMenus& menus);

    void Run(MainCommand command, bool checked = false);

private:
    // The commands on the active child's page.
    bool RunPageCommand(MainCommand command);
    // The Window menu's commands and File, Close.
    bool RunWindowCommand(MainCommand command);
    void ImportFavorites();
    void RunProgramOptions();
    // Ctrl+L, Alt+D, F6: the keyboard into the active child's address box.
    void FocusAddress();

    MainWindow& m_window;
    MainMenus& m_menus;
};
