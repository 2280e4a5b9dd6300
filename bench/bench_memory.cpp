// Memory and descriptors of the program over a long run: 15 nodes synchronised from a
// local web server every 5 s (each schedule changes every 30 s) and sent on a
// pseudo-terminal, for the window (offscreen) and the headless service side by side.
#include "bench/benchutil.h"
#include "tests/support/httpserver.h"
#include "tests/support/pty.h"
#include "tests/support/workdir.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTimer>

namespace {
struct Sample {
    qint64 rssKb = 0;
    qint64 peakKb = 0;
    int fds = 0;
};

Sample sample(qint64 pid)
{
    Sample s;
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                s.rssKb = line.mid(6).trimmed().split(' ').first().toLongLong();
            if (line.startsWith("VmHWM:"))
                s.peakKb = line.mid(6).trimmed().split(' ').first().toLongLong();
        }
    }
    s.fds = int(QDir(QStringLiteral("/proc/%1/fd").arg(pid))
                    .entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System)
                    .size());
    return s;
}

struct Run {
    QString name;
    WorkDir dir;
    PtyPair pty;
    std::unique_ptr<bench::Drain> drain;
    QProcess process;
    Sample first, atMinute, last;
    qint64 peakKb = 0;
};
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int minutes =
        qEnvironmentVariableIntValue("BENCH_MINUTES") > 0 ? qEnvironmentVariableIntValue("BENCH_MINUTES") : 10;
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/vantrel");

    QElapsedTimer clock;
    clock.start();
    HttpServer server;
    server.setHandler([&clock](const HttpServer::Request &r) {
        const QByteArray version = "v" + QByteArray::number(clock.elapsed() / 30000);
        HttpServer::Response resp;
        if (!r.hasQuery("time"))
            resp.body = version;
        else if (r.query("time") == version)
            resp.body = "no";
        else
            resp.body = "0 0 0 0 0 0 \x02NODO " + r.query("nodo") + "\x02" + version + "\x02\x02\x02";
        return resp;
    });

    std::vector<std::unique_ptr<Run>> runs;
    for (const bool headless : {false, true}) {
        auto run = std::make_unique<Run>();
        run->name = headless ? QStringLiteral("--headless") : QStringLiteral("window, offscreen");
        run->dir.writePorts({{3, run->pty.slavePath()}});
        run->dir.writeIni("COM3", server.hostAndPort(), "emp");
        const QString copy = run->dir.filePath(QStringLiteral("vantrel"));
        QFile::copy(program, copy);
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        run->drain = std::make_unique<bench::Drain>(run->pty.masterFd());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("vantrel.*.info=false"));
        run->process.setProcessEnvironment(env);
        run->process.setWorkingDirectory(run->dir.path());
        run->process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        run->process.start(copy, headless ? QStringList{QStringLiteral("--headless")} : QStringList{});
        run->process.waitForStarted();
        runs.push_back(std::move(run));
    }

    QTimer sampler;
    int ticks = 0;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        ++ticks;
        for (auto &run : runs) {
            const Sample s = sample(run->process.processId());
            if (ticks == 1)
                run->first = s;
            if (ticks == 12)
                run->atMinute = s;
            run->last = s;
            run->peakKb = qMax(run->peakKb, s.peakKb);
        }
        if (ticks >= minutes * 12)
            app.quit();
    });
    sampler.start(5000);
    std::printf("running both for %d minute(s)...\n", minutes);
    std::fflush(stdout);
    app.exec();

    bench::header("(d) memory and descriptors over the run, 15 nodes with web synchronisation");
    for (auto &run : runs) {
        bench::row(run->name + QStringLiteral(": RSS after 5 s (KiB)"), QString::number(run->first.rssKb));
        bench::row(run->name + QStringLiteral(": RSS after 1 min (KiB)"), QString::number(run->atMinute.rssKb));
        bench::row(run->name + QStringLiteral(": RSS at the end (KiB)"), QString::number(run->last.rssKb));
        bench::row(run->name + QStringLiteral(": growth from 1 min to the end (KiB)"),
                   QString::number(run->last.rssKb - run->atMinute.rssKb));
        bench::row(run->name + QStringLiteral(": peak RSS (KiB)"), QString::number(run->peakKb));
        bench::row(run->name + QStringLiteral(": open descriptors, start / end"),
                   QStringLiteral("%1 / %2").arg(run->first.fds).arg(run->last.fds));
        bench::row(run->name + QStringLiteral(": bytes sent"), QString::number(run->drain->bytes()));
        run->process.terminate();
        run->process.waitForFinished(10000);
    }
    bench::row(QStringLiteral("web requests served"), QString::number(server.requests().size()));
    return 0;
}
