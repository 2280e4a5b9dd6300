#include "schedule/analysis.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QByteArray kText("\x02"
                       "A\x02\x02\x02\x02");
const QByteArrayList kExamples{"0 1 9 0 13 30 " + kText, "12 24 18 0 23 59 " + kText, "0 5 21 0 0 600 \x05" + kText,
                               "0 0 0 0 0 0 \x02"
                               "DEFECTO\x02\x02\x02\x02"};

// "hh:mm-hh:mm kind lines" for each slot of the day.
QStringList describe(const QList<analysis::Slot> &day)
{
    QStringList out;
    for (const analysis::Slot &s : day) {
        const char *kinds[] = {"default", "off", "dated", "weekly"};
        QStringList lines;
        for (int i : s.what.lines)
            lines.append(QString::number(i + 1));
        out.append(QStringLiteral("%1:%2-%3:%4 %5 %6")
                       .arg(s.from / 60, 2, 10, QLatin1Char('0'))
                       .arg(s.from % 60, 2, 10, QLatin1Char('0'))
                       .arg(s.to / 60, 2, 10, QLatin1Char('0'))
                       .arg(s.to % 60, 2, 10, QLatin1Char('0'))
                       .arg(QLatin1String(kinds[int(s.what.kind)]), lines.join(QLatin1Char(',')))
                       .trimmed());
    }
    return out;
}
} // namespace

