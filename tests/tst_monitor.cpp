#include "tests/support/workdir.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

namespace {
// Starts the monitor with a simulated transmitter in dir and returns its COM name.
QString startVirtual(QProcess &monitor, const WorkDir &dir)
{
    monitor.setWorkingDirectory(dir.path());
    monitor.start(qEnvironmentVariable("MONITOR"), {QStringLiteral("--virtual"), QStringLiteral("--text")});
    if (!monitor.waitForReadyRead(10000))
        return {};
    const QRegularExpression re(QStringLiteral("Transmisor simulado en (COM\\d+) \\((.+)\\)"));
    const auto m = re.match(QString::fromLocal8Bit(monitor.readLine()));
    return m.hasMatch() ? m.captured(1) + QLatin1Char('=') + m.captured(2) : QString();
}
} // namespace

class TestMonitor : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void virtualPortEntryComesAndGoes()
    {
        WorkDir dir;
        const QByteArray before = "# pinned by hand\nCOM1=/dev/serial/by-id/usb-x\n";
        dir.writeFile(QStringLiteral("ports.cfg"), before);
        QProcess monitor;
        const QString entry = startVirtual(monitor, dir);
        QVERIFY(!entry.isEmpty());
        QVERIFY(!entry.startsWith(QLatin1String("COM1=")));
        QCOMPARE(dir.readFile(QStringLiteral("ports.cfg")), before + entry.toLocal8Bit() + '\n');
        monitor.terminate();
        QVERIFY(monitor.waitForFinished(10000));
        QCOMPARE(dir.readFile(QStringLiteral("ports.cfg")), before);
    }

    // The program in background mode on one side, the monitor's panels on the other.
    void programToPanels()
    {
        WorkDir dir;
        dir.writeFile(QStringLiteral("datos/2.msg"), "0 0 0 0 0 0 \x02HOLA\x02MUNDO\x02\x02\x02\r\n");
        dir.writeFile(QStringLiteral("datos/7.msg"), {});
        QProcess monitor;
        const QString entry = startVirtual(monitor, dir);
        QVERIFY(!entry.isEmpty());
        dir.writeIni(entry.section(QLatin1Char('='), 0, 0).toLatin1(), "datos");

        QProcess vantrel;
        vantrel.setWorkingDirectory(dir.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        vantrel.setProcessEnvironment(env);
        vantrel.start(qEnvironmentVariable("VANTREL"));
        QVERIFY(vantrel.waitForStarted(10000));

        QByteArray seen;
        auto has = [&](const QByteArray &text) {
            seen += monitor.readAll();
            return seen.contains(text);
        };
        QTRY_VERIFY_WITH_TIMEOUT(has("|       MUNDO        |") && has("|      Mensaje       |"), 20000);
        QVERIFY(has("  [2] mostrando"));
        QVERIFY(has("  [7] mostrando"));
        QVERIFY(!has("trama err"));
        vantrel.kill();
        vantrel.waitForFinished(10000);
        monitor.terminate();
        QVERIFY(monitor.waitForFinished(10000));
    }
};

QTEST_GUILESS_MAIN(TestMonitor)
#include "tst_monitor.moc"
