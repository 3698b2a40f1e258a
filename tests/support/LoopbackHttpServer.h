#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QTcpServer>
#include <QUrl>

#include <functional>

/**
 * A small HTTP/1.1 server on 127.0.0.1 for tests. Answers canned responses by path,
 * records every request it received (target exactly as sent, headers), and can be
 * told to never answer a path so that time-outs can be exercised.
 */
class LoopbackHttpServer : public QObject
{
    Q_OBJECT
public:
    struct Response
    {
        Response(int status = 200, QByteArray body = {}, QByteArray contentType = "application/json")
            : status(status)
            , body(std::move(body))
            , contentType(std::move(contentType))
        {
        }

        int status = 200;
        QByteArray body;
        QByteArray contentType = "application/json";
        QList<QPair<QByteArray, QByteArray>> headers; ///< extra headers
        int delayMs = 0;                              ///< wait before answering
        bool neverAnswer = false;                     ///< keep the connection open, send nothing
    };

    struct Request
    {
        QByteArray method;
        QByteArray target; ///< path and query exactly as received
        QMap<QByteArray, QByteArray> headers; ///< names lower-cased
        QByteArray path() const { return target.left(target.indexOf('?') < 0 ? target.size() : target.indexOf('?')); }
        QByteArray query() const { return target.indexOf('?') < 0 ? QByteArray() : target.mid(target.indexOf('?') + 1); }
    };

    explicit LoopbackHttpServer(QObject *parent = nullptr);
    ~LoopbackHttpServer() override;

    /** Starts listening on a free port of 127.0.0.1. */
    bool start();
    quint16 port() const;
    /** "http://127.0.0.1:PORT" */
    QUrl baseUrl() const;

    /** The environment variables that replace the web services' base addresses. */
    static QList<QByteArray> serviceUrlVariables()
    {
        return {"DOTBANNER_YAHOO_URL", "DOTBANNER_TWELVEDATA_URL", "DOTBANNER_METALSDEV_URL",
                "DOTBANNER_WEATHERAPI_URL"};
    }
    /** Sends every web service request of this process to this server. */
    void serveAllServices() const
    {
        for (const QByteArray &name : serviceUrlVariables())
            qputenv(name.constData(), baseUrl().toEncoded());
    }

    /** Canned answer for requests whose path (without query) is `path`. */
    void setResponse(const QByteArray &path, const Response &response);
    /** Answer computed per request; wins over canned answers. */
    void setHandler(std::function<Response(const Request &)> handler);
    /** Answer of paths with no canned answer: 404 by default. */
    void setFallback(const Response &response);

    QList<Request> requests() const { return m_requests; }
    int requestCount() const { return m_requests.size(); }
    void clearRequests() { m_requests.clear(); }

signals:
    void requestReceived(const LoopbackHttpServer::Request &request);

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const Request &request);

    QTcpServer m_server;
    QHash<QByteArray, Response> m_responses;
    Response m_fallback;
    std::function<Response(const Request &)> m_handler;
    QList<Request> m_requests;
    QHash<QTcpSocket *, QByteArray> m_buffers;
};
