#pragma once

#include "monitor/decoder.h"

#include <QByteArray>
#include <QDateTime>
#include <QMap>
#include <QStringList>

namespace monitor {

// What one terminal shows, as far as the line tells.
struct Terminal {
    enum Mode { Showing, Blank, Dark, Off };
    Mode mode = Blank;
    QByteArrayList lines = QByteArrayList(4, QByteArray(20, ' '));
    QDateTime offSince;
    int offHalfHours = 0;
    QDateTime lastMessage;
};

// The terminals seen on the line, by address, and the traffic counters.
class TerminalBank {
public:
    void apply(const Event &e, const QDateTime &now);

    const QMap<QByteArray, Terminal> &terminals() const { return m_terminals; }
    // Four lines of twenty characters and a status line, as a 4x20 panel shows them.
    QStringList panel(const QByteArray &address, const QDateTime &now) const;
    static QString statusOf(const Terminal &t, const QDateTime &now);

    int messages() const { return m_messages; }
    int commands() const { return m_commands; }
    int badFrames() const { return m_bad; }

private:
    QMap<QByteArray, Terminal> m_terminals;
    int m_messages = 0;
    int m_commands = 0;
    int m_bad = 0;
};

// One log line for an event: time, address, what it was.
QString describe(const Event &e, const QDateTime &at);
QString hexView(const QByteArray &bytes);
// Seconds a stretch of bytes takes on the line at 1200 baud, 8N1.
inline double lineSeconds(qint64 bytes)
{
    return bytes * 10.0 / 1200.0;
}

} // namespace monitor
