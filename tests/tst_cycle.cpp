#include "config/settings.h"
#include "link/frames.h"
#include "link/link.h"
#include "link/rng.h"
#include "schedule/backgroundcycle.h"
#include "tests/support/pty.h"
#include "tests/support/settableclock.h"
#include "tests/support/workdir.h"

#include <QSignalSpy>
#include <QTest>

namespace {
QByteArray text(const char *a, const char *b = "", const char *c = "", const char *d = "")
{
    return "\x02" + QByteArray(a) + "\x02" + b + "\x02" + c + "\x02" + d + "\x02";
}
QByteArray wireText(const QByteArray &job, int node)
{
    QByteArray bytes;
    for (const QByteArray &w : frames::textMessage(job, QByteArray::number(node)))
        bytes += w;
    return bytes;
}
QByteArray wireCommand(const QByteArray &job)
{
    return frames::commandFrame(job);
}

// Background mode on its own: a folder of node files, COM3 on a pseudo-terminal and a
// clock standing on Friday 11 December 2026 at 22:00.
struct Background {
    WorkDir work;
    QString dir = work.subdir(QStringLiteral("datos"));
    PtyPair pty;
    Settings settings;
    Rng rng;
    SettableClock clock{QDateTime(QDate(2026, 12, 11), QTime(22, 0))};
    Link link{&settings, PortMap(work.path(), work.env().devDir)};
    BackgroundCycle cycle{&link, &rng, &clock, true};
    QSignalSpy ticks{&cycle, &BackgroundCycle::tickFinished};

    Background()
    {
        work.writePorts({{3, pty.slavePath()}});
        link.OpenPort("COM3");
        cycle.setDataDir(dir);
        cycle.setRunning(true);
        cycle.tbckg()->setEnabled(true);
    }
    void write(const QString &name, const QByteArray &content)
    {
        work.writeFile(QStringLiteral("datos/") + name, content);
    }
    // One tick, and the bytes it put on the wire.
    QByteArray tick()
    {
        const qsizetype before = ticks.size();
        cycle.tbckg()->fire();
        if (ticks.size() == before && !ticks.wait(10000))
            return "timeout";
        return pty.take();
    }
};
} // namespace

