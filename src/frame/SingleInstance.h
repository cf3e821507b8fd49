#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;

// One running copy of the program per OS user and data folder. The first copy listens on a
// local socket; a later start connects, asks it to come to the front (and to open the addresses
// it was started with) and ends. When the running copy does not answer in time (it hangs), the
// later start says so and ends.
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

    explicit SingleInstance(QString serverName = DefaultServerName(), QObject* parent = nullptr);
    ~SingleInstance() override;

    const QString& Name() const { return m_name; }
    // Looks for the running copy and asks it to come to the front and to open `addresses`.
    Outcome FindRunningCopy(int timeoutMs = kAnswerMs, const QStringList& addresses = {});
    // Becomes the running copy: later starts reach this one. False when the name is taken.
    bool Listen();
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
    void NewConnection();

    QString m_name;
    QLocalServer* m_server = nullptr;
};
