#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>

class QSerialPort;
class TransmitterThread;

// Owns the open transmitter port and sends whole messages on a thread of its own, one
// at a time and in the order given, so the window thread never waits on the port and
// the writes of two messages never interleave. Each write is drained before the next
// starts, so the pause after a write counts from the moment its bytes have left.
class Transmitter : public QObject {
    Q_OBJECT
public:
    enum Outcome { Sent, NoPort, CutShort, WriteFailed };

    struct Write {
        QByteArray bytes;
        int pauseAfterMs = 0;
    };

    explicit Transmitter(QObject *parent = nullptr);
    ~Transmitter() override; // lets the message on the wire finish

    // Closes the open port, cutting short a message in flight, then opens the device.
    // Returns as soon as the open has succeeded or failed.
    bool open(const QString &devicePath, int baud);
    void close();
    bool isOpen() const;
    QString devicePath() const;

    // Queues a message. Messages queued while no port is open, or that reach the head
    // of the line when none is, finish at once as failed without touching the wire.
    quint64 submit(const QList<Write> &writes);

Q_SIGNALS:
    void finished(quint64 id, bool ok);
    // The open port refused a write or did not drain in time: it is probably gone.
    // Comes before the failed message's finished().
    void writeFailed();

private:
    friend class TransmitterThread;
    void deliver(quint64 id, Outcome outcome, quint64 generation);

    std::unique_ptr<QSerialPort> m_port;
    QString m_devicePath;
    std::unique_ptr<TransmitterThread> m_thread;
    quint64 m_nextId = 1;
    quint64 m_generation = 0; // changes with every open and close
};
