#include "browse/engine/PaneDocument.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWebEnginePage>

#include "browse/engine/PageActionRunner.h"
#include "browse/engine/PageScripts.h"

using namespace PageScripts;

PaneDocument::PaneDocument(QObject& owner, Pane pane) : m_owner(&owner), m_pane(std::move(pane)) {
    m_actions = std::make_unique<PageActionRunner>(PageActionRunner::Pane{
        [this](int generation) { return m_pane.page() && generation == m_generation; }, m_pane.navigate,
        [this](const QString& arguments, std::function<void(const QVariant&)> done) {
            RunTool("__bgActions", ActionsScript(), arguments,
                    [owner = m_owner, done](const QVariant& result) {
                        if (owner) done(result);
                    });
        }});
}

PaneDocument::~PaneDocument() = default;

DocumentPtr PaneDocument::Document() const {
    return m_model ? m_model->documentPtr() : nullptr;
}

void PaneDocument::Adopt(std::shared_ptr<PageModel> model) {
    m_model = std::move(model);
    std::weak_ptr<PageModel> weak = m_model;
    QPointer<QObject> owner = m_owner;
    m_model->SetActionListener([this, owner, weak] {
        // Actions written while an event is handled are applied once it has been handled.
        QTimer::singleShot(0, owner, [this, owner, weak] {
            std::shared_ptr<PageModel> current = weak.lock();
            if (!owner || !current || current->pendingActions().isEmpty()) return;
            if (current != m_model) {
                current->TakeActions(); // a snapshot that is no longer the page: refused
                return;
            }
            ApplyActions(current->documentPtr(), {});
        });
    });
}

void PaneDocument::TakeSnapshot(const QStringList& texts,
                                std::function<void(std::shared_ptr<PageModel>)> done) {
    if (!m_pane.page()) return done(nullptr);
    const int generation = ++m_generation;
    QElapsedTimer clock;
    clock.start();
    QPointer<QObject> owner = m_owner;
    m_pendingSnapshots.insert(generation, [done] { done(nullptr); });
    RunTool("__bgSnapshot", SnapshotScript(), QString::number(generation) + QLatin1Char(',') + JsArray(texts),
            [this, owner, generation, clock, done](const QVariant& result) {
                // Not at all when the page's process went meanwhile: that answered.
                if (!owner || !m_pendingSnapshots.remove(generation)) return;
                const double roundTrip = double(clock.nsecsElapsed()) / 1e6;
                if (generation != m_generation) return done(nullptr);
                const QString text = result.toString();
                const qsizetype newline = text.indexOf(QLatin1Char('\n'));
                if (!text.startsWith(QLatin1String("BGSNAP ")) || newline < 0) return done(nullptr);
                const QStringList head = text.left(newline).split(QLatin1Char(' '));
                QElapsedTimer build;
                build.start();
                std::shared_ptr<PageModel> model = PageModel::FromJson(QStringView(text).mid(newline + 1));
                m_stats.buildMs = double(build.nsecsElapsed()) / 1e6;
                m_stats.scriptMs = head.value(2).toDouble();
                m_stats.roundTripMs = roundTrip;
                m_stats.bytes = text.size() - newline - 1;
                m_stats.elements = model ? model->elementCount() : 0;
                done(model);
            });
}

void PaneDocument::ApplyActions(const DocumentPtr& document, BrowserPane::Done done) {
    if (!document) {
        if (done) done(false);
        return;
    }
    PageModel& model = document->model();
    if (&model != m_model.get()) {
        model.TakeActions();
        if (done) done(false);
        return;
    }
    m_actions->Enqueue({m_model, m_model->generation(), m_model->TakeActions(), std::move(done)});
}

void PaneDocument::FailPending() {
    // The engine answers scripts of a page whose process went only when the page itself goes.
    ++m_generation;
    const auto snapshots = std::exchange(m_pendingSnapshots, {});
    for (const auto& fail : snapshots)
        fail();
    m_actions->FailAll();
}

void PaneDocument::RunTool(const char* tool, const QString& function, const QString& arguments,
                           std::function<void(const QVariant&)> done) {
    const QString call = ToolCall(tool, arguments);
    QPointer<QObject> owner = m_owner;
    m_pane.page()->runJavaScript(
        call, kWorld, [this, owner, function, arguments, done](const QVariant& result) {
            if (!owner) return;
            // A document the engine made without the program's scripts gets the whole function.
            if (result.toString() == ToolMissing() && m_pane.page()) {
                m_pane.page()->runJavaScript(function + QLatin1Char('(') + arguments + QLatin1Char(')'),
                                             kWorld, [done](const QVariant& again) {
                                                 if (done) done(again);
                                             });
                return;
            }
            if (done) done(result);
        });
}
