#include "LoopbackHttpServer.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

LoopbackHttpServer::LoopbackHttpServer(QObject *parent)
    : QObject(parent)
{
    m_fallback.status = 404;
    m_fallback.body = "not found";
    m_fallback.contentType = "text/plain";
    connect(&m_server, &QTcpServer::newConnection, this, &LoopbackHttpServer::onNewConnection);
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    // Sockets are children of the server; cut them loose before the members they use go.
    for (QTcpSocket *socket : m_server.findChildren<QTcpSocket *>()) {
        socket->disconnect(this);
        socket->abort();
    }
    m_server.close();
}

bool LoopbackHttpServer::start()
{
    return m_server.listen(QHostAddress::LocalHost, 0);
}

quint16 LoopbackHttpServer::port() const
{
    return m_server.serverPort();
}

QUrl LoopbackHttpServer::baseUrl() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port()));
}

void LoopbackHttpServer::setResponse(const QByteArray &path, const Response &response)
{
    m_responses.insert(path, response);
}

void LoopbackHttpServer::setHandler(std::function<Response(const Request &)> handler)
{
    m_handler = std::move(handler);
}

void LoopbackHttpServer::setFallback(const Response &response)
{
    m_fallback = response;
}

void LoopbackHttpServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_buffers.remove(socket);
            socket->deleteLater();
        });
    }
}

void LoopbackHttpServer::onReadyRead(QTcpSocket *socket)
{
    QByteArray &buffer = m_buffers[socket];
    buffer += socket->readAll();
    // Requests are GETs without bodies: one request ends at the first blank line.
    while (true) {
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QByteArray head = buffer.left(end);
        buffer.remove(0, end + 4);

        const QList<QByteArray> lines = head.split('\n');
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
        Request request;
        request.method = requestLine.value(0);
        request.target = requestLine.value(1);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QByteArray line = lines.at(i).trimmed();
            const qsizetype colon = line.indexOf(':');
            if (colon > 0)
                request.headers.insert(line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed());
        }
        m_requests.append(request);
        emit requestReceived(request);
        answer(socket, request);
    }
}

void LoopbackHttpServer::answer(QTcpSocket *socket, const Request &request)
{
    Response response = m_handler ? m_handler(request) : m_responses.value(request.path(), m_fallback);
    if (!m_handler && !m_responses.contains(request.path()))
        response = m_fallback;
    if (response.neverAnswer)
        return;

    QByteArray out = "HTTP/1.1 " + QByteArray::number(response.status) + " Status\r\n";
    out += "Content-Type: " + response.contentType + "\r\n";
    out += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    for (const auto &[name, value] : response.headers)
        out += name + ": " + value + "\r\n";
    out += "Connection: keep-alive\r\n\r\n";
    out += response.body;

    QPointer<QTcpSocket> guard(socket);
    if (response.delayMs > 0) {
        QTimer::singleShot(response.delayMs, this, [guard, out] {
            if (guard)
                guard->write(out);
        });
    } else {
        socket->write(out);
    }
}
