#include "core/Errors.h"

#include "core/AppState.h"
#include "core/MessageBox.h"

namespace Errors {
namespace {
std::function<void()> g_abortHandler;

QString reportText(const QString& module, const QString& procedure, const QString& description) {
    return QStringLiteral("Error encountered in module '") + module + QStringLiteral("' in function '") +
           procedure + QStringLiteral("'. Error Description: ") + description + CR + CR;
}
} // namespace

int ReportError(const QString& module, const QString& procedure, const QString& description) {
    const msgbox::Result pressed =
        MsgBox(reportText(module, procedure, description), msgbox::AbortRetryIgnore, msgbox::Information,
               QStringLiteral("Error in Module"));
    switch (pressed) {
    case msgbox::Retry:
        return 1;
    case msgbox::Ignore:
        return 2;
    case msgbox::Abort:
        return 4;
    default:
        return 0;
    }
}

void ReportErrorInfo(const QString& module, const QString& procedure, const QString& description) {
    MsgBox(reportText(module, procedure, description), msgbox::OKOnly, msgbox::Information,
           QStringLiteral("Error in Module"));
}

void SetAbortHandler(std::function<void()> handler) {
    g_abortHandler = std::move(handler);
}

static void abortProgram() {
    App().EndingOnError = true;
    if (g_abortHandler) g_abortHandler();
}

bool Guarded(const QString& module, const QString& procedure, const std::function<void()>& step) {
    for (;;) {
        QString description;
        try {
            step();
            return true;
        } catch (const BgError& e) {
            if (e.Number() == ErrNo::NotSaved) {
                if (MsgBox(e.Description() + CR + CR, msgbox::RetryCancel, msgbox::Exclamation,
                           QStringLiteral("Not Saved")) == msgbox::Retry)
                    continue;
                return false;
            }
            description = e.Description();
        } catch (const std::exception& e) {
            description = QString::fromUtf8(e.what());
        }
        switch (ReportError(module, procedure, description)) {
        case 1:
            continue;
        case 4:
            abortProgram();
            return false;
        default:
            return false;
        }
    }
}

bool Quietly(const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace Errors
