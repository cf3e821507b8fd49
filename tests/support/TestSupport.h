#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <ostream>
#include <QDialog>
#include <QList>
#include <QTemporaryDir>

#include "core/MessageBox.h"
#include "core/SettingsStore.h"

// Readable QStrings in GoogleTest failure messages. Every test source includes this header, so
// every instantiation of the printers sees it.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

// A real settings store in a temp folder, made current for the scope; also resets the
// process-wide state and the clock, so every test starts from a fresh program.
class TempStore {
public:
    TempStore();
    ~TempStore();
    SettingsStore& store() { return *m_store; }
    QString folder() const { return m_dir.path(); }
    QString path() const { return m_path; }
    // Closes and opens the store file again (as a restart would).
    void Reopen();

private:
    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<SettingsStore> m_store;
};

// The seams are strict: while a test runs, a message box, modal dialog or file dialog that no
// script answers fails the test (and gets Cancel or no file so the test can go on); answers queued
// but never used fail the test when the script object ends. The test main installs the answerers
// that stand when no script object is alive before every test.
void InstallStrictSeams();

// Answers message boxes from a script and records every box shown.
class ScriptedBoxes {
public:
    ScriptedBoxes();
    ~ScriptedBoxes();
    // Queues the answer for the next box.
    ScriptedBoxes& Answer(msgbox::Result result);
    // Runs for the next box (after recording it), then answers it.
    ScriptedBoxes& AnswerWith(std::function<msgbox::Result(const msgbox::Request&)> answer);
    const QList<msgbox::Request>& shown() const { return m_shown; }
    int count() const { return int(m_shown.size()); }
    QString lastText() const { return m_shown.isEmpty() ? QString() : m_shown.last().text; }
    QString lastTitle() const { return m_shown.isEmpty() ? QString() : m_shown.last().title; }
    QStringList texts() const;
    void Clear() { m_shown.clear(); }

private:
    QList<msgbox::Request> m_shown;
    std::deque<std::function<msgbox::Result(const msgbox::Request&)>> m_answers;
};

// Drives modal dialogs: the next dialog shown is handed to the scripted function instead of
// running a nested event loop; it fills fields and clicks buttons, and returns the result.
class ScriptedDialogs {
public:
    ScriptedDialogs();
    ~ScriptedDialogs();
    ScriptedDialogs& Next(std::function<int(QDialog&)> script);
    int count() const { return m_count; }

private:
    std::deque<std::function<int(QDialog&)>> m_scripts;
    int m_count = 0;
};

// Answers file dialogs with fixed paths (empty = cancel).
class ScriptedFiles {
public:
    ScriptedFiles();
    ~ScriptedFiles();
    ScriptedFiles& Next(const QString& path);
    const QList<filedialogs::Request>& asked() const { return m_asked; }

private:
    QList<filedialogs::Request> m_asked;
    std::deque<QString> m_answers;
};

// The bytes of a file, empty when it cannot be read; a file that cannot be written (its folder is
// made) fails the test.
QByteArray FileBytes(const QString& path);
void SaveBytes(const QString& path, const QByteArray& bytes);

// Processes events until `done` is true or the timeout passes; returns `done()`.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 10000);

class Links;
// The pane index (from 0) of the Link with this caption; none fails the test and gives -1.
int PaneIndexOf(const Links& links, const QString& caption);
