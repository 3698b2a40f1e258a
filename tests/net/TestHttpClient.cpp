#include "LoopbackHttpServer.h"
#include "net/HttpClient.h"
#include "net/ServiceRequest.h"
#include "net/ServiceUrls.h"
#include "util/Cancellation.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

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

} // namespace

class TestHttpClient : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_serverPtr = std::make_unique<LoopbackHttpServer>();
        QVERIFY(m_serverPtr->start());
    }

    void cleanup() { m_serverPtr.reset(); }

    void sendsUserAgentAndExactTarget()
    {
        m_serverPtr->setResponse("/v8/finance/chart/%5EGSPC", {200, R"({"ok":true})"});
        HttpClient client;
        const QUrl url(m_serverPtr->baseUrl().toString() + "/v8/finance/chart/%5EGSPC?range=1d&interval=5m");
        const HttpResponse response = runGet(client, url);
        QVERIFY(!response.failed());
        QCOMPARE(response.status, 200);
        QCOMPARE(response.body, QByteArray(R"({"ok":true})"));
        QCOMPARE(m_serverPtr->requestCount(), 1);
        const auto request = m_serverPtr->requests().first();
        QCOMPARE(request.method, QByteArray("GET"));
        QCOMPARE(request.target, QByteArray("/v8/finance/chart/%5EGSPC?range=1d&interval=5m"));
        QCOMPARE(request.headers.value("user-agent"), QByteArray("Mozilla/5.0 (Macintosh) Dotbanner/1.0"));
    }

    void errorStatusKeepsItsBody()
    {
        m_serverPtr->setResponse("/busy", {429, R"({"code":429})"});
        m_serverPtr->setResponse("/gone", {404, "missing", "text/plain"});
        HttpClient client;
        HttpResponse busy = runGet(client, QUrl(m_serverPtr->baseUrl().toString() + "/busy"));
        QVERIFY(!busy.failed());
        QCOMPARE(busy.status, 429);
        QCOMPARE(busy.body, QByteArray(R"({"code":429})"));
        QVERIFY(!busy.isSuccessStatus());
        HttpResponse gone = runGet(client, QUrl(m_serverPtr->baseUrl().toString() + "/gone"));
        QCOMPARE(gone.status, 404);
        QCOMPARE(gone.body, QByteArray("missing"));
    }

    void silentServerTimesOut()
    {
        LoopbackHttpServer::Response silent;
        silent.neverAnswer = true;
        m_serverPtr->setResponse("/silent", silent);
        HttpClient client;
        client.setTimeoutScale(0.01); // 150 ms instead of 15 s
        QElapsedTimer elapsed;
        elapsed.start();
        const HttpResponse response = runGet(client, QUrl(m_serverPtr->baseUrl().toString() + "/silent"));
        QCOMPARE(response.failure, HttpResponse::Failure::timeout);
        QVERIFY(elapsed.elapsed() < 5000);
    }

    void overlongBodyFails()
    {
        m_serverPtr->setResponse("/huge", {200, QByteArray(HttpClient::maxBodyBytes + 10, 'x'), "text/plain"});
        HttpClient client;
        const HttpResponse response = runGet(client, QUrl(m_serverPtr->baseUrl().toString() + "/huge"));
        QCOMPARE(response.failure, HttpResponse::Failure::tooLarge);
        QVERIFY(response.body.isEmpty());
    }

    void cancellationAbortsInFlight()
    {
        LoopbackHttpServer::Response silent;
        silent.neverAnswer = true;
        m_serverPtr->setResponse("/silent", silent);
        HttpClient client;
        Cancellation cancellation;
        QTimer::singleShot(50, &cancellation, &Cancellation::cancel);
        HttpClient::Options options;
        options.cancellation = &cancellation;
        const HttpResponse response = runGet(client, QUrl(m_serverPtr->baseUrl().toString() + "/silent"), options);
        QCOMPARE(response.failure, HttpResponse::Failure::cancelled);

        // Already cancelled: nothing is sent at all.
        const int before = m_serverPtr->requestCount();
        const HttpResponse again = runGet(client, QUrl(m_serverPtr->baseUrl().toString() + "/silent"), options);
        QCOMPARE(again.failure, HttpResponse::Failure::cancelled);
        QCOMPARE(m_serverPtr->requestCount(), before);
    }

    void refusedConnectionIsTransportFailure()
    {
        HttpClient client;
        const HttpResponse response = runGet(client, QUrl("http://127.0.0.1:1/nothing"));
        QCOMPARE(response.failure, HttpResponse::Failure::transport);
        QCOMPARE(response.status, 0);
    }

    void followsRedirects()
    {
        LoopbackHttpServer::Response moved{302, ""};
        moved.headers.append(qMakePair(QByteArray("Location"), QByteArray("/there")));
        m_serverPtr->setResponse("/here", moved);
        m_serverPtr->setResponse("/there", {200, "arrived", "text/plain"});
        HttpClient client;
        const HttpResponse response = runGet(client, QUrl(m_serverPtr->baseUrl().toString() + "/here"));
        QCOMPARE(response.status, 200);
        QCOMPARE(response.body, QByteArray("arrived"));
    }

    void keyedRequestsFollowRedirectsOnlyWithinTheHost()
    {
        LoopbackHttpServer other;
        QVERIFY(other.start());
        other.setResponse("/there", {200, R"({"stolen":true})"});
        LoopbackHttpServer::Response toPort{302, ""};
        toPort.headers.append(qMakePair(QByteArray("Location"), QByteArray(other.baseUrl().toEncoded() + "/there")));
        m_serverPtr->setResponse("/port", toPort);
        LoopbackHttpServer::Response toHost{301, ""};
        // Another name for the same machine is another host.
        toHost.headers.append(qMakePair(QByteArray("Location"),
                                        QByteArray("http://localhost:" + QByteArray::number(other.port()) + "/there")));
        m_serverPtr->setResponse("/host", toHost);
        LoopbackHttpServer::Response local{307, ""};
        local.headers.append(qMakePair(QByteArray("Location"), QByteArray("/here")));
        m_serverPtr->setResponse("/local", local);
        m_serverPtr->setResponse("/here", {200, R"({"ok":true})"});

        HttpClient client;
        const auto send = [&](const char *path) {
            HttpResponse result;
            bool done = false;
            QCoro::connect(ServiceRequest::send(client, {m_serverPtr->baseUrl(), path, {}}, nullptr), &client,
                           [&](ServiceRequest::Answer answer) {
                               result = answer.response;
                               done = true;
                           });
            if (!QTest::qWaitFor([&] { return done; }, 20000))
                qFatal("request did not finish");
            return result;
        };
        QCOMPARE(send("/local").body, QByteArray(R"({"ok":true})"));
        QCOMPARE(send("/port").body, QByteArray(R"({"stolen":true})")); // same host, another port
        const HttpResponse refused = send("/host");
        QCOMPARE(refused.failure, HttpResponse::Failure::redirect);
        QVERIFY(refused.body.isEmpty());
        QCOMPARE(other.requestCount(), 1);

        // Requests without a key (feeds) still follow redirects to other hosts.
        QCOMPARE(runGet(client, QUrl(m_serverPtr->baseUrl().toString() + "/host")).status, 200);
    }

    void keepsRetryAfter()
    {
        LoopbackHttpServer::Response busy{429, "{}"};
        busy.headers.append(qMakePair(QByteArray("Retry-After"), QByteArray("Mon, 02 Mar 2026 12:00:00 GMT")));
        m_serverPtr->setResponse("/busy", busy);
        HttpClient client;
        const HttpResponse response = runGet(client, QUrl(m_serverPtr->baseUrl().toString() + "/busy"));
        QCOMPARE(response.status, 429);
        QCOMPARE(response.retryAfter, QByteArray("Mon, 02 Mar 2026 12:00:00 GMT"));
        QCOMPARE(client.activeRequests(), 0);
    }

    void requestAddressesEncodeEveryQueryTheSameWay()
    {
        ServiceRequest request{QUrl("https://api.example.test/base/"), "/v1/x", {{"q", "a&b=c+d#e%f é/g"}, {"k", ""}}};
        QCOMPARE(request.url()->toEncoded(),
                 QByteArray("https://api.example.test/base/v1/x?q=a%26b%3Dc%2Bd%23e%25f%20%C3%A9/g&k="));
        QCOMPARE(*ServiceRequest::pathSegment("^FCHI EUR=X"), QString("%5EFCHI%20EUR=X"));
        QVERIFY(!ServiceRequest::pathSegment(QString(QChar(0xDC00))));
    }

    void serviceOverridesCarryKeysOnlySafely()
    {
        QVERIFY(ServiceUrls::isSafeForKeys(QUrl("https://mirror.example.test")));
        QVERIFY(ServiceUrls::isSafeForKeys(QUrl("http://127.0.0.1:8080")));
        QVERIFY(ServiceUrls::isSafeForKeys(QUrl("http://127.1.2.3")));
        QVERIFY(ServiceUrls::isSafeForKeys(QUrl("http://[::1]:9")));
        QVERIFY(ServiceUrls::isSafeForKeys(QUrl("http://LOCALHOST/p")));
        QVERIFY(!ServiceUrls::isSafeForKeys(QUrl("http://mirror.example.test")));
        QVERIFY(!ServiceUrls::isSafeForKeys(QUrl("http://128.0.0.1")));
        QVERIFY(!ServiceUrls::isSafeForKeys(QUrl("http://localhost.example.test")));
        QVERIFY(!ServiceUrls::isSafeForKeys(QUrl("ftp://127.0.0.1")));

        qputenv("DOTBANNER_TWELVEDATA_URL", "http://mirror.example.test/td");
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("^DOTBANNER_TWELVEDATA_URL refused .*https://api.twelvedata.com$"));
        QCOMPARE(ServiceUrls::twelveData(), QUrl("https://api.twelvedata.com"));
        QCOMPARE(ServiceUrls::twelveData(), QUrl("https://api.twelvedata.com")); // reported once
        qputenv("DOTBANNER_TWELVEDATA_URL", "https://mirror.example.test/td");
        QCOMPARE(ServiceUrls::twelveData(), QUrl("https://mirror.example.test/td"));
        qunsetenv("DOTBANNER_TWELVEDATA_URL");
    }

    void endpointsKeepPathPrefix()
    {
        QCOMPARE(ServiceUrls::endpoint(QUrl("http://127.0.0.1:8080/mirror/"), "/v1/latest").toString(),
                 QString("http://127.0.0.1:8080/mirror/v1/latest"));
        QCOMPARE(ServiceUrls::endpoint(QUrl("https://api.metals.dev"), "/v1/latest").toString(),
                 QString("https://api.metals.dev/v1/latest"));
        qputenv("DOTBANNER_METALSDEV_URL", "http://127.0.0.1:9/prefix");
        QCOMPARE(ServiceUrls::metalsDev().toString(), QString("http://127.0.0.1:9/prefix"));
        qputenv("DOTBANNER_METALSDEV_URL", "not a url");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^DOTBANNER_METALSDEV_URL refused"));
        QCOMPARE(ServiceUrls::metalsDev().toString(), QString("https://api.metals.dev"));
        qunsetenv("DOTBANNER_METALSDEV_URL");
    }

private:
    std::unique_ptr<LoopbackHttpServer> m_serverPtr;
};

QTEST_GUILESS_MAIN(TestHttpClient)
#include "TestHttpClient.moc"
