#include "web/webpoller.h"

#include "config/codec.h"
#include "config/settings.h"
#include "config/textlines.h"
#include "web/logging.h"

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QUrl>

WebPoller::WebPoller(Settings *settings, QNetworkAccessManager *network, bool manualTimers, QObject *parent)
    : QObject(parent), m_settings(settings), m_network(network), m_tweb(5000, false, manualTimers)
{
    connect(&m_tweb, &PaceTimer::timeout, this, &WebPoller::twebTimer);
}

WebPoller::~WebPoller()
{
    // A request still under way ends with the poller rather than with the network manager.
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
}

void WebPoller::setActive(bool on)
{
    m_active = on;
    m_tweb.setEnabled(on);
}

namespace {
// The values go into the URL as they are, but a byte that cannot stand in a request
// line (a blank, a control, a Windows-1252 letter) is sent percent-encoded, byte for
// byte, as the server's decoding expects.
QByteArray asInUrl(const QByteArray &value)
{
    return value.toPercentEncoding("!$&'()*+,;=:@/?#%[]");
}
} // namespace

QByteArray WebPoller::baseUrl(int node) const
{
    return "http://" + asInUrl(m_settings->cfgServer) + "/lines.php?empresa=" + asInUrl(m_settings->cfgExt) +
           "&nodo=" + QByteArray::number(node);
}

QString WebPoller::nodeFile(int node) const
{
    return QDir(m_settings->exeDir).filePath(QString::number(node) + QStringLiteral(".msg"));
}

void WebPoller::twebTimer()
{
    if (polling() || !Settings::isWebServer(m_settings->cfgServer))
        return;
    Q_EMIT captionChanged("Conectando a Web");
    m_tweb.setEnabled(false);
    m_polling = true;
    m_node = kFirstNode;
    checkNode();
}

void WebPoller::checkNode()
{
    const int node = m_node;
    const QByteArray time = QFile::exists(nodeFile(node)) ? m_stamps.at(size_t(node - kFirstNode)) : "-1";
    get(baseUrl(node) + "&time=" + asInUrl(time), [this, node](const QByteArray &check) {
        if (check.isEmpty() || check == "no") {
            nextNode();
            return;
        }
        get(baseUrl(node), [this, node, check](const QByteArray &stamp) {
            if (!writeNodeFile(node, check + textlines::kCrLf)) {
                finish(false);
                return;
            }
            // Stored only once the file is in place, so a failed write is asked for again.
            m_stamps[size_t(node - kFirstNode)] = stamp.left(kStampLength);
            nextNode();
        });
    });
}

void WebPoller::get(const QByteArray &url, std::function<void(const QByteArray &)> onBody)
{
    QNetworkRequest request(QUrl::fromEncoded(url, QUrl::StrictMode));
    request.setRawHeader("Accept", "text/html, */*");
    request.setRawHeader("Content-Type", "text/html");
    request.setRawHeader("User-Agent", "Mozilla/3.0 (compatible; Indy Library)");
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setTransferTimeout(m_timeoutMs);

    QNetworkReply *reply = m_network->get(request);
    m_reply = reply;
    auto body = std::make_shared<QByteArray>();
    connect(reply, &QNetworkReply::readyRead, this, [reply, body] {
        *body += reply->readAll();
        if (body->size() > kMaxBody) {
            qCWarning(lcWeb) << "reply larger than" << kMaxBody << "bytes:" << reply->url().toDisplayString();
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, body, onBody = std::move(onBody)] {
        reply->deleteLater();
        *body += reply->readAll();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (reply->error() != QNetworkReply::NoError || status < 200 || status > 299 || body->size() > kMaxBody) {
            qCWarning(lcWeb) << "request failed:" << reply->url().toDisplayString() << status << reply->errorString();
            finish(false);
            return;
        }
        onBody(*body);
    });
}

bool WebPoller::writeNodeFile(int node, const QByteArray &content)
{
    // Written beside the old file and renamed over it, so the scan never sees half a
    // file and a failed write leaves the old one whole.
    QSaveFile file(nodeFile(node));
    const bool ok = file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit();
    if (!ok)
        qCWarning(lcWeb) << "cannot write" << file.fileName() << ":" << file.errorString();
    else
        qCInfo(lcWeb) << "node" << node << "updated from the server";
    return ok;
}

void WebPoller::nextNode()
{
    if (++m_node > kLastNode) {
        finish(true);
        return;
    }
    checkNode();
}

void WebPoller::finish(bool ok)
{
    m_reply = nullptr;
    m_polling = false;
    Q_EMIT captionChanged("Vantrel");
    m_tweb.setEnabled(m_active);
    if (!ok)
        Q_EMIT statusText("Imposible conectar con " + m_settings->cfgServer);
    Q_EMIT pollFinished(ok);
}
