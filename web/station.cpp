#include "web/station.h"

#include <QDir>
#include <QNetworkAccessManager>

Station::Station(const Environment &env, QObject *parent) : QObject(parent), m_env(env)
{
    if (!m_env.clock)
        m_env.clock = &m_defaultClock;
    if (!m_env.network) {
        m_ownNetwork = std::make_unique<QNetworkAccessManager>();
        m_env.network = m_ownNetwork.get();
    }
    m_link = std::make_unique<Link>(&m_settings, PortMap(m_env.workDir, m_env.devDir));
    m_queue = std::make_unique<SendQueue>(m_link.get(), &m_rng, m_env.manualTimers);
    m_cycle = std::make_unique<BackgroundCycle>(m_link.get(), &m_rng, m_env.clock, m_env.manualTimers);
    m_poller = std::make_unique<WebPoller>(&m_settings, m_env.network, m_env.manualTimers);

    connect(m_link.get(), &Link::statusText, this, &Station::statusText);
    connect(m_link.get(), &Link::captionChanged, this, &Station::captionChanged);
    connect(m_queue.get(), &SendQueue::statusText, this, &Station::statusText);
    connect(m_poller.get(), &WebPoller::statusText, this, &Station::statusText);
    connect(m_poller.get(), &WebPoller::captionChanged, this, &Station::captionChanged);
}

Station::~Station() = default;

Settings::LoadResult Station::load(QString *error)
{
    m_settings.exeDir = m_env.exeDir;
    if (!m_settings.exeDir.isEmpty() && !m_settings.exeDir.endsWith(QLatin1Char('/')))
        m_settings.exeDir += QLatin1Char('/');
    const Settings::LoadResult result = m_settings.load(m_env.workDir, error);
    if (result != Settings::LoadResult::Failed && !m_settings.dataDir.isEmpty())
        m_cycle->setDataDir(QDir(m_env.workDir).filePath(m_settings.dataDir));
    return result;
}

void Station::setBackground(bool on)
{
    m_cycle->setRunning(on);
    m_cycle->tbckg()->setEnabled(on);
    m_poller->setActive(on);
}
