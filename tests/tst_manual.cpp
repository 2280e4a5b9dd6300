#include "link/frames.h"
#include "link/rng.h"
#include "tests/support/pty.h"
#include "tests/support/workdir.h"
#include "ui/tform1.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {
const QByteArray kStx(1, '\x02');

QByteArray wireOf(const QByteArray &job, const QByteArray &address)
{
    if (!frames::isTextJob(job))
        return frames::commandFrame(job);
    QByteArray bytes;
    for (const QByteArray &w : frames::textMessage(job, address))
        bytes += w;
    return bytes;
}

// The main window with COM3 open on a pseudo-terminal.
struct Window {
    WorkDir dir;
    PtyPair pty;
    std::unique_ptr<TForm1> form;
    std::unique_ptr<QSignalSpy> sent;

    explicit Window(bool openPort = true)
    {
        dir.writePorts({{3, pty.slavePath()}});
        form = std::make_unique<TForm1>(dir.env());
        form->show();
        sent = std::make_unique<QSignalSpy>(form->sendQueue(), &SendQueue::jobSent);
        if (openPort)
            form->OpenPort("COM3");
    }
    template <typename T> T *child(const char *name) { return form->findChild<T *>(QLatin1String(name)); }
    void setLines(const QString &a, const QString &b, const QString &c, const QString &d)
    {
        const QString texts[] = {a, b, c, d};
        for (int i = 0; i < 4; ++i)
            child<QLineEdit>(QStringLiteral("ed_l%1").arg(i + 1).toLatin1())->setText(texts[i]);
    }
    void setAddress(const QString &a) { child<QComboBox>("c_dir")->setEditText(a); }
    void click(const char *button) { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }
    // One tick of trepeat, waiting until its job has left the wire.
    bool tick()
    {
        const qsizetype before = sent->size();
        form->trepeat()->fire();
        return sent->size() > before || sent->wait(10000);
    }
    bool ticks(int n)
    {
        for (int i = 0; i < n; ++i) {
            if (!tick())
                return false;
        }
        return true;
    }
};
} // namespace

