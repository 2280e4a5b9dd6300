#pragma once

#include <QString>

class Clock;
class QNetworkAccessManager;

// What the program takes from its surroundings, handed in so that tests can supply
// their own folder, device directory, clock, network and timers.
struct Environment {
    QString workDir; // holds ini.cfg and ports.cfg
    QString exeDir;  // the program's folder, ending in "/"
    QString devDir = QStringLiteral("/dev");
    Clock *clock = nullptr;                   // local time; a default clock when null
    QNetworkAccessManager *network = nullptr; // a private manager when null
    bool manualTimers = false;                // timers tick only when a test fires them
};
