#pragma once

#include <QByteArray>
#include <QList>

// The transmitter's wire format. Pure functions: bytes in, bytes out.
namespace frames {

inline constexpr char kStx = '\x02';

// Ten bytes sent ahead of every text message and every command.
QByteArray preamble();

// (0xAB - sum of the body's bytes) mod 256, as one byte.
QByteArray Checksum(const QByteArray &body);

// The line centred in 20 characters, the extra blank on the right; empty when the
// line is longer than 20 characters.
QByteArray CenterLine(const QByteArray &line);

// A job holding 0x02 anywhere is a text job; anything else is a command job.
inline bool isTextJob(const QByteArray &job)
{
    return job.contains(kStx);
}

// The job without its lead-in: everything up to and including the first 0x02 dropped.
QByteArray withoutLeadIn(const QByteArray &job);

// "#" + address + "T" + line number + centred text + check byte + "$".
QByteArray lineFrame(const QByteArray &address, int lineNumber, const QByteArray &line);
QByteArray closingFrame(const QByteArray &address);
// The preamble and "#" + command + check byte + "$", sent in one write.
QByteArray commandFrame(const QByteArray &command);

// The six writes of a text message: preamble, four line frames, closing frame.
QList<QByteArray> textMessage(const QByteArray &job, const QByteArray &address);

} // namespace frames
