#pragma once

#include <QString>
#include <QtGlobal>

#include "browse/WindowCommand.h"

class BrowserPane;
class QWidget;

// A child window of the frame: the browse window or a stand-alone browser window. The frame does
// not navigate itself; it forwards its commands to the active child window.
class ChildWindow {
public:
    virtual ~ChildWindow() = default;

    // A command of the main window's menus or buttons.
    virtual void RunCommand(WindowCommand command) = 0;
    // Opens an address in the window (the visible Link's pane, for the browse window).
    virtual void NavigateURL(const QString& url) = 0;
    // The pane the page commands act on (print, save, find, view source, properties, text size,
    // bookmark); null when the window shows no page.
    virtual BrowserPane* ActivePane() const = 0;
    virtual QWidget* Widget() = 0;
    // The window's identity for the user's click credit (App().LastClickedWindow); never 0.
    virtual quintptr WindowHandle() const = 0;
};
