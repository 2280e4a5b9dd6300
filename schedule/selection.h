#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QDateTime>

struct TNodeRecord;

// The six numbers at the head of a schedule line. A field that is empty or not a
// number reads -1.
struct Entry {
    int month = -1; // 0 for a weekly entry
    int day = -1;   // day of the month, or of the week (1 = Monday) when weekly
    int startHour = -1;
    int startMinute = -1;
    int endHour = -1;
    int endMinute = -1; // the switch-off time in minutes, in a switch-off entry
};

// Each field runs to the next blank; with no blank left a field reads -1.
Entry ParseEntry(const QByteArray &line);

// The moment a selection is made for, in local time.
struct Moment {
    int month, day, weekday, hour, minute;
    static Moment from(const QDateTime &t);
};

enum class EntryKind { None, SwitchOff, Dated, Weekly };

// Whether a line applies at the moment, and as what. The switch-off test comes first,
// then the dated one, then the weekly one.
bool passesSwitchOff(const Entry &e, const QByteArray &line, const Moment &m);
bool passesDated(const Entry &e, const Moment &m);
bool passesWeekly(const Entry &e, const Moment &m);

// The switch-off command for a node: "<node>S<half-hours>", the minutes divided by 30
// and rounded half to even.
QByteArray switchOffCommand(int node, int minutes);

// The lines that apply at a moment, from the first pass that finds any: the
// switch-off lines, else the dated ones, else the weekly ones, in their present order.
// Several lines of one pass take turns, ten sends each; kind None means the default text.
struct Candidates {
    EntryKind kind = EntryKind::None;
    QList<int> lines;
};
Candidates candidatesAt(const QByteArrayList &lines, const Moment &m);

// Chooses what the node receives on its next ten sends: an index into its lines, the
// default text (-2) or the switch-off command (-3, stored in pendingCommand). Sets
// repeatsLeft to 10 in every case.
int SelectEntry(TNodeRecord &record, const QDateTime &now);
