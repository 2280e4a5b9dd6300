#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QObject>
#include <QThread>

#include <functional>

class QTcpServer;

// A small HTTP/1.1 server on 127.0.0.1, running on a thread of its own so that the
// program under test is seen to keep its own thread free. It records every request
// and answers each through a handler the test supplies.
class HttpServer : public QObject {
    Q_OBJECT
public:
    struct Request {
        QByteArray method;
        QByteArray target; // as sent on the request line
        QByteArray version;
        QMap<QByteArray, QByteArray> headers; // names in lower case
        QByteArray query(const QByteArray &name) const;
        bool hasQuery(const QByteArray &name) const;
    };
    struct Response {
        int status = 200;
        QByteArray body;
        QList<QPair<QByteArray, QByteArray>> headers;
        int delayMs = 0;           // answer after this long
        bool hang = false;         // never answer
        bool resetMidBody = false; // send half the body, then drop the connection
    };
    using Handler = std::function<Response(const Request &)>;

    HttpServer();
    ~HttpServer() override;

    quint16 port() const { return m_port; }
    QByteArray hostAndPort() const { return "127.0.0.1:" + QByteArray::number(m_port); }
    void setHandler(Handler handler);
    // Stops accepting: later connections are refused.
    void close();

    QList<Request> requests() const;
    void clearRequests();

private:
    void serve();

    QThread m_thread;
    QTcpServer *m_server = nullptr;
    quint16 m_port = 0;
    mutable QMutex m_mutex;
    Handler m_handler;
    QList<Request> m_requests;
};
