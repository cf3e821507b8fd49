#include "core/MessageBox.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "core/AppState.h"
#include "core/HelpRequest.h"

namespace msgbox {
namespace {
Answerer g_answerer;

struct BoxButton {
    QMessageBox::StandardButton button;
    Result result;
};

QList<BoxButton> buttonsFor(Buttons buttons) {
    switch (buttons) {
    case OKCancel:
        return {{QMessageBox::Ok, OK}, {QMessageBox::Cancel, Cancel}};
    case AbortRetryIgnore:
        return {{QMessageBox::Abort, Abort}, {QMessageBox::Retry, Retry}, {QMessageBox::Ignore, Ignore}};
    case YesNoCancel:
        return {{QMessageBox::Yes, Yes}, {QMessageBox::No, No}, {QMessageBox::Cancel, Cancel}};
    case YesNo:
        return {{QMessageBox::Yes, Yes}, {QMessageBox::No, No}};
    case RetryCancel:
        return {{QMessageBox::Retry, Retry}, {QMessageBox::Cancel, Cancel}};
    case OKOnly:
        break;
    }
    return {{QMessageBox::Ok, OK}};
}

QMessageBox::Icon qtIcon(Icon icon) {
    switch (icon) {
    case Critical:
        return QMessageBox::Critical;
    case Question:
        return QMessageBox::Question;
    case Exclamation:
        return QMessageBox::Warning;
    case Information:
        return QMessageBox::Information;
    case NoIcon:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

QString DisplayText(const QString& canonical) {
    QString text = canonical;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // Trailing blank lines only pad the old boxes; drawn boxes look better without them.
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

Result Show(const Request& request) {
    if (g_answerer) return g_answerer(request);

    QMessageBox box(qtIcon(request.icon),
                    request.title.isEmpty() ? QString::fromLatin1(ProductName()) : request.title,
                    DisplayText(request.text), QMessageBox::NoButton, QApplication::activeWindow());
    const QList<BoxButton> choices = buttonsFor(request.buttons);
    for (const BoxButton& choice : choices)
        box.addButton(choice.button);
    if (request.helpButton) {
        // The topic opens beside the box, which stays for the answer: the Help button does not
        // close it as the box's own buttons do.
        QAbstractButton* help = box.addButton(QMessageBox::Help);
        QObject::disconnect(help, &QAbstractButton::clicked, nullptr, nullptr);
        helprequest::Bind(&box, help, request.helpTopic);
    }
    const int def = qBound(1, request.defaultButton, int(choices.size())) - 1;
    box.setDefaultButton(choices[def].button);
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const BoxButton& choice : choices)
        if (choice.button == clicked) return choice.result;
    // Closed with Escape or the close box: the last button (Cancel/No) where there is one.
    return choices.size() > 1 ? choices.last().result : choices.first().result;
}

void SetAnswerer(Answerer answerer) {
    g_answerer = std::move(answerer);
}

} // namespace msgbox

msgbox::Result MsgBox(const QString& text, msgbox::Buttons buttons, msgbox::Icon icon, const QString& title,
                      int defaultButton) {
    msgbox::Request request;
    request.text = text;
    request.title = title;
    request.icon = icon;
    request.buttons = buttons;
    request.defaultButton = defaultButton;
    return msgbox::Show(request);
}

namespace modal {
namespace {
Runner g_runner;
}
int RunModal(QDialog& dialog) {
    if (g_runner) return g_runner(dialog);
    return dialog.exec();
}
void SetRunner(Runner runner) {
    g_runner = std::move(runner);
}
} // namespace modal

namespace filedialogs {
namespace {
Answerer g_answerer;

// "Data File (*.dat)|*.dat|All files (*.*)|*.*" -> "Data File (*.dat);;All files (*.*)"
QString qtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        out << parts[i];
    return out.join(QStringLiteral(";;"));
}
} // namespace

QString Ask(const Request& request, QWidget* parent) {
    if (g_answerer) return g_answerer(request);
    const QString start =
        request.folder.isEmpty() ? request.fileName : request.folder + "/" + request.fileName;
    if (request.save) {
        QFileDialog::Options options;
        if (!request.confirmOverwrite) options |= QFileDialog::DontConfirmOverwrite;
        return QFileDialog::getSaveFileName(parent, request.title, start, qtFilter(request.filter), nullptr,
                                            options);
    }
    return QFileDialog::getOpenFileName(parent, request.title, start, qtFilter(request.filter));
}

void SetAnswerer(Answerer answerer) {
    g_answerer = std::move(answerer);
}
} // namespace filedialogs
