#include "tests/support/workdir.h"
#include "ui/tform1.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

class TestMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void controlsAtCreation_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("ed_l1") << "ed_l1" << QStringLiteral("línea 1") << QRect(0, 2, 121, 19) << true;
        QTest::newRow("ed_l2") << "ed_l2" << QStringLiteral("línea 2") << QRect(0, 26, 121, 19) << true;
        QTest::newRow("ed_l3") << "ed_l3" << QStringLiteral("línea 3") << QRect(0, 50, 121, 19) << true;
        QTest::newRow("ed_l4") << "ed_l4" << QStringLiteral("línea 4") << QRect(0, 74, 121, 19) << true;
        QTest::newRow("b_send") << "b_send" << QStringLiteral("Enviar mensaje") << QRect(0, 96, 85, 22) << false;
        QTest::newRow("b_clear") << "b_clear" << QStringLiteral("Borrar") << QRect(88, 96, 35, 22) << false;
        QTest::newRow("b_lcdown") << "b_lcdown" << QStringLiteral("Apagar LCD") << QRect(136, 8, 97, 22) << false;
        QTest::newRow("b_down") << "b_down" << QStringLiteral("Apagar terminal") << QRect(136, 36, 97, 22) << false;
        QTest::newRow("Label2") << "Label2" << QStringLiteral("Tiempo (0,5h)") << QRect(128, 69, 65, 13) << true;
        QTest::newRow("ed_time") << "ed_time" << QStringLiteral("1") << QRect(200, 66, 41, 19) << true;
        QTest::newRow("Label1") << "Label1" << QStringLiteral("Dirección") << QRect(128, 100, 45, 13) << true;
        QTest::newRow("c_dir") << "c_dir" << QStringLiteral("0") << QRect(192, 96, 49, 21) << true;
    }
    void controlsAtCreation()
    {
        QFETCH(QString, name);
        WorkDir dir;
        TForm1 form(dir.env());
        form.show();
        auto *w = form.findChild<QWidget *>(name);
        QVERIFY(w);
        QString text;
        if (auto *e = qobject_cast<QLineEdit *>(w))
            text = e->text();
        else if (auto *b = qobject_cast<QPushButton *>(w))
            text = b->text();
        else if (auto *l = qobject_cast<QLabel *>(w))
            text = l->text();
        else if (auto *c = qobject_cast<QComboBox *>(w))
            text = c->currentText();
        QTEST(text, "text");
        QTEST(w->geometry(), "geometry");
        QTEST(w->isEnabled(), "enabled");
        if (qobject_cast<QPushButton *>(w))
            QCOMPARE(w->focusPolicy(), Qt::NoFocus);
    }

    void windowAtCreation()
    {
        WorkDir dir;
        TForm1 form(dir.env());
        form.show();
        QCOMPARE(form.windowTitle(), QStringLiteral("Vantrel"));
        QCOMPARE(form.statusText(), QString());
        QCOMPARE(form.centralWidget()->objectName(), QStringLiteral("Panel1"));
        QCOMPARE(form.centralWidget()->size(), QSize(244, 120));
        QCOMPARE(form.statusBar()->height(), 19);
        QCOMPARE(form.minimumSize(), form.maximumSize()); // fixed border
        QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));

        auto *c_dir = form.findChild<QComboBox *>(QStringLiteral("c_dir"));
        QVERIFY(c_dir->isEditable());
        QCOMPARE(c_dir->count(), 10);
        QCOMPARE(c_dir->itemText(9), QStringLiteral("9"));

        auto action = [&](const char *name) { return form.findChild<QAction *>(QLatin1String(name)); };
        QVERIFY(!action("mback")->isEnabled());
        QVERIFY(!action("mstop")->isEnabled());
        QVERIFY(action("mclose")->isEnabled());
        QVERIFY(action("Configuracin2")->isEnabled());
        QCOMPARE(action("Configuracin2")->text(), QStringLiteral("Configuración"));

        QVERIFY(form.trepeat()->isEnabled());
        QCOMPARE(form.trepeat()->interval(), 1000);
        QVERIFY(!form.tbckg()->isEnabled());
        QCOMPARE(form.tbckg()->interval(), 1000);
        QVERIFY(!form.tweb()->isEnabled());
        QCOMPARE(form.tweb()->interval(), 5000);
        QVERIFY(form.Timer1()->isEnabled()); // armed by the creation step
        QCOMPARE(form.Timer1()->interval(), 1);
        QVERIFY(!form.running());
        QVERIFY(form.sendQueue()->queue().isEmpty());
        QCOMPARE(form.cycle()->nodes().size(), 0);
    }

    void settingsLoadedAtCreation()
    {
        WorkDir dir;
        dir.writeIni("COM4", "datos", "");
        TForm1 form(dir.env());
        QCOMPARE(form.settings().cfgPort, QByteArray("COM4"));
        QCOMPARE(form.settings().cfgServer, QByteArray("datos"));
        QCOMPARE(form.settings().dataDir, QStringLiteral("datos/"));
        QCOMPARE(form.settings().exeDir, dir.env().exeDir);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
