#include "link/frames.h"
#include "tests/support/httpserver.h"
#include "tests/support/pty.h"
#include "tests/support/settableclock.h"
#include "tests/support/workdir.h"
#include "ui/tform1.h"

#include <QSignalSpy>
#include <QTest>

class TestEndToEnd : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A schedule changed on the server reaches the terminal: poll, node file, scan, selection, wire.
    void serverToWire()
    {
        HttpServer server;
        const QByteArray schedule = "0 1 0 0 23 59 \x02"
                                    "DESDE\x02"
                                    "LA WEB\x02\x02\x02";
        server.setHandler([&](const HttpServer::Request &r) {
            HttpServer::Response resp;
            resp.body = r.query("nodo") != "2" ? QByteArray("no") : r.hasQuery("time") ? schedule : QByteArray("1");
            return resp;
        });

        WorkDir dir;
        PtyPair pty;
        dir.writePorts({{3, pty.slavePath()}});
        dir.writeIni("COM3", server.hostAndPort(), "emp");
        SettableClock monday; // Monday 7 December 2026, 10:00
        Environment env = dir.env();
        env.clock = &monday;
        TForm1 form(env);
        form.show();
        form.Timer1Timer();
        QVERIFY(form.running());

        QSignalSpy polled(form.poller(), &WebPoller::pollFinished);
        form.tweb()->fire();
        QVERIFY(polled.wait(20000));
        QVERIFY(polled.last().first().toBool());
        QCOMPARE(dir.readFile(QStringLiteral("exe/2.msg")), schedule + "\r\n");

        QSignalSpy ticked(form.cycle(), &BackgroundCycle::tickFinished);
        form.tbckg()->fire();
        QVERIFY(ticked.wait(10000));
        QByteArray expected;
        for (const QByteArray &w : frames::textMessage(schedule, "2"))
            expected += w;
        QCOMPARE(pty.take(), expected);
        QCOMPARE(form.statusText().toLatin1(), "2:" + frames::withoutLeadIn(schedule));
    }
};

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
