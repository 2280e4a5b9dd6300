#pragma once

#include <QList>
#include <QLoggingCategory>
#include <QString>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace bench {

inline double percentile(QList<double> v, double p)
{
    if (v.isEmpty())
        return 0;
    std::sort(v.begin(), v.end());
    const qsizetype i = qMin<qsizetype>(v.size() - 1, qsizetype(p / 100.0 * double(v.size())));
    return v.at(i);
}

inline void row(const QString &name, const QString &value)
{
    std::printf("| %-52s | %18s |\n", qPrintable(name), qPrintable(value));
}

inline void header(const char *title)
{
    std::printf("\n%s\n| %-52s | %18s |\n|%s|%s|\n", title, "figure", "value", QByteArray(54, '-').constData(),
                QByteArray(20, '-').constData());
}

// Reads a pseudo-terminal's master side on a thread of its own, as a transmitter would,
// and notes when bytes arrive.
class Drain {
public:
    explicit Drain(int fd) : m_fd(fd), m_thread([this] { run(); }) {}
    ~Drain()
    {
        m_stop = true;
        m_thread.join();
    }
    qint64 bytes() const { return m_bytes; }
    // After arm(), firstNs holds the monotonic time of the next arrival.
    void arm()
    {
        firstNs = 0;
        m_armed = true;
    }
    std::atomic<qint64> firstNs{0};

private:
    void run()
    {
        char buf[8192];
        while (!m_stop) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 20) > 0) {
                const ssize_t n = ::read(m_fd, buf, sizeof buf);
                if (n > 0) {
                    timespec ts;
                    clock_gettime(CLOCK_MONOTONIC, &ts);
                    if (m_armed.exchange(false))
                        firstNs = qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
                    m_bytes += n;
                }
            }
        }
    }
    int m_fd;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_armed{false};
    std::atomic<qint64> m_bytes{0};
    std::thread m_thread;
};

inline qint64 monotonicNs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

inline double cpuSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + ts.tv_nsec / 1e9;
}

} // namespace bench
