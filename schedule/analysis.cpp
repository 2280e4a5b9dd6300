#include "schedule/analysis.h"

#include "config/textlines.h"
#include "link/frames.h"

namespace analysis {

namespace {
constexpr int kMinutesPerDay = 24 * 60;

Moment momentAt(const QDate &date, int minute)
{
    return {date.month(), date.day(), date.dayOfWeek(), minute / 60, minute % 60};
}

// A date that falls on the weekday (1 = Monday).
QDate someDayOf(int weekday)
{
    return QDate(2026, 12, 6).addDays(weekday); // 2026-12-07 is a Monday
}

QString hhmm(int hour, int minute)
{
    return QStringLiteral("%1:%2").arg(hour, 2, 10, QLatin1Char('0')).arg(minute, 2, 10, QLatin1Char('0'));
}
} // namespace

QList<Slot> previewDay(const QByteArrayList &lines, const QDate &date)
{
    QList<Slot> day;
    for (int minute = 0; minute < kMinutesPerDay; ++minute) {
        Slot s{minute, minute, candidatesAt(lines, momentAt(date, minute))};
        if (!day.isEmpty() && day.last().sameWhat(s))
            day.last().to = minute;
        else
            day.append(s);
    }
    return day;
}

QByteArrayList displayLines(const QByteArray &job)
{
    QByteArrayList shown;
    for (const QByteArray &frame : frames::textMessage(job, "0").mid(1, 4)) {
        // "#0T<n>", then the text field, check byte and "$".
        const QByteArray text = frame.mid(4, frame.size() - 6);
        shown.append(text.isEmpty() ? QByteArray(20, ' ') : text);
    }
    return shown;
}

int defaultLine(const QByteArrayList &lines)
{
    int found = -1;
    for (int i = 0; i < lines.size(); ++i) {
        const Entry e = ParseEntry(lines.at(i));
        if (e.month == 0 && e.day == 0)
            found = i;
    }
    return found;
}

QList<Warning> check(const QByteArrayList &lines)
{
    QList<Warning> out;
    QList<Entry> entries;
    for (const QByteArray &line : lines)
        entries.append(ParseEntry(line));
    auto isSwitchOff = [&](int i) { return entries[i].month == 0 && lines[i].contains('\x05'); };

    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray &line = lines.at(i);
        const Entry &e = entries.at(i);
        auto warn = [&](const QString &text) { out.append({i + 1, text}); };
        if (line.isEmpty()) {
            warn(QStringLiteral("línea vacía: nunca se aplica"));
            continue;
        }

        // The six numbers, each ended by one blank.
        qsizetype pos = 0;
        bool fieldsOk = true;
        for (int f = 1; f <= 6 && fieldsOk; ++f) {
            const qsizetype blank = line.indexOf(' ', pos);
            const qsizetype stx = line.indexOf('\x02', pos);
            if (blank < 0 || (stx >= 0 && stx < blank)) {
                warn(f == 6 ? QStringLiteral("falta el espacio tras el sexto número")
                            : QStringLiteral("faltan números: solo hay %1 de 6").arg(f - 1));
                fieldsOk = false;
            } else if (blank == pos) {
                warn(QStringLiteral("dos espacios seguidos antes del número %1: los números se corren").arg(f));
                fieldsOk = false;
            } else {
                int value = 0;
                const QByteArray piece = line.mid(pos, blank - pos);
                if (!textlines::toInt(piece, &value)) {
                    warn(QStringLiteral("el número %1 no es válido: «%2»").arg(f).arg(QString::fromLatin1(piece)));
                    fieldsOk = false;
                }
                pos = blank + 1;
            }
        }

        const bool isDefault = e.month == 0 && e.day == 0;
        if (fieldsOk && !isDefault) {
            if (e.month < 0 || e.month > 12)
                warn(QStringLiteral("mes %1 fuera de 0 a 12: nunca se aplica").arg(e.month));
            else if (e.month == 0 && (e.day < 1 || e.day > 7))
                warn(QStringLiteral("día de la semana %1 fuera de 1 a 7: nunca se aplica").arg(e.day));
            else if (e.month > 0 && e.day == 0)
                warn(QStringLiteral("día 0 en una línea que no es la del texto por defecto: nunca se aplica"));
            else if (e.month > 0 && (e.day < 1 || e.day > QDate(2024, e.month, 1).daysInMonth()))
                warn(QStringLiteral("el día %1 no existe en el mes %2: nunca se aplica").arg(e.day).arg(e.month));

            const bool off = isSwitchOff(i);
            if (e.startHour < 0 || e.startHour > 23 || (!off && (e.endHour < 0 || e.endHour > 23)))
                warn(QStringLiteral("hora fuera de 0 a 23"));
            if (e.startMinute < 0 || e.startMinute > 59 || (!off && (e.endMinute < 0 || e.endMinute > 59)))
                warn(QStringLiteral("minuto fuera de 0 a 59"));
            if (!off && qint64(e.endHour) * 60 + e.endMinute < qint64(e.startHour) * 60 + e.startMinute)
                warn(QStringLiteral("el final (%1) es anterior al comienzo (%2): solo valen la hora de comienzo y "
                                    "la de final")
                         .arg(hhmm(e.endHour, e.endMinute), hhmm(e.startHour, e.startMinute)));
        }

        // The text job: 0x02, then four lines each ended by 0x02.
        const qsizetype stx = line.indexOf('\x02');
        if (stx < 0) {
            warn(QStringLiteral("falta el byte 0x02: se envían cuatro líneas en blanco"));
        } else {
            const QByteArrayList parts = line.mid(stx + 1).split('\x02');
            const int ended = int(parts.size()) - 1; // lines closed by a 0x02
            for (int n = 0; n < qMin<int>(ended, 4); ++n) {
                if (parts.at(n).size() > 20)
                    warn(QStringLiteral("la línea de pantalla %1 tiene %2 caracteres (máximo 20): se envía en blanco")
                             .arg(n + 1)
                             .arg(parts.at(n).size()));
            }
            if (ended > 4 && !(ended == 5 && parts.at(4).isEmpty() && parts.last().isEmpty()))
                warn(QStringLiteral("más de cuatro líneas de pantalla: las que siguen a la cuarta no se envían"));
            else if (ended < 4 || !parts.last().isEmpty())
                warn(QStringLiteral("falta un byte 0x02: la pantalla tiene %1 líneas cerradas de 4")
                         .arg(qMin(ended, 4)));
        }

        if (isDefault) {
            for (int j = i + 1; j < lines.size(); ++j) {
                if (entries[j].month == 0 && entries[j].day == 0) {
                    warn(QStringLiteral("texto por defecto sustituido por el de la línea %1").arg(j + 1));
                    break;
                }
            }
            continue;
        }

        // Hidden: on its weekday, every minute this line would apply, an earlier
        // switch-off line (or, for an ordinary weekly line, any switch-off line) wins.
        if (!fieldsOk || e.month != 0 || e.day < 1 || e.day > 7)
            continue;
        const QDate day = someDayOf(e.day);
        const bool off = isSwitchOff(i);
        bool applies = false;
        int hiddenBy = -1;
        bool hidden = true;
        for (int minute = 0; minute < kMinutesPerDay && hidden; ++minute) {
            const Moment m = momentAt(day, minute);
            if (!(off ? passesSwitchOff(e, line, m) : passesWeekly(e, m)))
                continue;
            applies = true;
            int winner = -1;
            for (int j = 0; j < lines.size() && winner < 0; ++j) {
                if (j != i && (!off || j < i) && passesSwitchOff(entries[j], lines[j], m))
                    winner = j;
            }
            hidden = winner >= 0;
            if (hidden && hiddenBy < 0)
                hiddenBy = winner;
        }
        if (applies && hidden)
            warn(QStringLiteral("nunca se envía: la línea %1 la tapa siempre").arg(hiddenBy + 1));
    }
    return out;
}

} // namespace analysis
