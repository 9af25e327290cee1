#pragma once
// A small HTTP server on 127.0.0.1 for the update and web-page requests: each path answers as
// a test tells it (a status and body, a body cut off mid-way, or no answer at all), and every
// request is recorded with its user agent.
#include <QHostAddress>
#include <QMap>
#include <QTcpServer>
#include <QTcpSocket>
#include <memory>

class LocalHttpServer {
public:
    struct Route {
        int status = 200;
        QByteArray body;
        qsizetype cutAfter = -1;   // >= 0: send this many body bytes, then hang up
        bool silent = false;       // accept the request and never answer
        QByteArray contentType = "application/octet-stream";
    };
    struct Request {
        QByteArray path;
        QByteArray userAgent;
        QByteArray raw;
    };

    LocalHttpServer() {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] { acceptAll(); });
    }

    void route(const QByteArray& path, const Route& answer) { m_routes[path] = answer; }
    void route(const QByteArray& path, const QByteArray& body) { m_routes[path] = Route{200, body, -1, false}; }
    // host:port as the deployment's update server names it.
    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(m_server.serverPort()); }
    const QList<Request>& requests() const { return m_requests; }
    QList<QByteArray> paths() const {
        QList<QByteArray> out;
        for (const Request& r : m_requests) out << r.path;
        return out;
    }

    // A host:port on which nothing listens.
    static QString closedHost() {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        const quint16 port = probe.serverPort();
        probe.close();
        return QStringLiteral("127.0.0.1:%1").arg(port);
    }

private:
    void acceptAll() {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            auto buffer = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
                *buffer += socket->readAll();
                if (!buffer->contains("\r\n\r\n")) return;
                answer(socket, *buffer);
                buffer->clear();
            });
        }
    }

    void answer(QTcpSocket* socket, const QByteArray& raw) {
        const QList<QByteArray> lines = raw.split('\n');
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
        Request request{requestLine.value(1), {}, raw};
        for (const QByteArray& line : lines)
            if (line.toLower().startsWith("user-agent:")) request.userAgent = line.mid(11).trimmed();
        m_requests << request;

        const Route route = m_routes.value(request.path, Route{404, "not found", -1, false});
        if (route.silent) return;
        QByteArray reply = "HTTP/1.1 " + QByteArray::number(route.status) + (route.status == 200 ? " OK" : " Error") +
                           "\r\nContent-Type: " + route.contentType + "\r\nContent-Length: " +
                           QByteArray::number(route.body.size()) + "\r\nConnection: close\r\n\r\n";
        reply += route.cutAfter >= 0 ? route.body.left(route.cutAfter) : route.body;
        socket->write(reply);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QMap<QByteArray, Route> m_routes;
    QList<Request> m_requests;
};
