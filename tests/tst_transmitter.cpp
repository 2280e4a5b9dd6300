#include "config/settings.h"
#include "link/frames.h"
#include "link/link.h"
#include "tests/support/pty.h"
#include "tests/support/workdir.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <poll.h>

namespace {
QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// A link whose COM3 is a pseudo-terminal.
struct Rig {
    WorkDir dir;
    PtyPair pty;
    PtyPair other;
    Settings settings;
    Link link{&settings, PortMap(dir.path(), dir.env().devDir)};
    QSignalSpy status{&link, &Link::statusText};
    QSignalSpy caption{&link, &Link::captionChanged};

    Rig() { dir.writePorts({{3, pty.slavePath()}, {1, other.slavePath()}}); }
    QByteArray lastStatus() const { return status.isEmpty() ? QByteArray() : status.last().first().toByteArray(); }
};

// Sends and waits for the message's end, returning what reached the wire.
QByteArray sendText(Rig &rig, const QByteArray &job, const QByteArray &address)
{
    bool done = false;
    rig.link.SendText(job, address, [&](bool) { done = true; });
    [&] { QTRY_VERIFY(done); }();
    return rig.pty.take();
}
} // namespace

class TestTransmitter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void commandsOnTheWire_data()
    {
        QTest::addColumn<QByteArray>("job");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("0P") << QByteArray("0P") << hex("55 55 55 55 55 44 11 45 15 55 23 30 50 2B 24");
        QTest::newRow("0S1") << QByteArray("0S1") << hex("55 55 55 55 55 44 11 45 15 55 23 30 53 31 F7 24");
        QTest::newRow("check byte 0x00") << QByteArray("3x") << hex("55 55 55 55 55 44 11 45 15 55 23 33 78 00 24");
    }
    void commandsOnTheWire()
    {
        QFETCH(QByteArray, job);
        Rig rig;
        QCOMPARE(rig.link.OpenPort("COM3"), 0);
        bool done = false;
        rig.link.SendCommand(job, [&](bool ok) { done = ok; });
        QTRY_VERIFY(done);
        QTEST(rig.pty.take(), "wire");
        QCOMPARE(rig.caption.last().first().toByteArray(), job);
        QCOMPARE(rig.lastStatus(), job);
    }

    void textMessageOnTheWire()
    {
        Rig rig;
        QCOMPARE(rig.link.OpenPort("COM3"), 0);
        const QByteArray stx(1, '\x02');
        const QByteArray job = stx + "HOLA" + stx + QByteArray(21, 'x') + stx + "l\xEDnea" + stx + stx;
        const QByteArray wire = sendText(rig, job, "3");

        const QByteArray expected = frames::preamble() + hex("23 33 54 30") + QByteArray(8, ' ') + "HOLA" +
                                    QByteArray(8, ' ') + hex("D0 24") +                  // line 0, check D0
                                    hex("23 33 54 31") + frames::Checksum("3T1") + "$" + // over-long: 6 bytes
                                    "#3T2" + QByteArray(7, ' ') + "l\xEDnea" + QByteArray(8, ' ') +
                                    frames::Checksum("3T2" + QByteArray(7, ' ') + "l\xEDnea" + QByteArray(8, ' ')) +
                                    "$" + "#3T3" + QByteArray(20, ' ') + frames::Checksum("3T3" + QByteArray(20, ' ')) +
                                    "$" + hex("23 33 46 24");
        QCOMPARE(wire.toHex(' '), expected.toHex(' '));
        QCOMPARE(rig.lastStatus(), "3:" + frames::withoutLeadIn(job));
    }

    void twoDigitAddress()
    {
        Rig rig;
        QCOMPARE(rig.link.OpenPort("COM3"), 0);
        const QByteArray wire = sendText(rig,
                                         "\x02"
                                         "A\x02"
                                         "B\x02"
                                         "C\x02"
                                         "D\x02",
                                         "12");
        QCOMPARE(wire.size(), 10 + 4 * 27 + 5);
        QCOMPARE(wire.mid(10, 4), hex("23 31 32 54"));
        QVERIFY(wire.endsWith(hex("23 31 32 46 24")));
    }

    void messagesNeverInterleave()
    {
        Rig rig;
        QCOMPARE(rig.link.OpenPort("COM3"), 0);
        const QByteArray text = "\x02"
                                "UNO\x02"
                                "DOS\x02"
                                "TRES\x02"
                                "CUATRO\x02";
        QList<int> order;
        rig.link.SendText(text, "1", [&](bool) { order.append(1); });
        rig.link.SendCommand("2P", [&](bool) { order.append(2); });
        rig.link.SendText(text, "3", [&](bool) { order.append(3); });
        QTRY_COMPARE(order.size(), 3);
        QCOMPARE(order, (QList<int>{1, 2, 3}));
        QByteArray expected;
        for (const QByteArray &w : frames::textMessage(text, "1"))
            expected += w;
        expected += frames::commandFrame("2P");
        for (const QByteArray &w : frames::textMessage(text, "3"))
            expected += w;
        QCOMPARE(rig.pty.take().toHex(' '), expected.toHex(' '));
    }

    void noPortSendsNothing()
    {
        Rig rig;
        int done = 0;
        rig.link.SendCommand("3P", [&](bool ok) { done += ok ? 100 : 1; });
        rig.link.SendText("\x02x\x02", "3", [&](bool ok) { done += ok ? 100 : 1; });
        QTRY_COMPARE(done, 2);
        QCOMPARE(rig.caption.last().first().toByteArray(), QByteArray("3P")); // the caption changes all the same
        QVERIFY(rig.status.isEmpty());
        QVERIFY(rig.pty.take().isEmpty());
    }

    void openPortNames_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("result");
        QTest::addColumn<QByteArray>("statusText");
        QTest::addColumn<QByteArray>("cfgPort");
        QTest::addColumn<bool>("onThree"); // the open port is the pseudo-terminal mapped to COM3
        QTest::newRow("COM3") << QByteArray("COM3") << 0 << QByteArray("Se ha abierto el puerto COM3")
                              << QByteArray("COM3") << true;
        QTest::newRow("COM03 opens COM3")
            << QByteArray("COM03") << 0 << QByteArray("Se ha abierto el puerto COM03") << QByteArray("COM03") << true;
        QTest::newRow("& marks dropped") << QByteArray("CO&M3") << 0 << QByteArray("Se ha abierto el puerto COM3")
                                         << QByteArray("COM3") << true;
        QTest::newRow("first three characters skipped")
            << QByteArray("LPT1") << 0 << QByteArray("Se ha abierto el puerto LPT1") << QByteArray("LPT1") << false;
        QTest::newRow("unmapped number") << QByteArray("COM9") << -1 << QByteArray("El puerto esta siendo utilizado")
                                         << QByteArray("before") << false;
    }
    void openPortNames()
    {
        QFETCH(QByteArray, name);
        Rig rig;
        rig.settings.cfgPort = "before";
        QSignalSpy state(&rig.link, &Link::portStateChanged);
        QTEST(rig.link.OpenPort(name), "result");
        QTEST(rig.lastStatus(), "statusText");
        QTEST(rig.settings.cfgPort, "cfgPort");
        QFETCH(int, result);
        QCOMPARE(state.last().first().toBool(), result == 0);
        QFETCH(bool, onThree);
        QCOMPARE(rig.link.transmitter()->devicePath() == rig.pty.slavePath(), onThree);
    }

    void badNameLeavesOpenPort_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << QByteArray() << QStringLiteral("'' is not a valid integer value");
        QTest::newRow("COM") << QByteArray("COM") << QStringLiteral("'' is not a valid integer value");
        QTest::newRow("COMx") << QByteArray("COMx") << QStringLiteral("'x' is not a valid integer value");
    }
    void badNameLeavesOpenPort()
    {
        QFETCH(QByteArray, name);
        Rig rig;
        QCOMPARE(rig.link.OpenPort("COM3"), 0);
        rig.status.clear();
        QString error;
        QCOMPARE(rig.link.OpenPort(name, &error), Link::kBadPortName);
        QTEST(error, "message");
        QVERIFY(rig.link.portOpen());
        QVERIFY(rig.status.isEmpty());
        QCOMPARE(rig.settings.cfgPort, QByteArray("COM3"));
    }

    void reopenSamePort()
    {
        Rig rig;
        QCOMPARE(rig.link.OpenPort("COM3"), 0);
        QCOMPARE(rig.link.OpenPort("COM3"), 0);
        QCOMPARE(sendText(rig, "\x02x\x02", "3").size(), 118);
    }

    void portHeldByAnotherProgram()
    {
        Rig rig;
        QCOMPARE(rig.link.OpenPort("COM1"), 0);
        QProcess holder;
        holder.start(qEnvironmentVariable("PORTHOLD"), {rig.pty.slavePath()});
        QVERIFY(holder.waitForReadyRead(10000));
        QCOMPARE(holder.readLine().trimmed(), QByteArray("ready"));

        QCOMPARE(rig.link.OpenPort("COM3"), -1);
        QCOMPARE(rig.lastStatus(), QByteArray("El puerto esta siendo utilizado"));
        QVERIFY(!rig.link.portOpen()); // the port open before is closed as well
        QCOMPARE(rig.settings.cfgPort, QByteArray("COM1"));

        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished(10000));
        QCOMPARE(rig.link.OpenPort("COM3"), 0);
    }

    void reopenCutsMessageShort()
    {
        Rig rig;
        QCOMPARE(rig.link.OpenPort("COM3"), 0);
        bool finished = false;
        bool result = true;
        // A stuck reader: the master is not read, and the message is far larger than the
        // line's buffer, so it cannot finish by itself.
        rig.link.SendText("\x02" + QByteArray(20, 'a') + '\x02', QByteArray(40000, '9'), [&](bool ok) {
            finished = true;
            result = ok;
        });
        pollfd pfd{rig.pty.masterFd(), POLLIN, 0};
        QCOMPARE(::poll(&pfd, 1, 10000), 1); // the message is on the wire
        QCOMPARE(rig.link.OpenPort("COM1"), 0);
        QTRY_VERIFY(finished);
        QVERIFY(!result);
    }
};

QTEST_GUILESS_MAIN(TestTransmitter)
#include "tst_transmitter.moc"
