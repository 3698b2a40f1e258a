#include "DataTestSupport.h"
#include "LoopbackHttpServer.h"
#include "data/MetalsWeather.h"
#include "data/StockProviders.h"
#include "net/HttpClient.h"
#include "util/Cancellation.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace DataTest;

namespace {

const QByteArray yahooBody = R"({"chart":{"result":[{"meta":{"regularMarketPrice":5012.3,"chartPreviousClose":5000},)"
                             R"("indicators":{"quote":[{"close":[5000,null,5012.3]}]}}],"error":null}})";
const QByteArray twelveBody = R"({"symbol":"MC","close":"702.4","percent_change":"0.85"})";
const QByteArray weatherBody = R"({"location":{"name":"Paris"},"current":{"temp_c":12.5,"is_day":1,)"
                               R"("condition":{"text":"Sunny","code":1000}}})";

enum class Service { yahoo, twelve, weather };

} // namespace

Q_DECLARE_METATYPE(Service)

class TestFetchers : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<LoopbackHttpServer> m_server;
    std::unique_ptr<HttpClient> m_http;

    QByteArray pathOf(Service service) const
    {
        switch (service) {
        case Service::yahoo:
            return "/v8/finance/chart/AAPL";
        case Service::twelve:
            return "/quote";
        case Service::weather:
            return "/v1/forecast.json";
        }
        return {};
    }

    /** Whether one fetch of `service` gave a value. */
    bool fetch(Service service, Cancellation *cancellation = nullptr)
    {
        switch (service) {
        case Service::yahoo:
            return await(StockProviders::fetchYahoo(*m_http, item(ItemKind::quote, "AAPL", "APPLE"), cancellation))
                .value.has_value();
        case Service::twelve:
            return await(StockProviders::fetchTwelve(*m_http, item(ItemKind::quote, "MC", "LVMH"), "k", cancellation))
                .value.has_value();
        case Service::weather:
            return await(MetalsWeather::fetchWeather(*m_http, item(ItemKind::weather, "Paris", "PARIS"), "k",
                                                     cancellation))
                .value.has_value();
        }
        return false;
    }

