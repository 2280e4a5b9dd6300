#include "config/pacetimer.h"

PaceTimer::PaceTimer(int intervalMs, bool enabled, bool manual, QObject *parent)
    : QObject(parent), m_interval(intervalMs), m_manual(manual)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &PaceTimer::timeout);
    setEnabled(enabled);
}

void PaceTimer::setInterval(int ms)
{
    m_interval = ms;
    if (m_enabled && !m_manual)
        m_timer.start(m_interval);
}

void PaceTimer::setEnabled(bool on)
{
    if (on == m_enabled)
        return;
    m_enabled = on;
    if (!m_manual) {
        if (on)
            m_timer.start(m_interval);
        else
            m_timer.stop();
    }
    Q_EMIT enabledChanged(on);
}
