#include "link/sendqueue.h"

#include "link/frames.h"
#include "link/link.h"
#include "link/rng.h"

SendQueue::SendQueue(Link *link, Rng *rng, bool manualTimers, QObject *parent)
    : QObject(parent), m_link(link), m_rng(rng), m_trepeat(1000, true, manualTimers)
{
    connect(&m_trepeat, &PaceTimer::timeout, this, &SendQueue::trepeatTimer);
    connect(m_link, &Link::portStateChanged, &m_trepeat, &PaceTimer::setEnabled);
}

void SendQueue::add(const QByteArray &job, int copies)
{
    for (int i = 0; i < copies; ++i)
        m_queue.append(job);
    m_trepeat.setEnabled(true);
}

void SendQueue::trepeatTimer()
{
    // Whoever enabled the timer meanwhile, a job still on the wire is not followed
    // before it has finished.
    if (m_sending)
        return;
    if (m_link->portLost() && !m_link->reopenLost())
        return; // the jobs wait for the port to come back
    if (m_queue.isEmpty()) {
        Q_EMIT statusText({});
        return;
    }
    m_sending = true;
    // The job leaves the queue as its send starts, so whatever a button does to the
    // queue meanwhile neither loses nor repeats a copy.
    const QByteArray job = m_queue.takeFirst();
    const bool text = frames::isTextJob(job);
    auto done = [this, job, text](bool ok) {
        m_sending = false;
        if (!ok && m_link->portLost()) {
            // Lost with the port: the job goes out again once the port is back.
            m_queue.prepend(job);
            return;
        }
        Q_EMIT statusText((text ? "Texto " : "Comando ") + job);
        // The pause counts from the end of the send. A timer that was switched off
        // meanwhile (background mode, a port that failed to open) stays off.
        m_trepeat.setInterval(m_rng->pauseMs());
        Q_EMIT jobSent(job);
    };
    if (text)
        m_link->SendText(job, m_address ? m_address() : QByteArray(), done);
    else
        m_link->SendCommand(job, done);
}
