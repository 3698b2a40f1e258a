// The network layer's bounds: how far a request follows redirects, and what a user's text can
// do to the path of a service request.

#include "LoopbackHttpServer.h"
#include "net/HttpClient.h"
#include "net/ServiceRequest.h"

#include <QTest>

#include <qcoro/qcorotask.h>

namespace {

HttpResponse runGet(HttpClient &client, const QUrl &url, HttpClient::Options options = {})
{
    HttpResponse result;
    bool done = false;
    QCoro::connect(client.get(url, options), &client, [&](HttpResponse response) {
        result = std::move(response);
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 20000))
        qFatal("request did not finish");
    return result;
}

HttpResponse runService(HttpClient &client, const ServiceRequest &request)
{
    HttpResponse result;
    bool done = false;
    QCoro::connect(ServiceRequest::send(client, request, nullptr), &client, [&](ServiceRequest::Answer answer) {
        result = answer.response;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 20000))
        qFatal("request did not finish");
    return result;
}

LoopbackHttpServer::Response redirectTo(const QByteArray &location, int status = 302)
{
    LoopbackHttpServer::Response moved{status, ""};
    moved.headers.append(qMakePair(QByteArray("Location"), location));
    return moved;
}

} // namespace

class TestRedirects : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_server = std::make_unique<LoopbackHttpServer>();
        QVERIFY(m_server->start());
    }

    void cleanup() { m_server.reset(); }

    void anAddressRedirectingToItselfCostsSixRequests_data()
    {
        QTest::addColumn<bool>("keyed");
        QTest::newRow("feed") << false;
        QTest::newRow("keyed service") << true;
    }

    void anAddressRedirectingToItselfCostsSixRequests()
    {
        QFETCH(bool, keyed);
        m_server->setResponse("/loop", redirectTo("/loop", 301));
        m_server->setResponse("/v1/latest", redirectTo("/v1/latest?api_key=k", 307));
        HttpClient client;
        const HttpResponse response = keyed
                                          ? runService(client, {m_server->baseUrl(), "/v1/latest", {{"api_key", "k"}}})
                                          : runGet(client, QUrl(m_server->baseUrl().toString() + "/loop"));
        QCOMPARE(response.failure, HttpResponse::Failure::tooManyRedirects);
        QCOMPARE(response.status, 0);
        QVERIFY(response.body.isEmpty());
        QCOMPARE(m_server->requestCount(), HttpClient::maxRedirects + 1);
        QCOMPARE(client.activeRequests(), 0);
    }

    void fiveRedirectsStillArrive_data()
    {
        QTest::addColumn<bool>("keyed");
        QTest::newRow("feed") << false;
        QTest::newRow("keyed service") << true;
    }

    void fiveRedirectsStillArrive()
    {
        QFETCH(bool, keyed);
        // /hop/5 → /hop/4 → … → /hop/0, which answers.
        m_server->setHandler([](const LoopbackHttpServer::Request &request) -> LoopbackHttpServer::Response {
            const int left = request.path().mid(5).toInt();
            if (left == 0)
                return {200, R"({"arrived":true})"};
            return redirectTo("/hop/" + QByteArray::number(left - 1));
        });
        HttpClient client;
        const auto get = [&](int hops) {
            const QByteArray path = "/hop/" + QByteArray::number(hops);
            return keyed ? runService(client, {m_server->baseUrl(), QString::fromLatin1(path), {}})
                         : runGet(client, QUrl(m_server->baseUrl().toString() + QString::fromLatin1(path)));
        };
        const HttpResponse five = get(5);
        for (const auto &r : m_server->requests())
            qDebug() << "DBG" << r.target << r.headers;
        qDebug() << "DBG" << int(five.failure) << five.networkError << five.body;
        QCOMPARE(five.status, 200);
        QCOMPARE(five.body, QByteArray(R"({"arrived":true})"));
        QCOMPARE(m_server->requestCount(), 6);

        m_server->clearRequests();
        const HttpResponse six = get(6);
        QCOMPARE(six.failure, HttpResponse::Failure::tooManyRedirects);
        QCOMPARE(m_server->requestCount(), 6); // /hop/0 is never asked
    }

    void aSymbolIsOneSegmentOfThePath_data()
    {
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<QByteArray>("target");
        QTest::newRow("climbing") << "../../x" << QByteArray("/v8/finance/chart/..%2F..%2Fx");
        QTest::newRow("slash") << "BF/B" << QByteArray("/v8/finance/chart/BF%2FB");
        QTest::newRow("query and fragment") << "A?b=c#d" << QByteArray("/v8/finance/chart/A%3Fb=c%23d");
        QTest::newRow("encoded slash") << "%2F" << QByteArray("/v8/finance/chart/%252F");
        QTest::newRow("backslash") << "..\\x" << QByteArray("/v8/finance/chart/..%5Cx");
        QTest::newRow("index") << "^FCHI" << QByteArray("/v8/finance/chart/%5EFCHI");
        QTest::newRow("dots inside") << "MC.PA" << QByteArray("/v8/finance/chart/MC.PA");
    }

    void aSymbolIsOneSegmentOfThePath()
    {
        QFETCH(QString, symbol);
        QFETCH(QByteArray, target);
        m_server->setFallback({200, "{}"});
        const std::optional<QString> segment = ServiceRequest::pathSegment(symbol);
        QVERIFY(segment);
        QVERIFY(!segment->contains(u'/'));
        HttpClient client;
        const HttpResponse response = runService(client, {m_server->baseUrl(), "/v8/finance/chart/" + *segment, {}});
        QCOMPARE(response.status, 200);
        QCOMPARE(m_server->requestCount(), 1);
        QCOMPARE(m_server->requests().first().target, target);
    }

    void textThatCannotBeOneSegmentIsRefused()
    {
        for (const QString &text : {QString(), QStringLiteral("."), QStringLiteral("..")})
            QVERIFY2(!ServiceRequest::pathSegment(text), qPrintable(text));
        QCOMPARE(*ServiceRequest::pathSegment("..."), QStringLiteral("..."));
        QCOMPARE(*ServiceRequest::pathSegment(" .."), QStringLiteral("%20.."));
    }

private:
    std::unique_ptr<LoopbackHttpServer> m_server;
};

QTEST_GUILESS_MAIN(TestRedirects)
#include "TestRedirects.moc"
