#pragma once

#include <QObject>
#include <QTimer>

// A window timer with the semantics the program relies on: enabling a running timer
// does not restart its count, and a new interval takes effect from the next enabling.
// In manual mode no real timer runs; ticks come only from fire(), so tests step time.
class PaceTimer : public QObject {
    Q_OBJECT
public:
    PaceTimer(int intervalMs, bool enabled, bool manual, QObject *parent = nullptr);

    int interval() const { return m_interval; }
    void setInterval(int ms);
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool on);

    // Delivers one tick now, whether or not the timer is enabled.
    void fire() { Q_EMIT timeout(); }

Q_SIGNALS:
    void timeout();
    void enabledChanged(bool on);

private:
    QTimer m_timer;
    int m_interval;
    bool m_enabled = false;
    bool m_manual;
};
