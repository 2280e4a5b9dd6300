#pragma once

#include <QByteArray>
#include <QString>

// The three settings kept in "ini.cfg" and the two folders derived at start-up.
// Settings are 8-bit Windows-1252 text, kept as bytes and written back unchanged.
struct Settings {
    QByteArray cfgPort;
    QByteArray cfgServer;
    QByteArray cfgExt;
    QString exeDir;  // the program's folder, ending in "/"
    QString dataDir; // folder scanned for node files, ending in a separator when set

    static QString fileName() { return QStringLiteral("ini.cfg"); }

    // A data server names a web host exactly when it holds a "."; otherwise a folder.
    static bool isWebServer(const QByteArray &server) { return server.contains('.'); }

    // Web mode keeps the node files beside the program; folder mode reads the folder,
    // with a separator added when the text has none, so that file names can be appended.
    void deriveDataDir();

    // Takes the three settings from the content of ini.cfg and derives dataDir.
    void parse(const QByteArray &content);

    enum class LoadResult { Loaded, Missing, Failed };
    // Reads ini.cfg from dir into the three settings and derives dataDir. A missing file
    // leaves everything empty; a file that cannot be read gives Failed with the system's
    // description in error, and dataDir is not derived.
    LoadResult load(const QString &dir, QString *error = nullptr);

    // Writes the three lines, each ended by CR LF, replacing the file as a whole.
    static bool save(const QString &dir, const QByteArray &port, const QByteArray &server, const QByteArray &ext,
                     QString *error = nullptr);
};
