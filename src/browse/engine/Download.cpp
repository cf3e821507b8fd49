#include "browse/engine/Download.h"

#include <QFileInfo>

#include "core/Clock.h"

namespace {
// The speed is what came over this much time.
constexpr qint64 kSpeedWindowMs = 3000;
} // namespace

Download::Download(const QString& url, const QString& path, QObject* parent)
    : QObject(parent), m_url(url), m_path(path) {
    m_samples.append({Clock::Now(), 0});
}

QString Download::FileName() const {
    return QFileInfo(m_path).fileName();
}

void Download::Update(qint64 received, qint64 total) {
    if (Finished()) return;
    m_received = received;
    m_total = total > 0 ? total : -1;
    const QDateTime now = Clock::Now();
    m_samples.append({now, received});
    while (m_samples.size() > 2 && m_samples[1].first.msecsTo(now) > kSpeedWindowMs)
        m_samples.removeFirst();
    emit Changed();
}

qint64 Download::BytesPerSecond() const {
    if (Finished() || m_samples.size() < 2) return 0;
    const auto& first = m_samples.first();
    const auto& last = m_samples.last();
    const qint64 ms = first.first.msecsTo(Clock::Now());
    if (ms <= 0 || last.first.msecsTo(Clock::Now()) > kSpeedWindowMs) return 0;
    return (last.second - first.second) * 1000 / ms;
}

void Download::Cancel() {
    if (Finished()) return;
    if (m_cancel) m_cancel();
    // The engine confirms; a download of nobody's ends here.
    if (!Finished()) Finish(State::Cancelled);
}

void Download::Finish(State state, const QString& error) {
    if (Finished() || state == State::InProgress) return;
    m_state = state;
    m_error = error;
    if (state == State::Completed && m_total < 0) m_total = m_received;
    emit Changed();
    emit Ended();
}
