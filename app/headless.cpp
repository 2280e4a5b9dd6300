#include "app/headless.h"

#include "app/logging.h"
#include "config/codec.h"
#include "config/unixsignals.h"
#include "web/station.h"

#include <QCoreApplication>

namespace {
// Status texts as a person reads them in a log: the display lines' separators shown as "|".
QString readable(const QByteArray &text)
{
    QByteArray shown = text;
    shown.replace('\x02', '|');
    return cp1252::toUnicode(shown);
}

int fail(const QString &message)
{
    qCCritical(lcApp).noquote() << message;
    return 1;
}
} // namespace

int runHeadless(const Environment &env)
{
    Station station(env);
    QObject::connect(&station, &Station::statusText, [](const QByteArray &text) {
        if (!text.isEmpty())
            qCInfo(lcApp).noquote() << readable(text);
    });

    QString error;
    switch (station.load(&error)) {
    case Settings::LoadResult::Failed:
        return fail(QStringLiteral("no se puede leer ini.cfg: %1").arg(error));
    case Settings::LoadResult::Missing:
        return fail(QStringLiteral("Vantrel no está configurado: no hay ini.cfg en %1").arg(env.workDir));
    case Settings::LoadResult::Loaded:
        break;
    }
    const Settings &s = station.settings();
    if (s.cfgPort.isEmpty() || s.cfgServer.isEmpty())
        return fail(QStringLiteral("Vantrel no está configurado: ini.cfg no indica el puerto del transmisor y el "
                                   "servidor de datos"));

    const int opened = station.link().OpenPort(s.cfgPort, &error);
    if (opened == Link::kBadPortName)
        return fail(error);
    if (opened != 0)
        return fail(QStringLiteral("no se puede abrir el puerto %1").arg(cp1252::toUnicode(s.cfgPort)));

    // No operator, so no manual queue: only background mode runs.
    station.queue().trepeat()->setEnabled(false);
    station.setBackground(true);
    qCInfo(lcApp).noquote() << QStringLiteral("modo de fondo con los datos de %1").arg(cp1252::toUnicode(s.cfgServer));

    UnixSignals stop;
    QObject::connect(&stop, &UnixSignals::received, [&station](int) {
        qCInfo(lcApp) << "deteniendo: se termina el mensaje en curso";
        station.setBackground(false);
        QCoreApplication::quit();
    });
    QCoreApplication::exec();
    // The station goes here: the transmitter lets the message on the wire finish, then
    // the port is closed.
    return 0;
}
