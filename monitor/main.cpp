// vantrel-monitor: shows, from the serial line alone, what every terminal displays.

#include "config/portmap.h"
#include "config/unixsignals.h"
#include "monitor/decoder.h"
#include "monitor/monitorwindow.h"
#include "monitor/terminals.h"
#include "monitor/virtualport.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QSerialPort>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

void print(const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Bytes per second over the last few seconds.
class Rate {
public:
    void add(qint64 n)
    {
        m_samples.append({m_clock.elapsed(), n});
        trim();
    }
    double perSecond()
    {
        trim();
        qint64 sum = 0;
        for (const auto &s : m_samples)
            sum += s.second;
        return sum / 5.0;
    }

private:
    void trim()
    {
        while (!m_samples.isEmpty() && m_samples.first().first < m_clock.elapsed() - 5000)
            m_samples.removeFirst();
    }
    QElapsedTimer m_clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    QList<QPair<qint64, qint64>> m_samples;
};

} // namespace

int main(int argc, char *argv[])
{
    // Text mode needs no display: choose the platform before the application starts.
    bool textMode = false;
    for (int i = 1; i < argc; ++i)
        textMode = textMode || QByteArray(argv[i]) == "--text";
    if (textMode && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vantrel-monitor"));
    QApplication::setApplicationVersion(QStringLiteral(VANTREL_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Muestra lo que presenta cada terminal a partir de la línea serie del transmisor."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(
        {QStringLiteral("virtual"), QStringLiteral("Crea un transmisor simulado y lo anota en ports.cfg.")});
    parser.addOption({QStringLiteral("text"), QStringLiteral("Escribe paneles y registro en la salida estándar.")});
    parser.addPositionalArgument(QStringLiteral("puerto"), QStringLiteral("COM<n> o la ruta de un dispositivo."));
    parser.process(app);

    UnixSignals stopSignals;
    QObject::connect(&stopSignals, &UnixSignals::received, &app, &QCoreApplication::quit);

    std::unique_ptr<monitor::VirtualPort> virtualPort;
    std::unique_ptr<QSerialPort> serial;
    std::unique_ptr<QSocketNotifier> masterNotifier;
    QString source;

    monitor::Decoder decoder;
    monitor::TerminalBank bank;
    Rate rate;
    std::unique_ptr<MonitorWindow> window;

    auto consume = [&](const QByteArray &bytes) {
        rate.add(bytes.size());
        const QDateTime now = QDateTime::currentDateTime();
        for (const monitor::Event &e : decoder.feed(bytes)) {
            bank.apply(e, now);
            if (window) {
                window->record(e, now);
                continue;
            }
            print(monitor::describe(e, now));
            print(QStringLiteral("    ") + monitor::hexView(e.raw));
            if (e.kind != monitor::Event::Bad) {
                const QStringList rows = bank.panel(e.address, now);
                print(QStringLiteral("  [%1] %2").arg(QString::fromLatin1(e.address), rows.at(4)));
                for (int i = 0; i < 4; ++i)
                    print(QStringLiteral("  |%1|").arg(rows.at(i)));
            }
        }
        if (window)
            window->refresh(bank, now, rate.perSecond());
    };

    if (parser.isSet(QStringLiteral("virtual"))) {
        virtualPort = std::make_unique<monitor::VirtualPort>(QDir::currentPath());
        if (!virtualPort->isValid()) {
            std::fprintf(stderr, "vantrel-monitor: %s\n", qPrintable(virtualPort->error()));
            return 1;
        }
        source = virtualPort->comName();
        print(QStringLiteral("Transmisor simulado en %1 (%2)").arg(source, virtualPort->devicePath()));
        masterNotifier = std::make_unique<QSocketNotifier>(virtualPort->masterFd(), QSocketNotifier::Read);
        QObject::connect(masterNotifier.get(), &QSocketNotifier::activated, [&] {
            char chunk[4096];
            QByteArray bytes;
            ssize_t n;
            while ((n = ::read(virtualPort->masterFd(), chunk, sizeof chunk)) > 0)
                bytes.append(chunk, n);
            if (!bytes.isEmpty())
                consume(bytes);
        });
    } else {
        const QStringList args = parser.positionalArguments();
        if (args.size() != 1) {
            std::fprintf(stderr, "vantrel-monitor: indique un puerto (COM<n> o ruta) o --virtual\n");
            return 2;
        }
        source = args.first();
        QString path = source;
        int number = 0;
        if (source.startsWith(QLatin1String("COM"), Qt::CaseInsensitive) &&
            PortMap::numberOf(source.toLatin1(), &number))
            path = PortMap(QDir::currentPath()).resolve(number);
        serial = std::make_unique<QSerialPort>(path);
        if (path.isEmpty() || !serial->open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "vantrel-monitor: no se puede abrir %s: %s\n", qPrintable(source),
                         qPrintable(serial->errorString()));
            return 1;
        }
        serial->setBaudRate(1200);
        serial->setDataBits(QSerialPort::Data8);
        serial->setParity(QSerialPort::NoParity);
        serial->setStopBits(QSerialPort::OneStop);
        serial->setFlowControl(QSerialPort::NoFlowControl);
        QObject::connect(serial.get(), &QSerialPort::readyRead, [&] { consume(serial->readAll()); });
    }

    if (!textMode) {
        window = std::make_unique<MonitorWindow>(source);
        window->show();
        auto *tick = new QTimer(window.get());
        QObject::connect(tick, &QTimer::timeout,
                         [&] { window->refresh(bank, QDateTime::currentDateTime(), rate.perSecond()); });
        tick->start(1000);
    }
    const int rc = app.exec();
    if (textMode)
        print(QStringLiteral("mensajes %1, comandos %2, tramas erróneas %3, %4 bytes")
                  .arg(bank.messages())
                  .arg(bank.commands())
                  .arg(bank.badFrames())
                  .arg(decoder.bytesSeen()));
    return rc;
}
