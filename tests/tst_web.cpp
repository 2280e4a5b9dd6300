#include "config/settings.h"
#include "tests/support/httpserver.h"
#include "tests/support/workdir.h"
#include "web/webpoller.h"

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <unistd.h>

namespace {
using Request = HttpServer::Request;
using Response = HttpServer::Response;

Response reply(const QByteArray &body, int status = 200)
{
    Response r;
    r.status = status;
    r.body = body;
    return r;
}
bool isStampRequest(const Request &r)
{
    return !r.hasQuery("time");
}

struct Web {
    HttpServer server;
    WorkDir work;
    Settings settings;
    QNetworkAccessManager network;
    WebPoller poller{&settings, &network, true};
    QSignalSpy finished{&poller, &WebPoller::pollFinished};
    QSignalSpy captions{&poller, &WebPoller::captionChanged};
    QSignalSpy status{&poller, &WebPoller::statusText};

    Web()
    {
        settings.cfgServer = server.hostAndPort();
        settings.cfgExt = "emp";
        settings.exeDir = work.subdir(QStringLiteral("exe"));
        settings.deriveDataDir();
        poller.setActive(true);
    }
    QString file(int node) const { return settings.exeDir + QString::number(node) + QStringLiteral(".msg"); }
    QByteArray read(int node) const
    {
        QFile f(file(node));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
    }
    bool poll()
    {
        const qsizetype before = finished.size();
        poller.tweb()->fire();
        return (finished.size() > before || finished.wait(20000)) && finished.last().first().toBool();
    }
    QByteArrayList targets() const
    {
        QByteArrayList t;
        for (const Request &r : server.requests())
            t.append(r.target);
        return t;
    }
};
} // namespace

