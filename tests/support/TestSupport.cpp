#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include "core/AppState.h"
#include "core/Clock.h"
#include "links/Links.h"
#include "support/StoreFault.h"

TempStore::TempStore() : m_path(m_dir.filePath(QStringLiteral("settings.sqlite"))) {
    StoreFault::InstallShim();
    Reopen();
    App() = AppState();
    Clock::Reset();
}

TempStore::~TempStore() {
    SettingsStore::SetCurrent(nullptr);
    m_store.reset();
    App() = AppState();
    Clock::Reset();
}

void TempStore::Reopen() {
    SettingsStore::SetCurrent(nullptr);
    m_store.reset();
    QString error;
    m_store = SettingsStore::Open(m_path, &error);
    if (!m_store) ADD_FAILURE() << error.toStdString();
    SettingsStore::SetCurrent(m_store.get());
}

namespace {

msgbox::Result UnscriptedBox(const msgbox::Request& request) {
    ADD_FAILURE() << "a message box nobody scripted: \"" << request.title.toStdString()
                  << "\": " << request.text.toStdString();
    return msgbox::Cancel; // ends any retry loop
}

int UnscriptedDialog(QDialog& dialog) {
    ADD_FAILURE() << "a dialog nobody scripted: " << dialog.metaObject()->className() << " \""
                  << dialog.windowTitle().toStdString() << '"';
    return int(QDialog::Rejected);
}

QString UnscriptedFile(const filedialogs::Request& request) {
    ADD_FAILURE() << "a file dialog nobody scripted: \"" << request.title.toStdString() << '"';
    return QString();
}

template <typename T> T TakeFront(std::deque<T>& queue) {
    T front = std::move(queue.front());
    queue.pop_front();
    return front;
}

} // namespace

void InstallStrictSeams() {
    msgbox::SetAnswerer(UnscriptedBox);
    modal::SetRunner(UnscriptedDialog);
    filedialogs::SetAnswerer(UnscriptedFile);
}

ScriptedBoxes::ScriptedBoxes() {
    msgbox::SetAnswerer([this](const msgbox::Request& request) {
        m_shown.append(request);
        if (m_answers.empty()) return UnscriptedBox(request);
        return TakeFront(m_answers)(request);
    });
}

ScriptedBoxes::~ScriptedBoxes() {
    if (!m_answers.empty()) ADD_FAILURE() << m_answers.size() << " scripted box answers never used";
    msgbox::SetAnswerer(UnscriptedBox);
}

ScriptedBoxes& ScriptedBoxes::Answer(msgbox::Result result) {
    return AnswerWith([result](const msgbox::Request&) { return result; });
}

ScriptedBoxes& ScriptedBoxes::AnswerWith(std::function<msgbox::Result(const msgbox::Request&)> answer) {
    m_answers.push_back(std::move(answer));
    return *this;
}

QStringList ScriptedBoxes::texts() const {
    QStringList out;
    for (const auto& r : m_shown)
        out << r.text;
    return out;
}

ScriptedDialogs::ScriptedDialogs() {
    modal::SetRunner([this](QDialog& dialog) {
        ++m_count;
        if (m_scripts.empty()) return UnscriptedDialog(dialog);
        return TakeFront(m_scripts)(dialog);
    });
}

ScriptedDialogs::~ScriptedDialogs() {
    if (!m_scripts.empty()) ADD_FAILURE() << m_scripts.size() << " scripted dialogs never used";
    modal::SetRunner(UnscriptedDialog);
}

ScriptedDialogs& ScriptedDialogs::Next(std::function<int(QDialog&)> script) {
    m_scripts.push_back(std::move(script));
    return *this;
}

ScriptedFiles::ScriptedFiles() {
    filedialogs::SetAnswerer([this](const filedialogs::Request& request) {
        m_asked.append(request);
        if (m_answers.empty()) return UnscriptedFile(request);
        return TakeFront(m_answers);
    });
}

ScriptedFiles::~ScriptedFiles() {
    if (!m_answers.empty()) ADD_FAILURE() << m_answers.size() << " scripted file answers never used";
    filedialogs::SetAnswerer(UnscriptedFile);
}

ScriptedFiles& ScriptedFiles::Next(const QString& path) {
    m_answers.push_back(path);
    return *this;
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void SaveBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()) << path.toStdString();
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

int PaneIndexOf(const Links& links, const QString& caption) {
    for (Link* l : links)
        if (!l->Deleted() && l->Caption() == caption) return l->Index() - 1;
    ADD_FAILURE() << "no Link " << caption.toStdString();
    return -1;
}
