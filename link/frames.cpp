#include "link/frames.h"

namespace frames {

QByteArray preamble()
{
    return QByteArray("\x55\x55\x55\x55\x55\x44\x11\x45\x15\x55", 10);
}

QByteArray Checksum(const QByteArray &body)
{
    quint8 sum = 0;
    for (char c : body)
        sum = quint8(sum + quint8(c));
    return QByteArray(1, char(quint8(0xAB - sum)));
}

QByteArray CenterLine(const QByteArray &line)
{
    if (line.size() > 20)
        return {};
    const qsizetype blanks = 20 - line.size();
    const qsizetype left = blanks / 2;
    return QByteArray(left, ' ') + line + QByteArray(blanks - left, ' ');
}

QByteArray withoutLeadIn(const QByteArray &job)
{
    const qsizetype stx = job.indexOf(kStx);
    return stx < 0 ? job : job.mid(stx + 1);
}

QByteArray lineFrame(const QByteArray &address, int lineNumber, const QByteArray &line)
{
    const QByteArray body =
        address + 'T' + char('0' + lineNumber) + CenterLine(line.isEmpty() ? QByteArray(20, ' ') : line);
    return '#' + body + Checksum(body) + '$';
}

QByteArray closingFrame(const QByteArray &address)
{
    return '#' + address + "F$";
}

QByteArray commandFrame(const QByteArray &command)
{
    return preamble() + '#' + command + Checksum(command) + '$';
}

QList<QByteArray> textMessage(const QByteArray &job, const QByteArray &address)
{
    QList<QByteArray> writes{preamble()};
    QByteArray rest = withoutLeadIn(job);
    for (int n = 0; n < 4; ++n) {
        QByteArray line;
        const qsizetype stx = rest.indexOf(kStx);
        if (stx >= 0) {
            line = rest.left(stx);
            rest.remove(0, stx + 1);
        }
        writes.append(lineFrame(address, n, line));
    }
    writes.append(closingFrame(address));
    return writes;
}

} // namespace frames
