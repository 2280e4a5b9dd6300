#include "link/frames.h"
#include "tests/support/pty.h"
#include "tests/support/workdir.h"

#include <QProcess>
#include <QTest>

namespace {
// The program as a service: no display at all.
void startHeadless(QProcess &p, const WorkDir &dir, const QStringList &args = {QStringLiteral("--headless")})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_LOGGING_RULES"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb")); // would fail if a window were made
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(dir.path());
    p.start(qEnvironmentVariable("VANTREL"), args);
}
} // namespace

class TestHeadless : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void servesFolderModeAndStopsCleanly()
    {
        WorkDir dir;
        PtyPair pty;
        dir.writePorts({{3, pty.slavePath()}});
        dir.writeIni("COM3", "datos");
        const QByteArray job = "0 0 0 0 0 0 \x02SERVICIO\x02SIN\x02PANTALLA\x02\x02";
        dir.writeFile(QStringLiteral("datos/2.msg"), job + "\r\n");
        QByteArray message;
        for (const QByteArray &w : frames::textMessage(job, "2"))
            message += w;

        QProcess p;
        startHeadless(p, dir);
        QByteArray wire;
        QTRY_VERIFY_WITH_TIMEOUT((wire += pty.take()).size() >= message.size(), 20000);
        QCOMPARE(wire.left(message.size()), message);

        p.terminate();
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        wire += pty.take();
        QCOMPARE(wire.size() % message.size(), 0); // only whole messages reached the wire
        QCOMPARE(wire, message.repeated(int(wire.size() / message.size())));
        const QByteArray log = p.readAllStandardError();
        QVERIFY2(log.contains("Se ha abierto el puerto COM3"), log.constData());
        QVERIFY2(log.contains("2:SERVICIO|SIN|PANTALLA||"), log.constData());
    }

    void refusesToStart_data()
    {
        QTest::addColumn<QByteArray>("ini"); // empty: none
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("no ini.cfg") << QByteArray() << QByteArray("no est\xC3\xA1 configurado");
        QTest::newRow("no port") << QByteArray("\r\ndatos\r\n\r\n") << QByteArray("no est\xC3\xA1 configurado");
        QTest::newRow("port does not open")
            << QByteArray("COM7\r\ndatos\r\n\r\n") << QByteArray("no se puede abrir el puerto COM7");
    }
    void refusesToStart()
    {
        QFETCH(QByteArray, ini);
        WorkDir dir;
        if (!ini.isEmpty())
            dir.writeFile(QStringLiteral("ini.cfg"), ini);
        QProcess p;
        startHeadless(p, dir);
        QVERIFY(p.waitForFinished(10000));
        QVERIFY(p.exitCode() != 0);
        QFETCH(QByteArray, message);
        const QByteArray err = p.readAllStandardError();
        QVERIFY2(err.contains(message), err.constData());
    }

    void options_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("output");
        QTest::newRow("help") << QStringList{"--help"} << 0 << QByteArray("--headless");
        QTest::newRow("version") << QStringList{"--version"} << 0 << QByteArray("vantrel ");
        QTest::newRow("unknown option") << QStringList{"--bogus"} << 2 << QByteArray("Unknown option 'bogus'");
        QTest::newRow("stray argument") << QStringList{"extra"} << 2 << QByteArray("argumento inesperado: extra");
    }
    void options()
    {
        QFETCH(QStringList, args);
        WorkDir dir;
        QProcess p;
        startHeadless(p, dir, args);
        QVERIFY(p.waitForFinished(10000));
        QTEST(p.exitCode(), "exitCode");
        QFETCH(QByteArray, output);
        const QByteArray all = p.readAllStandardOutput() + p.readAllStandardError();
        QVERIFY2(all.contains(output), all.constData());
    }
};

QTEST_GUILESS_MAIN(TestHeadless)
#include "tst_headless.moc"
