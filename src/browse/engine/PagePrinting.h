#pragma once

#include "browse/engine/BrowserPane.h"

class QPrinter;
class QWebEngineView;

// Printing the page of an engine view: straight to a printer, through the print dialog, or in a
// preview. The engine prints after the call returns; done(ok) says when it has finished.
namespace PagePrinting {

void PrintTo(QWebEngineView& view, QPrinter* printer, BrowserPane::Done done);
// The print dialog first; the printer lives until the engine has finished.
void Print(QWebEngineView& view);
void Preview(QWebEngineView& view);

} // namespace PagePrinting
