#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QHash>
#include <QList>
#include <QString>

#include <memory>

// What tells a node file's versions apart: modification and change times to the
// nanosecond, and the size. A rewrite within the same second is still seen.
struct FileStamp {
    qint64 modifiedMs = -1;
    qint64 changedMs = -1;
    qint64 size = -1;
    bool operator==(const FileStamp &o) const
    {
        return modifiedMs == o.modifiedMs && changedMs == o.changedMs && size == o.size;
    }
    bool operator!=(const FileStamp &o) const { return !(*this == o); }
};

// One display node in background mode: the lines of its schedule file and what is
// being sent to it now.
struct TNodeRecord {
    static constexpr int kNothing = -1;
    static constexpr int kDefault = -2;
    static constexpr int kSwitchOff = -3;

    static QByteArray builtInDefault()
    {
        return QByteArray("\x02Mensaje\x02por\x02"
                          "defecto\x02\x02");
    }

    int node = 0;
    FileStamp fileTime;
    QByteArrayList lines;
    int selected = kNothing;
    QByteArray defaultText = builtInDefault();
    QByteArray pendingCommand;
    int repeatsLeft = -1;
};

// The known nodes, in the order their files were first found. Records live as long
// as the list: a deleted file's node keeps its last schedule.
class NodeList {
public:
    static QString pattern() { return QStringLiteral("*.msg"); }

    int size() const { return int(m_nodes.size()); }
    TNodeRecord &at(int i) { return *m_nodes.at(i); }
    const TNodeRecord &at(int i) const { return *m_nodes.at(i); }

    // Index of the node's record, or -1.
    int FindNode(int number) const;

    // Finds the node files in dataDir (any letter case, in name order), adds records
    // for new nodes and reloads every file whose stamp has changed. A file whose name
    // is not a number, or that cannot be read, is passed over and tried again next
    // time; the records keep what they had. Returns the number of files loaded.
    int scan(const QString &dataDir);

    // Node number from a file name: the part before its first "." as an integer.
    static bool nodeNumber(const QString &fileName, int *number);

private:
    std::vector<std::unique_ptr<TNodeRecord>> m_nodes;
    QHash<int, int> m_index; // node number to its place in m_nodes
};
