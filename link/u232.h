#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <memory>

class QSerialPort;

// The serial routines: open a port with the transmitter's line settings, close it,
// and write a string so that it has left the UART before the call returns.
namespace u232 {

// Opens the device at the given speed, 8 data bits, no parity, 1 stop bit, no flow
// control, DTR and RTS held inactive. Null when the device is missing or held by
// another program (the serial lock is taken).
std::unique_ptr<QSerialPort> OpenComPort(const QString &devicePath, int baud);
bool ComPortValid(const QSerialPort *port);
void CloseComPort(std::unique_ptr<QSerialPort> &port);

// Writes every byte of s to the descriptor, then waits until the bytes have left the
// UART. Gives up, returning false, when the port fails, when abort is raised, or when
// this takes longer than twice the bytes' time on the line plus one second.
bool WriteComString(qintptr handle, const QByteArray &s, int baud, const std::atomic_bool &abort);

// Waits at least ms milliseconds, returning early (false) when abort is raised.
bool pause(int ms, const std::atomic_bool &abort);

} // namespace u232
