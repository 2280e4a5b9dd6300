#include "link/transmitter.h"

#include "link/logging.h"
#include "link/u232.h"

#include <QMutex>
#include <QQueue>
#include <QSerialPort>
#include <QThread>
#include <QWaitCondition>

#include <atomic>

class TransmitterThread : public QThread {
public:
    explicit TransmitterThread(Transmitter *owner) : m_owner(owner) { setObjectName(QStringLiteral("transmitter")); }

    struct Message {
        quint64 id;
        QList<Transmitter::Write> writes;
    };

    void enqueue(Message m)
    {
        QMutexLocker lock(&m_mutex);
        m_queue.enqueue(std::move(m));
        m_wake.wakeAll();
    }

    // Hands a new descriptor to the thread. When the old one is being written, the
    // message is cut short and this waits for the thread to let go of it (a few ms).
    void setHandle(qintptr handle, int baud, quint64 generation)
    {
        QMutexLocker lock(&m_mutex);
        m_abort = true;
        while (m_busy)
            m_idle.wait(&m_mutex);
        m_abort = false;
        m_handle = handle;
        m_generation = generation;
        m_baud = baud;
    }

    void stop()
    {
        {
            QMutexLocker lock(&m_mutex);
            m_quit = true;
            m_wake.wakeAll();
        }
        wait();
    }

protected:
    void run() override
    {
        for (;;) {
            Message m;
            qintptr handle;
            quint64 generation;
            int baud;
            {
                QMutexLocker lock(&m_mutex);
                while (m_queue.isEmpty() && !m_quit)
                    m_wake.wait(&m_mutex);
                if (m_quit)
                    return;
                m = m_queue.dequeue();
                handle = m_handle;
                generation = m_generation;
                baud = m_baud;
                m_busy = true;
            }
            Transmitter::Outcome outcome = handle < 0 ? Transmitter::NoPort : Transmitter::Sent;
            for (const Transmitter::Write &w : m.writes) {
                if (outcome != Transmitter::Sent)
                    break;
                if (!u232::WriteComString(handle, w.bytes, baud, m_abort))
                    outcome = m_abort ? Transmitter::CutShort : Transmitter::WriteFailed;
                else if (w.pauseAfterMs > 0 && !u232::pause(w.pauseAfterMs, m_abort))
                    outcome = Transmitter::CutShort;
            }
            {
                QMutexLocker lock(&m_mutex);
                m_busy = false;
                m_idle.wakeAll();
            }
            QMetaObject::invokeMethod(
                m_owner, [owner = m_owner, id = m.id, outcome, generation] { owner->deliver(id, outcome, generation); },
                Qt::QueuedConnection);
        }
    }

private:
    Transmitter *m_owner;
    QMutex m_mutex;
    QWaitCondition m_wake;
    QWaitCondition m_idle;
    QQueue<Message> m_queue;
    qintptr m_handle = -1;
    quint64 m_generation = 0;
    int m_baud = 1200;
    bool m_busy = false;
    bool m_quit = false;
    std::atomic_bool m_abort{false};
};

Transmitter::Transmitter(QObject *parent) : QObject(parent), m_thread(std::make_unique<TransmitterThread>(this))
{
    m_thread->start();
}

Transmitter::~Transmitter()
{
    m_thread->stop();
    u232::CloseComPort(m_port);
}

bool Transmitter::open(const QString &devicePath, int baud)
{
    close();
    m_port = u232::OpenComPort(devicePath, baud);
    if (!u232::ComPortValid(m_port.get())) {
        m_port.reset();
        return false;
    }
    m_devicePath = devicePath;
    m_thread->setHandle(m_port->handle(), baud, ++m_generation);
    qCInfo(lcLink) << "port open:" << devicePath;
    return true;
}

void Transmitter::close()
{
    if (!m_port)
        return;
    m_thread->setHandle(-1, 1200, ++m_generation);
    qCInfo(lcLink) << "port closed:" << m_devicePath;
    m_devicePath.clear();
    u232::CloseComPort(m_port);
}

bool Transmitter::isOpen() const
{
    return u232::ComPortValid(m_port.get());
}

QString Transmitter::devicePath() const
{
    return m_devicePath;
}

quint64 Transmitter::submit(const QList<Write> &writes)
{
    const quint64 id = m_nextId++;
    m_thread->enqueue({id, writes});
    return id;
}

void Transmitter::deliver(quint64 id, Outcome outcome, quint64 generation)
{
    // A failure on a port that has since been replaced says nothing about the new one.
    if (outcome == WriteFailed && generation == m_generation)
        Q_EMIT writeFailed();
    Q_EMIT finished(id, outcome == Sent);
}
