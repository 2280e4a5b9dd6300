#include "tests/support/pty.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

PtyPair::PtyPair()
{
    char name[256] = {};
    termios tio{};
    cfmakeraw(&tio);
    if (::openpty(&m_master, &m_slave, name, &tio, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_slavePath = QString::fromLocal8Bit(name);
}

PtyPair::~PtyPair()
{
    hangUp();
}

void PtyPair::hangUp()
{
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = m_master = -1;
}

void PtyPair::pull()
{
    if (m_master < 0)
        return;
    char chunk[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, chunk, sizeof chunk);
        if (n <= 0)
            break;
        m_buffer.append(chunk, n);
    }
}

QByteArray PtyPair::take()
{
    pull();
    return std::exchange(m_buffer, {});
}

QByteArray PtyPair::takeAtLeast(qsizetype n, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    pull();
    while (m_buffer.size() < n && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        pollfd pfd{m_master, POLLIN, 0};
        ::poll(&pfd, 1, 5);
        pull();
    }
    return std::exchange(m_buffer, {});
}
