#include "schedule/nodelist.h"

#include "config/textlines.h"
#include "schedule/logging.h"
#include "schedule/selection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

int NodeList::FindNode(int number) const
{
    for (int i = 0; i < size(); ++i) {
        if (m_nodes[size_t(i)]->node == number)
            return i;
    }
    return -1;
}

bool NodeList::nodeNumber(const QString &fileName, int *number)
{
    return textlines::toInt(fileName.section(QLatin1Char('.'), 0, 0).toLatin1(), number);
}

int NodeList::scan(const QString &dataDir)
{
    if (dataDir.isEmpty())
        return 0;
    const QDir dir(dataDir);
    const QFileInfoList entries =
        dir.entryInfoList({pattern()}, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                          QDir::Name | QDir::IgnoreCase);
    int loaded = 0;
    for (const QFileInfo &entry : entries) {
        int number = 0;
        if (!nodeNumber(entry.fileName(), &number)) {
            qCInfo(lcSchedule) << "not a node file, passed over:" << entry.fileName();
            continue;
        }
        const FileStamp stamp{entry.lastModified().toMSecsSinceEpoch(), entry.metadataChangeTime().toMSecsSinceEpoch(),
                              entry.size()};
        const int index = FindNode(number);
        if (index >= 0 && m_nodes[size_t(index)]->fileTime == stamp)
            continue;

        QFile file(entry.filePath());
        QByteArray content;
        bool ok = file.open(QIODevice::ReadOnly);
        if (ok) {
            content = file.readAll();
            ok = file.error() == QFileDevice::NoError;
        }
        if (!ok) {
            qCWarning(lcSchedule) << "cannot read" << entry.filePath() << ":" << file.errorString();
            continue;
        }

        TNodeRecord *record = index >= 0 ? m_nodes[size_t(index)].get() : nullptr;
        if (!record) {
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
        qCInfo(lcSchedule) << "node" << number << "loaded from" << entry.fileName() << record->lines.size() << "lines";
    }
    return loaded;
}
