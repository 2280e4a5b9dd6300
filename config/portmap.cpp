#include "config/portmap.h"

#include "config/logging.h"
#include "config/textlines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

PortMap::PortMap(QString configDir, QString devDir) : m_configDir(std::move(configDir)), m_devDir(std::move(devDir)) {}

QString PortMap::configPath() const
{
    return QDir(m_configDir).filePath(fileName());
}

QList<PortMap::Entry> PortMap::parse(const QByteArray &content, QStringList *warnings)
{
    QList<Entry> entries;
    QSet<int> taken;
    const QList<QByteArray> lines = content.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        auto warn = [&](const char *why) {
            if (warnings)
                warnings->append(QStringLiteral("ports.cfg:%1: %2").arg(i + 1).arg(QLatin1String(why)));
        };
        const qsizetype eq = line.indexOf('=');
        const QByteArray key = line.left(eq).trimmed();
        const QString path = QString::fromUtf8(line.mid(eq + 1).trimmed());
        bool ok = false;
        const int number = key.mid(3).toInt(&ok);
        const bool digitsOnly =
            key.size() > 3 && std::all_of(key.begin() + 3, key.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (eq < 0 || !key.toUpper().startsWith("COM") || !digitsOnly || !ok || number < 1) {
            warn("expected COM<n>=<device path>");
            continue;
        }
        if (!QDir::isAbsolutePath(path)) {
            warn("the device path must be absolute");
            continue;
        }
        if (taken.contains(number)) {
            warn("this COM number is already mapped above");
            continue;
        }
        taken.insert(number);
        entries.append({number, path, true});
    }
    return entries;
}

QList<PortMap::Entry> PortMap::entries() const
{
    QList<Entry> entries;
    QFile file(configPath());
    if (file.open(QIODevice::ReadOnly)) {
        QStringList warnings;
        entries = parse(file.readAll(), &warnings);
        for (const QString &w : warnings)
            qCWarning(lcConfig).noquote() << w;
    }

    QSet<int> taken;
    QSet<QString> mappedPaths;
    for (const Entry &e : entries) {
        taken.insert(e.number);
        mappedPaths.insert(e.path);
    }

    int next = 1;
    for (const char *series : {"ttyS", "ttyUSB", "ttyACM"}) {
        for (int n = 0;; ++n) {
            const QString path = QDir(m_devDir).filePath(QLatin1String(series) + QString::number(n));
            if (!QFileInfo::exists(path))
                break;
            if (mappedPaths.contains(path))
                continue;
            while (taken.contains(next))
                ++next;
            taken.insert(next);
            entries.append({next, path, false});
        }
    }

    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) { return a.number < b.number; });
    return entries;
}

bool PortMap::numberOf(const QByteArray &name, int *number)
{
    return textlines::toInt(name.mid(3), number);
}

QString PortMap::resolve(int number) const
{
    for (const Entry &e : entries()) {
        if (e.number == number)
            return e.path;
    }
    return {};
}