class TestManual : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void buttonsQueueTenCopies_data()
    {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<QByteArray>("job");
        QTest::addColumn<QByteArray>("status");
        const QByteArray text = kStx + frames::CenterLine("UNO") + kStx + frames::CenterLine("DOS") + kStx +
                                frames::CenterLine("TRES") + kStx + frames::CenterLine("CUATRO") + kStx;
        QTest::newRow("Apagar LCD") << QByteArray("b_lcdown") << QByteArray("3P") << QByteArray("Comando 3P");
        QTest::newRow("Borrar") << QByteArray("b_clear") << QByteArray("3B") << QByteArray("Comando 3B");
        QTest::newRow("Apagar terminal") << QByteArray("b_down") << QByteArray("3S4") << QByteArray("Comando 3S4");
        QTest::newRow("Enviar mensaje") << QByteArray("b_send") << text << "Texto " + text;
    }
    void buttonsQueueTenCopies()
    {
        QFETCH(QByteArray, button);
        QFETCH(QByteArray, job);
        QFETCH(QByteArray, status);
        Window s;
        s.setLines(QStringLiteral("UNO"), QStringLiteral("DOS"), QStringLiteral("TRES"), QStringLiteral("CUATRO"));
        s.setAddress(QStringLiteral("3"));
        s.child<QLineEdit>("ed_time")->setText(QStringLiteral("4"));
        s.click(button.constData());
        QCOMPARE(s.form->sendQueue()->queue(), QByteArrayList(10, job));
        for (int i = 0; i < 10; ++i) {
            QVERIFY(s.tick());
            QCOMPARE(s.form->statusText(), QString::fromLatin1(status));
        }
        QCOMPARE(s.pty.take().toHex(' '), wireOf(job, "3").repeated(10).toHex(' '));
        s.form->trepeat()->fire();
        QCOMPARE(s.form->statusText(), QString());
    }

    void idleTickEmptiesStatus()
    {
        Window s;
        QCOMPARE(s.form->statusText(), QStringLiteral("Se ha abierto el puerto COM3"));
        s.form->trepeat()->fire();
        QCOMPARE(s.form->statusText(), QString());
        QVERIFY(s.form->trepeat()->isEnabled());
    }

    void overLongLineGoesOutBlank()
    {
        Window s;
        s.setLines(QString(21, QLatin1Char('x')), QString(), QStringLiteral("abc"), QString());
        s.click("b_send");
        const QByteArray job = kStx + kStx + kStx + frames::CenterLine("abc") + kStx + kStx;
        QCOMPARE(s.form->sendQueue()->queue().first(), job);
        QVERIFY(s.tick());
        const QByteArray wire = s.pty.take();
        QCOMPARE(wire.mid(10, 26), frames::lineFrame("0", 0, {}));
        QCOMPARE(wire.mid(10, 26).mid(4, 20), QByteArray(20, ' '));
    }

    void accentsGoOutAsWindows1252()
    {
        Window s;
        s.setLines(QStringLiteral("línea"), QString(), QString(), QString());
        s.click("b_send");
        QVERIFY(s.tick());
        QVERIFY(s.pty.take().contains("l\xEDnea"));
    }

    void sendWithAllLinesEmptyDoesNothing()
    {
        Window s;
        s.setAddress(QStringLiteral("3"));
        s.click("b_lcdown");
        s.form->trepeat()->setEnabled(false);
        s.setLines({}, {}, {}, {});
        s.click("b_send");
        QCOMPARE(s.form->sendQueue()->queue(), QByteArrayList(10, "3P"));
        QVERIFY(!s.form->trepeat()->isEnabled());
    }

    void sendDropsPendingJobs()
    {
        Window s;
        s.setAddress(QStringLiteral("3"));
        s.click("b_lcdown");
        s.click("b_send");
        const QByteArrayList queue = s.form->sendQueue()->queue();
        QCOMPARE(queue.size(), 10);
        QVERIFY(frames::isTextJob(queue.first()) && queue.count(queue.first()) == 10);
        s.click("b_send");
        QCOMPARE(s.form->sendQueue()->queue().size(), 10);
    }

    void commandGoesAfterPendingText()
    {
        Window s;
        s.setLines(QStringLiteral("A"), {}, {}, {});
        s.setAddress(QStringLiteral("3"));
        s.click("b_send");
        QVERIFY(s.ticks(3));
        s.click("b_clear");
        const QByteArrayList queue = s.form->sendQueue()->queue();
        QCOMPARE(queue.size(), 17);
        QVERIFY(frames::isTextJob(queue.at(6)));
        QCOMPARE(queue.mid(7), QByteArrayList(10, "3B"));
    }

    void textTakesAddressWhenSent()
    {
        Window s;
        s.setLines(QStringLiteral("A"), {}, {}, {});
        s.setAddress(QStringLiteral("3"));
        s.click("b_send");
        s.click("b_lcdown");
        const QByteArray text = s.form->sendQueue()->queue().first();
        QVERIFY(s.ticks(2));
        s.setAddress(QStringLiteral("5"));
        QVERIFY(s.ticks(18));
        QCOMPARE(
            s.pty.take().toHex(' '),
            (wireOf(text, "3").repeated(2) + wireOf(text, "5").repeated(8) + wireOf("3P", "").repeated(10)).toHex(' '));
    }

    void noPortDrainsWithoutOutput()
    {
        Window s(false);
        s.setAddress(QStringLiteral("3"));
        s.form->b_lcdownClick();
        QVERIFY(s.ticks(10));
        QVERIFY(s.form->sendQueue()->queue().isEmpty());
        QCOMPARE(s.form->statusText(), QStringLiteral("Comando 3P"));
        QCOMPARE(s.form->windowTitle(), QStringLiteral("3P"));
        QVERIFY(s.pty.take().isEmpty());
    }

    void intervalsFollowTheGenerator()
    {
        Window s;
        s.setAddress(QStringLiteral("1"));
        s.click("b_lcdown");
        QCOMPARE(s.form->trepeat()->interval(), 1000);
        Rng expected;
        for (int i = 0; i < 10; ++i) {
            QVERIFY(s.tick());
            QCOMPARE(s.form->trepeat()->interval(), expected.pauseMs());
            QVERIFY(s.form->trepeat()->isEnabled());
        }
        // Idle ticks draw nothing.
        s.form->trepeat()->fire();
        QCOMPARE(s.form->rng()->seed(), expected.seed());
    }

    void replacingTheQueueDuringASend()
    {
        Window s;
        s.setLines(QStringLiteral("VIEJO"), {}, {}, {});
        s.setAddress(QStringLiteral("2"));
        s.click("b_send");
        const QByteArray oldJob = s.form->sendQueue()->queue().first();
        s.form->trepeat()->fire(); // the first copy is now on its way
        QVERIFY(s.form->sendQueue()->sending());
        s.setLines(QStringLiteral("NUEVO"), {}, {}, {});
        s.click("b_send");
        const QByteArray newJob = s.form->sendQueue()->queue().first();
        QCOMPARE(s.form->sendQueue()->queue(), QByteArrayList(10, newJob));

        s.form->trepeat()->fire(); // enabled again by the button: must not start a second send
        QCOMPARE(s.form->sendQueue()->queue().size(), 10);
        QVERIFY(s.sent->wait(10000));
        QVERIFY(s.ticks(10));
        QVERIFY(s.form->sendQueue()->queue().isEmpty());
        QCOMPARE(s.pty.take().toHex(' '), (wireOf(oldJob, "2") + wireOf(newJob, "2").repeated(10)).toHex(' '));
    }

    void clickSelectsWholeLine()
    {
        Window s;
        auto *edit = s.child<QLineEdit>("ed_l2");
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(5, 5));
        QTRY_COMPARE(edit->selectedText(), QStringLiteral("línea 2"));
    }
};

QTEST_MAIN(TestManual)
#include "tst_manual.moc"
