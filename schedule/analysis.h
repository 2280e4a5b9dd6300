#pragma once

#include "schedule/selection.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QDate>
#include <QList>
#include <QString>

// Reading a node file the way an installer would: what the node receives over a day,
// and which lines can never apply or will not show as intended. Built on the same
// selection code that the background cycle uses.
namespace analysis {

// A stretch of minutes in which the node receives the same thing.
struct Slot {
    int from = 0; // minute of the day, 0 to 1439
    int to = 0;   // inclusive
    Candidates what;
    bool sameWhat(const Slot &o) const { return what.kind == o.what.kind && what.lines == o.what.lines; }
};

QList<Slot> previewDay(const QByteArrayList &lines, const QDate &date);

// The four lines of a text job as the terminal shows them, 20 characters each.
QByteArrayList displayLines(const QByteArray &job);
// Index of the line whose text is the node's default text, or -1 for the built-in one.
int defaultLine(const QByteArrayList &lines);

struct Warning {
    int line = 0; // 1-based
    QString text;
    bool operator==(const Warning &o) const { return line == o.line && text == o.text; }
};
QList<Warning> check(const QByteArrayList &lines);

} // namespace analysis
