#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QThread>

#include "core/AppState.h"
#include "core/Clock.h"
#include "links/Links.h"
#include "support/StoreFault.h"

TempStore::TempStore() {
    StoreFault::InstallShim();
    m_path = m_dir.path() + QStringLiteral("/settings.sqlite");
    QString error;
    m_store = SettingsStore::Open(m_path, &error);
    if (!m_store) ADD_FAILURE() << error.toStdString();
    SettingsStore::SetCurrent(m_store.get());
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

msgbox::Result FirstButton(const msgbox::Request& request) {
    switch (request.buttons) {
    case msgbox::AbortRetryIgnore:
        return msgbox::Abort;
    case msgbox::YesNo:
    case msgbox::YesNoCancel:
        return msgbox::Yes;
    case msgbox::RetryCancel:
        return msgbox::Retry;
    default:
        return msgbox::OK;
    }
}

msgbox::Result UnscriptedBox(const msgbox::Request& request) {
    ADD_FAILURE() << "a message box nobody scripted: \"" << request.title.toStdString()
                  << "\": " << request.text.toStdString();
    return FirstButton(request);
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

void FailLeftovers(size_t left, const char* what) {
    if (left) ADD_FAILURE() << left << " scripted " << what << " never used";
}

} // namespace

namespace seams {

void InstallDefaults() {
    msgbox::SetAnswerer(UnscriptedBox);
    modal::SetRunner(UnscriptedDialog);
    filedialogs::SetAnswerer(UnscriptedFile);
}

} // namespace seams

ScriptedBoxes::ScriptedBoxes() {
    msgbox::SetAnswerer([this](const msgbox::Request& request) {
        m_shown.append(request);
        if (m_answers.empty()) return UnscriptedBox(request);
        auto answer = std::move(m_answers.front());
        m_answers.pop_front();
        return answer(request);
    });
}

ScriptedBoxes::~ScriptedBoxes() {
    FailLeftovers(m_answers.size(), "message box answers");
    msgbox::SetAnswerer(UnscriptedBox);
}

ScriptedBoxes& ScriptedBoxes::Answer(msgbox::Result result) {
    m_answers.push_back([result](const msgbox::Request&) { return result; });
    return *this;
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
        auto script = std::move(m_scripts.front());
        m_scripts.pop_front();
        return script(dialog);
    });
}

ScriptedDialogs::~ScriptedDialogs() {
    FailLeftovers(m_scripts.size(), "dialog scripts");
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
        QString path = m_answers.front();
        m_answers.pop_front();
        return path;
    });
}

ScriptedFiles::~ScriptedFiles() {
    FailLeftovers(m_answers.size(), "file answers");
    filedialogs::SetAnswerer(UnscriptedFile);
}

ScriptedFiles& ScriptedFiles::Next(const QString& path) {
    m_answers.push_back(path);
    return *this;
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return false;
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
