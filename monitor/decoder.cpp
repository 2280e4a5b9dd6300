#include "monitor/decoder.h"

namespace monitor {

namespace {
const QByteArray kPreamble("\x55\x55\x55\x55\x55\x44\x11\x45\x15\x55", 10);
constexpr qsizetype kMaxFrame = 256;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}
} // namespace

bool checkByteValid(const QByteArray &body, char check)
{
    unsigned sum = quint8(check);
    for (char c : body)
        sum += quint8(c);
    return (sum & 0xFF) == 0xAB;
}

void Decoder::bad(QList<Event> &out, const QString &reason, const QByteArray &raw)
{
    Event e;
    e.kind = Event::Bad;
    e.reason = reason;
    e.raw = raw;
    out.append(e);
    m_state = State::Hunting;
    m_raw.clear();
    m_absorb = true; // what follows up to the next preamble belongs to this fault
}

// Parses the frame at the head of the buffer, which starts with "#".
Decoder::Frame Decoder::parseFrame() const
{
    Frame f;
    const QByteArray &b = m_buf;
    qsizetype i = 1;
    while (i < b.size() && isDigit(b.at(i)))
        ++i;
    if (i >= b.size())
        return f;
    f.address = b.mid(1, i - 1);
    const char kind = b.at(i);

    if (kind == 'F') {
        if (i + 1 >= b.size())
            return f;
        if (b.at(i + 1) != '$')
            return {Parse::Bad, 0, {}, 0, {}, {}, QStringLiteral("trama de cierre sin «$»")};
        f.result = Parse::Closing;
        f.length = i + 2;
        return f;
    }

    if (kind == 'T') {
        if (i + 1 >= b.size())
            return f;
        const char n = b.at(i + 1);
        if (n < '0' || n > '3')
            return {Parse::Bad, 0, {}, 0, {}, {}, QStringLiteral("número de línea no válido")};
        f.lineNumber = n - '0';
        const qsizetype bodyEnd = i + 2;
        const qsizetype full = bodyEnd + 20 + 2;
        const qsizetype empty = bodyEnd + 2;
        const bool shortForm =
            b.size() >= empty && b.at(empty - 1) == '$' && checkByteValid(b.mid(1, bodyEnd - 1), b.at(empty - 2));
        if (b.size() < full) {
            // The form without text is taken as soon as the next frame starts behind it;
            // otherwise wait until the two forms can be told apart.
            if (shortForm && b.size() > empty && b.at(empty) == '#') {
                f.result = Parse::Line;
                f.length = empty;
            }
            return f;
        }
        if (b.at(full - 1) == '$' && checkByteValid(b.mid(1, bodyEnd + 20 - 1), b.at(full - 2))) {
            f.result = Parse::Line;
            f.length = full;
            f.text = b.mid(bodyEnd, 20);
            return f;
        }
        if (shortForm) {
            f.result = Parse::Line;
            f.length = empty;
            return f;
        }
        return {Parse::Bad, 0, {}, 0, {}, {}, QStringLiteral("byte de control erróneo en una línea")};
    }

    if (kind == 'P' || kind == 'B' || kind == 'S') {
        // The command runs to its check byte and "$"; for S the number may be any length.
        qsizetype k = i + 1;
        for (; k + 1 < b.size() && k < kMaxFrame; ++k) {
            const QByteArray body = b.mid(1, k - 1);
            if (b.at(k + 1) == '$' && checkByteValid(body, b.at(k))) {
                f.result = Parse::Command;
                f.length = k + 2;
                f.command = body;
                return f;
            }
            if (kind != 'S' || !isDigit(b.at(k)))
                return {Parse::Bad, 0, {}, 0, {}, {}, QStringLiteral("byte de control erróneo en un comando")};
        }
        if (k >= kMaxFrame)
            return {Parse::Bad, 0, {}, 0, {}, {}, QStringLiteral("comando demasiado largo")};
        return f;
    }
    return {Parse::Bad, 0, {}, 0, {}, {}, QStringLiteral("tipo de trama desconocido")};
}

QList<Event> Decoder::feed(const QByteArray &bytes)
{
    m_bytes += bytes.size();
    m_buf += bytes;
    QList<Event> out;
    for (;;) {
        if (m_state == State::Hunting) {
            const qsizetype at = m_buf.indexOf(kPreamble);
            if (at < 0) {
                const qsizetype keep = qMin(m_buf.size(), kPreamble.size() - 1);
                if (!m_absorb)
                    m_junk += m_buf.left(m_buf.size() - keep);
                m_buf.remove(0, m_buf.size() - keep);
                if (m_junk.size() > kMaxFrame) {
                    bad(out, QStringLiteral("datos sin preámbulo"), m_junk);
                    m_junk.clear();
                }
                return out;
            }
            if (!m_absorb)
                m_junk += m_buf.left(at);
            m_absorb = false;
            if (!m_junk.isEmpty()) {
                bad(out, QStringLiteral("datos sin preámbulo"), m_junk);
                m_junk.clear();
                m_absorb = false;
            }
            m_buf.remove(0, at + kPreamble.size());
            m_raw = kPreamble;
            m_state = State::AfterPreamble;
        }

        if (m_buf.isEmpty())
            return out;
        if (m_buf.at(0) != '#') {
            bad(out, QStringLiteral("mensaje incompleto"), m_raw);
            continue;
        }
        Frame f = parseFrame();
        if (f.result == Parse::NeedMore) {
            const qsizetype nextPreamble = m_buf.indexOf(kPreamble, 1);
            if (nextPreamble < 0 && m_buf.size() < kMaxFrame)
                return out;
            f = {Parse::Bad, 0, {}, 0, {}, {}, QStringLiteral("trama cortada")};
        }
        if (f.result == Parse::Bad) {
            bad(out, f.reason, m_raw + m_buf.left(1));
            m_buf.remove(0, 1);
            continue;
        }

        const QByteArray frame = m_buf.left(f.length);
        m_buf.remove(0, f.length);
        m_raw += frame;
        if (m_state == State::AfterPreamble) {
            if (f.result == Parse::Command) {
                Event e;
                e.kind = Event::Command;
                e.command = f.command;
                e.address = f.address;
                e.letter = f.command.at(f.address.size());
                e.halfHours = f.command.mid(f.address.size() + 1).toInt();
                e.raw = m_raw;
                out.append(e);
                m_state = State::Hunting;
            } else if (f.result == Parse::Line && f.lineNumber == 0) {
                m_address = f.address;
                m_lines = {f.text};
                m_state = State::InText;
            } else {
                bad(out, QStringLiteral("trama fuera de orden"), m_raw);
            }
            continue;
        }
        // Within a text message: lines 1 to 3, then the closing frame, all to one address.
        if (f.address != m_address) {
            bad(out, QStringLiteral("dirección cambiada dentro del mensaje"), m_raw);
        } else if (f.result == Parse::Line && f.lineNumber == m_lines.size()) {
            m_lines.append(f.text);
        } else if (f.result == Parse::Closing && m_lines.size() == 4) {
            Event e;
            e.kind = Event::Text;
            e.address = m_address;
            e.lines = m_lines;
            e.raw = m_raw;
            out.append(e);
            m_state = State::Hunting;
            m_raw.clear();
        } else {
            bad(out, QStringLiteral("trama fuera de orden"), m_raw);
        }
    }
}

} // namespace monitor