private slots:
    void init()
    {
        m_server = std::make_unique<LoopbackHttpServer>();
        QVERIFY(m_server->start());
        m_server->serveAllServices();
        m_http = std::make_unique<HttpClient>();
        m_http->setTimeoutScale(0.05); // 750 ms instead of 15 s: enough for a loaded machine
    }

    void cleanup()
    {
        m_http.reset();
        m_server.reset();
    }

    void yahooRequestAndAnswer()
    {
        m_server->setResponse("/v8/finance/chart/%5EGSPC", {200, yahooBody});
        const WatchItem index = item(ItemKind::quote, "^GSPC", "S&P 500");
        const auto quote = await(StockProviders::fetchYahoo(*m_http, index, nullptr)).value;
        QVERIFY(quote);
        QCOMPARE(quote->id, index.id);
        QCOMPARE(quote->name, QStringLiteral("S&P 500"));
        QCOMPARE(quote->price, QStringLiteral("5012.30"));
        QVERIFY(nearlyEqual(quote->change, 0.246));
        QCOMPARE(quote->series.size(), 18);

        QCOMPARE(m_server->requestCount(), 1);
        const auto request = m_server->requests().first();
        QCOMPARE(request.method, QByteArray("GET"));
        QCOMPARE(request.target, QByteArray("/v8/finance/chart/%5EGSPC?range=1d&interval=15m"));
        QCOMPARE(request.headers.value("user-agent"), QByteArray("Mozilla/5.0 (Macintosh) Dotbanner/1.0"));
    }

    void yahooEncodesTheSymbolAsAPathSegment()
    {
        const auto target = [](const char *symbol) {
            return StockProviders::yahooUrl(item(ItemKind::quote, QString::fromUtf8(symbol), "X"))
                ->toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority);
        };
        QCOMPARE(target("EURUSD=X"), QByteArray("/v8/finance/chart/EURUSD=X?range=1d&interval=15m"));
        QCOMPARE(target("BRK B"), QByteArray("/v8/finance/chart/BRK%20B?range=1d&interval=15m"));
        QCOMPARE(target("A?b#c%"), QByteArray("/v8/finance/chart/A%3Fb%23c%25?range=1d&interval=15m"));
        QCOMPARE(target("Zürich"), QByteArray("/v8/finance/chart/Z%C3%BCrich?range=1d&interval=15m"));
        QVERIFY(!StockProviders::yahooUrl(item(ItemKind::quote, QString(QChar(0xD800)), "X")));

        // A mirror's path prefix comes before the service path.
        qputenv("DOTBANNER_YAHOO_URL", m_server->baseUrl().toEncoded() + "/mirror/");
        m_server->setResponse("/mirror/v8/finance/chart/AAPL", {200, yahooBody});
        QVERIFY(fetch(Service::yahoo));
        QCOMPARE(m_server->requests().first().path(), QByteArray("/mirror/v8/finance/chart/AAPL"));
    }

    void twelveQueryOrderAndEncoding()
    {
        m_server->setResponse("/quote", {200, twelveBody});
        const WatchItem lvmh = item(ItemKind::quote, "MC", "LVMH", QStringLiteral("XPAR"));
        const auto quote = await(StockProviders::fetchTwelve(*m_http, lvmh, "a&b=c+d é", nullptr)).value;
        QVERIFY(quote);
        QCOMPARE(quote->price, QStringLiteral("702.40"));
        QCOMPARE(quote->change, 0.85);
        const auto request = m_server->requests().first();
        QCOMPARE(request.target, QByteArray("/quote?symbol=MC&apikey=a%26b%3Dc%2Bd%20%C3%A9&mic_code=XPAR"));
        QCOMPARE(request.headers.value("user-agent"), QByteArray("Mozilla/5.0 (Macintosh) Dotbanner/1.0"));

        m_server->clearRequests();
        QVERIFY(
            await(StockProviders::fetchTwelve(*m_http, item(ItemKind::quote, "BRK/B", "B", QString()), "k", nullptr))
                .value);
        QCOMPARE(m_server->requests().first().target, QByteArray("/quote?symbol=BRK/B&apikey=k"));
    }

    void weatherRequestAndAnswer()
    {
        m_server->setResponse("/v1/forecast.json", {200, weatherBody});
        const auto cached = await(MetalsWeather::fetchWeather(
                                      *m_http, item(ItemKind::weather, "Paris", "PARIS", QStringLiteral("48.85,2.35")),
                                      "key 1", nullptr))
                                .value;
        QVERIFY(cached);
        QCOMPARE(cached->price, QStringLiteral("13°C"));
        QCOMPARE(cached->icon, QStringLiteral("sun"));
        QCOMPARE(m_server->requests().first().target, QByteArray("/v1/forecast.json?key=key%201&q=48.85,2.35&days=1"));
        QCOMPARE(m_server->requests().first().headers.value("user-agent"),
                 QByteArray("Mozilla/5.0 (Macintosh) Dotbanner/1.0"));

        m_server->clearRequests();
        QVERIFY(fetch(Service::weather));
        QCOMPARE(m_server->requests().first().target, QByteArray("/v1/forecast.json?key=k&q=Paris&days=1"));

        // Without a key nothing is asked.
        m_server->clearRequests();
        QVERIFY(!await(MetalsWeather::fetchWeather(*m_http, item(ItemKind::weather, "Paris", "P"), "", nullptr)).value);
        QCOMPARE(m_server->requestCount(), 0);
    }

    void metalsRequestTarget()
    {
        m_server->setResponse("/v1/latest", {200, R"({"status":"success","metals":{"gold":2000}})"});
        const auto answer =
            await(MetalsWeather::fetchMetals(*m_http, MetalsWeather::metalsRequest("k#1", "EUR", "toz"), nullptr));
        QVERIFY(answer.value);
        QCOMPARE(answer.value->value("gold").toDouble(), 2000.0);
        QCOMPARE(m_server->requests().first().target, QByteArray("/v1/latest?api_key=k%231&currency=EUR&unit=toz"));

        // An answer that says error is a failure, like a status outside 2xx with a good body.
        m_server->setResponse("/v1/latest", {200, R"({"status":"failure","error_message":"quota"})"});
        QVERIFY(await(MetalsWeather::fetchMetals(*m_http, MetalsWeather::metalsRequest("k", "EUR", "toz"), nullptr))
                    .failed());
        m_server->setResponse("/v1/latest", {500, R"({"status":"success","metals":{"gold":2000}})"});
        const auto refused =
            await(MetalsWeather::fetchMetals(*m_http, MetalsWeather::metalsRequest("k", "EUR", "toz"), nullptr));
        QVERIFY(refused.failed());
        QCOMPARE(refused.response.status, 500);
    }

    void failuresGiveNothing_data()
    {
        QTest::addColumn<Service>("service");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("gives");

        const QList<std::pair<const char *, Service>> services{
            {"yahoo", Service::yahoo}, {"twelve", Service::twelve}, {"weather", Service::weather}};
        const QHash<Service, QByteArray> good{
            {Service::yahoo, yahooBody}, {Service::twelve, twelveBody}, {Service::weather, weatherBody}};
        const QHash<Service, QByteArray> error{
            {Service::yahoo, R"({"chart":{"result":null,"error":{"code":"Not Found"}}})"},
            {Service::twelve, R"({"code":401,"message":"invalid api key","status":"error","close":"1"})"},
            {Service::weather, R"({"error":{"code":2006,"message":"API key is invalid."}})"}};
        for (const auto &[name, service] : services) {
            const QByteArray row(name);
            QTest::newRow(row + " error answer") << service << 401 << error.value(service) << false;
            // A status outside 2xx is a failure whatever the body says: the service is in trouble.
            QTest::newRow(row + " 429 with a good body") << service << 429 << good.value(service) << false;
            QTest::newRow(row + " 500 with a good body") << service << 500 << good.value(service) << false;
            QTest::newRow(row + " 203 with a good body") << service << 203 << good.value(service) << true;
            QTest::newRow(row + " not JSON") << service << 200 << QByteArray("<html>busy</html>") << false;
            QTest::newRow(row + " not an object") << service << 200 << QByteArray("[1,2]") << false;
            QTest::newRow(row + " empty") << service << 200 << QByteArray() << false;
        }
    }

    void failuresGiveNothing()
    {
        QFETCH(Service, service);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(bool, gives);
        m_server->setResponse(pathOf(service), {status, body});
        QCOMPARE(fetch(service), gives);
        QCOMPARE(m_server->requestCount(), 1);
    }

    void silentServerTimesOut_data()
    {
        QTest::addColumn<Service>("service");
        QTest::newRow("yahoo") << Service::yahoo;
        QTest::newRow("twelve") << Service::twelve;
        QTest::newRow("weather") << Service::weather;
    }

    void silentServerTimesOut()
    {
        QFETCH(Service, service);
        LoopbackHttpServer::Response silent;
        silent.neverAnswer = true;
        m_server->setResponse(pathOf(service), silent);
        QElapsedTimer elapsed;
        elapsed.start();
        QVERIFY(!fetch(service));
        QVERIFY(elapsed.elapsed() >= 140);
    }

    void cancellingInFlightGivesNothing()
    {
        LoopbackHttpServer::Response silent;
        silent.neverAnswer = true;
        m_server->setResponse(pathOf(Service::yahoo), silent);
        m_http->setTimeoutScale(1); // only the cancellation can end it
        Cancellation cancellation;
        QTimer::singleShot(50, &cancellation, &Cancellation::cancel);
        QElapsedTimer elapsed;
        elapsed.start();
        QVERIFY(!fetch(Service::yahoo, &cancellation));
        QVERIFY(elapsed.elapsed() < 10000);

        // A cancelled fetch is no failure of the service: it must not start a back-off.
        const auto cancelled =
            await(StockProviders::fetchYahoo(*m_http, item(ItemKind::quote, "AAPL", "A"), &cancellation));
        QVERIFY(cancelled.cancelled());
        QVERIFY(!cancelled.failed());
    }

    void failureKeepsStatusAndRetryAfter()
    {
        LoopbackHttpServer::Response busy(429, R"({"code":429,"status":"error"})");
        busy.headers.append(qMakePair(QByteArray("Retry-After"), QByteArray("3600")));
        m_server->setResponse("/quote", busy);
        const auto answer =
            await(StockProviders::fetchTwelve(*m_http, item(ItemKind::quote, "MC", "LVMH"), "k", nullptr));
        QVERIFY(answer.failed());
        QCOMPARE(answer.response.status, 429);
        QCOMPARE(answer.response.retryAfter, QByteArray("3600"));
        QVERIFY(answer.response.body.isEmpty()); // not kept once read
    }
};

QTEST_GUILESS_MAIN(TestFetchers)
#include "TestFetchers.moc"
