#include "schedule/nodelist.h"

#include "config/textlines.h"
#include "schedule/logging.h"
#include "schedule/selection.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#endif

int NodeList::FindNode(int number) const
{
    return m_index.value(number, -1);
}

namespace {
// The stamp of a directory entry; false when it cannot be read.
bool stampOf(const QString &path, FileStamp *stamp)
{
#if defined(Q_OS_UNIX)
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    *stamp = {qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
              qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec, qint64(st.st_size)};
    return true;
#else
    const QFileInfo info(path);
    if (!info.exists())
        return false;
    *stamp = {info.lastModified().toMSecsSinceEpoch(), info.metadataChangeTime().toMSecsSinceEpoch(), info.size()};
    return true;
#endif
}
} // namespace

bool NodeList::nodeNumber(const QString &fileName, int *number)
{
    return textlines::toInt(fileName.section(QLatin1Char('.'), 0, 0).toLatin1(), number);
}

int NodeList::scan(const QString &dataDir)
{
    if (dataDir.isEmpty())
        return 0;
    // Names of any letter case, in name order regardless of case, so every tick and
    // every machine sees the same order.
    QStringList names;
    QDirIterator it(dataDir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QString name = QFileInfo(it.next()).fileName();
        if (name.endsWith(QLatin1String(".msg"), Qt::CaseInsensitive))
            names.append(name);
    }
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });

    const QDir dir(dataDir);
    int loaded = 0;
    for (const QString &name : std::as_const(names)) {
        int number = 0;
        if (!nodeNumber(name, &number)) {
            qCInfo(lcSchedule) << "not a node file, passed over:" << name;
            continue;
        }
        const QString path = dir.filePath(name);
        FileStamp stamp;
        if (!stampOf(path, &stamp))
            continue;
        const int index = FindNode(number);
        if (index >= 0 && m_nodes[size_t(index)]->fileTime == stamp)
            continue;

        QFile file(path);
        QByteArray content;
        bool ok = file.open(QIODevice::ReadOnly);
        if (ok) {
            content = file.readAll();
            ok = file.error() == QFileDevice::NoError;
        }
        if (!ok) {
            qCWarning(lcSchedule) << "cannot read" << path << ":" << file.errorString();
            continue;
        }

        TNodeRecord *record = index >= 0 ? m_nodes[size_t(index)].get() : nullptr;
        if (!record) {
            m_index.insert(number, size());
            m_nodes.push_back(std::make_unique<TNodeRecord>());
            record = m_nodes.back().get();
            record->node = number;
        }
        record->defaultText = TNodeRecord::builtInDefault();
        record->lines = textlines::split(content);
        record->fileTime = stamp;
        record->selected = TNodeRecord::kNothing;
        record->repeatsLeft = -1;
        for (const QByteArray &line : std::as_const(record->lines)) {
            const Entry e = ParseEntry(line);
            if (e.month == 0 && e.day == 0)
                record->defaultText = line;
        }
        ++loaded;
        qCInfo(lcSchedule) << "node" << number << "loaded from" << name << record->lines.size() << "lines";
    }
    return loaded;
}
