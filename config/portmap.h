#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Maps the program's COM names to device paths. Entries come first from the optional
// file "ports.cfg" ("COM<n>=<absolute path>" per line, "#" comments), then from the
// serial devices present in the device folder: ttyS0…, ttyUSB0…, ttyACM0…, each series
// up to its first gap, taking the lowest numbers the file left free. The map is read
// afresh on every call, so a mapping added while the program runs is used at once.
class PortMap {
public:
    struct Entry {
        int number = 0;
        QString path;
        bool configured = false; // from ports.cfg rather than detected
    };

    explicit PortMap(QString configDir, QString devDir = QStringLiteral("/dev"));

    static QString fileName() { return QStringLiteral("ports.cfg"); }
    QString configPath() const;

    // All entries, in ascending COM number.
    QList<Entry> entries() const;
    // The device path for COM<number>, or an empty string when nothing is mapped.
    QString resolve(int number) const;

    // The port number of a name such as "COM3": the text after its first three
    // characters, whatever they are, read as a whole number.
    static bool numberOf(const QByteArray &name, int *number);

    // Parses the content of ports.cfg; malformed lines are skipped and described in
    // warnings (with their line numbers). Later duplicates of a number are skipped too.
    static QList<Entry> parse(const QByteArray &content, QStringList *warnings = nullptr);

private:
    QString m_configDir;
    QString m_devDir;
};