class TestWeb : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void requestSequence()
    {
        Web w;
        w.work.writeFile(QStringLiteral("exe/5.msg"), "viejo\r\n");
        w.server.setHandler([](const Request &r) {
            const QByteArray node = r.query("nodo");
            if (node == "2")
                return reply(isStampRequest(r) ? "S2" : "0 1 9 0 13 30 \x02HOLA\x02\x02\x02\x02");
            if (node == "3")
                return reply("");
            return reply("no");
        });
        QVERIFY(w.poll());

        QByteArrayList expected;
        for (int n = 1; n <= 15; ++n) {
            const QByteArray base = "/lines.php?empresa=emp&nodo=" + QByteArray::number(n);
            expected.append(base + (n == 5 ? "&time=" : "&time=-1"));
            if (n == 2)
                expected.append(base);
        }
        QCOMPARE(w.targets(), expected);
        for (const Request &r : w.server.requests()) {
            QCOMPARE(r.method, QByteArray("GET"));
            QCOMPARE(r.version, QByteArray("HTTP/1.1"));
            QCOMPARE(r.headers.value("accept"), QByteArray("text/html, */*"));
            QCOMPARE(r.headers.value("content-type"), QByteArray("text/html"));
            QCOMPARE(r.headers.value("user-agent"), QByteArray("Mozilla/3.0 (compatible; Indy Library)"));
        }
        QCOMPARE(w.read(2), QByteArray("0 1 9 0 13 30 \x02HOLA\x02\x02\x02\x02\r\n"));
        QCOMPARE(w.read(3), QByteArray("(none)"));
        QCOMPARE(w.read(5), QByteArray("viejo\r\n"));
        QCOMPARE(w.poller.webStamp(2), QByteArray("S2"));
        QCOMPARE(w.captions.first().first().toByteArray(), QByteArray("Conectando a Web"));
        QCOMPARE(w.captions.last().first().toByteArray(), QByteArray("Vantrel"));
        QVERIFY(w.status.isEmpty());
        QVERIFY(w.poller.tweb()->isEnabled());

        // The stamp goes back with the next check; a missing file asks with -1 all the same.
        w.server.clearRequests();
        QVERIFY(w.poll());
        QCOMPARE(w.targets().at(1), QByteArray("/lines.php?empresa=emp&nodo=2&time=S2"));
        QFile::remove(w.file(2));
        w.server.clearRequests();
        QVERIFY(w.poll());
        QCOMPARE(w.targets().at(1), QByteArray("/lines.php?empresa=emp&nodo=2&time=-1"));
    }

    void repliesWrittenAsTheyCome_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("No") << QByteArray("No") << QByteArray("No\r\n");
        QTest::newRow("no and a line end") << QByteArray("no\r\n") << QByteArray("no\r\n\r\n");
        QTest::newRow("ends in CR LF") << QByteArray("a\r\n") << QByteArray("a\r\n\r\n");
        QTest::newRow("no") << QByteArray("no") << QByteArray("(none)");
    }
    void repliesWrittenAsTheyCome()
    {
        QFETCH(QByteArray, body);
        Web w;
        w.server.setHandler([body](const Request &r) {
            return reply(r.query("nodo") != "4" ? QByteArray("no") : isStampRequest(r) ? QByteArray("s") : body);
        });
        QVERIFY(w.poll());
        QTEST(w.read(4), "file");
    }

    void longStampIsCut()
    {
        Web w;
        const QByteArray stamp(300, 'x');
        w.server.setHandler([stamp](const Request &r) {
            return reply(r.query("nodo") != "1" ? QByteArray("no") : isStampRequest(r) ? stamp : QByteArray("c"));
        });
        QVERIFY(w.poll());
        QCOMPARE(w.poller.webStamp(1), stamp.left(255));
        w.server.clearRequests();
        QVERIFY(w.poll());
        QCOMPARE(w.server.requests().first().query("time"), stamp.left(255));
    }

    void failuresEndThePoll_data()
    {
        QTest::addColumn<QByteArray>("kind");
        QTest::newRow("500") << QByteArray("500");
        QTest::newRow("redirect") << QByteArray("redirect");
        QTest::newRow("never answers") << QByteArray("hang");
        QTest::newRow("reset in mid-body") << QByteArray("reset");
        QTest::newRow("10 MiB body") << QByteArray("huge");
    }
    void failuresEndThePoll()
    {
        QFETCH(QByteArray, kind);
        Web w;
        w.poller.setTimeoutMs(500);
        for (int n = 1; n <= 15; ++n)
            w.work.writeFile(QStringLiteral("exe/%1.msg").arg(n), "viejo\r\n");
        w.server.setHandler([kind](const Request &r) {
            const int node = r.query("nodo").toInt();
            if (node < 7)
                return reply(isStampRequest(r) ? "s" : "nuevo");
            if (node > 7)
                return reply("no");
            Response bad = reply(QByteArray(10 * 1024 * 1024, 'x'));
            if (kind == "500")
                bad.status = 500;
            if (kind == "redirect")
                bad = Response{302, "nuevo", {{"Location", "/otra"}}, 0, false, false};
            bad.hang = kind == "hang";
            bad.resetMidBody = kind == "reset";
            return bad;
        });
        QVERIFY(!w.poll());
        for (int n = 1; n <= 6; ++n)
            QCOMPARE(w.read(n), QByteArray("nuevo\r\n"));
        for (int n = 7; n <= 15; ++n)
            QCOMPARE(w.read(n), QByteArray("viejo\r\n"));
        QCOMPARE(w.targets().last(), QByteArray("/lines.php?empresa=emp&nodo=7&time="));
        QCOMPARE(w.status.last().first().toByteArray(), "Imposible conectar con " + w.settings.cfgServer);
        QCOMPARE(w.captions.last().first().toByteArray(), QByteArray("Vantrel"));
        QVERIFY(w.poller.tweb()->isEnabled());

        // The next poll starts again at node 1 and goes through.
        w.server.setHandler([](const Request &) { return reply("no"); });
        w.server.clearRequests();
        QVERIFY(w.poll());
        QCOMPARE(w.server.requests().size(), 15);
    }

    void refusedConnection()
    {
        Web w;
        w.server.close();
        QVERIFY(!w.poll());
        QCOMPARE(w.status.last().first().toByteArray(), "Imposible conectar con " + w.settings.cfgServer);
    }

    void folderModeSendsNothing()
    {
        Web w;
        w.settings.cfgServer = "datos";
        w.poller.tweb()->fire();
        QVERIFY(!w.poller.polling());
        QVERIFY(w.captions.isEmpty());
        QVERIFY(w.poller.tweb()->isEnabled());
        QTest::qWait(0);
        QVERIFY(w.server.requests().isEmpty());
    }

    // A file that cannot be written keeps the old file and the old stamp; the next poll asks again.
    void failedWriteKeepsOldFileAndStamp()
    {
        Web w;
        w.work.writeFile(QStringLiteral("exe/3.msg"), "viejo\r\n");
        w.server.setHandler([](const Request &r) {
            return reply(r.query("nodo") != "3" ? QByteArray("no")
                         : isStampRequest(r)    ? QByteArray("nuevo-sello")
                                                : QByteArray("nuevo"));
        });
        const QString dir = w.settings.exeDir;
        const bool root = ::geteuid() == 0;
        if (root) {
            if (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), dir}) != 0)
                QSKIP("cannot make a folder read-only for root here");
        } else {
            QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner);
        }
        const bool ok = w.poll();
        if (root)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), dir});
        else
            QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!ok);
        QCOMPARE(w.read(3), QByteArray("viejo\r\n"));
        QCOMPARE(w.poller.webStamp(3), QByteArray());
        QCOMPARE(QDir(dir).entryList(QDir::Files), QStringList{QStringLiteral("3.msg")}); // no leftovers

        w.server.clearRequests();
        QVERIFY(w.poll());
        QCOMPARE(w.read(3), QByteArray("nuevo\r\n"));
        QCOMPARE(w.poller.webStamp(3), QByteArray("nuevo-sello"));
    }

    void nodeFileTurnedIntoAFolder()
    {
        Web w;
        QDir(w.settings.exeDir).mkdir(QStringLiteral("4.msg"));
        w.server.setHandler([](const Request &r) {
            return reply(r.query("nodo") != "4" ? QByteArray("no")
                         : isStampRequest(r)    ? QByteArray("s")
                                                : QByteArray("x"));
        });
        QVERIFY(!w.poll());
        QCOMPARE(w.status.last().first().toByteArray(), "Imposible conectar con " + w.settings.cfgServer);
        QCOMPARE(w.poller.webStamp(4), QByteArray());
        QDir(w.settings.exeDir).rmdir(QStringLiteral("4.msg"));
        QVERIFY(w.poll());
        QCOMPARE(w.read(4), QByteArray("x\r\n"));
    }

    void bytesThatCannotStandInAUrl()
    {
        Web w;
        w.settings.cfgExt = "compa\xF1\xED"
                            "a 1";
        w.server.setHandler([](const Request &r) {
            return reply(r.query("nodo") != "1" ? QByteArray("no")
                         : isStampRequest(r)    ? QByteArray("a b")
                                                : QByteArray("x"));
        });
        QVERIFY(w.poll());
        QCOMPARE(w.targets().first(), QByteArray("/lines.php?empresa=compa%F1%EDa%201&nodo=1&time=-1"));
        w.server.clearRequests();
        QVERIFY(w.poll());
        QCOMPARE(w.server.requests().first().query("time"), QByteArray("a%20b"));
    }

    void cookiesGoBack()
    {
        Web w;
        w.server.setHandler([](const Request &r) {
            Response resp = reply("no");
            if (r.query("nodo") == "1")
                resp.headers.append(qMakePair(QByteArray("Set-Cookie"), QByteArray("sesion=abc; Path=/")));
            return resp;
        });
        QVERIFY(w.poll());
        QCOMPARE(w.server.requests().at(1).headers.value("cookie"), QByteArray("sesion=abc"));
    }

    void windowThreadKeepsRunning()
    {
        Web w;
        w.server.setHandler([](const Request &) {
            Response r = reply("no");
            r.delayMs = 20;
            return r;
        });
        int probes = 0;
        QTimer probe;
        probe.setInterval(5);
        QObject::connect(&probe, &QTimer::timeout, [&] { ++probes; });
        probe.start();
        w.poller.tweb()->fire();
        QVERIFY(w.poller.polling());
        QVERIFY(w.finished.wait(20000));
        QVERIFY(probes > 0); // the probe ticked while the poll waited on the server
    }

    void pollerGoesMidRequest()
    {
        HttpServer server;
        server.setHandler([](const Request &) {
            Response r;
            r.hang = true;
            return r;
        });
        Settings settings;
        settings.cfgServer = server.hostAndPort();
        settings.cfgExt = "emp";
        QNetworkAccessManager network;
        {
            WebPoller poller(&settings, &network, true);
            poller.tweb()->fire();
            QTRY_COMPARE(server.requests().size(), 1);
        }
        QTRY_VERIFY(network.findChildren<QNetworkReply *>().isEmpty());
    }

    void stoppedPollDoesNotRearm()
    {
        Web w;
        w.poller.tweb()->fire();
        w.poller.setActive(false);
        QVERIFY(w.finished.wait(20000));
        QVERIFY(!w.poller.tweb()->isEnabled());
    }
};

QTEST_GUILESS_MAIN(TestWeb)
#include "tst_web.moc"
