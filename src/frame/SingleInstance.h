#pragma once

#include <memory>
#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;
class QLockFile;

// One running copy of the program per OS user and data folder. The running copy holds a lock
// file in the data folder and listens on a local socket; a later start finds the lock taken,
// connects, asks it to come to the front (and to open the addresses it was started with) and
// ends. When the running copy does not answer in time (it hangs, or two starts came at the same
// moment and the other is still starting up), the later start says so and ends. The lock of a
// copy that died is taken over.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        First,     // no copy is running: this one goes on (and listens, see Listen)
        Activated, // the running copy came to the front: this one ends
        NoAnswer,  // a copy is there but did not answer: this one ends
    };

    // The socket name for an OS user and a data folder.
    static QString ServerName(const QString& osUser, const QString& dataFolder);
    // The name for this process: its OS user and the program's data folder.
    static QString DefaultServerName();
    // The lock file in the program's data folder.
    static QString DefaultLockFile();

    explicit SingleInstance(QString serverName = DefaultServerName(), QString lockFile = DefaultLockFile(),
                            QObject* parent = nullptr);
    ~SingleInstance() override;

    const QString& Name() const { return m_name; }
    // Becomes the running copy (takes the lock, then listens), or finds the copy that holds the
    // lock and asks it to come to the front and to open `addresses`, waiting up to timeoutMs for
    // it to answer.
    Outcome Claim(int timeoutMs = kAnswerMs, const QStringList& addresses = {});
    bool Listening() const;

    // How long a later start waits for the running copy's answer.
    static constexpr int kAnswerMs = 5000;

signals:
    // A later start asks this copy to restore and raise its window. Handled synchronously,
    // before the answer goes back.
    void ActivateRequested();
    // ... and to open these addresses (after ActivateRequested).
    void OpenRequested(const QStringList& addresses);

private:
    // Asks the copy listening on the name to come to the front; First when nobody listens.
    Outcome AskRunningCopy(int connectMs, int timeoutMs, const QStringList& addresses);
    bool Listen();
    void NewConnection();

    QString m_name;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};
