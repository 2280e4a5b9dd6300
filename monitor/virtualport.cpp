#include "monitor/virtualport.h"

#include "config/portmap.h"
#include "monitor/logging.h"

#include <QFile>
#include <QSaveFile>
#include <QSet>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace monitor {

namespace {
bool rewrite(const QString &path, const QByteArray &content)
{
    QSaveFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(content) == content.size() && f.commit();
}
} // namespace

VirtualPort::VirtualPort(QString workDir, QString devDir) : m_workDir(std::move(workDir))
{
    char name[256] = {};
    termios tio{};
    cfmakeraw(&tio);
    if (::openpty(&m_master, &m_slave, name, &tio, nullptr) != 0) {
        m_error = QStringLiteral("no se pudo crear el terminal virtual");
        m_master = m_slave = -1;
        return;
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_path = QString::fromLocal8Bit(name);

    const PortMap map(m_workDir, devDir);
    QSet<int> taken;
    for (const PortMap::Entry &e : map.entries())
        taken.insert(e.number);
    m_number = 1;
    while (taken.contains(m_number))
        ++m_number;

    QFile file(map.configPath());
    m_createdFile = !file.exists();
    QByteArray content;
    if (file.open(QIODevice::ReadOnly))
        content = file.readAll();
    file.close();
    if (!content.isEmpty() && !content.endsWith('\n'))
        content += '\n';
    m_entry = "COM" + QByteArray::number(m_number) + '=' + m_path.toLocal8Bit() + '\n';
    if (!rewrite(map.configPath(), content + m_entry)) {
        m_error = QStringLiteral("no se pudo escribir %1").arg(map.configPath());
        m_number = 0;
    }
}

VirtualPort::~VirtualPort()
{
    if (m_number > 0) {
        const QString path = PortMap(m_workDir).configPath();
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            QByteArray content = file.readAll();
            file.close();
            const qsizetype at = content.indexOf(m_entry);
            if (at >= 0 && (at == 0 || content.at(at - 1) == '\n')) {
                content.remove(at, m_entry.size());
                if (m_createdFile && content.trimmed().isEmpty())
                    QFile::remove(path);
                else
                    rewrite(path, content);
            }
        }
    }
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
}

} // namespace monitor