class TestAnalysis : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void previewDays_data()
    {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QStringList>("slots");
        QTest::newRow("Monday window, end minute included")
            << kExamples << QDate(2026, 12, 7)
            << QStringList{"00:00-08:59 default", "09:00-13:30 weekly 1", "13:31-23:59 default"};
        QTest::newRow("Christmas Eve, dated")
            << kExamples << QDate(2026, 12, 24) << QStringList{"00:00-17:59 default", "18:00-23:59 dated 2"};
        QTest::newRow("Friday switch-off")
            << kExamples << QDate(2026, 12, 11)
            << QStringList{"00:00-00:59 weekly 3", "01:00-20:59 default", "21:00-21:59 weekly 3", "22:00-23:59 off 3"};
        QTest::newRow("lines taking turns")
            << QByteArrayList{"0 2 8 0 12 0 " + kText, "0 2 10 0 14 0 " + kText} << QDate(2026, 12, 8)
            << QStringList{"00:00-07:59 default", "08:00-09:59 weekly 1", "10:00-12:00 weekly 1,2",
                           "12:01-14:00 weekly 2", "14:01-23:59 default"};
    }
    void previewDays()
    {
        QFETCH(QByteArrayList, lines);
        QFETCH(QDate, date);
        QTEST(describe(analysis::previewDay(lines, date)), "slots");
    }

    void previewWeek()
    {
        int switchOffDays = 0;
        int mondays = 0;
        for (int d = 0; d < 7; ++d) {
            const QStringList day = describe(analysis::previewDay(kExamples, QDate(2026, 12, 7).addDays(d)));
            switchOffDays += day.contains(QStringLiteral("22:00-23:59 off 3"));
            mondays += day.contains(QStringLiteral("09:00-13:30 weekly 1"));
        }
        QCOMPARE(switchOffDays, 1);
        QCOMPARE(mondays, 1);
    }

    void displayLines()
    {
        const QByteArrayList shown = analysis::displayLines("0 1 9 0 13 30 \x02"
                                                            "abc\x02\x02" +
                                                            QByteArray(21, 'x') + "\x02");
        QCOMPARE(shown, (QByteArrayList{QByteArray(8, ' ') + "abc" + QByteArray(9, ' '), QByteArray(20, ' '),
                                        QByteArray(20, ' '), QByteArray(20, ' ')}));
    }

    void warnings_data()
    {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("warning");
        QTest::newRow("malformed number")
            << QByteArrayList{"0 x 9 0 13 30 " + kText} << 1 << QStringLiteral("el número 2 no es válido");
        QTest::newRow("two blanks") << QByteArrayList{"0  1 9 0 13 30 " + kText} << 1
                                    << QStringLiteral("dos espacios seguidos");
        QTest::newRow("no blank after the sixth")
            << QByteArrayList{"0 1 9 0 13 30" + kText} << 1 << QStringLiteral("falta el espacio tras el sexto número");
        QTest::newRow("month 13") << QByteArrayList{"13 1 9 0 13 30 " + kText} << 1 << QStringLiteral("mes 13 fuera");
        QTest::newRow("day 0") << QByteArrayList{"5 0 9 0 13 30 " + kText} << 1 << QStringLiteral("día 0 en una línea");
        QTest::newRow("hour 24") << QByteArrayList{"0 1 9 0 24 0 " + kText} << 1
                                 << QStringLiteral("hora fuera de 0 a 23");
        QTest::newRow("minute 60") << QByteArrayList{"0 1 9 60 13 30 " + kText} << 1
                                   << QStringLiteral("minuto fuera de 0 a 59");
        QTest::newRow("end before start")
            << QByteArrayList{"0 1 22 0 2 0 " + kText} << 1 << QStringLiteral("es anterior al comienzo");
        QTest::newRow("display line too long")
            << QByteArrayList{"0 1 9 0 13 30 \x02" + QByteArray(21, 'x') + "\x02\x02\x02\x02"} << 1
            << QStringLiteral("tiene 21 caracteres");
        QTest::newRow("five display lines") << QByteArrayList{"0 1 9 0 13 30 \x02"
                                                              "A\x02"
                                                              "B\x02"
                                                              "C\x02"
                                                              "D\x02"
                                                              "E\x02"}
                                            << 1 << QStringLiteral("más de cuatro líneas");
        QTest::newRow("no 0x02 at all") << QByteArrayList{"0 1 9 0 13 30 HOLA"} << 1
                                        << QStringLiteral("falta el byte 0x02");
        QTest::newRow("last 0x02 missing") << QByteArrayList{"0 1 9 0 13 30 \x02"
                                                             "A\x02"
                                                             "B\x02"
                                                             "C\x02"
                                                             "D"}
                                           << 1 << QStringLiteral("falta un byte 0x02");
        QTest::newRow("switch-off hidden by an earlier one")
            << QByteArrayList{"0 5 21 0 0 600 \x05" + kText, "0 5 22 0 0 60 \x05" + kText} << 2
            << QStringLiteral("nunca se envía: la línea 1 la tapa siempre");
        QTest::newRow("weekly hidden by a switch-off")
            << QByteArrayList{"0 5 8 0 0 600 \x05" + kText, "0 5 10 0 20 0 " + kText} << 2
            << QStringLiteral("nunca se envía: la línea 1 la tapa siempre");
        QTest::newRow("default text replaced") << QByteArrayList{"0 0 0 0 0 0 " + kText, "0 0 0 0 0 0 " + kText} << 1
                                               << QStringLiteral("texto por defecto sustituido por el de la línea 2");
    }
    void warnings()
    {
        QFETCH(QByteArrayList, lines);
        QFETCH(int, line);
        QFETCH(QString, warning);
        const QList<analysis::Warning> found = analysis::check(lines);
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.first().line, line);
        QVERIFY2(found.first().text.contains(warning), qPrintable(found.first().text));
    }

    void cleanFileAndExitCodes()
    {
        QCOMPARE(analysis::check(kExamples), QList<analysis::Warning>{});
        QTemporaryDir dir;
        auto run = [&](const QByteArray &content) {
            QFile f(dir.filePath(QStringLiteral("3.msg")));
            f.open(QIODevice::WriteOnly);
            f.write(content);
            f.close();
            QProcess p;
            p.start(qEnvironmentVariable("SCHEDULE"), {QStringLiteral("check"), f.fileName()});
            p.waitForFinished(10000);
            return p.exitCode();
        };
        QCOMPARE(run(kExamples.join("\r\n") + "\r\n"), 0);
        QCOMPARE(run("13 1 9 0 13 30 " + kText + "\r\n"), 1);
    }
};

QTEST_GUILESS_MAIN(TestAnalysis)
#include "tst_analysis.moc"
