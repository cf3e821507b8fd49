#pragma once

#include <exception>
#include <functional>
#include <QString>

// An error raised by the program's routines: a number and a description, as the error reporter
// shows them.
class BgError : public std::exception {
public:
    BgError(long number, QString description)
        : m_number(number), m_description(std::move(description)), m_what(m_description.toUtf8()) {}

    long Number() const { return m_number; }
    const QString& Description() const { return m_description; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    long m_number;
    QString m_description;
    QByteArray m_what;
};

// Well-known error numbers.
namespace ErrNo {
constexpr long InvalidCall = 5;
constexpr long ObjectRequired = 424;
// The settings store refused a save; the description says so in plain words, and nothing of the
// save was kept.
constexpr long NotSaved = 0x80040100L;
} // namespace ErrNo

namespace Errors {

// Shows "Error in Module" with Abort, Retry and Ignore. Returns 1 retry, 2 ignore, 4 abort.
int ReportError(const QString& module, const QString& procedure, const QString& description);
// The same message with only an OK button.
void ReportErrorInfo(const QString& module, const QString& procedure, const QString& description);

// What ends the program after the user chose Abort: the frame installs it (set EndingOnError,
// unload). Without one, Abort only sets EndingOnError.
void SetAbortHandler(std::function<void()> handler);

// Runs `step` under the error reporter: on an error the user is asked; Retry runs the step
// again, Ignore returns false (the caller goes on with its next statement), Abort ends the
// program (the abort handler runs) and returns false. Returns true when the step succeeded.
// A save the store refused (ErrNo::NotSaved) is told as it is, with Retry and Cancel.
bool Guarded(const QString& module, const QString& procedure, const std::function<void()>& step);

// Runs `step`, swallowing any error: for the page-parsing paths that clear an error and go on.
bool Quietly(const std::function<void()>& step);

} // namespace Errors
