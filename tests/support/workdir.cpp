#include "tests/support/workdir.h"

#include <QDir>
#include <QFile>

WorkDir::WorkDir()
{
    QDir(m_dir.path()).mkpath(QStringLiteral("exe"));
    QDir(m_dir.path()).mkpath(QStringLiteral("dev"));
}

void WorkDir::writeFile(const QString &name, const QByteArray &content) const
{
    QFile f(filePath(name));
    QDir().mkpath(QFileInfo(f).absolutePath());
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(content);
}

QByteArray WorkDir::readFile(const QString &name) const
{
    QFile f(filePath(name));
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void WorkDir::writeIni(const QByteArray &port, const QByteArray &server, const QByteArray &ext) const
{
    writeFile(QStringLiteral("ini.cfg"), port + "\r\n" + server + "\r\n" + ext + "\r\n");
}

void WorkDir::writePorts(const QMap<int, QString> &map) const
{
    QByteArray content;
    for (auto it = map.begin(); it != map.end(); ++it)
        content += "COM" + QByteArray::number(it.key()) + '=' + it.value().toUtf8() + '\n';
    writeFile(QStringLiteral("ports.cfg"), content);
}

QString WorkDir::subdir(const QString &name) const
{
    QDir(m_dir.path()).mkpath(name);
    return filePath(name) + QLatin1Char('/');
}

Environment WorkDir::env() const
{
    Environment e;
    e.workDir = path();
    e.exeDir = filePath(QStringLiteral("exe")) + QLatin1Char('/');
    e.devDir = filePath(QStringLiteral("dev"));
    e.manualTimers = true;
    return e;
}
