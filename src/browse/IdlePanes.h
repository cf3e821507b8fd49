#pragma once

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QTimer>

#include "browse/engine/BrowserPane.h"

// Puts the Link panes nobody has looked at for a while to sleep, so that fifty Links opened
// during a day do not hold fifty running pages: frozen (scripts and timers stopped) after the
// user's freeze minutes, discarded (the engine lets the page go and keeps only its place) after
// the discard minutes; 0 minutes: never. Never the pane on screen, a pane the host keeps awake
// (a login in progress, a download running), or a page that answers it has sound playing or
// input not yet sent. Showing a pane wakes it (Seen).
class IdlePanes : public QObject {
    Q_OBJECT
public:
    // Checks are this far apart; a pane sleeps at most this much later than its time.
    static constexpr int kCheckSeconds = 30;
    // After a page was let go, the program's heap gives what it freed back to the system this
    // much later (the engine frees a page's parts over a few seconds; the heap keeps freed
    // memory for itself otherwise).
    static constexpr int kGiveBackMs = 5000;

    class Host {
    public:
        virtual ~Host() = default;
        // Control indexes 0 .. PaneCount() - 1; PaneAt is null where there is no pane.
        virtual int PaneCount() const = 0;
        virtual BrowserPane* PaneAt(int index) const = 0;
        virtual bool PaneOnScreen(int index) const = 0;
        virtual bool PaneMustStayAwake(int index) const = 0;
    };

    explicit IdlePanes(Host& host, QObject* parent = nullptr);

    void SetMinutes(int freezeAfter, int discardAfter);
    int FreezeAfter() const { return m_freezeAfter; }
    int DiscardAfter() const { return m_discardAfter; }

    // What a pane unseen for `idleSeconds` should be.
    static PaneIdle Wanted(qint64 idleSeconds, int freezeAfter, int discardAfter);

    // The pane at `index` is (or was until now) on screen: its idle time starts again, and it
    // wakes when it sleeps.
    void Seen(int index);
    // One round over the panes (the timer calls it every kCheckSeconds).
    void Check();

private:
    void PutToSleep(BrowserPane* pane, PaneIdle wanted);

    Host& m_host;
    QTimer m_timer;
    QTimer m_giveBack;
    int m_freezeAfter = 10;
    int m_discardAfter = 30;
    QHash<const BrowserPane*, QDateTime> m_seen;
};
