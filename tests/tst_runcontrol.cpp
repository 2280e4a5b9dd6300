#include "tests/support/modal.h"
#include "tests/support/pty.h"
#include "tests/support/workdir.h"
#include "ui/tform1.h"
#include "ui/tform2.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>

namespace {

// The program as its entry builds it, in a temporary working folder where COM3 and
// COM1 are pseudo-terminals.
struct Program {
    WorkDir dir;
    PtyPair pty3;
    PtyPair pty1;
    std::unique_ptr<TForm1> form1;
    std::unique_ptr<TForm2> form2;

    Program() { dir.writePorts({{3, pty3.slavePath()}, {1, pty1.slavePath()}}); }
    void start()
    {
        form1 = std::make_unique<TForm1>(dir.env());
        form2 = std::make_unique<TForm2>(form1.get());
        form1->setConfigDialog(form2.get());
        form1->show();
    }
    template <typename T> T *field(const char *name) { return form2->findChild<T *>(QLatin1String(name)); }
    QWidget *panel() { return form1->centralWidget(); }
    bool buttonsEnabled() { return form1->findChild<QPushButton *>(QStringLiteral("b_send"))->isEnabledTo(panel()); }

    // The switches that run control throws, in a fixed order.
    QString switches()
    {
        auto on = [](bool b) { return b ? QStringLiteral("on") : QStringLiteral("off"); };
        return QStringList{on(panel()->isEnabled()),
                           on(form1->mback()->isEnabled()),
                           on(form1->mstop()->isEnabled()),
                           on(form1->trepeat()->isEnabled()),
                           on(form1->tbckg()->isEnabled()),
                           on(form1->tweb()->isEnabled()),
                           form1->running() ? QStringLiteral("true") : QStringLiteral("false")}
            .join(QLatin1Char(' '));
    }
};

// Fills the dialog and presses "Aceptar".
std::function<void(QWidget *)> accept(const QString &port, const QString &server, const QString &ext)
{
    return [=](QWidget *w) {
        w->findChild<QComboBox *>(QStringLiteral("c_ports"))->setEditText(port);
        w->findChild<QLineEdit *>(QStringLiteral("ed_servidor"))->setText(server);
        w->findChild<QLineEdit *>(QStringLiteral("ed_ext"))->setText(ext);
        w->findChild<QPushButton *>(QStringLiteral("b_ok"))->click();
    };
}
void cancel(QWidget *w)
{
    w->findChild<QPushButton *>(QStringLiteral("b_cancel"))->click();
}

} // namespace

