#pragma once

#include <functional>
#include <memory>
#include <QString>

#include "browse/engine/BrowserPane.h"

class ChildWindow;
class QPrinter;
class QWidget;

// The commands that act on the page of the frame's active child window: print, print preview
// and page setup (one printer for the session, so the page setup holds for later prints), save
// as, properties, the clipboard commands, view source and the text size.
class PageCommands {
public:
    // Finds the active child window when a command runs (null: none).
    using ActiveChild = std::function<ChildWindow*()>;

    PageCommands(QWidget* parent, ActiveChild activeChild);
    ~PageCommands();

    // File menu.
    void Print();
    void PrintPreview();
    void PageSetup();
    void SaveAs();
    void Properties();
    // Edit menu: on the focused text field when there is one, else on the page.
    void Edit(BrowserPane::EditCommand command);
    // View menu.
    void ViewSource();
    // Text size 0 (smallest) to 4 (largest) on the page; the browse window keeps it for its Links.
    void SetTextSize(int size);
    void ChangeTextSize(int delta);
    // The active page's text size (2 when there is no page).
    int TextSize() const;
    // View, Zoom: the active page one step larger (direction > 0), smaller (< 0), or back to
    // its actual size (0). A Link's pane keeps its zoom for the Link.
    void Zoom(int direction);
    // Whether the active page can be printed now (File, Print and Print Preview are enabled).
    bool CanPrint() const;

    // The status bar's word when Print finds no page (still loading, nothing open).
    static const QString kNothingToPrint;

    QPrinter& Printer();
    bool Printing() const { return m_printing; }

private:
    BrowserPane* Pane() const;
    void SayNothingToPrint();

    QWidget* m_parent;
    ActiveChild m_activeChild;
    std::unique_ptr<QPrinter> m_printer;
    bool m_printing = false;
};
