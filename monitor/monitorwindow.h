#pragma once

#include "monitor/terminals.h"

#include <QMainWindow>
#include <QMap>

class QGridLayout;
class QLabel;
class QPlainTextEdit;

// The monitor's window: one 4x20 panel per terminal address, a log with the bytes of
// every frame, and the traffic counters.
class MonitorWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MonitorWindow(const QString &source);

    void record(const monitor::Event &e, const QDateTime &now);
    void refresh(const monitor::TerminalBank &bank, const QDateTime &now, double bytesPerSecond);

private:
    QLabel *panelFor(const QByteArray &address);

    QGridLayout *m_grid;
    QMap<QByteArray, QLabel *> m_panels;
    QPlainTextEdit *m_log;
    QLabel *m_counters;
};
