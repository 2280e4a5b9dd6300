// A node file's content through the reader, the selection and the checker.
#include "config/textlines.h"
#include "schedule/analysis.h"
#include "schedule/nodelist.h"
#include "schedule/selection.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), qsizetype(size));
    TNodeRecord r;
    r.node = 3;
    r.lines = textlines::split(content);
    for (const QByteArray &line : std::as_const(r.lines)) {
        const Entry e = ParseEntry(line);
        if (line.isEmpty() && (e.month != -1 || e.endMinute != -1))
            std::abort();
    }
    for (int minute = 0; minute < 24 * 60; minute += 97) {
        const QDateTime at(QDate(2026, 12, 7 + minute % 7), QTime(minute / 60, minute % 60));
        const int selected = SelectEntry(r, at);
        if (selected < -3 || selected == -1 || selected >= r.lines.size() || r.repeatsLeft != 10)
            std::abort();
        if (selected == -3 && !r.pendingCommand.startsWith("3S"))
            std::abort();
    }
    if (r.lines.size() <= 200)
        analysis::check(r.lines);
    return 0;
}
