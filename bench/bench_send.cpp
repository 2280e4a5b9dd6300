// The send path: CPU per message, and the delay from a send being due to its first
// byte at the pseudo-terminal.
#include "bench/benchutil.h"
#include "config/settings.h"
#include "link/link.h"
#include "tests/support/pty.h"
#include "tests/support/workdir.h"

#include <QCoreApplication>
#include <QEventLoop>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("vantrel.*.info=false"));
    WorkDir dir;
    PtyPair pty;
    dir.writePorts({{3, pty.slavePath()}});
    Settings settings;
    Link link(&settings, PortMap(dir.path(), dir.env().devDir));
    link.OpenPort("COM3");
    bench::Drain drain(pty.masterFd());

    const int messages = 300;
    QList<double> delaysMs;
    const double cpu0 = bench::cpuSeconds();
    for (int i = 0; i < messages; ++i) {
        drain.arm();
        const qint64 due = bench::monotonicNs();
        QEventLoop loop;
        auto done = [&](bool) { loop.quit(); };
        if (i % 2)
            link.SendText("\x02UNO\x02"
                          "DOS\x02TRES\x02"
                          "CUATRO\x02",
                          QByteArray::number(i % 10), done);
        else
            link.SendCommand(QByteArray::number(i % 10) + 'P', done);
        loop.exec();
        while (drain.firstNs == 0)
            std::this_thread::yield();
        delaysMs.append(double(qMax<qint64>(0, drain.firstNs - due)) / 1e6);
    }
    const double cpu = bench::cpuSeconds() - cpu0;
    bench::header("(c) send path, pseudo-terminal, half text messages and half commands");
    bench::row(QStringLiteral("messages"), QString::number(messages));
    bench::row(QStringLiteral("process CPU per message, all threads (ms)"),
               QString::number(cpu * 1000 / messages, 'f', 3));
    bench::row(QStringLiteral("due to first byte, median (ms)"),
               QString::number(bench::percentile(delaysMs, 50), 'f', 3));
    bench::row(QStringLiteral("due to first byte, p99 (ms)"), QString::number(bench::percentile(delaysMs, 99), 'f', 3));
    bench::row(QStringLiteral("bytes at the terminal"), QString::number(drain.bytes()));
    return 0;
}
