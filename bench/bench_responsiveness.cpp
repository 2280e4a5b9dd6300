// How long the window thread is ever kept from its events, probed by a 5 ms timer,
// while background mode serves 100 nodes on a pseudo-terminal, the data server takes
// 2 s over every answer, and manual jobs wait in the queue.
#include "bench/benchutil.h"
#include "tests/support/httpserver.h"
#include "tests/support/pty.h"
#include "tests/support/workdir.h"
#include "ui/tform1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("vantrel.*.info=false\nvantrel.*.warning=false"));
    const int seconds =
        qEnvironmentVariableIntValue("BENCH_SECONDS") > 0 ? qEnvironmentVariableIntValue("BENCH_SECONDS") : 30;

    HttpServer server;
    server.setHandler([](const HttpServer::Request &) {
        HttpServer::Response r;
        r.body = "no";
        r.delayMs = 2000;
        return r;
    });
    WorkDir dir;
    PtyPair pty;
    bench::Drain drain(pty.masterFd());
    dir.writePorts({{3, pty.slavePath()}});
    dir.writeIni("COM3", server.hostAndPort(), "emp");
    for (int n = 1; n <= 100; ++n)
        dir.writeFile(QStringLiteral("exe/%1.msg").arg(n),
                      "0 0 0 0 0 0 \x02NODO\x02" + QByteArray::number(n) + "\x02\x02\x02\r\n");

    Environment env = dir.env();
    env.manualTimers = false;
    TForm1 form(env);
    form.show();
    form.sendQueue()->add("3P", 50);
    form.Timer1Timer(); // configured: straight into background mode

    QList<double> stallsMs;
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.nsecsElapsed();
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        stallsMs.append(qMax(0.0, double(now - last) / 1e6 - 5.0));
        last = now;
    });
    probe.start(5);
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();

    bench::header("(a) window thread responsiveness: stall beyond the 5 ms probe");
    bench::row(QStringLiteral("run (s)"), QString::number(seconds));
    bench::row(QStringLiteral("probe ticks"), QString::number(stallsMs.size()));
    bench::row(QStringLiteral("stall p99 (ms)"), QString::number(bench::percentile(stallsMs, 99), 'f', 2));
    bench::row(QStringLiteral("stall max (ms)"), QString::number(bench::percentile(stallsMs, 100), 'f', 2));
    bench::row(QStringLiteral("bytes sent to the terminals"), QString::number(drain.bytes()));
    bench::row(QStringLiteral("web requests answered or pending"), QString::number(server.requests().size()));
    bench::row(QStringLiteral("manual jobs still waiting"), QString::number(form.sendQueue()->queue().size()));
    return 0;
}
