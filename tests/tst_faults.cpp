#include "config/settings.h"
#include "link/frames.h"
#include "link/link.h"
#include "link/rng.h"
#include "link/sendqueue.h"
#include "schedule/backgroundcycle.h"
#include "tests/support/pty.h"
#include "tests/support/settableclock.h"
#include "tests/support/workdir.h"

#include <QSignalSpy>
#include <QTest>

namespace {
// The core with COM3 on a pseudo-terminal that the test can pull out and offer again.
struct Rig {
    WorkDir work;
    QString dir = work.subdir(QStringLiteral("datos"));
    std::unique_ptr<PtyPair> pty = std::make_unique<PtyPair>();
    Settings settings;
    Rng rng;
    SettableClock clock;
    Link link{&settings, PortMap(work.path(), work.env().devDir)};
    SendQueue queue{&link, &rng, true};
    BackgroundCycle cycle{&link, &rng, &clock, true};
    QSignalSpy status{&link, &Link::statusText};
    QSignalSpy sent{&queue, &SendQueue::jobSent};
    QSignalSpy ticks{&cycle, &BackgroundCycle::tickFinished};

    Rig()
    {
        work.writePorts({{3, pty->slavePath()}});
        link.OpenPort("COM3");
        cycle.setDataDir(dir);
    }
    QByteArray lastStatus() const { return status.isEmpty() ? QByteArray() : status.last().first().toByteArray(); }
    void pullOut() { pty->hangUp(); }
    void offerAgain()
    {
        pty = std::make_unique<PtyPair>();
        work.writePorts({{3, pty->slavePath()}});
    }
    bool queueTick()
    {
        const qsizetype before = sent.size();
        queue.trepeat()->fire();
        return sent.size() > before || sent.wait(10000);
    }
    bool cycleTick()
    {
        const qsizetype before = ticks.size();
        cycle.tbckg()->fire();
        return ticks.size() > before || ticks.wait(10000);
    }
};
} // namespace

class TestFaults : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void manualSendingResumes()
    {
        Rig r;
        r.queue.add("3P");
        QVERIFY(r.queueTick());
        QCOMPARE(r.pty->take(), frames::commandFrame("3P"));

        r.pullOut();
        r.queue.trepeat()->fire(); // this send fails on the dead line
        QTRY_COMPARE(r.lastStatus(), QByteArray("Se ha perdido el puerto COM3"));
        QTRY_VERIFY(!r.queue.sending());
        QVERIFY(!r.link.portOpen());
        QCOMPARE(r.queue.queue().size(), 9); // the failed job waits with the others

        // While the port is away the jobs wait; each tick tries the port again.
        r.queue.trepeat()->fire();
        r.queue.trepeat()->fire();
        QCOMPARE(r.queue.queue().size(), 9);
        QCOMPARE(r.lastStatus(), QByteArray("Se ha perdido el puerto COM3"));
        QVERIFY(r.queue.trepeat()->isEnabled());

        r.offerAgain();
        QVERIFY(r.queueTick());
        QVERIFY(r.status.contains(QVariantList{QByteArray("Se ha abierto el puerto COM3")}));
        QCOMPARE(r.pty->takeAtLeast(15), frames::commandFrame("3P"));
        QCOMPARE(r.queue.queue().size(), 8);
        QCOMPARE(r.settings.cfgPort, QByteArray("COM3"));
    }

    void backgroundSendingResumes()
    {
        Rig r;
        r.work.writeFile(QStringLiteral("datos/1.msg"), {});
        r.cycle.setRunning(true);
        QVERIFY(r.cycleTick());
        QCOMPARE(r.cycle.nodes().at(0).repeatsLeft, 9);
        r.pty->take();

        r.pullOut();
        QVERIFY(r.cycleTick());
        QTRY_COMPARE(r.lastStatus(), QByteArray("Se ha perdido el puerto COM3"));
        const int left = r.cycle.nodes().at(0).repeatsLeft;
        for (int i = 0; i < 3; ++i)
            r.cycle.tbckg()->fire();
        QCOMPARE(r.cycle.nodes().at(0).repeatsLeft, left); // nothing counts down while the port is away
        QVERIFY(r.cycle.running());
        QVERIFY(r.cycle.tbckg()->isEnabled());

        r.offerAgain();
        QVERIFY(r.cycleTick());
        QByteArray expected;
        for (const QByteArray &w : frames::textMessage(TNodeRecord::builtInDefault(), "1"))
            expected += w;
        QCOMPARE(r.pty->takeAtLeast(expected.size()), expected);
        QCOMPARE(r.cycle.nodes().at(0).repeatsLeft, left - 1);
    }

    void operatorChoiceEndsTheWait()
    {
        Rig r;
        r.queue.add("3B", 2);
        r.pullOut();
        r.queue.trepeat()->fire();
        QTRY_VERIFY(r.link.portLost());
        QTRY_VERIFY(!r.queue.sending());
        r.offerAgain();
        QCOMPARE(r.link.OpenPort("COM3"), 0);
        QVERIFY(!r.link.portLost());
        QVERIFY(r.queueTick());
        QCOMPARE(r.pty->takeAtLeast(15), frames::commandFrame("3B"));
        QCOMPARE(r.queue.queue().size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestFaults)
#include "tst_faults.moc"
