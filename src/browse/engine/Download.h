#pragma once

#include <functional>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>

// One file being saved from the web: where it comes from and goes, how far it is, how fast it
// goes, and how it ended. The engine's downloads keep one up to date; tests make their own.
class Download : public QObject {
    Q_OBJECT
public:
    enum class State { InProgress, Completed, Cancelled, Failed };

    Download(const QString& url, const QString& path, QObject* parent = nullptr);

    const QString& Url() const { return m_url; }
    // The file's full path.
    const QString& Path() const { return m_path; }
    QString FileName() const;
    State CurrentState() const { return m_state; }
    bool Finished() const { return m_state != State::InProgress; }
    qint64 Received() const { return m_received; }
    // -1: the size is not known.
    qint64 Total() const { return m_total; }
    // Bytes per second over the last seconds; 0 when nothing came lately or it has ended.
    qint64 BytesPerSecond() const;
    // Why it failed, in the engine's words.
    const QString& Error() const { return m_error; }

    // Stops it; what was saved of it goes.
    void Cancel();
    void SetCanceller(std::function<void()> cancel) { m_cancel = std::move(cancel); }

    // Kept up to date by whoever saves the file.
    void Update(qint64 received, qint64 total);
    void Finish(State state, const QString& error = {});

signals:
    void Changed();
    // Reached Completed, Cancelled or Failed (once).
    void Ended();

private:
    QString m_url;
    QString m_path;
    State m_state = State::InProgress;
    qint64 m_received = 0;
    qint64 m_total = -1;
    QString m_error;
    std::function<void()> m_cancel;
    QList<QPair<QDateTime, qint64>> m_samples; // (when, received) of the last seconds
};
