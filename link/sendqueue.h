#pragma once

#include "config/pacetimer.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QObject>

#include <functional>

class Link;
class Rng;

// The manual send queue: buttons add jobs, ten copies at a time; each tick of trepeat
// sends the first job and re-arms the timer 800 to 1199 ms after that send has ended.
class SendQueue : public QObject {
    Q_OBJECT
public:
    SendQueue(Link *link, Rng *rng, bool manualTimers, QObject *parent = nullptr);

    PaceTimer *trepeat() { return &m_trepeat; }
    const QByteArrayList &queue() const { return m_queue; }
    bool sending() const { return m_sending; }

    // The address of a text job is read when the job is sent, not when it is queued.
    void setAddressSource(std::function<QByteArray()> source) { m_address = std::move(source); }

    void clear() { m_queue.clear(); }
    // Appends copies of the job and enables trepeat.
    void add(const QByteArray &job, int copies = 10);

    void trepeatTimer();

Q_SIGNALS:
    void statusText(const QByteArray &text);
    void jobSent(const QByteArray &job);

private:
    Link *m_link;
    Rng *m_rng;
    PaceTimer m_trepeat;
    QByteArrayList m_queue;
    std::function<QByteArray()> m_address;
    bool m_sending = false;
};
