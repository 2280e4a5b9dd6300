#include "app/headless.h"
#include "config/environment.h"
#include "ui/tform1.h"
#include "ui/tform2.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QScreen>

#include <cstdio>
#include <memory>

namespace {
// The window system's own options, which QApplication takes for itself.
const QList<QByteArray> kGuiFlags{"-platform",
                                  "-platformpluginpath",
                                  "-platformtheme",
                                  "-plugin",
                                  "-qwindowgeometry",
                                  "-qwindowtitle",
                                  "-qwindowicon",
                                  "-reverse",
                                  "-session",
                                  "-style",
                                  "-stylesheet",
                                  "-widgetcount",
                                  "-geometry",
                                  "-display",
                                  "-name",
                                  "-title",
                                  "-visual",
                                  "-fontengine",
                                  "-nograb",
                                  "-dograb",
                                  "-sync"};
const QList<QByteArray> kGuiSwitches{"-reverse", "-widgetcount", "-nograb", "-dograb", "-sync"};

// The arguments without the window system's options and their values.
QStringList withoutGuiFlags(int argc, char *argv[])
{
    QStringList args{QString::fromLocal8Bit(argv[0])};
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        const QByteArray name = arg.split('=').first();
        if (kGuiFlags.contains(name)) {
            if (!arg.contains('=') && !kGuiSwitches.contains(name))
                ++i;
            continue;
        }
        args.append(QString::fromLocal8Bit(arg));
    }
    return args;
}

// Whether the arguments ask for no window: the service, help and version, and anything
// that is not the window system's (it is refused, and that needs no display either).
bool windowless(int argc, char *argv[])
{
    return withoutGuiFlags(argc, argv).size() > 1;
}
} // namespace

int main(int argc, char *argv[])
{
    // The kind of application depends on the options: the service needs no display.
    const bool noWindow = windowless(argc, argv);
    if (noWindow)
        qSetMessagePattern(QStringLiteral("%{time yyyy-MM-dd hh:mm:ss.zzz} %{type} %{category}: %{message}"));
    std::unique_ptr<QCoreApplication> app =
        noWindow ? std::make_unique<QCoreApplication>(argc, argv) : std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vantrel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VANTREL_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Envía mensajes a los terminales a través del transmisor."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption headless(QStringLiteral("headless"),
                                      QStringLiteral("Modo de fondo sin ventana, hasta SIGTERM o SIGINT."));
    parser.addOption(headless);
    if (!parser.parse(withoutGuiFlags(argc, argv)) || !parser.positionalArguments().isEmpty()) {
        const QString why = parser.errorText().isEmpty()
                                ? QStringLiteral("argumento inesperado: %1").arg(parser.positionalArguments().first())
                                : parser.errorText();
        std::fprintf(stderr, "vantrel: %s\n\n%s", qPrintable(why), qPrintable(parser.helpText()));
        return 2;
    }
    if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("vantrel %s\n", VANTREL_VERSION);
        return 0;
    }

    Environment env;
    env.workDir = QDir::currentPath();
    env.exeDir = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    if (parser.isSet(headless))
        return runHeadless(env);

    QApplication::setQuitOnLastWindowClosed(false);
    TForm1 form1(env);
    TForm2 form2(&form1);
    form1.setConfigDialog(&form2);
    QObject::connect(&form1, &TForm1::formClosed, app.get(), &QCoreApplication::quit, Qt::QueuedConnection);
    form1.show();
    if (const QScreen *screen = form1.screen())
        form1.move(screen->availableGeometry().center() - form1.rect().center());
    return QCoreApplication::exec();
}
