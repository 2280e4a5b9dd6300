#pragma once

#include "config/pacetimer.h"
#include "schedule/nodelist.h"

#include <QObject>
#include <QString>

class Clock;
class Link;
class Rng;

// Background mode's tick: scan the node files, then give every known node one send,
// the same selection ten times in a row. The timer is re-armed 800 to 1199 ms after
// the tick's last send has left the wire, and only while running is set.
class BackgroundCycle : public QObject {
    Q_OBJECT
public:
    BackgroundCycle(Link *link, Rng *rng, const Clock *clock, bool manualTimers, QObject *parent = nullptr);

    PaceTimer *tbckg() { return &m_tbckg; }
    NodeList &nodes() { return m_nodes; }
    void setDataDir(const QString &dir) { m_dataDir = dir; }

    bool running() const { return m_running; }
    void setRunning(bool on) { m_running = on; }
    bool tickInProgress() const { return m_inTick; }

    void tbckgTimer();

Q_SIGNALS:
    void tickFinished();

private:
    void nodeStep(TNodeRecord &record);
    void sendText(const QByteArray &job, int node);
    void sendCommand(const QByteArray &job);
    void sendDone();

    Link *m_link;
    Rng *m_rng;
    const Clock *m_clock;
    PaceTimer m_tbckg;
    NodeList m_nodes;
    QString m_dataDir;
    bool m_running = false;
    bool m_inTick = false;
    int m_outstanding = 0;
};
