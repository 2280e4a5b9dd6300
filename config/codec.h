#pragma once

#include <QByteArray>
#include <QString>

// The wire, the node files and ini.cfg are Windows-1252. Text crosses into that form
// only where it meets a widget or the file system.
namespace cp1252 {

// A character that has no Windows-1252 byte becomes "?".
QByteArray fromUnicode(const QString &text);
QString toUnicode(const QByteArray &bytes);

} // namespace cp1252
