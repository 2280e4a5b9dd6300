#include "link/frames.h"
#include "link/rng.h"

#include <QTest>

namespace {
QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}
QByteArray blanks(int n)
{
    return QByteArray(n, ' ');
}
} // namespace

class TestFrames : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void checksum_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("check");
        QTest::newRow("empty body") << QByteArray() << 0xAB;
        QTest::newRow("0P") << QByteArray("0P") << 0x2B;
        QTest::newRow("sum 0xAB gives 0x00") << QByteArray("3x") << 0x00;
        QTest::newRow("accented byte counts unsigned") << QByteArray("\xED") << 0xBE;
        QTest::newRow("sum wraps") << QByteArray("\xFF\xFF") << 0xAD;
    }
    void checksum()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, check);
        QCOMPARE(frames::Checksum(body), QByteArray(1, char(check)));
    }

    void centerLine_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("centred");
        QTest::newRow("odd blanks go right") << QByteArray("abc") << blanks(8) + "abc" + blanks(9);
        QTest::newRow("even") << QByteArray("ab") << blanks(9) + "ab" + blanks(9);
        QTest::newRow("empty") << QByteArray() << blanks(20);
        QTest::newRow("exactly 20") << QByteArray("12345678901234567890") << QByteArray("12345678901234567890");
        QTest::newRow("21 is dropped") << QByteArray("123456789012345678901") << QByteArray();
    }
    void centerLine()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, centred);
        QCOMPARE(frames::CenterLine(line), centred);
    }

    void frameBytes_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("command 0P") << frames::commandFrame("0P")
                                    << hex("55 55 55 55 55 44 11 45 15 55 23 30 50 2B 24");
        QTest::newRow("command 0S1") << frames::commandFrame("0S1")
                                     << hex("55 55 55 55 55 44 11 45 15 55 23 30 53 31 F7 24");
        QTest::newRow("line HOLA to 3") << frames::lineFrame("3", 0, "HOLA")
                                        << hex("23 33 54 30") + blanks(8) + "HOLA" + blanks(8) + hex("D0 24");
        QTest::newRow("closing to 3") << frames::closingFrame("3") << hex("23 33 46 24");
        QTest::newRow("closing to 12") << frames::closingFrame("12") << hex("23 31 32 46 24");
        QTest::newRow("over-long line has no text")
            << frames::lineFrame("3", 0, QByteArray(21, 'x')) << hex("23 33 54 30") + frames::Checksum("3T0") + "$";
        QTest::newRow("check byte 0x00 kept")
            << frames::commandFrame("3x") << frames::preamble() + hex("23 33 78 00 24");
    }
    void frameBytes()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, expected);
        QCOMPARE(frame.toHex(' '), expected.toHex(' '));
    }

    void textMessage_data()
    {
        QTest::addColumn<QByteArray>("job");
        QTest::addColumn<QByteArrayList>("lines");
        const QByteArray stx(1, '\x02');
        QTest::newRow("manual job") << stx + "A" + stx + "B" + stx + "C" + stx + "D" + stx
                                    << QByteArrayList{"A", "B", "C", "D"};
        QTest::newRow("lead-in dropped, fifth line ignored")
            << QByteArray("0 1 9 0 13 30 x") + stx + "A" + stx + "B" + stx + "C" + stx + "D" + stx + "E" + stx
            << QByteArrayList{"A", "B", "C", "D"};
        QTest::newRow("no STX: four blank lines") << QByteArray("3P") << QByteArrayList{"", "", "", ""};
        QTest::newRow("two lines, rest blank") << stx + "A" + stx + stx << QByteArrayList{"A", "", "", ""};
        QTest::newRow("last line without closing STX is blank")
            << stx + "A" + stx + "B" + stx + "C" + stx + "D" << QByteArrayList{"A", "B", "C", ""};
    }
    void textMessage()
    {
        QFETCH(QByteArray, job);
        QFETCH(QByteArrayList, lines);
        const QList<QByteArray> writes = frames::textMessage(job, "7");
        QCOMPARE(writes.size(), 6);
        QCOMPARE(writes.first(), frames::preamble());
        for (int i = 0; i < 4; ++i)
            QCOMPARE(writes.at(i + 1), frames::lineFrame("7", i, lines.at(i)));
        QCOMPARE(writes.last(), QByteArray("#7F$"));
        qsizetype total = 0;
        for (const QByteArray &w : writes)
            total += w.size();
        QCOMPARE(total, 118);
    }

    void twoDigitAddress()
    {
        const QByteArray frame = frames::lineFrame("12", 1, "x");
        QCOMPARE(frame.size(), 27);
        QVERIFY(frame.startsWith(hex("23 31 32 54")));
    }

    void generatorSequence()
    {
        Rng rng;
        QList<int> pauses;
        for (int i = 0; i < 8; ++i)
            pauses.append(rng.pauseMs());
        QCOMPARE(pauses, (QList<int>{800, 812, 1144, 881, 909, 1068, 927, 864}));
        for (int i = 0; i < 10000; ++i) {
            const int p = rng.pauseMs();
            QVERIFY(p >= 800 && p <= 1199);
        }
    }
};

QTEST_APPLESS_MAIN(TestFrames)
#include "tst_frames.moc"
