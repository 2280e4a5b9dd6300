#include "monitor/terminals.h"

#include "config/codec.h"

namespace monitor {

void TerminalBank::apply(const Event &e, const QDateTime &now)
{
    if (e.kind == Event::Bad) {
        ++m_bad;
        return;
    }
    Terminal &t = m_terminals[e.address];
    t.lastMessage = now;
    if (t.mode == Terminal::Off && t.offSince.addSecs(qint64(t.offHalfHours) * 1800) <= now)
        t.mode = Terminal::Showing;

    if (e.kind == Event::Text) {
        ++m_messages;
        for (int i = 0; i < 4; ++i)
            t.lines[i] = e.lines.at(i).isEmpty() ? QByteArray(20, ' ') : e.lines.at(i);
        if (t.mode != Terminal::Off)
            t.mode = Terminal::Showing;
        return;
    }
    ++m_commands;
    switch (e.letter) {
    case 'B':
        t.lines = QByteArrayList(4, QByteArray(20, ' '));
        if (t.mode != Terminal::Off)
            t.mode = Terminal::Blank;
        break;
    case 'P':
        if (t.mode != Terminal::Off)
            t.mode = Terminal::Dark;
        break;
    case 'S':
        t.mode = Terminal::Off;
        t.offSince = now;
        t.offHalfHours = e.halfHours;
        break;
    }
}

QString TerminalBank::statusOf(const Terminal &t, const QDateTime &now)
{
    switch (t.mode) {
    case Terminal::Showing:
        return QStringLiteral("mostrando");
    case Terminal::Blank:
        return QStringLiteral("en blanco");
    case Terminal::Dark:
        return QStringLiteral("LCD apagado");
    case Terminal::Off: {
        const qint64 total = qint64(t.offHalfHours) * 1800;
        const qint64 left = qMax<qint64>(0, total - t.offSince.secsTo(now));
        auto hms = [](qint64 s) {
            return QStringLiteral("%1:%2:%3")
                .arg(s / 3600)
                .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
                .arg(s % 60, 2, 10, QLatin1Char('0'));
        };
        return QStringLiteral("apagado, quedan %1 de %2 (%3 medias horas)")
            .arg(hms(left), hms(total))
            .arg(t.offHalfHours);
    }
    }
    return {};
}

QStringList TerminalBank::panel(const QByteArray &address, const QDateTime &now) const
{
    const Terminal t = m_terminals.value(address);
    const bool lit = t.mode == Terminal::Showing;
    QStringList rows;
    for (const QByteArray &line : t.lines)
        rows.append(lit ? cp1252::toUnicode(line) : QString(20, QLatin1Char(' ')));
    rows.append(statusOf(t, now));
    return rows;
}

QString hexView(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QString describe(const Event &e, const QDateTime &at)
{
    const QString time = at.toString(QStringLiteral("HH:mm:ss.zzz"));
    const QString address = QString::fromLatin1(e.address);
    switch (e.kind) {
    case Event::Text: {
        QStringList shown;
        for (const QByteArray &l : e.lines)
            shown.append(cp1252::toUnicode(l.isEmpty() ? QByteArray(20, ' ') : l));
        return QStringLiteral("%1  %2  texto    |%3|").arg(time, address, shown.join(QLatin1Char('|')));
    }
    case Event::Command:
        return QStringLiteral("%1  %2  comando  %3").arg(time, address, QString::fromLatin1(e.command));
    case Event::Bad:
        return QStringLiteral("%1  -  trama errónea: %2").arg(time, e.reason);
    }
    return {};
}

} // namespace monitor
