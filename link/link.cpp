#include "link/link.h"

#include "config/codec.h"
#include "config/settings.h"
#include "link/frames.h"
#include "link/logging.h"

#include <QTimer>

Link::Link(Settings *settings, PortMap portMap, QObject *parent)
    : QObject(parent), m_settings(settings), m_portMap(std::move(portMap))
{
    connect(&m_transmitter, &Transmitter::finished, this, [this](quint64 id, bool ok) {
        if (auto done = m_pending.take(id))
            done(ok);
    });
    connect(&m_transmitter, &Transmitter::writeFailed, this, &Link::losePort);
}

void Link::losePort()
{
    if (portLost() || !portOpen())
        return;
    m_lostName = m_openName;
    qCWarning(lcLink) << "lost the port" << m_lostName << "at" << m_transmitter.devicePath();
    m_transmitter.close();
    Q_EMIT statusText("Se ha perdido el puerto " + m_lostName);
}

bool Link::reopenLost()
{
    if (!portLost())
        return portOpen();
    if (!openNumber(m_openNumber))
        return false;
    qCInfo(lcLink) << "port" << m_lostName << "is back";
    Q_EMIT statusText("Se ha abierto el puerto " + std::exchange(m_lostName, {}));
    return true;
}

int Link::OpenPort(const QByteArray &name, QString *error)
{
    QByteArray plain = name;
    plain.replace("&", "");
    int number = 0;
    if (!PortMap::numberOf(plain, &number)) {
        if (error)
            *error = QStringLiteral("'%1' is not a valid integer value").arg(cp1252::toUnicode(plain.mid(3)));
        return kBadPortName;
    }

    m_transmitter.close();
    m_lostName.clear();
    const bool ok = openNumber(number);

    Q_EMIT portStateChanged(ok);
    if (!ok) {
        Q_EMIT statusText("El puerto esta siendo utilizado");
        return -1;
    }
    Q_EMIT statusText("Se ha abierto el puerto " + plain);
    m_settings->cfgPort = plain;
    m_openName = plain;
    m_openNumber = number;
    return 0;
}

bool Link::openNumber(int number)
{
    const QString path = m_portMap.resolve(number);
    if (path.isEmpty()) {
        qCInfo(lcLink) << "COM" << number << "maps to no device";
        return false;
    }
    return m_transmitter.open(path, kBaud);
}

void Link::SendText(const QByteArray &job, const QByteArray &address, Done done)
{
    if (!portOpen()) {
        later(std::move(done));
        return;
    }
    QList<Transmitter::Write> writes;
    const QList<QByteArray> frames = frames::textMessage(job, address);
    for (qsizetype i = 0; i < frames.size(); ++i) {
        const bool lineFrame = i >= 1 && i <= 4;
        writes.append({frames.at(i), lineFrame ? 10 : 0});
    }
    send(writes, address + ':' + frames::withoutLeadIn(job), std::move(done));
}

void Link::SendCommand(const QByteArray &job, Done done)
{
    Q_EMIT captionChanged(job);
    if (!portOpen()) {
        later(std::move(done));
        return;
    }
    send({{frames::commandFrame(job), 0}}, job, std::move(done));
}

void Link::send(const QList<Transmitter::Write> &writes, const QByteArray &status, Done done)
{
    const quint64 id = m_transmitter.submit(writes);
    m_pending.insert(id, [this, status, done = std::move(done)](bool ok) {
        // A port that has just been lost keeps its message in the status line.
        if (ok || !portLost())
            Q_EMIT statusText(status);
        if (done)
            done(ok);
    });
}

void Link::later(Done done)
{
    if (done)
        QTimer::singleShot(0, this, [done = std::move(done)] { done(false); });
}
