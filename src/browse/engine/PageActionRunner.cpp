#include "browse/engine/PageActionRunner.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonObject ActionJson(const PageAction& a) {
    QJsonObject o;
    o[QLatin1String("e")] = a.element;
    switch (a.kind) {
    case PageAction::SetValue:
        o[QLatin1String("k")] = QStringLiteral("value");
        o[QLatin1String("v")] = a.text;
        break;
    case PageAction::SetSelected:
        o[QLatin1String("k")] = QStringLiteral("selected");
        o[QLatin1String("b")] = a.flag;
        break;
    case PageAction::Focus:
        o[QLatin1String("k")] = QStringLiteral("focus");
        break;
    case PageAction::Click:
        o[QLatin1String("k")] = QStringLiteral("click");
        break;
    case PageAction::CallOnSubmit:
        o[QLatin1String("k")] = QStringLiteral("submit");
        break;
    case PageAction::FireChange:
        o[QLatin1String("k")] = QStringLiteral("change");
        break;
    case PageAction::SetSrc:
        o[QLatin1String("k")] = QStringLiteral("src");
        o[QLatin1String("v")] = a.text;
        break;
    case PageAction::PressEnter:
        o[QLatin1String("k")] = QStringLiteral("enter");
        break;
    case PageAction::Navigate:
        break;
    }
    return o;
}

bool RunsInPage(const PageAction& a) {
    return a.kind != PageAction::Navigate;
}

} // namespace

void PageActionRunner::Enqueue(Run run) {
    m_queue.push_back(std::move(run));
    if (!m_applying) RunNext();
}

void PageActionRunner::FailAll() {
    std::deque<Run> queued;
    queued.swap(m_queue);
    std::shared_ptr<Run> current = std::exchange(m_current, nullptr);
    m_applying = false;
    if (current && current->done) std::exchange(current->done, nullptr)(false);
    for (Run& run : queued)
        if (run.done) run.done(false);
}

void PageActionRunner::RunNext() {
    if (m_queue.empty()) {
        m_applying = false;
        return;
    }
    m_applying = true;
    auto run = std::make_shared<Run>(std::move(m_queue.front()));
    m_queue.pop_front();
    m_current = run;
    ApplyFrom(run, 0);
}

void PageActionRunner::ApplyFrom(std::shared_ptr<Run> run, int index) {
    const auto finish = [this, run](bool ok) {
        if (run != m_current) return; // answered already (the page's process went)
        m_current = nullptr;
        if (run->done) run->done(ok && !run->elementGone);
        RunNext();
    };
    if (!m_pane.shows(run->generation)) return finish(false);
    if (index < run->actions.size() && run->actions[index].kind == PageAction::Navigate) {
        m_pane.navigate(run->actions[index].text);
        // Whatever follows was meant for the page being left.
        return finish(true);
    }
    if (index >= run->actions.size()) return finish(true);
    QJsonArray batch;
    int next = index;
    while (next < run->actions.size() && RunsInPage(run->actions[next]))
        batch.append(ActionJson(run->actions[next++]));
    const QString arguments =
        QStringLiteral("%1,%2")
            .arg(run->generation)
            .arg(QString::fromUtf8(QJsonDocument(batch).toJson(QJsonDocument::Compact)));
    m_pane.runActions(arguments, [this, run, next, finish](const QVariant& result) {
        const QJsonObject answer = QJsonDocument::fromJson(result.toString().toUtf8()).object();
        if (!answer.contains(QLatin1String("done"))) return finish(false);
        const QJsonArray done = answer.value(QLatin1String("done")).toArray();
        for (const QJsonValue& applied : done)
            if (!applied.toBool()) run->elementGone = true;
        // The rest of the batch goes on in the page (a press after typing waits there for the
        // page to take in the values); what follows the batch waits no longer.
        ApplyFrom(run, next);
    });
}