class TestRunControl : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void stateTable_data()
    {
        QTest::addColumn<QStringList>("operations");
        QTest::addColumn<QString>("switches"); // Panel1 mback mstop trepeat tbckg tweb running
        QTest::newRow("created") << QStringList{} << "on off off on off off false";
        QTest::newRow("start-up, background branch") << QStringList{"timer1"} << "off off on off on on true";
        QTest::newRow("Activar") << QStringList{"open", "activar"} << "off off on off on on true";
        QTest::newRow("Detener") << QStringList{"timer1", "detener"} << "on on off on off off false";
        QTest::newRow("Mostrar in background: halted")
            << QStringList{"timer1", "mostrar"} << "off off on on off off false";
        QTest::newRow("halted, then Detener")
            << QStringList{"timer1", "mostrar", "detener"} << "on on off on off off false";
        QTest::newRow("Ocultar keeps background") << QStringList{"timer1", "ocultar"} << "off off on off on on true";
        QTest::newRow("port fails") << QStringList{"open", "openFail"} << "on off off off off off false";
        QTest::newRow("port opens again") << QStringList{"openFail", "open"} << "on off off on off off false";
        QTest::newRow("command queued") << QStringList{"openFail", "command"} << "on off off on off off false";
        QTest::newRow("accepted in background") << QStringList{"timer1", "configure"} << "off on on on on on true";
        QTest::newRow("then Activar") << QStringList{"timer1", "configure", "activar"} << "off off on off on on true";
    }
    void stateTable()
    {
        QFETCH(QStringList, operations);
        Program p;
        QDir(p.dir.path()).mkdir(QStringLiteral("datos"));
        p.dir.writeIni("COM3", "datos");
        p.start();
        ModalAnswerer answers;
        for (const QString &op : operations) {
            if (op == QLatin1String("timer1"))
                p.form1->Timer1Timer();
            else if (op == QLatin1String("open"))
                QCOMPARE(p.form1->OpenPort("COM3"), 0);
            else if (op == QLatin1String("openFail"))
                QCOMPARE(p.form1->OpenPort("COM9"), -1);
            else if (op == QLatin1String("activar"))
                p.form1->mbackClick();
            else if (op == QLatin1String("detener"))
                p.form1->mstopClick();
            else if (op == QLatin1String("mostrar"))
                p.form1->Mostrar1Click();
            else if (op == QLatin1String("ocultar"))
                p.form1->Ocultar1Click();
            else if (op == QLatin1String("command"))
                p.form1->b_lcdownClick();
            else if (op == QLatin1String("configure")) {
                answers.then(accept(QStringLiteral("COM3"), QStringLiteral("datos"), {}));
                p.form1->Configuracin2Click();
            }
        }
        QTEST(p.switches(), "switches");
        QCOMPARE(p.form1->isVisible(), !operations.contains(QStringLiteral("ocultar")));
    }

    void startUp_data()
    {
        QTest::addColumn<QByteArray>("ini"); // empty: no ini.cfg
        QTest::addColumn<bool>("holdPort");  // COM3 held by another program
        QTest::addColumn<bool>("dialogShown");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("background");
        QTest::addColumn<bool>("buttons");
        QTest::newRow("no ini.cfg") << QByteArray() << false << true << QString() << false << false;
        QTest::newRow("server set, port empty")
            << QByteArray("\r\ndatos\r\n\r\n") << false << true << QString() << false << false;
        QTest::newRow("port set, server empty: opened by the dialog's creation")
            << QByteArray("COM3\r\n\r\n\r\n") << false << true << QStringLiteral("Se ha abierto el puerto COM3")
            << false << true;
        QTest::newRow("configured and the port opens")
            << QByteArray("COM3\r\ndatos\r\n\r\n") << false << false << QStringLiteral("Se ha abierto el puerto COM3")
            << true << true;
        QTest::newRow("configured port busy") << QByteArray("COM3\r\ndatos\r\n\r\n") << true << true
                                              << QStringLiteral("El puerto esta siendo utilizado") << false << false;
    }
    void startUp()
    {
        QFETCH(QByteArray, ini);
        QFETCH(bool, holdPort);
        Program p;
        if (!ini.isEmpty())
            p.dir.writeFile(QStringLiteral("ini.cfg"), ini);
        QProcess holder;
        if (holdPort) {
            holder.start(qEnvironmentVariable("PORTHOLD"), {p.pty3.slavePath()});
            QVERIFY(holder.waitForReadyRead(10000));
        }
        p.start();
        ModalAnswerer answers;
        answers.then(cancel);
        QVERIFY(p.form1->Timer1()->isEnabled());
        p.form1->Timer1Timer();
        QVERIFY(!p.form1->Timer1()->isEnabled());
        QFETCH(bool, dialogShown);
        QCOMPARE(answers.modalsSeen, dialogShown ? 1 : 0);
        QTEST(p.form1->statusText(), "status");
        QTEST(p.form1->running(), "background");
        QTEST(p.buttonsEnabled(), "buttons");
        QVERIFY(!p.form1->mback()->isEnabled() || !dialogShown);
        holder.closeWriteChannel();
        holder.waitForFinished(10000);
    }

    void dialogChecks_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QString>("message"); // empty: accepted
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("no port") << ""
                                 << "datos"
                                 << "" << QStringLiteral("Debe seleccionar el puerto del transmisor") << QByteArray();
        QTest::newRow("lower case") << "com3"
                                    << "datos"
                                    << "" << QStringLiteral("Debe seleccionar el puerto del transmisor")
                                    << QByteArray();
        QTest::newRow("port that does not open")
            << "COM9"
            << "datos"
            << "" << QStringLiteral("El puerto seleccionado está ocupado") << QByteArray();
        QTest::newRow("no server") << "COM3"
                                   << ""
                                   << "" << QStringLiteral("Debe indicar donde se encuentran los archivos de mensajes")
                                   << QByteArray();
        QTest::newRow("web server without extension")
            << "COM3"
            << "datos.example"
            << "" << QStringLiteral("Debe indicar la extensión de empresa para el servidor de datos") << QByteArray();
        QTest::newRow("folder missing") << "COM3"
                                        << "nada"
                                        << "" << QStringLiteral("La carpeta de datos debe existir") << QByteArray();
        QTest::newRow("folder, empty extension") << "COM3"
                                                 << "datos"
                                                 << "" << QString() << QByteArray("COM3\r\ndatos\r\n\r\n");
        QTest::newRow("web server") << "COM03"
                                    << "192.168.1.5"
                                    << "empresa" << QString() << QByteArray("COM03\r\n192.168.1.5\r\nempresa\r\n");
        QTest::newRow("accented folder") << "COM3" << QStringLiteral("daños") << "" << QString()
                                         << QByteArray("COM3\r\nda\xF1os\r\n\r\n");
    }
    void dialogChecks()
    {
        QFETCH(QString, port);
        QFETCH(QString, server);
        QFETCH(QString, ext);
        QFETCH(QString, message);
        Program p;
        QDir(p.dir.path()).mkdir(QStringLiteral("datos"));
        QDir(p.dir.path()).mkdir(QStringLiteral("daños"));
        p.start();
        ModalAnswerer answers;
        answers.then(accept(port, server, ext));
        if (!message.isEmpty()) {
            answers.thenOk();
            answers.then(cancel);
        }
        p.form1->Configuracin2Click();
        QCOMPARE(answers.boxTexts, message.isEmpty() ? QStringList() : QStringList{message});
        if (!message.isEmpty())
            QCOMPARE(answers.boxTitles, QStringList{QStringLiteral("Error")});
        QTEST(p.dir.readFile(QStringLiteral("ini.cfg")), "saved");
        QCOMPARE(p.form1->mback()->isEnabled(), message.isEmpty());
    }

    void busyPortClosesTheOpenOne()
    {
        Program p;
        QDir(p.dir.path()).mkdir(QStringLiteral("datos"));
        p.start();
        QCOMPARE(p.form1->OpenPort("COM1"), 0);
        QProcess holder;
        holder.start(qEnvironmentVariable("PORTHOLD"), {p.pty3.slavePath()});
        QVERIFY(holder.waitForReadyRead(10000));
        ModalAnswerer answers;
        answers.then(accept(QStringLiteral("COM3"), QStringLiteral("datos"), {}));
        answers.thenOk();
        answers.then(cancel);
        p.form1->Configuracin2Click();
        QCOMPARE(answers.boxTexts, QStringList{QStringLiteral("El puerto seleccionado está ocupado")});
        QVERIFY(!p.form1->link()->portOpen());
        QVERIFY(!p.buttonsEnabled());
        QVERIFY(!p.form1->trepeat()->isEnabled());
        holder.closeWriteChannel();
        holder.waitForFinished(10000);
    }

    void portNameWithoutNumber()
    {
        Program p;
        p.start();
        QCOMPARE(p.form1->OpenPort("COM1"), 0);
        ModalAnswerer answers;
        answers.then(accept(QStringLiteral("COMx"), QStringLiteral("datos"), {}));
        answers.thenOk();
        answers.then(cancel);
        p.form1->Configuracin2Click();
        QCOMPARE(answers.boxTexts, QStringList{QStringLiteral("'x' is not a valid integer value")});
        QVERIFY(p.form1->link()->portOpen());
        QCOMPARE(p.form1->settings().cfgPort, QByteArray("COM1"));
    }

    void cancelKeepsTypedTexts()
    {
        Program p;
        p.dir.writeIni("COM3", "datos", "e");
        p.start();
        ModalAnswerer answers;
        answers.then([](QWidget *w) {
            w->findChild<QLineEdit *>(QStringLiteral("ed_servidor"))->setText(QStringLiteral("otra"));
            cancel(w);
        });
        p.form1->Configuracin2Click();
        QCOMPARE(p.field<QLineEdit>("ed_servidor")->text(), QStringLiteral("otra"));
        QCOMPARE(p.form1->settings().cfgServer, QByteArray("datos"));
        QCOMPARE(p.dir.readFile(QStringLiteral("ini.cfg")), QByteArray("COM3\r\ndatos\r\ne\r\n"));
    }

    void portListAtCreation()
    {
        Program p;
        p.dir.writeIni("COM3", "datos", "");
        p.start();
        auto *ports = p.field<QComboBox>("c_ports");
        QCOMPARE(ports->count(), 2);
        QCOMPARE(ports->itemText(0), QStringLiteral("COM1"));
        QCOMPARE(ports->itemText(1), QStringLiteral("COM3"));
        QCOMPARE(ports->currentText(), QStringLiteral("COM3")); // opened and selected
        QVERIFY(p.form1->link()->portOpen());
        QCOMPARE(p.field<QLineEdit>("ed_servidor")->text(), QStringLiteral("datos"));
    }

    void folderButton()
    {
        Program p;
        const QString folder = p.dir.subdir(QStringLiteral("mensajes"));
        p.dir.writeFile(QStringLiteral("mensajes/3.msg"), "x");
        p.start();
        p.form2->od()->setOption(QFileDialog::DontUseNativeDialog);
        ModalAnswerer answers;
        answers.then([&](QWidget *w) {
            auto *od = qobject_cast<QFileDialog *>(w);
            od->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(folder + QStringLiteral("3.msg"));
            static_cast<QDialog *>(od)->done(QDialog::Accepted);
        });
        p.form2->b_servClick();
        QCOMPARE(p.field<QLineEdit>("ed_servidor")->text(), folder);
    }

    void exitItemsCloseTheProgram_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("Archivo, Salir") << "mclose";
        QTest::newRow("tray, Salir") << "salir1";
    }
    void exitItemsCloseTheProgram()
    {
        QFETCH(QString, item);
        Program p;
        p.start();
        QSignalSpy closed(p.form1.get(), &TForm1::formClosed);
        p.form1->findChild<QAction *>(item)->trigger();
        QCOMPARE(closed.size(), 1);
        QVERIFY(!p.form1->isVisible());
    }

    void trayMenu()
    {
        Program p;
        p.start();
        QCOMPARE(p.form1->tray()->toolTip(), QStringLiteral("Vantrel"));
        QStringList items;
        for (QAction *a : p.form1->tray()->contextMenu()->actions())
            items.append(a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(items, (QStringList{"Mostrar", "Ocultar", "-", "Salir"}));
        p.form1->Ocultar1Click();
        QVERIFY(!p.form1->isVisible());
        p.form1->Mostrar1Click();
        QVERIFY(p.form1->isVisible());
    }
};

QTEST_MAIN(TestRunControl)
#include "tst_runcontrol.moc"
