#include "browse/engine/PagePrinting.h"

#include <memory>
#include <QEventLoop>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrintPreviewDialog>
#include <QWebEngineView>

#include "core/MessageBox.h"

namespace PagePrinting {

void PrintTo(QWebEngineView& view, QPrinter* printer, BrowserPane::Done done) {
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(&view, &QWebEngineView::printFinished, &view, [connection, done](bool ok) {
        QObject::disconnect(*connection);
        if (done) done(ok);
    });
    view.print(printer);
}

void Print(QWebEngineView& view) {
    auto* printer = new QPrinter(QPrinter::HighResolution);
    QPrintDialog dialog(printer, &view);
    if (modal::RunModal(dialog) != QDialog::Accepted) {
        delete printer;
        return;
    }
    PrintTo(view, printer, [printer](bool) { delete printer; });
}

void Preview(QWebEngineView& view) {
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(&printer, &view);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&view](QPrinter* target) {
        // The preview wants its pages drawn before the signal returns.
        QEventLoop loop;
        PrintTo(view, target, [&loop](bool) { loop.quit(); });
        loop.exec();
    });
    modal::RunModal(preview);
}

} // namespace PagePrinting
