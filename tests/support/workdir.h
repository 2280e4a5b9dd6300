#pragma once

#include "config/environment.h"

#include <QByteArray>
#include <QMap>
#include <QTemporaryDir>

// A temporary working folder with the program's files, and an environment that
// points the program at it: manual timers, its own exe folder, an empty device folder.
class WorkDir {
public:
    WorkDir();

    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

    void writeFile(const QString &name, const QByteArray &content) const;
    QByteArray readFile(const QString &name) const;
    void writeIni(const QByteArray &port, const QByteArray &server, const QByteArray &ext = {}) const;
    void writePorts(const QMap<int, QString> &map) const;
    // A folder inside the working folder, created on demand; ends in "/".
    QString subdir(const QString &name) const;

    Environment env() const;

private:
    QTemporaryDir m_dir;
};
