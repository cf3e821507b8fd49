#include "browse/IdlePanes.h"

#include <QPointer>
#include <QSet>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "core/Clock.h"

IdlePanes::IdlePanes(Host& host, QObject* parent) : QObject(parent), m_host(host) {
    m_timer.setInterval(kCheckSeconds * 1000);
    connect(&m_timer, &QTimer::timeout, this, &IdlePanes::Check);
    m_timer.start();
    m_giveBack.setSingleShot(true);
    m_giveBack.setInterval(kGiveBackMs);
    connect(&m_giveBack, &QTimer::timeout, this, [] {
#if defined(__GLIBC__)
        malloc_trim(0);
#endif
    });
}

void IdlePanes::PutToSleep(BrowserPane* pane, PaneIdle wanted) {
    pane->SetIdle(wanted);
    if (wanted == PaneIdle::Discarded) m_giveBack.start();
}

void IdlePanes::SetMinutes(int freezeAfter, int discardAfter) {
    m_freezeAfter = qMax(0, freezeAfter);
    m_discardAfter = qMax(0, discardAfter);
}

PaneIdle IdlePanes::Wanted(qint64 idleSeconds, int freezeAfter, int discardAfter) {
    if (discardAfter > 0 && idleSeconds >= qint64(discardAfter) * 60) return PaneIdle::Discarded;
    if (freezeAfter > 0 && idleSeconds >= qint64(freezeAfter) * 60) return PaneIdle::Frozen;
    return PaneIdle::Active;
}

void IdlePanes::Seen(int index) {
    BrowserPane* pane = m_host.PaneAt(index);
    if (!pane) return;
    m_seen.insert(pane, Clock::Now());
    if (pane->Idle() != PaneIdle::Active) pane->SetIdle(PaneIdle::Active);
}

void IdlePanes::Check() {
    const QDateTime now = Clock::Now();
    QSet<const BrowserPane*> present;
    for (int i = 0; i < m_host.PaneCount(); ++i) {
        BrowserPane* pane = m_host.PaneAt(i);
        if (!pane) continue;
        present.insert(pane);
        if (m_host.PaneOnScreen(i)) {
            Seen(i);
            continue;
        }
        auto seen = m_seen.find(pane);
        if (seen == m_seen.end()) {
            // Not known yet: its idle time starts now.
            m_seen.insert(pane, now);
            continue;
        }
        const PaneIdle wanted = Wanted(seen->secsTo(now), m_freezeAfter, m_discardAfter);
        // Only ever deeper: a pane wakes by being shown.
        if (int(wanted) <= int(pane->Idle()) || m_host.PaneMustStayAwake(i)) continue;
        // A frozen page runs nothing: what it held when it was frozen still holds.
        if (pane->Idle() != PaneIdle::Active) {
            PutToSleep(pane, wanted);
            continue;
        }
        QPointer<BrowserPane> guard(pane);
        QPointer<IdlePanes> self(this);
        pane->AskKeepAwake([self, guard, i, wanted](bool keep) {
            // The answer comes later from a real page: the pane may have gone or been shown.
            if (keep || !self || !guard || self->m_host.PaneAt(i) != guard || self->m_host.PaneOnScreen(i))
                return;
            self->PutToSleep(guard, wanted);
        });
    }
    for (auto it = m_seen.begin(); it != m_seen.end();)
        it = present.contains(it.key()) ? std::next(it) : m_seen.erase(it);
}
