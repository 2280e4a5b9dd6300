#include "schedule/nodelist.h"
#include "schedule/selection.h"

#include <QTest>

namespace {
// 2026-12-07 is a Monday.
QDateTime at(int month, int day, int hour, int minute)
{
    return QDateTime(QDate(2026, month, day), QTime(hour, minute));
}
const QByteArray kText("\x02"
                       "A\x02"
                       "B\x02"
                       "C\x02"
                       "D\x02");
} // namespace

class TestSelection : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parseEntry_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QList<int>>("fields");
        QTest::newRow("weekly") << "0 1 9 0 13 30 " + kText << QList<int>{0, 1, 9, 0, 13, 30};
        QTest::newRow("signs") << "+12 -3 0 0 0 0 " + kText << QList<int>{12, -3, 0, 0, 0, 0};
        QTest::newRow("two blanks shift the rest") << "0  1 9 0 13 30 " + kText << QList<int>{0, -1, 1, 9, 0, 13};
        QTest::newRow("missing blank after the sixth")
            << "0 1 9 0 13 30" + kText + " más" << QList<int>{0, 1, 9, 0, 13, -1};
        QTest::newRow("no blank left at the end") << QByteArray("0 1 9 0 13 30") << QList<int>{0, 1, 9, 0, 13, -1};
        QTest::newRow("not a number") << QByteArray("x 1 9 0 1e3 30 ") << QList<int>{-1, 1, 9, 0, -1, 30};
        QTest::newRow("empty line") << QByteArray() << QList<int>{-1, -1, -1, -1, -1, -1};
    }
    void parseEntry()
    {
        QFETCH(QByteArray, line);
        const Entry e = ParseEntry(line);
        QTEST((QList<int>{e.month, e.day, e.startHour, e.startMinute, e.endHour, e.endMinute}), "fields");
    }

    void selectEntry_data()
    {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QByteArray>("command");

        const QByteArray monday = "0 1 9 0 13 30 " + kText;
        QTest::newRow("weekly, start minute") << QByteArrayList{monday} << at(12, 7, 9, 0) << 0 << QByteArray();
        QTest::newRow("weekly, end minute included")
            << QByteArrayList{monday} << at(12, 7, 13, 30) << 0 << QByteArray();
        QTest::newRow("weekly, after the end") << QByteArrayList{monday} << at(12, 7, 13, 31) << -2 << QByteArray();
        QTest::newRow("weekly, before the start") << QByteArrayList{monday} << at(12, 7, 8, 59) << -2 << QByteArray();
        QTest::newRow("weekly, other weekday") << QByteArrayList{monday} << at(12, 8, 10, 0) << -2 << QByteArray();

        const QByteArrayList christmas{"0 4 0 0 23 59 " + kText, "12 24 18 0 23 59 " + kText};
        QTest::newRow("dated preferred to weekly") << christmas << at(12, 24, 18, 0) << 1 << QByteArray();
        QTest::newRow("dated, before its window") << christmas << at(12, 24, 17, 59) << 0 << QByteArray();
        QTest::newRow("dated, every year")
            << christmas << QDateTime(QDate(2030, 12, 24), QTime(23, 59)) << 1 << QByteArray();

        const QByteArrayList friday{"0 5 21 0 0 600 \x05" + kText};
        QTest::newRow("switch-off") << friday << at(12, 11, 22, 0) << -3 << QByteArray("3S20");
        QTest::newRow("switch-off to the end of the day") << friday << at(12, 11, 23, 59) << -3 << QByteArray("3S20");
        QTest::newRow("start hour itself is a weekly entry") << friday << at(12, 11, 21, 30) << 0 << QByteArray();
        QTest::newRow("end hour 0 is a weekly entry") << friday << at(12, 11, 0, 30) << 0 << QByteArray();
        QTest::newRow("switch-off needs 0x05")
            << QByteArrayList{"0 5 21 0 0 600 " + kText} << at(12, 11, 22, 0) << -2 << QByteArray();
        QTest::newRow("start hour 23 never switches off")
            << QByteArrayList{"0 5 23 0 0 600 \x05" + kText} << at(12, 11, 23, 30) << 0 << QByteArray();
        const QByteArrayList halfPast{"0 5 10 30 0 60 \x05" + kText};
        QTest::newRow("start minute 30: not before it") << halfPast << at(12, 11, 12, 15) << -2 << QByteArray();
        QTest::newRow("start minute 30: from it") << halfPast << at(12, 11, 12, 45) << -3 << QByteArray("3S2");
        QTest::newRow("switch-off wins over dated")
            << QByteArrayList{"12 11 0 0 23 59 " + kText, "0 5 9 0 0 30 \x05" + kText} << at(12, 11, 10, 0) << -3
            << QByteArray("3S1");

        const QByteArrayList sameHour{"0 1 10 15 10 45 " + kText};
        QTest::newRow("equal hours admit the whole hour, early") << sameHour << at(12, 7, 10, 0) << 0 << QByteArray();
        QTest::newRow("equal hours admit the whole hour, late") << sameHour << at(12, 7, 10, 59) << 0 << QByteArray();
        QTest::newRow("equal hours, next hour") << sameHour << at(12, 7, 11, 0) << -2 << QByteArray();
        const QByteArrayList overnight{"0 1 22 0 2 0 " + kText};
        QTest::newRow("end before start: start hour") << overnight << at(12, 7, 22, 30) << 0 << QByteArray();
        QTest::newRow("end before start: between") << overnight << at(12, 7, 1, 0) << -2 << QByteArray();
        QTest::newRow("end before start: end minute") << overnight << at(12, 7, 2, 0) << 0 << QByteArray();
        QTest::newRow("end before start: after") << overnight << at(12, 7, 2, 1) << -2 << QByteArray();

        QTest::newRow("default line never applies")
            << QByteArrayList{"0 0 0 0 23 59 " + kText} << at(12, 7, 12, 0) << -2 << QByteArray();
        QTest::newRow("month field -1") << QByteArrayList{"x 1 0 0 23 59 " + kText} << at(12, 7, 12, 0) << -2
                                        << QByteArray();
        QTest::newRow("day field -1 from two blanks")
            << QByteArrayList{"0  1 0 0 23 59 " + kText} << at(12, 7, 12, 0) << -2 << QByteArray();
        QTest::newRow("first that applies wins")
            << QByteArrayList{"0 2 0 0 23 59 " + kText, "0 1 0 0 23 59 " + kText, "0 1 0 0 23 59 " + kText}
            << at(12, 7, 12, 0) << 1 << QByteArray();
        QTest::newRow("no lines") << QByteArrayList{} << at(12, 7, 12, 0) << -2 << QByteArray();
    }
    void selectEntry()
    {
        QFETCH(QByteArrayList, lines);
        QFETCH(QDateTime, now);
        TNodeRecord r;
        r.node = 3;
        r.lines = lines;
        r.repeatsLeft = -1;
        QTEST(SelectEntry(r, now), "selected");
        QTEST(r.pendingCommand, "command");
        QCOMPARE(r.repeatsLeft, 10);
    }

    void switchOffRounding_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QByteArray>("command");
        QTest::newRow("600") << 600 << QByteArray("3S20");
        QTest::newRow("15 rounds to even 0") << 15 << QByteArray("3S0");
        QTest::newRow("45 rounds to even 2") << 45 << QByteArray("3S2");
        QTest::newRow("75 rounds to even 2") << 75 << QByteArray("3S2");
        QTest::newRow("50") << 50 << QByteArray("3S2");
        QTest::newRow("0") << 0 << QByteArray("3S0");
        QTest::newRow("-1") << -1 << QByteArray("3S0");
    }
    void switchOffRounding()
    {
        QFETCH(int, minutes);
        QTEST(switchOffCommand(3, minutes), "command");
    }
};

QTEST_APPLESS_MAIN(TestSelection)
#include "tst_selection.moc"
