#pragma once

#include <QString>

namespace monitor {

// A simulated transmitter: a pseudo-terminal pair whose program side is entered in
// ports.cfg under the lowest COM number nobody has, so the program can open it by
// name. The entry, and only it, is removed again when this object goes.
class VirtualPort {
public:
    explicit VirtualPort(QString workDir, QString devDir = QStringLiteral("/dev"));
    ~VirtualPort();
    VirtualPort(const VirtualPort &) = delete;
    VirtualPort &operator=(const VirtualPort &) = delete;

    bool isValid() const { return m_master >= 0 && m_number > 0; }
    QString error() const { return m_error; }
    int masterFd() const { return m_master; }
    QString devicePath() const { return m_path; }
    QString comName() const { return QStringLiteral("COM%1").arg(m_number); }

private:
    QString m_workDir;
    QString m_path;
    QString m_error;
    QByteArray m_entry;
    int m_master = -1;
    int m_slave = -1;
    int m_number = 0;
    bool m_createdFile = false;
};

} // namespace monitor
