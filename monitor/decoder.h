#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QList>
#include <QString>

namespace monitor {

// One thing seen on the line: a whole text message, a command, or bytes that did not
// make a valid frame.
struct Event {
    enum Kind { Text, Command, Bad };
    Kind kind = Bad;
    QByteArray address;
    QByteArrayList lines; // Text: the four text fields as sent (20 characters, or empty)
    QByteArray command;   // Command: the whole command, address included ("3S4")
    char letter = 0;      // Command: 'P', 'B' or 'S'
    int halfHours = 0;    // Command 'S': the number after the letter
    QByteArray raw;       // every byte of the message or of the bad stretch
    QString reason;       // Bad: what was wrong
};

// Reads the transmitter's byte stream as it arrives and cuts it into messages. It
// checks every check byte and the order of the frames; on any fault it counts a bad
// frame and waits for the next preamble. It parses on its own rules and shares no
// code with the program's frame builder, so it can catch the builder's faults.
class Decoder {
public:
    QList<Event> feed(const QByteArray &bytes);

    qint64 bytesSeen() const { return m_bytes; }

private:
    enum class Parse { NeedMore, Bad, Line, Closing, Command };
    struct Frame {
        Parse result = Parse::NeedMore;
        qsizetype length = 0;
        QByteArray address;
        int lineNumber = 0;
        QByteArray text;
        QByteArray command;
        QString reason;
    };
    Frame parseFrame() const;
    void bad(QList<Event> &out, const QString &reason, const QByteArray &raw);

    enum class State { Hunting, AfterPreamble, InText };
    State m_state = State::Hunting;
    QByteArray m_buf;
    QByteArray m_junk;
    QByteArray m_raw;
    QByteArray m_address;
    QByteArrayList m_lines;
    qint64 m_bytes = 0;
    bool m_absorb = false;
};

// True when the body bytes and the check byte add up to 0xAB modulo 256.
bool checkByteValid(const QByteArray &body, char check);

} // namespace monitor
