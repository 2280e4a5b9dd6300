#include "link/u232.h"

#include "link/logging.h"

#include <QDeadlineTimer>
#include <QSerialPort>

#include <cerrno>

#if defined(Q_OS_UNIX)
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#else
#error "The serial routines are written for POSIX terminals."
#endif

namespace u232 {

namespace {
constexpr int kSliceMs = 2;

void nap(int ms)
{
    ::poll(nullptr, 0, ms);
}
} // namespace

std::unique_ptr<QSerialPort> OpenComPort(const QString &devicePath, int baud)
{
    auto port = std::make_unique<QSerialPort>();
    port->setPortName(devicePath);
    if (!port->open(QIODevice::WriteOnly)) {
        qCInfo(lcLink) << "cannot open" << devicePath << ":" << port->errorString();
        return nullptr;
    }
    // Line settings that a terminal cannot take (a pseudo-terminal has no modem lines)
    // are not fatal: the port stays usable with what it has.
    const bool applied = port->setBaudRate(baud) && port->setDataBits(QSerialPort::Data8) &&
                         port->setParity(QSerialPort::NoParity) && port->setStopBits(QSerialPort::OneStop) &&
                         port->setFlowControl(QSerialPort::NoFlowControl);
    if (!applied)
        qCInfo(lcLink) << "line settings not applied on" << devicePath << ":" << port->errorString();
    port->setDataTerminalReady(false);
    port->setRequestToSend(false);
    port->clearError();
    return port;
}

bool ComPortValid(const QSerialPort *port)
{
    return port && port->isOpen();
}

void CloseComPort(std::unique_ptr<QSerialPort> &port)
{
    // What a message cut short left in the output queue is dropped, so closing does not
    // wait for it to drain and no stray half frame follows.
    if (port) {
        port->clear(QSerialPort::Output);
        port->close();
    }
    port.reset();
}

bool WriteComString(qintptr handle, const QByteArray &s, int baud, const std::atomic_bool &abort)
{
    if (handle < 0)
        return false;
    const int fd = int(handle);
    const qint64 lineMs = qint64(s.size()) * 10 * 1000 / qMax(baud, 1);
    QDeadlineTimer deadline(2 * lineMs + 1000);

    const char *p = s.constData();
    qsizetype left = s.size();
    while (left > 0) {
        if (abort)
            return false;
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n > 0) {
            p += n;
            left -= n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            qCWarning(lcLink) << "write failed:" << qt_error_string(errno);
            return false;
        }
        if (deadline.hasExpired())
            return false;
        pollfd pfd{fd, POLLOUT, 0};
        ::poll(&pfd, 1, kSliceMs);
    }

    // Drain in slices so that a stuck port ends the message instead of the thread.
    for (;;) {
        int queued = 0;
        if (::ioctl(fd, TIOCOUTQ, &queued) < 0) {
            qCWarning(lcLink) << "drain failed:" << qt_error_string(errno);
            return false;
        }
        if (queued <= 0)
            break;
        if (abort || deadline.hasExpired())
            return false;
        nap(kSliceMs);
    }
    // Only the UART's own FIFO is left now.
    return ::tcdrain(fd) == 0 || errno == ENOTTY;
}

bool pause(int ms, const std::atomic_bool &abort)
{
    QDeadlineTimer until(ms, Qt::PreciseTimer);
    while (!until.hasExpired()) {
        if (abort)
            return false;
        nap(int(qBound<qint64>(1, until.remainingTime(), qint64(kSliceMs))));
    }
    return true;
}

} // namespace u232
