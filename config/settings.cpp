#include "config/settings.h"

#include "config/codec.h"
#include "config/logging.h"
#include "config/textlines.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

void Settings::deriveDataDir()
{
    if (isWebServer(cfgServer)) {
        dataDir = exeDir;
        return;
    }
    dataDir = cp1252::toUnicode(cfgServer);
    if (!dataDir.isEmpty() && !dataDir.endsWith(QLatin1Char('/')) && !dataDir.endsWith(QLatin1Char('\\')))
        dataDir += QLatin1Char('/');
}

void Settings::parse(const QByteArray &content)
{
    const QList<QByteArray> lines = textlines::split(content);
    cfgPort = lines.value(0);
    cfgServer = lines.value(1);
    cfgExt = lines.value(2);
    deriveDataDir();
}

Settings::LoadResult Settings::load(const QString &dir, QString *error)
{
    QFile file(QDir(dir).filePath(fileName()));
    if (!file.exists())
        return LoadResult::Missing;

    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return LoadResult::Failed;
    }
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return LoadResult::Failed;
    }

    parse(content);
    qCInfo(lcConfig) << "settings loaded: port" << cfgPort << "server" << cfgServer;
    return LoadResult::Loaded;
}

bool Settings::save(const QString &dir, const QByteArray &port, const QByteArray &server, const QByteArray &ext,
                    QString *error)
{
    QSaveFile file(QDir(dir).filePath(fileName()));
    bool ok = file.open(QIODevice::WriteOnly);
    for (const QByteArray &line : {port, server, ext}) {
        if (ok)
            ok = file.write(line + textlines::kCrLf) == line.size() + 2;
    }
    if (ok)
        ok = file.commit();
    if (!ok) {
        if (error)
            *error = file.errorString();
        qCWarning(lcConfig) << "could not save settings:" << file.errorString();
    }
    return ok;
}
