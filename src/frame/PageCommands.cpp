#include "frame/PageCommands.h"

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QLineEdit>
#include <QMainWindow>
#include <QPageSetupDialog>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrintPreviewDialog>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTextEdit>

#include <QDesktopServices>
#include <QUrl>

#include "browse/BrowseWindow.h"
#include "browse/ChildWindow.h"
#include "core/MessageBox.h"
#include "frame/Periphery.h"
#include "links/Links.h"

const QString PageCommands::kNothingToPrint = QStringLiteral("There is no page to print yet.");

namespace {

bool Blank(const QString& url) {
    return url.isEmpty() || url == QLatin1String("about:blank");
}

// A file name from a page title: what the file systems accept, not too long.
QString FileNameFor(const QString& title) {
    QString name = title.simplified();
    name.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1f]")), QStringLiteral("_"));
    name = name.left(80).trimmed();
    return (name.isEmpty() ? QStringLiteral("page") : name) + QStringLiteral(".html");
}

// The clipboard commands on a text field (the three kinds share the four member names).
template <typename Field> void EditText(Field& field, BrowserPane::EditCommand command) {
    switch (command) {
    case BrowserPane::Cut:
        field.cut();
        break;
    case BrowserPane::Copy:
        field.copy();
        break;
    case BrowserPane::Paste:
        field.paste();
        break;
    case BrowserPane::SelectAll:
        field.selectAll();
        break;
    }
}

} // namespace

PageCommands::PageCommands(QWidget* parent, ActiveChild activeChild)
    : m_parent(parent), m_activeChild(std::move(activeChild)) {}

PageCommands::~PageCommands() = default;

QPrinter& PageCommands::Printer() {
    if (!m_printer) m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

BrowserPane* PageCommands::Pane() const {
    ChildWindow* child = m_activeChild ? m_activeChild() : nullptr;
    return child ? child->ActivePane() : nullptr;
}

bool PageCommands::CanPrint() const {
    BrowserPane* pane = Pane();
    return pane && pane->CanPrint() && !m_printing;
}

void PageCommands::SayNothingToPrint() {
    QApplication::beep();
    if (auto* main = qobject_cast<QMainWindow*>(m_parent))
        main->statusBar()->showMessage(kNothingToPrint, 4000);
}

void PageCommands::Print() {
    BrowserPane* pane = Pane();
    if (!CanPrint()) {
        SayNothingToPrint();
        return;
    }
    QPrintDialog dialog(&Printer(), m_parent);
    if (modal::RunModal(dialog) != QDialog::Accepted) return;
    // The engine prints in the background; the page may go meanwhile, the printer stays.
    m_printing = true;
    pane->PrintTo(&Printer(), [this](bool) { m_printing = false; });
}

void PageCommands::PrintPreview() {
    QPointer<BrowserPane> pane = Pane();
    if (!CanPrint()) {
        SayNothingToPrint();
        return;
    }
    QPrintPreviewDialog preview(&Printer(), m_parent);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [this, pane](QPrinter* target) {
                         if (!pane) return;
                         // The preview draws what the engine has printed into the target before it returns.
                         QEventLoop loop;
                         bool finished = false;
                         m_printing = true;
                         pane->PrintTo(target, [&](bool) {
                             finished = true;
                             loop.quit();
                         });
                         if (!finished) loop.exec();
                         m_printing = false;
                     });
    modal::RunModal(preview);
}

void PageCommands::PageSetup() {
    QPageSetupDialog dialog(&Printer(), m_parent);
    modal::RunModal(dialog);
}

void PageCommands::SaveAs() {
    BrowserPane* pane = Pane();
    if (!pane || Blank(pane->LocationURL())) return;
    filedialogs::Request request;
    request.save = true;
    request.title = QStringLiteral("Save Web Page");
    request.fileName = FileNameFor(pane->LocationName());
    request.filter = QStringLiteral("Web Page (*.html)|*.html;*.htm|All files (*.*)|*.*");
    const QString path = filedialogs::Ask(request, m_parent);
    if (!path.isEmpty()) pane->SavePage(path);
}

void PageCommands::Properties() {
    if (BrowserPane* pane = Pane(); pane) Periphery::RunPageProperties(*pane, m_parent);
}

void PageCommands::Edit(BrowserPane::EditCommand command) {
    QWidget* focus = QApplication::focusWidget();
    if (auto* combo = qobject_cast<QComboBox*>(focus); combo && combo->lineEdit()) focus = combo->lineEdit();
    if (auto* line = qobject_cast<QLineEdit*>(focus))
        EditText(*line, command);
    else if (auto* text = qobject_cast<QTextEdit*>(focus))
        EditText(*text, command);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(focus))
        EditText(*plain, command);
    else if (BrowserPane* pane = Pane())
        pane->Edit(command);
}

void PageCommands::ViewSource() {
    ChildWindow* child = m_activeChild ? m_activeChild() : nullptr;
    BrowserPane* pane = child ? child->ActivePane() : nullptr;
    if (!pane) return;
    const QString url = pane->LocationURL();
    if (Blank(url) || url.startsWith(QLatin1String("view-source:"), Qt::CaseInsensitive)) return;
    child->NavigateURL(QStringLiteral("view-source:") + url);
}

int PageCommands::TextSize() const {
    BrowserPane* pane = Pane();
    return pane ? pane->TextSize() : 2;
}

void PageCommands::SetTextSize(int size) {
    ChildWindow* child = m_activeChild ? m_activeChild() : nullptr;
    BrowserPane* pane = child ? child->ActivePane() : nullptr;
    if (!pane) return;
    size = qBound(0, size, 4);
    pane->SetTextSize(size);
    if (auto* browse = dynamic_cast<BrowseWindow*>(child); browse && browse->HasLinks())
        browse->LinkList().SetFontSize(size);
}

void PageCommands::ChangeTextSize(int delta) {
    SetTextSize(TextSize() + delta);
}

void PageCommands::Zoom(int direction) {
    BrowserPane* pane = Pane();
    if (!pane) return;
    pane->SetZoomPercent(direction == 0 ? 100 : BrowserPane::NextZoomPercent(pane->ZoomPercent(), direction));
}
