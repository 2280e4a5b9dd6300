#include "schedule/selection.h"

#include "config/textlines.h"
#include "schedule/nodelist.h"

#include <cmath>

Entry ParseEntry(const QByteArray &line)
{
    int fields[6];
    qsizetype pos = 0;
    for (int &field : fields) {
        const qsizetype blank = line.indexOf(' ', pos);
        field = -1;
        if (blank < 0)
            continue;
        if (!textlines::toInt(line.mid(pos, blank - pos), &field))
            field = -1;
        pos = blank + 1;
    }
    return {fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]};
}

Moment Moment::from(const QDateTime &t)
{
    const QDate d = t.date();
    const QTime c = t.time();
    return {d.month(), d.day(), d.dayOfWeek(), c.hour(), c.minute()};
}

namespace {
bool inWindow(const Entry &e, const Moment &m)
{
    return (e.startHour < m.hour && m.hour < e.endHour) || (m.hour == e.startHour && m.minute >= e.startMinute) ||
           (m.hour == e.endHour && m.minute <= e.endMinute);
}
} // namespace

bool passesSwitchOff(const Entry &e, const QByteArray &line, const Moment &m)
{
    return e.month == 0 && e.day == m.weekday && m.hour > e.startHour && m.minute >= e.startMinute &&
           line.contains('\x05');
}

bool passesDated(const Entry &e, const Moment &m)
{
    return e.month == m.month && e.day == m.day && inWindow(e, m);
}

bool passesWeekly(const Entry &e, const Moment &m)
{
    return e.month == 0 && e.day == m.weekday && inWindow(e, m);
}

QByteArray switchOffCommand(int node, int minutes)
{
    const long halfHours = std::lrint(minutes / 30.0); // the default rounding is half to even
    return QByteArray::number(node) + 'S' + QByteArray::number(qlonglong(halfHours));
}

int SelectEntry(TNodeRecord &record, const QDateTime &now)
{
    const Moment m = Moment::from(now);
    record.repeatsLeft = 10;

    QList<Entry> entries;
    entries.reserve(record.lines.size());
    for (const QByteArray &line : std::as_const(record.lines))
        entries.append(ParseEntry(line));

    for (int i = 0; i < entries.size(); ++i) {
        if (passesSwitchOff(entries[i], record.lines[i], m)) {
            record.pendingCommand = switchOffCommand(record.node, entries[i].endMinute);
            return TNodeRecord::kSwitchOff;
        }
    }
    for (int i = 0; i < entries.size(); ++i) {
        if (passesDated(entries[i], m))
            return i;
    }
    for (int i = 0; i < entries.size(); ++i) {
        if (passesWeekly(entries[i], m))
            return i;
    }
    return TNodeRecord::kDefault;
}