class TestCycle : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void threeNodes()
    {
        Background b;
        const QByteArray friday = "0 5 20 0 23 0 " + text("VIERNES", "NOCHE");
        b.write(QStringLiteral("1.msg"), friday + "\r\n");
        b.write(QStringLiteral("2.msg"), "0 0 0 0 0 0 " + text("SOLO", "DEFECTO") + "\r\n");
        b.write(QStringLiteral("3.msg"), "0 5 21 0 0 600 \x05" + text("APAGADO") + "\r\n");
        const QByteArray expected = wireText(friday, 1) + wireText(text("SOLO", "DEFECTO"), 2) + wireCommand("3S20");
        for (int i = 0; i < 3; ++i)
            QCOMPARE(b.tick().toHex(' '), expected.toHex(' '));
    }

    void intervalFromTheGenerator()
    {
        Background b;
        b.write(QStringLiteral("1.msg"), {});
        Rng expected;
        for (int i = 0; i < 3; ++i) {
            b.tick();
            QCOMPARE(b.cycle.tbckg()->interval(), expected.pauseMs());
            QVERIFY(b.cycle.tbckg()->isEnabled());
        }
    }

    void linesTakeTurns()
    {
        Background b;
        const QByteArray first = "0 5 0 0 23 59 " + text("PRIMERO");
        const QByteArray second = "0 5 0 0 23 59 " + text("SEGUNDO");
        b.write(QStringLiteral("4.msg"), first + "\n" + second + "\n");
        QByteArray wire;
        for (int i = 0; i < 10; ++i)
            wire += b.tick();
        QCOMPARE(b.cycle.nodes().at(0).lines, (QByteArrayList{second, first})); // the used line moved to the end
        for (int i = 0; i < 11; ++i)
            wire += b.tick();
        QCOMPARE(wire, wireText(first, 4).repeated(10) + wireText(second, 4).repeated(10) + wireText(first, 4));
    }

    void switchOffRunThenText()
    {
        Background b;
        const QByteArray line = "0 5 21 0 0 600 \x05" + text("APAGADO");
        b.write(QStringLiteral("3.msg"), line + "\n");
        for (int i = 0; i < 10; ++i)
            QCOMPARE(b.tick(), wireCommand("3S20"));
        const TNodeRecord &r = b.cycle.nodes().at(0);
        QCOMPARE(r.selected, TNodeRecord::kNothing);
        QVERIFY(r.pendingCommand.isEmpty());     // a finished switch-off run leaves nothing behind
        QCOMPARE(b.tick(), wireCommand("3S20")); // still applies: chosen again
        for (int i = 0; i < 9; ++i)
            b.tick();
        b.clock.set(QDateTime(QDate(2026, 12, 11), QTime(21, 30))); // now only the weekly test holds
        QCOMPARE(b.tick(), wireText(line, 3));
    }

    void changedFileTakesEffectInTheSameTick()
    {
        Background b;
        b.write(QStringLiteral("5.msg"), "0 5 0 0 23 59 " + text("ANTES") + "\n");
        for (int i = 0; i < 3; ++i)
            b.tick();
        b.write(QStringLiteral("5.msg"), "0 5 0 0 23 59 " + text("DESPUES") + "\n");
        QCOMPARE(b.tick(), wireText("0 5 0 0 23 59 " + text("DESPUES"), 5));
    }

    void emptyFolderOnlyRearms()
    {
        Background b;
        QVERIFY(b.tick().isEmpty());
        QVERIFY(b.cycle.tbckg()->isEnabled());
    }

    void stopInTheMiddleOfATick()
    {
        Background b;
        for (int n = 1; n <= 3; ++n)
            b.write(QString::number(n) + QStringLiteral(".msg"), {});
        b.cycle.tbckg()->fire();
        QVERIFY(b.cycle.tickInProgress());
        b.cycle.setRunning(false); // "Detener"
        b.cycle.tbckg()->setEnabled(false);
        QVERIFY(b.ticks.wait(10000));
        const QByteArray deflt = TNodeRecord::builtInDefault();
        QCOMPARE(b.pty.take(), wireText(deflt, 1) + wireText(deflt, 2) + wireText(deflt, 3));
        QVERIFY(!b.cycle.tbckg()->isEnabled());
    }

    void ticksNeverNest()
    {
        Background b;
        for (int n = 1; n <= 3; ++n)
            b.write(QString::number(n) + QStringLiteral(".msg"), {});
        b.cycle.tbckg()->fire();
        // Stop and start again at once, while the tick is still on the wire.
        b.cycle.setRunning(false);
        b.cycle.tbckg()->setEnabled(false);
        b.cycle.setRunning(true);
        b.cycle.tbckg()->setEnabled(true);
        b.cycle.tbckg()->fire();
        QCOMPARE(b.cycle.nodes().at(0).repeatsLeft, 9); // the second tick did not start
        QVERIFY(b.ticks.wait(10000));
        QCOMPARE(b.ticks.size(), 1);
        QVERIFY(b.cycle.tbckg()->isEnabled());
        const QByteArray deflt = TNodeRecord::builtInDefault();
        QCOMPARE(b.pty.take(), wireText(deflt, 1) + wireText(deflt, 2) + wireText(deflt, 3));
    }

    void noPortCountsRunDown()
    {
        Background b;
        b.link.OpenPort("COM9");
        b.write(QStringLiteral("1.msg"), {});
        for (int i = 0; i < 10; ++i)
            QVERIFY(b.tick().isEmpty());
        QCOMPARE(b.cycle.nodes().at(0).selected, TNodeRecord::kNothing);
    }
};

QTEST_GUILESS_MAIN(TestCycle)
#include "tst_cycle.moc"
