#include "monitor/monitorwindow.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

MonitorWindow::MonitorWindow(const QString &source)
{
    setWindowTitle(QStringLiteral("Vantrel monitor — %1").arg(source));
    auto *split = new QSplitter(Qt::Vertical, this);
    auto *panels = new QWidget(split);
    m_grid = new QGridLayout(panels);
    m_log = new QPlainTextEdit(split);
    m_log->setReadOnly(true);
    m_log->setMaximumBlockCount(5000);
    m_log->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    split->addWidget(panels);
    split->addWidget(m_log);
    setCentralWidget(split);
    m_counters = new QLabel(this);
    statusBar()->addWidget(m_counters, 1);
    resize(620, 600);
}

QLabel *MonitorWindow::panelFor(const QByteArray &address)
{
    if (QLabel *l = m_panels.value(address))
        return l;
    auto *label = new QLabel;
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(11);
    label->setFont(font);
    label->setTextFormat(Qt::PlainText);
    const int index = int(m_panels.size());
    m_grid->addWidget(label, index / 3, index % 3);
    m_panels.insert(address, label);
    return label;
}

void MonitorWindow::record(const monitor::Event &e, const QDateTime &now)
{
    m_log->appendPlainText(monitor::describe(e, now));
    m_log->appendPlainText(QStringLiteral("    ") + monitor::hexView(e.raw));
}

void MonitorWindow::refresh(const monitor::TerminalBank &bank, const QDateTime &now, double bytesPerSecond)
{
    for (auto it = bank.terminals().begin(); it != bank.terminals().end(); ++it) {
        QLabel *label = panelFor(it.key());
        const QStringList rows = bank.panel(it.key(), now);
        const bool lit = it->mode == monitor::Terminal::Showing;
        label->setStyleSheet(
            lit ? QStringLiteral("background:#9ccf5a;color:#102000;padding:6px;border:3px solid #333;")
                : QStringLiteral("background:#2b3b22;color:#9ccf5a;padding:6px;border:3px solid #333;"));
        label->setText(QStringLiteral("Terminal %1\n").arg(QString::fromLatin1(it.key())) +
                       rows.mid(0, 4).join(QLatin1Char('\n')) + QLatin1Char('\n') + rows.at(4));
    }
    m_counters->setText(
        QStringLiteral("mensajes %1   comandos %2   tramas erróneas %3   %4 bytes/s   uso del enlace %5 %")
            .arg(bank.messages())
            .arg(bank.commands())
            .arg(bank.badFrames())
            .arg(bytesPerSecond, 0, 'f', 1)
            .arg(bytesPerSecond * 10.0 / 1200.0 * 100.0, 0, 'f', 0));
}
