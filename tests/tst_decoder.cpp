#include "monitor/decoder.h"
#include "monitor/terminals.h"

#include <QTest>

namespace {
const char *kPre = "55 55 55 55 55 44 11 45 15 55 ";

// Hex text, with "_n" standing for n blanks.
QByteArray bytes(const QString &text)
{
    QByteArray out;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (word.startsWith(QLatin1Char('_')))
            out += QByteArray(word.mid(1).toInt(), ' ');
        else if (word.startsWith(QLatin1Char('\'')))
            out += word.mid(1).toLatin1();
        else
            out += QByteArray::fromHex(word.toLatin1());
    }
    return out;
}
QString pre(const QString &rest)
{
    return QLatin1String(kPre) + rest;
}
// A message to address 3 whose line 0 is given; lines 1 to 3 are blank.
QString toThree(const QString &line0)
{
    return pre(QStringLiteral("23 33 54 30 ") + line0 +
               QStringLiteral(" 23 33 54 31 _20 73 24 23 33 54 32 _20 72 24 23 33 54 33 _20 71 24 23 33 46 24 "));
}

QStringList summary(const QList<monitor::Event> &events)
{
    QStringList out;
    for (const monitor::Event &e : events) {
        if (e.kind == monitor::Event::Text) {
            QStringList lines;
            for (const QByteArray &l : e.lines)
                lines.append(QString::fromLatin1(l.trimmed()));
            out.append(QStringLiteral("text %1 %2").arg(QString::fromLatin1(e.address), lines.join(QLatin1Char('|'))));
        } else if (e.kind == monitor::Event::Command) {
            out.append(QStringLiteral("cmd ") + QString::fromLatin1(e.command));
        } else {
            out.append(QStringLiteral("bad"));
        }
    }
    return out;
}
} // namespace

