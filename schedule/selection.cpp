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

Candidates candidatesAt(const QByteArrayList &lines, const Moment &m)
{
    QList<Entry> entries;
    entries.reserve(lines.size());
    for (const QByteArray &line : lines)
        entries.append(ParseEntry(line));

    Candidates c;
    // Takes every line that passes, and stops at the first pass that found any.
    auto pass = [&](EntryKind kind, auto passes) {
        for (int i = 0; i < entries.size(); ++i) {
            if (passes(i))
                c.lines.append(i);
        }
        if (!c.lines.isEmpty())
            c.kind = kind;
        return !c.lines.isEmpty();
    };
    pass(EntryKind::SwitchOff, [&](int i) { return passesSwitchOff(entries[i], lines[i], m); }) ||
        pass(EntryKind::Dated, [&](int i) { return passesDated(entries[i], m); }) ||
        pass(EntryKind::Weekly, [&](int i) { return passesWeekly(entries[i], m); });
    return c;
}

int SelectEntry(TNodeRecord &record, const QDateTime &now)
{
    record.repeatsLeft = 10;
    const Candidates c = candidatesAt(record.lines, Moment::from(now));
    switch (c.kind) {
    case EntryKind::SwitchOff:
        record.pendingCommand = switchOffCommand(record.node, ParseEntry(record.lines.at(c.lines.first())).endMinute);
        return TNodeRecord::kSwitchOff;
    case EntryKind::Dated:
    case EntryKind::Weekly:
        return c.lines.first();
    case EntryKind::None:
        break;
    }
    return TNodeRecord::kDefault;
}
