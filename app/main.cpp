#include "config/environment.h"
#include "ui/tform1.h"
#include "ui/tform2.h"

#include <QApplication>
#include <QDir>
#include <QScreen>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantrel"));
    QApplication::setApplicationVersion(QStringLiteral(VANTREL_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);

    Environment env;
    env.workDir = QDir::currentPath();
    env.exeDir = QApplication::applicationDirPath() + QLatin1Char('/');

    TForm1 form1(env);
    TForm2 form2(&form1);
    form1.setConfigDialog(&form2);
    QObject::connect(&form1, &TForm1::formClosed, &app, &QApplication::quit, Qt::QueuedConnection);
    form1.show();
    if (const QScreen *screen = form1.screen())
        form1.move(screen->availableGeometry().center() - form1.rect().center());
    return app.exec();
}
