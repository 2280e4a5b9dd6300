#include "tests/support/httpserver.h"

#include <QMutexLocker>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>

QByteArray HttpServer::Request::query(const QByteArray &name) const
{
    const QByteArray q = target.mid(target.indexOf('?') + 1);
    for (const QByteArray &pair : q.split('&')) {
        if (pair.startsWith(name + '='))
            return pair.mid(name.size() + 1);
    }
    return {};
}

bool HttpServer::Request::hasQuery(const QByteArray &name) const
{
    const QByteArray q = target.mid(target.indexOf('?') + 1);
    for (const QByteArray &pair : q.split('&')) {
        if (pair.startsWith(name + '='))
            return true;
    }
    return false;
}

HttpServer::HttpServer()
{
    m_handler = [](const Request &) { return Response{200, "no", {}, 0, false, false}; };
    m_thread.setObjectName(QStringLiteral("http server"));
    m_thread.start();
    QMetaObject::invokeMethod(
        this, [this] { serve(); }, Qt::DirectConnection);
}

HttpServer::~HttpServer()
{
    QMetaObject::invokeMethod(
        m_server, [this] { delete m_server; }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

void HttpServer::serve()
{
    m_server = new QTcpServer;
    m_server->listen(QHostAddress::LocalHost, 0);
    m_port = m_server->serverPort();
    m_server->moveToThread(&m_thread);

    QObject::connect(m_server, &QTcpServer::newConnection, m_server, [this] {
        while (QTcpSocket *socket = m_server->nextPendingConnection()) {
            auto buffer = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
                *buffer += socket->readAll();
                qsizetype end;
                while ((end = buffer->indexOf("\r\n\r\n")) >= 0) {
                    const QList<QByteArray> lines = buffer->left(end).split('\n');
                    buffer->remove(0, end + 4);
                    Request request;
                    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
                    request.method = first.value(0);
                    request.target = first.value(1);
                    request.version = first.value(2);
                    for (qsizetype i = 1; i < lines.size(); ++i) {
                        const QByteArray line = lines.at(i).trimmed();
                        const qsizetype colon = line.indexOf(':');
                        if (colon > 0)
                            request.headers.insert(line.left(colon).toLower(), line.mid(colon + 1).trimmed());
                    }
                    Response response;
                    {
                        QMutexLocker lock(&m_mutex);
                        m_requests.append(request);
                        response = m_handler(request);
                    }
                    if (response.hang)
                        return;
                    auto send = [socket, response] {
                        QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + " X\r\n";
                        head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
                        for (const auto &h : response.headers)
                            head += h.first + ": " + h.second + "\r\n";
                        socket->write(head + "\r\n");
                        if (response.resetMidBody) {
                            socket->write(response.body.left(response.body.size() / 2));
                            socket->flush();
                            socket->abort();
                            return;
                        }
                        socket->write(response.body);
                    };
                    if (response.delayMs > 0)
                        QTimer::singleShot(response.delayMs, socket, send);
                    else
                        send();
                }
            });
        }
    });
}

void HttpServer::setHandler(Handler handler)
{
    QMutexLocker lock(&m_mutex);
    m_handler = std::move(handler);
}

void HttpServer::close()
{
    QMetaObject::invokeMethod(
        m_server, [this] { m_server->close(); }, Qt::BlockingQueuedConnection);
}

QList<HttpServer::Request> HttpServer::requests() const
{
    QMutexLocker lock(&m_mutex);
    return m_requests;
}

void HttpServer::clearRequests()
{
    QMutexLocker lock(&m_mutex);
    m_requests.clear();
}
