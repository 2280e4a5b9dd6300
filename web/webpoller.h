#pragma once

#include "config/pacetimer.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>

#include <array>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;
struct Settings;

// Keeps the node files of nodes 1 to 15 in step with the data server. Each poll asks,
// node by node and one request at a time, whether the node's schedule has changed, and
// writes the new content over the local file. Replies arrive through signals: nothing
// waits on the network.
class WebPoller : public QObject {
    Q_OBJECT
public:
    static constexpr int kFirstNode = 1;
    static constexpr int kLastNode = 15;
    static constexpr int kStampLength = 255;
    static constexpr qint64 kMaxBody = 1024 * 1024;

    WebPoller(Settings *settings, QNetworkAccessManager *network, bool manualTimers, QObject *parent = nullptr);
    ~WebPoller() override;

    PaceTimer *tweb() { return &m_tweb; }
    // Background mode switches polling on and off; a poll in progress then ends as
    // usual, but does not re-arm the timer.
    void setActive(bool on);
    bool active() const { return m_active; }
    bool polling() const { return m_polling; }

    // A request that makes no progress for this long fails the poll.
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }
    QByteArray webStamp(int node) const { return m_stamps.at(size_t(node - kFirstNode)); }

    void twebTimer();

Q_SIGNALS:
    void captionChanged(const QByteArray &caption);
    void statusText(const QByteArray &text);
    void pollFinished(bool ok);

private:
    QByteArray baseUrl(int node) const;
    QString nodeFile(int node) const;
    void checkNode();
    void get(const QByteArray &url, std::function<void(const QByteArray &)> onBody);
    bool writeNodeFile(int node, const QByteArray &content);
    void nextNode();
    void finish(bool ok);

    Settings *m_settings;
    QNetworkAccessManager *m_network;
    PaceTimer m_tweb;
    std::array<QByteArray, kLastNode - kFirstNode + 1> m_stamps;
    QPointer<QNetworkReply> m_reply;
    int m_node = 0;
    int m_timeoutMs = 10000;
    bool m_active = false;
    bool m_polling = false;
};
