// The background scan over unchanged node files, against a scan that rereads them all.
#include "bench/benchutil.h"
#include "schedule/nodelist.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("vantrel.*.info=false"));
    bench::header("(b) background scan of unchanged node files, per tick");
    for (int count : {10, 100, 1000, 10000}) {
        QTemporaryDir dir;
        for (int n = 1; n <= count; ++n) {
            QFile f(dir.filePath(QStringLiteral("%1.msg").arg(n)));
            f.open(QIODevice::WriteOnly);
            f.write("0 1 9 0 13 30 \x02"
                    "LUNES\x02\x02\x02\x02\r\n12 24 18 0 23 59 \x02NAVIDAD\x02\x02\x02\x02\r\n"
                    "0 0 0 0 0 0 \x02"
                    "DEFECTO\x02\x02\x02\x02\r\n");
        }
        const QString path = dir.path() + QLatin1Char('/');
        NodeList nodes;
        nodes.scan(path);
        const int rounds = count >= 10000 ? 5 : count >= 1000 ? 20 : 200;
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < rounds; ++i)
            nodes.scan(path);
        const double unchangedMs = double(t.nsecsElapsed()) / 1e6 / rounds;
        t.restart();
        for (int i = 0; i < rounds; ++i) {
            NodeList fresh; // knows no stamps, so reads every file
            fresh.scan(path);
        }
        const double rereadMs = double(t.nsecsElapsed()) / 1e6 / rounds;
        bench::row(QStringLiteral("%1 files: scan, unchanged (ms)").arg(count), QString::number(unchangedMs, 'f', 3));
        bench::row(QStringLiteral("%1 files: scan that rereads every file (ms)").arg(count),
                   QString::number(rereadMs, 'f', 3));
        bench::row(QStringLiteral("%1 files: reread / unchanged").arg(count),
                   QString::number(rereadMs / unchangedMs, 'f', 2));
    }
    return 0;
}
