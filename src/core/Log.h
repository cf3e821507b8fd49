#pragma once

#include <QString>

// Diagnostic logs. They write only while App().DiagnosticMode is on (a diagnostic build);
// otherwise every writer returns at once without touching the disk.
namespace core {

// Appends "<date time>  <message>" CR LF to Log\Log<yymmdd>.Log below the data folder.
void WriteLog(const QString& message);
// ... to Log\SignIn.Log.
void WriteSignInLog(const QString& message);
// ... to Log\Error.Log.
void WriteErrorLog(const QString& message);

// The folder the logs go to (the Log folder is never created by the writers).
QString LogFolder();

} // namespace core
