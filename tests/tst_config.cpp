#include "config/codec.h"
#include "config/portmap.h"
#include "config/settings.h"
#include "config/textlines.h"
#include "tests/support/workdir.h"

#include <QDir>
#include <QFile>
#include <QTest>

class TestConfig : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void iniFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("port");
        QTest::addColumn<QByteArray>("server");
        QTest::addColumn<QByteArray>("ext");
        QTest::addColumn<QString>("dataDir"); // relative to the working folder; "exe" stands for exeDir

        QTest::newRow("CR LF") << QByteArray("COM3\r\ndatos/\r\nx\r\n") << QByteArray("COM3") << QByteArray("datos/")
                               << QByteArray("x") << "datos/";
        QTest::newRow("LF only") << QByteArray("COM3\ndatos/\nx\n") << QByteArray("COM3") << QByteArray("datos/")
                                 << QByteArray("x") << "datos/";
        QTest::newRow("missing lines") << QByteArray("COM3\r\n") << QByteArray("COM3") << QByteArray() << QByteArray()
                                       << "";
        QTest::newRow("0x1A ends the file") << QByteArray("COM3\r\ndat\x1aos\r\nx\r\n") << QByteArray("COM3")
                                            << QByteArray("dat") << QByteArray() << "dat/";
        QTest::newRow("spaces kept") << QByteArray("COM3 \r\n datos/\r\n") << QByteArray("COM3 ")
                                     << QByteArray(" datos/") << QByteArray() << " datos/";
        QTest::newRow("lone CR dropped") << QByteArray("CO\rM3\r\n") << QByteArray("COM3") << QByteArray()
                                         << QByteArray() << "";
        QTest::newRow("fourth line ignored")
            << QByteArray("a\nb\nc\nd\n") << QByteArray("a") << QByteArray("b") << QByteArray("c") << "b/";
        QTest::newRow("dotted server is web mode") << QByteArray("COM1\r\n192.168.1.5\r\nemp\r\n") << QByteArray("COM1")
                                                   << QByteArray("192.168.1.5") << QByteArray("emp") << "exe";
        QTest::newRow("folder with a dot is web mode")
            << QByteArray("COM1\r\n/srv/v1.0/datos/\r\n") << QByteArray("COM1") << QByteArray("/srv/v1.0/datos/")
            << QByteArray() << "exe";
        QTest::newRow("separator added to a folder") << QByteArray("COM1\r\nservidor\r\n") << QByteArray("COM1")
                                                     << QByteArray("servidor") << QByteArray() << "servidor/";
    }
    void iniFile()
    {
        QFETCH(QByteArray, content);
        WorkDir dir;
        dir.writeFile(QStringLiteral("ini.cfg"), content);
        Settings s;
        s.exeDir = QStringLiteral("/opt/vantrel/");
        QCOMPARE(s.load(dir.path()), Settings::LoadResult::Loaded);
        QTEST(s.cfgPort, "port");
        QTEST(s.cfgServer, "server");
        QTEST(s.cfgExt, "ext");
        QFETCH(QString, dataDir);
        QCOMPARE(s.dataDir, dataDir == QLatin1String("exe") ? s.exeDir : dataDir);
    }

    void iniMissingAndUnreadable()
    {
        WorkDir dir;
        Settings s;
        QCOMPARE(s.load(dir.path()), Settings::LoadResult::Missing);
        QVERIFY(s.cfgPort.isEmpty() && s.dataDir.isEmpty());

        QDir(dir.path()).mkdir(QStringLiteral("ini.cfg")); // exists, cannot be read as a file
        QString error;
        QCOMPARE(s.load(dir.path(), &error), Settings::LoadResult::Failed);
        QVERIFY(!error.isEmpty());
    }

    void iniSave()
    {
        WorkDir dir;
        dir.writeFile(QStringLiteral("ini.cfg"), "old\r\nold\r\nold\r\nfourth\r\n");
        QVERIFY(Settings::save(dir.path(), "COM3", "C:\\datos\\", {}));
        QCOMPARE(dir.readFile(QStringLiteral("ini.cfg")), QByteArray("COM3\r\nC:\\datos\\\r\n\r\n"));
        QVERIFY(!Settings::save(dir.filePath(QStringLiteral("missing/folder")), "COM3", "x", "y"));
    }

    void portsFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QList<int>>("numbers");
        QTest::addColumn<int>("warnings");
        QTest::newRow("plain") << QByteArray("COM3=/dev/a\nCOM1=/dev/b\n") << QList<int>{3, 1} << 0;
        QTest::newRow("comments, blanks, spaces")
            << QByteArray("# pinned\n\n  COM7 = /dev/x  \n") << QList<int>{7} << 0;
        QTest::newRow("malformed lines skipped")
            << QByteArray("COM=/dev/a\nCOMx=/dev/b\nCOM2\nCOM0=/dev/c\nLPT1=/dev/d\nCOM4=rel/path\nCOM5=/dev/e\n")
            << QList<int>{5} << 6;
        QTest::newRow("duplicate number: first wins") << QByteArray("COM2=/dev/a\nCOM2=/dev/b\n") << QList<int>{2} << 1;
        QTest::newRow("CR LF") << QByteArray("COM2=/dev/a\r\n") << QList<int>{2} << 0;
    }
    void portsFile()
    {
        QFETCH(QByteArray, content);
        QStringList warnings;
        QList<int> numbers;
        for (const PortMap::Entry &e : PortMap::parse(content, &warnings))
            numbers.append(e.number);
        QTEST(numbers, "numbers");
        QTEST(int(warnings.size()), "warnings");
    }

    void detectionOrderAndConfigWins()
    {
        WorkDir dir;
        const QString dev = dir.env().devDir;
        for (const char *name : {"ttyS0", "ttyS1", "ttyS3", "ttyUSB0", "ttyACM0", "ttyACM1"})
            dir.writeFile(QStringLiteral("dev/") + QLatin1String(name), {});
        dir.writePorts({{2, QStringLiteral("/dev/serial/by-id/usb-adapter")}, {4, dev + QStringLiteral("/ttyACM1")}});

        const PortMap map(dir.path(), dev);
        QList<QPair<int, QString>> got;
        for (const PortMap::Entry &e : map.entries())
            got.append({e.number, QFileInfo(e.path).fileName()});
        // ttyS3 stands after a gap and is not taken; a device pinned in ports.cfg keeps its own number only.
        const QList<QPair<int, QString>> expected{{1, QStringLiteral("ttyS0")},   {2, QStringLiteral("usb-adapter")},
                                                  {3, QStringLiteral("ttyS1")},   {4, QStringLiteral("ttyACM1")},
                                                  {5, QStringLiteral("ttyUSB0")}, {6, QStringLiteral("ttyACM0")}};
        QCOMPARE(got, expected);
        QCOMPARE(map.resolve(2), QStringLiteral("/dev/serial/by-id/usb-adapter"));
        QVERIFY(map.resolve(9).isEmpty());

        // Read afresh: a mapping added later is found at once.
        dir.writePorts({{9, QStringLiteral("/dev/late")}});
        QCOMPARE(map.resolve(9), QStringLiteral("/dev/late"));
    }

    void codec_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ascii") << QStringLiteral("HOLA") << QByteArray("HOLA");
        QTest::newRow("spanish") << QStringLiteral("línea ñ €") << QByteArray("l\xEDnea \xF1 \x80");
        QTest::newRow("no 1252 byte becomes ?") << QStringLiteral("a中b") << QByteArray("a?b");
        QTest::newRow("outside the BMP is one ?") << QString::fromUtf8("a\xF0\x9F\x98\x80z") << QByteArray("a?z");
    }
    void codec()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(cp1252::fromUnicode(text), bytes);
        if (!bytes.contains('?'))
            QCOMPARE(cp1252::toUnicode(bytes), text);
    }

    void toInt_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << QByteArray("3") << true << 3;
        QTest::newRow("leading zero") << QByteArray("03") << true << 3;
        QTest::newRow("signs") << QByteArray("-12") << true << -12;
        QTest::newRow("plus") << QByteArray("+5") << true << 5;
        QTest::newRow("empty") << QByteArray() << false << 0;
        QTest::newRow("sign alone") << QByteArray("-") << false << 0;
        QTest::newRow("letters") << QByteArray("x") << false << 0;
        QTest::newRow("blank inside") << QByteArray(" 3") << false << 0;
        QTest::newRow("too large") << QByteArray("99999999999") << false << 0;
    }
    void toInt()
    {
        QFETCH(QByteArray, text);
        int value = 0;
        QTEST(textlines::toInt(text, &value), "ok");
        QTEST(value, "value");
    }
};

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
