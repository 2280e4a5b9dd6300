#include "config/textlines.h"

namespace textlines {

QList<QByteArray> split(const QByteArray &data)
{
    QList<QByteArray> lines;
    qsizetype end = data.indexOf('\x1a');
    if (end < 0)
        end = data.size();

    QByteArray line;
    for (qsizetype i = 0; i < end; ++i) {
        const char c = data.at(i);
        if (c == '\n') {
            lines.append(line);
            line.clear();
        } else if (c != '\r') {
            line.append(c);
        }
    }
    if (!line.isEmpty())
        lines.append(line);
    return lines;
}

} // namespace textlines

namespace textlines {

bool toInt(const QByteArray &text, int *value)
{
    qsizetype i = (text.startsWith('-') || text.startsWith('+')) ? 1 : 0;
    if (i == text.size())
        return false;
    for (qsizetype j = i; j < text.size(); ++j) {
        if (text.at(j) < '0' || text.at(j) > '9')
            return false;
    }
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    if (ok)
        *value = v;
    return ok;
}

} // namespace textlines
