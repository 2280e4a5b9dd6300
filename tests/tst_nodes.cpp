#include "schedule/nodelist.h"
#include "tests/support/workdir.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {
const QByteArray kText("\x02"
                       "A\x02"
                       "B\x02"
                       "C\x02"
                       "D\x02");

struct Folder {
    WorkDir work;
    QString dir = work.subdir(QStringLiteral("datos"));
    NodeList nodes;

    void write(const QString &name, const QByteArray &content, const QDateTime &stamp = {})
    {
        work.writeFile(QStringLiteral("datos/") + name, content);
        if (stamp.isValid()) {
            QFile f(dir + name);
            f.open(QIODevice::ReadWrite);
            f.setFileTime(stamp, QFileDevice::FileModificationTime);
        }
    }
    int scan() { return nodes.scan(dir); }
    const TNodeRecord *node(int number) const
    {
        const int i = nodes.FindNode(number);
        return i < 0 ? nullptr : &nodes.at(i);
    }
};
} // namespace

class TestNodes : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void emptyFileGivesTheBuiltInDefault()
    {
        Folder f;
        f.write(QStringLiteral("3.msg"), {});
        QCOMPARE(f.scan(), 1);
        QVERIFY(f.node(3));
        QVERIFY(f.node(3)->lines.isEmpty());
        QCOMPARE(f.node(3)->defaultText, QByteArray("\x02Mensaje\x02por\x02"
                                                    "defecto\x02\x02"));
        QCOMPARE(f.node(3)->defaultText.size(), 22);
        QCOMPARE(f.node(3)->selected, TNodeRecord::kNothing);
    }

    void defaultLines()
    {
        Folder f;
        const QByteArray first = "0 0 0 0 0 0 \x02PRIMERO\x02\x02\x02\x02";
        const QByteArray last = "0 0 0 0 0 0 \x02ULTIMO\x02\x02\x02\x02";
        f.write(QStringLiteral("3.msg"),
                "0 1 9 0 13 30 " + kText + "\r\n" + first + "\r\n0 2 9 0 13 30 " + kText + "\r\n" + last + "\r\n");
        f.scan();
        QCOMPARE(f.node(3)->lines.size(), 4);
        QCOMPARE(f.node(3)->defaultText, last);
        f.write(QStringLiteral("3.msg"), first + "\n");
        f.scan();
        QCOMPARE(f.node(3)->defaultText, first);
    }

    void linesAsRead()
    {
        Folder f;
        f.write(QStringLiteral("4.msg"), "uno\r\n\r\ndos\nmal\rformada\r\n\x1a"
                                         "despues");
        f.scan();
        QCOMPARE(f.node(4)->lines, (QByteArrayList{"uno", "", "dos", "malformada"}));
    }

    void namesAndOrder()
    {
        Folder f;
        f.write(QStringLiteral("12.msg"), {});
        f.write(QStringLiteral("3.MSG"), {}); // files come from Windows machines
        f.write(QStringLiteral("5.Msg"), {});
        f.write(QStringLiteral("7.txt"), {});
        f.scan();
        QList<int> order;
        for (int i = 0; i < f.nodes.size(); ++i)
            order.append(f.nodes.at(i).node);
        QCOMPARE(order, (QList<int>{12, 3, 5})); // name order, letter case aside
    }

    void twoFilesForOneNode()
    {
        Folder f;
        const QDateTime t = QDateTime::currentDateTime().addSecs(-100);
        f.write(QStringLiteral("07.msg"), "de 07\n", t);
        f.write(QStringLiteral("7.msg"), "de 7\n", t.addSecs(10));
        f.scan();
        QCOMPARE(f.nodes.size(), 1);
        QCOMPARE(f.node(7)->lines, QByteArrayList{"de 7"}); // the one listed later
        QCOMPARE(f.scan(), 2);                              // stamps differ: both read on every scan
        QCOMPARE(f.node(7)->lines, QByteArrayList{"de 7"});
    }

    void deletedFileKeepsItsNode()
    {
        Folder f;
        f.write(QStringLiteral("3.msg"), "linea\n");
        f.scan();
        QFile::remove(f.dir + QStringLiteral("3.msg"));
        QCOMPARE(f.scan(), 0);
        QCOMPARE(f.node(3)->lines, QByteArrayList{"linea"});
    }

    void unchangedFilesAreNotRead()
    {
        Folder f;
        f.write(QStringLiteral("3.msg"), "a\n");
        QCOMPARE(f.scan(), 1);
        QCOMPARE(f.scan(), 0);
        TNodeRecord &r = f.nodes.at(0);
        r.selected = 0; // a selection survives a scan that reads nothing
        f.scan();
        QCOMPARE(r.selected, 0);
    }

    // A stray file must not silence the nodes listed after it.
    void strayNamesArePassedOver()
    {
        Folder f;
        f.write(QStringLiteral(".msg"), "x\n");
        f.write(QStringLiteral("1.msg"), "uno\n");
        f.write(QStringLiteral("abc.msg"), "x\n");
        f.write(QStringLiteral("9.msg"), "nueve\n");
        QCOMPARE(f.scan(), 2);
        QCOMPARE(f.nodes.size(), 2);
        QVERIFY(f.node(1) && f.node(9));
    }

    // An unreadable file is tried again later; its record keeps what it had.
    void unreadableFileKeepsTheRecord()
    {
        Folder f;
        QDir(f.dir).mkdir(QStringLiteral("2.msg"));
        f.write(QStringLiteral("4.msg"), "cuatro\n");
        QCOMPARE(f.scan(), 1);
        QVERIFY(!f.node(2)); // a new node is added only once its file has been read
        QVERIFY(f.node(4));

        TNodeRecord &four = f.nodes.at(f.nodes.FindNode(4));
        four.selected = 0;
        const FileStamp before = four.fileTime;
        QFile::remove(f.dir + QStringLiteral("4.msg"));
        QDir(f.dir).mkdir(QStringLiteral("4.msg"));
        QCOMPARE(f.scan(), 0);
        QCOMPARE(four.lines, QByteArrayList{"cuatro"});
        QCOMPARE(four.selected, 0);
        QVERIFY(four.fileTime == before);

        QDir(f.dir).rmdir(QStringLiteral("4.msg"));
        f.write(QStringLiteral("4.msg"), "otra vez\n");
        QCOMPARE(f.scan(), 1);
        QCOMPARE(four.lines, QByteArrayList{"otra vez"});
    }

    // A rewrite within the same two seconds is still seen.
    void changeTestIsFine_data()
    {
        QTest::addColumn<int>("laterMs");
        QTest::addColumn<QByteArray>("second");
        QTest::newRow("one second later, same size") << 1000 << QByteArray("bbbb\n");
        QTest::newRow("a few ms later, same size") << 3 << QByteArray("cccc\n");
        QTest::newRow("same time, other size") << 0 << QByteArray("dddddd\n");
        QTest::newRow("earlier copy") << -5000 << QByteArray("eeee\n");
    }
    void changeTestIsFine()
    {
        QFETCH(int, laterMs);
        QFETCH(QByteArray, second);
        Folder f;
        const QDateTime t(QDate(2026, 12, 7), QTime(10, 0, 0));
        f.write(QStringLiteral("3.msg"), "aaaa\n", t);
        f.scan();
        f.write(QStringLiteral("3.msg"), second, t.addMSecs(laterMs));
        QCOMPARE(f.scan(), 1);
        QCOMPARE(f.node(3)->lines.first() + '\n', second);
    }
};

QTEST_GUILESS_MAIN(TestNodes)
#include "tst_nodes.moc"
