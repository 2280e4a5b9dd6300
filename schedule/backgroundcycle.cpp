#include "schedule/backgroundcycle.h"

#include "config/clock.h"
#include "link/link.h"
#include "link/rng.h"
#include "schedule/selection.h"

BackgroundCycle::BackgroundCycle(Link *link, Rng *rng, const Clock *clock, bool manualTimers, QObject *parent)
    : QObject(parent), m_link(link), m_rng(rng), m_clock(clock), m_tbckg(1000, false, manualTimers)
{
    connect(&m_tbckg, &PaceTimer::timeout, this, &BackgroundCycle::tbckgTimer);
}

void BackgroundCycle::tbckgTimer()
{
    // A stop and a quick restart enable the timer while a tick is still on the wire;
    // the next tick waits for this one to end.
    if (m_inTick)
        return;
    if (m_link->portLost() && !m_link->reopenLost()) {
        // Nothing is sent and nothing counts down until the port is back.
        m_tbckg.setEnabled(m_running);
        return;
    }
    m_inTick = true;
    m_tbckg.setEnabled(false);

    m_nodes.scan(m_dataDir);
    m_outstanding = 1; // held until every node has had its turn
    const int count = m_nodes.size();
    for (int i = 0; i < count; ++i)
        nodeStep(m_nodes.at(i));
    sendDone();
}

void BackgroundCycle::nodeStep(TNodeRecord &r)
{
    if (r.selected == TNodeRecord::kNothing)
        r.selected = SelectEntry(r, m_clock->now());

    if (r.selected >= 0 && r.selected < r.lines.size()) {
        sendText(r.lines.at(r.selected), r.node);
        if (--r.repeatsLeft < 1) {
            r.lines.move(r.selected, r.lines.size() - 1);
            r.pendingCommand.clear();
            r.selected = TNodeRecord::kNothing;
        }
    }
    if (r.selected == TNodeRecord::kDefault) {
        sendText(r.defaultText, r.node);
        if (--r.repeatsLeft < 1)
            r.selected = TNodeRecord::kNothing;
    }
    if (r.selected == TNodeRecord::kSwitchOff) {
        sendCommand(r.pendingCommand);
        if (--r.repeatsLeft < 1) {
            // A finished switch-off run leaves nothing behind for the next selection.
            r.pendingCommand.clear();
            r.selected = TNodeRecord::kNothing;
        }
    }
}

void BackgroundCycle::sendText(const QByteArray &job, int node)
{
    ++m_outstanding;
    m_link->SendText(job, QByteArray::number(node), [this](bool) { sendDone(); });
}

void BackgroundCycle::sendCommand(const QByteArray &job)
{
    ++m_outstanding;
    m_link->SendCommand(job, [this](bool) { sendDone(); });
}

void BackgroundCycle::sendDone()
{
    if (--m_outstanding > 0)
        return;
    m_inTick = false;
    m_tbckg.setInterval(m_rng->pauseMs());
    m_tbckg.setEnabled(m_running);
    Q_EMIT tickFinished();
}
