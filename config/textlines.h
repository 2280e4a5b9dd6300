#pragma once

#include <QByteArray>
#include <QList>

namespace textlines {

// Splits 8-bit text the way the program's files are read: a line ends at LF, with or
// without a CR before it; a CR that no LF follows is dropped; the byte 0x1A ends the
// text. A last line without a line end still counts; an empty text has no lines.
QList<QByteArray> split(const QByteArray &data);

// The program's own line end for everything it writes.
inline constexpr char kCrLf[] = "\r\n";

} // namespace textlines

namespace textlines {

// A whole decimal number with an optional sign that fits in 32 bits; nothing else
// (no blanks, no other bases). Returns false and leaves *value alone otherwise.
bool toInt(const QByteArray &text, int *value);

} // namespace textlines