class TestDecoder : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void decode_data()
    {
        QTest::addColumn<QString>("wire");
        QTest::addColumn<QStringList>("events");
        const QString hola = toThree(QStringLiteral("_8 'HOLA _8 D0 24"));
        const QString cmd0P = pre(QStringLiteral("23 30 50 2B 24 "));
        QTest::newRow("command 0P") << cmd0P << QStringList{"cmd 0P"};
        QTest::newRow("command 0S1") << pre(QStringLiteral("23 30 53 31 F7 24")) << QStringList{"cmd 0S1"};
        QTest::newRow("command 3B") << pre(QStringLiteral("23 33 42 36 24")) << QStringList{"cmd 3B"};
        QTest::newRow("text message") << hola << QStringList{"text 3 HOLA|||"};
        QTest::newRow("line without text field") << toThree(QStringLiteral("F4 24")) << QStringList{"text 3 |||"};
        QTest::newRow("last line without text field, then silence")
            << pre(QStringLiteral("23 33 54 30 _8 'HOLA _8 D0 24 23 33 54 31 _20 73 24 23 33 54 32 _20 72 24 "
                                  "23 33 54 33 F1 24 23 33 46 24"))
            << QStringList{"text 3 HOLA|||"};
        QTest::newRow("bad check byte, then resync")
            << toThree(QStringLiteral("_8 'HOLA _8 D1 24")) + cmd0P << QStringList{"bad", "cmd 0P"};
        QTest::newRow("bad command check byte")
            << pre(QStringLiteral("23 30 50 2C 24 ")) + cmd0P << QStringList{"bad", "cmd 0P"};
        QTest::newRow("truncated frame") << pre(QStringLiteral("23 33 54 30 _5 ")) + cmd0P
                                         << QStringList{"bad", "cmd 0P"};
        QTest::newRow("message cut after two lines")
            << pre(QStringLiteral("23 33 54 30 _8 'HOLA _8 D0 24 23 33 54 31 _20 73 24 ")) + hola
            << QStringList{"bad", "text 3 HOLA|||"};
        QTest::newRow("junk between messages") << QStringLiteral("'xyz ") + cmd0P + QStringLiteral("'basura ") + hola
                                               << QStringList{"bad", "cmd 0P", "bad", "text 3 HOLA|||"};
        QTest::newRow("check byte is $") << pre(QStringLiteral("23 53 34 24 24")) << QStringList{"cmd S4"};
        QTest::newRow("check byte is #") << toThree(QStringLiteral("_19 'q 23 24")) << QStringList{"text 3 q|||"};
        QTest::newRow("check byte 0x00") << toThree(QStringLiteral("_19 94 00 24")) << QStringList{"text 3 \u0094|||"};
        QTest::newRow("two-digit address command")
            << pre(QStringLiteral("23 31 32 50 F8 24")) << QStringList{"cmd 12P"};
        QTest::newRow("two-digit address text")
            << pre(QStringLiteral("23 31 32 54 30 _20 44 24 23 31 32 54 31 _20 43 24 23 31 32 54 32 _20 42 24 "
                                  "23 31 32 54 33 _20 41 24 23 31 32 46 24"))
            << QStringList{"text 12 |||"};
        QTest::newRow("lines out of order")
            << pre(QStringLiteral("23 33 54 31 _20 73 24 ")) + cmd0P << QStringList{"bad", "cmd 0P"};
        QTest::newRow("closing to another address")
            << pre(QStringLiteral("23 33 54 30 _8 'HOLA _8 D0 24 23 33 54 31 _20 73 24 23 33 54 32 _20 72 24 "
                                  "23 33 54 33 _20 71 24 23 34 46 24 ")) +
                   cmd0P
            << QStringList{"bad", "cmd 0P"};
    }
    void decode()
    {
        QFETCH(QString, wire);
        QFETCH(QStringList, events);
        const QByteArray data = bytes(wire);
        monitor::Decoder whole;
        QCOMPARE(summary(whole.feed(data)), events);
        // Byte by byte, as a slow line delivers it, the result is the same.
        monitor::Decoder trickle;
        QList<monitor::Event> got;
        for (char c : data)
            got += trickle.feed(QByteArray(1, c));
        QCOMPARE(summary(got), events);
    }

    void terminalPanels()
    {
        monitor::Decoder decoder;
        monitor::TerminalBank bank;
        const QDateTime t0(QDate(2026, 12, 7), QTime(10, 0));
        auto feed = [&](const QString &wire, const QDateTime &at) {
            for (const monitor::Event &e : decoder.feed(bytes(wire)))
                bank.apply(e, at);
        };
        feed(toThree(QStringLiteral("_8 'HOLA _8 D0 24")), t0);
        QCOMPARE(bank.panel("3", t0).at(0), QStringLiteral("        HOLA        "));
        QCOMPARE(bank.panel("3", t0).at(4), QStringLiteral("mostrando"));
        feed(pre(QStringLiteral("23 33 50 28 24")), t0); // 3P
        QCOMPARE(bank.panel("3", t0).at(4), QStringLiteral("LCD apagado"));
        QCOMPARE(bank.panel("3", t0).at(0), QString(20, QLatin1Char(' ')));
        feed(pre(QStringLiteral("23 33 53 32 F3 24")), t0); // 3S2: off for an hour
        QCOMPARE(bank.panel("3", t0.addSecs(600)).at(4),
                 QStringLiteral("apagado, quedan 0:50:00 de 1:00:00 (2 medias horas)"));
        feed(pre(QStringLiteral("23 33 42 36 24")), t0.addSecs(3600)); // 3B once back on
        QCOMPARE(bank.panel("3", t0.addSecs(3600)).at(4), QStringLiteral("en blanco"));
        QCOMPARE(bank.messages(), 1);
        QCOMPARE(bank.commands(), 3);
    }
};

QTEST_GUILESS_MAIN(TestDecoder)
#include "tst_decoder.moc"
