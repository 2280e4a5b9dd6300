#pragma once

#include "config/clock.h"
#include "config/environment.h"
#include "config/settings.h"
#include "link/link.h"
#include "link/rng.h"
#include "link/sendqueue.h"
#include "schedule/backgroundcycle.h"
#include "web/webpoller.h"

#include <QObject>

#include <memory>

class QNetworkAccessManager;

// The program's core wired together: settings, the transmitter link, the manual
// queue, the background cycle and the web poller, sharing one generator. The window
// and the headless service both drive this.
class Station : public QObject {
    Q_OBJECT
public:
    explicit Station(const Environment &env, QObject *parent = nullptr);
    ~Station() override;

    const Environment &environment() const { return m_env; }
    Settings &settings() { return m_settings; }
    Rng &rng() { return m_rng; }
    Link &link() { return *m_link; }
    SendQueue &queue() { return *m_queue; }
    BackgroundCycle &cycle() { return *m_cycle; }
    WebPoller &poller() { return *m_poller; }

    // Reads ini.cfg from the working folder and points the cycle at the data folder.
    Settings::LoadResult load(QString *error);

    // Background mode's own switches: the flag, the tick and the web poll.
    void setBackground(bool on);

Q_SIGNALS:
    void statusText(const QByteArray &text);
    void captionChanged(const QByteArray &caption);

private:
    Environment m_env;
    Clock m_defaultClock;
    std::unique_ptr<QNetworkAccessManager> m_ownNetwork;
    Settings m_settings;
    Rng m_rng;
    std::unique_ptr<Link> m_link;
    std::unique_ptr<SendQueue> m_queue;
    std::unique_ptr<BackgroundCycle> m_cycle;
    std::unique_ptr<WebPoller> m_poller;
};
