#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGHUP (the system or a task manager ending the program, the terminal
// going away) into a signal on the user-interface thread. The handler only writes the signal's
// number into a pipe; the rest happens in the event loop. One instance at a time; the previous
// handlers come back when it goes.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    bool Installed() const { return m_installed; }

signals:
    void Terminated(int signalNumber);

private:
    void ReadSignal();

    QSocketNotifier* m_notifier = nullptr;
    bool m_installed = false;
};
