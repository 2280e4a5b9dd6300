#pragma once

#include <QByteArray>
#include <QString>

// A pseudo-terminal pair standing in for the transmitter: the program opens the
// slave path as its serial port, the test reads what arrives at the master.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    bool isValid() const { return m_master >= 0; }
    QString slavePath() const { return m_slavePath; }
    int masterFd() const { return m_master; }

    // Everything that has arrived so far (and not been taken before).
    QByteArray take();
    // Waits, keeping the event loop running, until at least n bytes have arrived
    // since the last take, then takes them all. Gives what there is after timeoutMs.
    QByteArray takeAtLeast(qsizetype n, int timeoutMs = 10000);
    // Closing the master hangs up the slave side.
    void hangUp();

private:
    void pull();

    int m_master = -1;
    int m_slave = -1; // held open so that the line stays up between opens
    QString m_slavePath;
    QByteArray m_buffer;
};
