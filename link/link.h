#pragma once

#include "config/portmap.h"
#include "link/transmitter.h"

#include <QByteArray>
#include <QHash>
#include <QObject>

#include <functional>

struct Settings;

// The transmitter as the rest of the program sees it: opening a port by its COM name,
// and sending a text job or a command job as the transmitter's frames. Reports what it
// does through status and caption texts.
class Link : public QObject {
    Q_OBJECT
public:
    static constexpr int kBaud = 1200;
    // OpenPort's result when the text after the first three characters is not a number.
    static constexpr int kBadPortName = -2;

    Link(Settings *settings, PortMap portMap, QObject *parent = nullptr);

    Transmitter *transmitter() { return &m_transmitter; }
    const PortMap &portMap() const { return m_portMap; }

    // Closes the open port and opens the named one ("COM3"; "&" marks are dropped and
    // the first three characters are skipped, whatever they are). 0 when the port is
    // open, -1 when it is not. kBadPortName, with the message in error, when the name
    // holds no number: then nothing is closed or changed.
    int OpenPort(const QByteArray &name, QString *error = nullptr);
    bool portOpen() const { return m_transmitter.isOpen(); }

    // A port whose writes failed is closed and counted as lost; the timers that send
    // call reopenLost() on each tick until it is back. Nothing else changes meanwhile.
    bool portLost() const { return !m_lostName.isEmpty(); }
    // Tries to open the lost port again under its name; true when a port is open.
    bool reopenLost();

    // done runs once the message has left the wire, or at the next turn of the event
    // loop when nothing is sent because no port is open. ok is false in that case and
    // when a write failed.
    using Done = std::function<void(bool ok)>;
    void SendText(const QByteArray &job, const QByteArray &address, Done done = {});
    void SendCommand(const QByteArray &job, Done done = {});

Q_SIGNALS:
    void portStateChanged(bool open);
    void statusText(const QByteArray &text);
    void captionChanged(const QByteArray &caption);

private:
    void send(const QList<Transmitter::Write> &writes, const QByteArray &status, Done done);
    void later(Done done);
    void losePort();
    bool openNumber(int number);

    Settings *m_settings;
    PortMap m_portMap;
    Transmitter m_transmitter;
    QHash<quint64, std::function<void(bool)>> m_pending;
    QByteArray m_openName;
    int m_openNumber = 0;
    QByteArray m_lostName;
};
