// How the data service's fetches fare, as the health model and the log tell it: every kind of
// failure from real loopback answers, per item where the service answers per item, on the fake
// clock for the next try.

#include "DataTestSupport.h"
#include "FakeClock.h"
#include "LoopbackHttpServer.h"
#include "data/DataService.h"
#include "health/SourceHealth.h"
#include "net/HttpClient.h"
#include "SettingsFixture.h"

#include <QLoggingCategory>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTest>

#include <memory>

using namespace DataTest;
using namespace std::chrono_literals;

namespace {

QStringList s_log;

void capture(QtMsgType, const QMessageLogContext &context, const QString &message)
{
    if (QByteArray(context.category).startsWith("dotbanner."))
        s_log << QString::fromLatin1(context.category) + QStringLiteral(": ") + message;
}

QByteArray yahoo(double price)
{
    return R"({"chart":{"result":[{"meta":{"regularMarketPrice":)" + QByteArray::number(price) +
           R"(,"chartPreviousClose":100}}]}})";
}

const QDateTime start(QDate(2026, 3, 2), QTime(14, 0));

} // namespace

class TestDataHealth : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<SettingsFixture> m_fixture;
    Settings *m_settings = nullptr;
    std::unique_ptr<FakeClock> m_clock;
    std::unique_ptr<LoopbackHttpServer> m_server;
    std::unique_ptr<HttpClient> m_http;
    std::unique_ptr<SourceHealth> m_health;
    std::unique_ptr<DataService> m_service;
    QtMessageHandler m_previousHandler = nullptr;

    WatchItem m_gold = item(ItemKind::metal, "gold", "OR");
    WatchItem m_silver = item(ItemKind::metal, "silver", "ARGENT");
    WatchItem m_paris = item(ItemKind::weather, "Paris", "PARIS", QStringLiteral("48.85,2.35"));
    WatchItem m_apple = item(ItemKind::quote, "AAPL", "APPLE");
    WatchItem m_gone = item(ItemKind::quote, "ZZZZ", "ZZZZ");

    void refresh(bool force = false)
    {
        m_service->refresh(force);
        // The Twelve Data spacing is 0 ms here, but still a wait on the fake clock.
        const auto idle = [&] {
            m_clock->advanceMs(0);
            return !m_service->isRefreshing();
        };
        if (!QTest::qWaitFor(idle, 15000))
            qFatal("the refresh run did not finish");
        // Let cancelled requests deliver their end before the next step.
        QCoreApplication::processEvents();
    }

    /** The warnings and infos of the data library since the last call. */
    QStringList takeLog()
    {
        QStringList lines = s_log.filter(QRegularExpression("^dotbanner\\.data: "));
        s_log.clear();
        return lines;
    }

    int requestsTo(const QByteArray &path) const
    {
        int count = 0;
        for (const auto &request : m_server->requests())
            count += request.path() == path;
        return count;
    }

    std::optional<SourceFailure> failureOf(const SourceId &source, const WatchItem &watched) const
    {
        return m_health->failureFor(source, watched.id);
    }

private slots:
    void init()
    {
        m_fixture = std::make_unique<SettingsFixture>();
        m_settings = &m_fixture->settings;
        m_settings->setWeatherKey(QStringLiteral("Weather-Key-123"));
        m_settings->setMetalsKey(QStringLiteral("Metals-Key-456"));
        m_clock = std::make_unique<FakeClock>(start);
        m_server = std::make_unique<LoopbackHttpServer>();
        QVERIFY(m_server->start());
        m_server->serveAllServices();
        m_http = std::make_unique<HttpClient>();
        m_http->setTimeoutScale(0.05);
        m_health = std::make_unique<SourceHealth>();
        m_service = std::make_unique<DataService>(*m_settings, m_fixture->store, *m_http, *m_health);
        m_service->setTwelveDataPause(0ms);
        m_server->setResponse("/v8/finance/chart/AAPL", {200, yahoo(187.5)});
        m_server->setResponse("/v8/finance/chart/ZZZZ",
                              {404, R"({"chart":{"result":null,"error":{"code":"Not Found"}}})"});
        m_server->setResponse("/v1/latest", {200, R"({"status":"success","metals":{"gold":2020}})"});
        m_server->setResponse("/v1/forecast.json", {200, R"({"current":{"temp_c":20,"condition":{"code":1000}}})"});
        s_log.clear();
        QLoggingCategory::setFilterRules(QStringLiteral("dotbanner.*.debug=false"));
        m_previousHandler = qInstallMessageHandler(capture);
    }

    void cleanup()
    {
        qInstallMessageHandler(m_previousHandler);
        QLoggingCategory::setFilterRules(QString());
        QCoreApplication::sendPostedEvents();
        m_service.reset();
        m_health.reset();
        m_http.reset();
        m_server.reset();
        m_clock.reset();
        m_settings = nullptr;
        m_fixture.reset();
    }

    void aRefusedKeyIsToldOnceWithItsNextTry()
    {
        m_server->setResponse("/v1/latest", {401, R"({"status":"failure","error_message":"invalid key"})"});
        m_settings->setItems({m_gold});
        refresh();
        HealthRecord metals = m_health->record(SourceId::metalsDev());
        QVERIFY(metals.isFailing());
        QCOMPARE(metals.lastFailure->kind, FailureKind::keyRejected);
        QCOMPARE(metals.lastFailure->httpStatus, 401);
        QCOMPARE(metals.lastFailure->at, start);
        QCOMPARE(metals.nextTry, start.addSecs(5 * 60)); // the first wait of the back-off
        QCOMPARE(failureOf(SourceId::metalsDev(), m_gold)->httpStatus, 401);
        QCOMPARE(takeLog(), QStringList({"dotbanner.data: Metals.Dev: key rejected (HTTP 401)"}));
        QCOMPARE(m_service->quotes().value(0).price, QStringLiteral("--")); // the band is as before

        // Retries that fail alike are not told again; their wait grows.
        m_clock->advanceMs(5 * 60 * 1000);
        refresh();
        m_clock->advanceMs(60 * 1000);
        refresh(true);
        QCOMPARE(requestsTo("/v1/latest"), 3);
        metals = m_health->record(SourceId::metalsDev());
        QCOMPARE(metals.failuresInRow, 3);
        QCOMPARE(metals.nextTry, start.addSecs(6 * 60 + 20 * 60));
        QVERIFY(takeLog().isEmpty());

        m_server->setResponse("/v1/latest", {200, R"({"status":"success","metals":{"gold":2020}})"});
        m_clock->advanceMs(60 * 1000);
        refresh(true);
        metals = m_health->record(SourceId::metalsDev());
        QCOMPARE(metals.state, HealthRecord::State::ok);
        QCOMPARE(metals.lastSuccess, start.addSecs(7 * 60));
        QVERIFY(!metals.nextTry.isValid());
        QVERIFY(!failureOf(SourceId::metalsDev(), m_gold));
        QCOMPARE(takeLog(), QStringList({"dotbanner.data: Metals.Dev: answering again"}));
    }

    void anUnknownSymbolFailsAloneAndItsServiceStaysWell()
    {
        m_settings->setItems({m_apple, m_gone});
        refresh();
        QCOMPARE(m_health->record(SourceId::yahoo()).state, HealthRecord::State::ok);
        QCOMPARE(m_health->record(SourceId::yahoo()).lastSuccess, start);
        QVERIFY(!failureOf(SourceId::yahoo(), m_apple));
        const auto gone = failureOf(SourceId::yahoo(), m_gone);
        QCOMPARE(gone->kind, FailureKind::notFound);
        QCOMPARE(gone->httpStatus, 404);
        QCOMPARE(m_health->nextTryFor(SourceId::yahoo(), m_gone.id), start.addSecs(5 * 60));
        QCOMPARE(takeLog(), QStringList({"dotbanner.data: Yahoo Finance \"ZZZZ\": not found (HTTP 404)"}));

        // Yahoo goes down: told once for the service, not per item, nor again at the next minute.
        m_server->setResponse("/v8/finance/chart/AAPL", {503, "<html>busy</html>", "text/html"});
        m_clock->advanceMs(60 * 1000);
        refresh();
        QCOMPARE(failureOf(SourceId::yahoo(), m_apple)->kind, FailureKind::serverError);
        QCOMPARE(failureOf(SourceId::yahoo(), m_gone)->kind, FailureKind::notFound);
        QCOMPARE(takeLog(), QStringList({"dotbanner.data: Yahoo Finance: server error (HTTP 503)"}));
        m_clock->advanceMs(10 * 60 * 1000);
        refresh();
        QCOMPARE(requestsTo("/v8/finance/chart/AAPL"), 3);
        QVERIFY(takeLog().isEmpty());
        QCOMPARE(m_service->quotes().value(0).price, QStringLiteral("187.50")); // the last value stays
    }

    void everyWayOfFailingHasItsKind_data()
    {
        QTest::addColumn<LoopbackHttpServer::Response>("answer");
        QTest::addColumn<FailureKind>("kind");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("itemOnly");
        LoopbackHttpServer::Response silent;
        silent.neverAnswer = true;
        QTest::newRow("403") << LoopbackHttpServer::Response{403, "{}"} << FailureKind::accessDenied << 403 << false;
        QTest::newRow("429") << LoopbackHttpServer::Response{429, "{}"} << FailureKind::tooManyRequests << 429 << false;
        QTest::newRow("503") << LoopbackHttpServer::Response{503, ""} << FailureKind::serverError << 503 << false;
        QTest::newRow("garbage") << LoopbackHttpServer::Response{200, "<html>", "text/html"} << FailureKind::unreadable
                                 << 0 << true;
        QTest::newRow("no price") << LoopbackHttpServer::Response{200, R"({"chart":{"result":[]}})"}
                                  << FailureKind::unreadable << 0 << true;
        QTest::newRow("nothing") << silent << FailureKind::timeout << 0 << false;
    }

    void everyWayOfFailingHasItsKind()
    {
        QFETCH(LoopbackHttpServer::Response, answer);
        QFETCH(FailureKind, kind);
        QFETCH(int, status);
        QFETCH(bool, itemOnly);
        m_server->setResponse("/v8/finance/chart/AAPL", answer);
        m_settings->setItems({m_apple});
        refresh();
        const auto failure = failureOf(SourceId::yahoo(), m_apple);
        QVERIFY(failure);
        QCOMPARE(failure->kind, kind);
        QCOMPARE(failure->httpStatus, status);
        QCOMPARE(m_health->record(SourceId::yahoo()).isFailing(), !itemOnly);
        QCOMPARE(takeLog().size(), 1);
    }

    void aRefusedPortIsANetworkError()
    {
        quint16 port = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost));
            port = probe.serverPort();
        }
        qputenv("DOTBANNER_YAHOO_URL", QByteArray("http://127.0.0.1:") + QByteArray::number(port));
        m_settings->setItems({m_apple});
        refresh();
        m_server->serveAllServices();
        const auto failure = failureOf(SourceId::yahoo(), m_apple);
        QCOMPARE(failure->kind, FailureKind::network);
        QCOMPARE(failure->network, NetworkProblem::connectionRefused);
        QCOMPARE(takeLog(), QStringList({"dotbanner.data: Yahoo Finance: network error (connection refused)"}));
    }

    void twelveDataErrorsInItsBodyAreReadLikeStatuses()
    {
        m_settings->setStockProvider(StockProvider::twelveData);
        m_settings->setStockKey(QStringLiteral("Twelve-Key-789"));
        m_settings->setItems({m_apple, m_gone});
        m_server->setHandler([](const LoopbackHttpServer::Request &request) -> LoopbackHttpServer::Response {
            if (request.query().contains("symbol=ZZZZ"))
                return {200, R"({"code":404,"message":"symbol not found","status":"error"})"};
            return {200, R"({"code":401,"message":"apikey is incorrect","status":"error"})"};
        });
        refresh();
        const auto key = failureOf(SourceId::twelveData(), m_apple);
        QCOMPARE(key->kind, FailureKind::keyRejected);
        QCOMPARE(key->serviceCode, 401);
        QCOMPARE(key->httpStatus, 0);
        const auto symbol = failureOf(SourceId::twelveData(), m_gone);
        QCOMPARE(symbol->kind, FailureKind::notFound);
        QCOMPARE(symbol->serviceCode, 404);
        QCOMPARE(takeLog(), QStringList({"dotbanner.data: Twelve Data: key rejected (code 401)",
                                         "dotbanner.data: Twelve Data \"ZZZZ\": not found (code 404)"}));
    }

    void tooManyRequestsWaitsAsTheServiceAsks()
    {
        m_settings->setStockProvider(StockProvider::twelveData);
        m_settings->setStockKey(QStringLiteral("Twelve-Key-789"));
        m_settings->setItems({m_apple});
        LoopbackHttpServer::Response busy(429, R"({"code":429,"message":"limit","status":"error"})");
        busy.headers.append(qMakePair(QByteArray("Retry-After"), QByteArray("3600")));
        m_server->setResponse("/quote", busy);
        refresh();
        const HealthRecord record = m_health->record(SourceId::twelveData());
        QCOMPARE(record.lastFailure->kind, FailureKind::tooManyRequests);
        QCOMPARE(record.lastFailure->httpStatus, 429);
        QCOMPARE(record.lastFailure->serviceCode, 429);
        QCOMPARE(record.nextTry, start.addSecs(3600));
        QCOMPARE(m_health->nextTryFor(SourceId::twelveData(), m_apple.id), start.addSecs(3600));
    }

    void missingKeysAreFailuresWithoutARequest()
    {
        m_settings->setMetalsKey(QString());
        m_settings->setWeatherKey(QString());
        m_settings->setStockProvider(StockProvider::twelveData);
        m_settings->setItems({m_gold, m_paris, m_apple});
        refresh();
        QCOMPARE(m_server->requestCount(), 0);
        for (const SourceId &source : {SourceId::metalsDev(), SourceId::weatherApi(), SourceId::twelveData()}) {
            QCOMPARE(m_health->record(source).lastFailure->kind, FailureKind::missingKey);
            QVERIFY(!m_health->record(source).nextTry.isValid());
        }
        QCOMPARE(failureOf(SourceId::metalsDev(), m_gold)->kind, FailureKind::missingKey);
        QCOMPARE(failureOf(SourceId::weatherApi(), m_paris)->kind, FailureKind::missingKey);
        QCOMPARE(takeLog(), QStringList({"dotbanner.data: Metals.Dev: no key", "dotbanner.data: WeatherAPI: no key",
                                         "dotbanner.data: Twelve Data: no key"}));
        refresh(true);
        QVERIFY(takeLog().isEmpty());

        // A key arrives: the service answers.
        m_settings->setWeatherKey(QStringLiteral("Weather-Key-123"));
        refresh(true);
        QCOMPARE(m_health->record(SourceId::weatherApi()).state, HealthRecord::State::ok);
        QCOMPARE(takeLog(), QStringList({"dotbanner.data: WeatherAPI: answering again"}));
    }

    void placesAndMetalsTheServiceDoesNotKnowFailAlone()
    {
        m_server->setResponse("/v1/forecast.json",
                              {400, R"({"error":{"code":1006,"message":"No matching location found."}})"});
        m_settings->setItems({m_gold, m_silver, m_paris});
        refresh();
        QVERIFY(!failureOf(SourceId::metalsDev(), m_gold));
        QCOMPARE(failureOf(SourceId::metalsDev(), m_silver)->kind, FailureKind::notFound);
        const auto place = failureOf(SourceId::weatherApi(), m_paris);
        QCOMPARE(place->kind, FailureKind::notFound);
        QCOMPARE(place->httpStatus, 400);
        QCOMPARE(place->serviceCode, 1006);
        QVERIFY(!m_health->record(SourceId::weatherApi()).isFailing());
        QCOMPARE(takeLog(), QStringList({"dotbanner.data: Metals.Dev \"silver\": not found",
                                         "dotbanner.data: WeatherAPI \"Paris\": not found (HTTP 400)"}));
    }

    void aKeyedServiceRedirectingInCirclesFails()
    {
        LoopbackHttpServer::Response loop{302, ""};
        loop.headers.append(qMakePair(QByteArray("Location"), QByteArray("/v1/latest")));
        m_server->setResponse("/v1/latest", loop);
        m_settings->setItems({m_gold});
        refresh();
        QCOMPARE(requestsTo("/v1/latest"), 6);
        QCOMPARE(m_health->record(SourceId::metalsDev()).lastFailure->kind, FailureKind::tooManyRedirects);
        QCOMPARE(takeLog(), QStringList({"dotbanner.data: Metals.Dev: too many redirects"}));
    }

    void aSymbolStaysInItsSegment()
    {
        const WatchItem climbing = item(ItemKind::quote, "../../x", "X");
        const WatchItem dots = item(ItemKind::quote, "..", "DOTS");
        m_server->setFallback({404, "{}"});
        m_settings->setItems({climbing, dots});
        refresh();
        QCOMPARE(m_server->requestCount(), 1);
        QCOMPARE(m_server->requests().first().target,
                 QByteArray("/v8/finance/chart/..%2F..%2Fx?range=1d&interval=15m"));
        QCOMPARE(failureOf(SourceId::yahoo(), dots)->kind, FailureKind::badAddress);
        QCOMPARE(failureOf(SourceId::yahoo(), climbing)->kind, FailureKind::notFound);
    }

    void theLogNeverHoldsAKeyOrAQuery()
    {
        m_settings->setStockProvider(StockProvider::twelveData);
        m_settings->setStockKey(QStringLiteral("Twelve-Key-789"));
        m_settings->setItems({m_gold, m_paris, m_apple});
        // Error answers that quote the request, keys included.
        m_server->setHandler([](const LoopbackHttpServer::Request &request) -> LoopbackHttpServer::Response {
            return {request.path() == "/quote" ? 200 : 401,
                    R"({"status":"error","code":403,"message":")" + request.target + R"("})"};
        });
        QLoggingCategory::setFilterRules(QStringLiteral("dotbanner.*.debug=true"));
        refresh();
        const QString log = s_log.join(u'\n');
        for (const char *key : {"Twelve-Key-789", "Weather-Key-123", "Metals-Key-456"})
            QVERIFY2(!log.contains(QLatin1String(key)), qPrintable(log));
        QVERIFY2(!log.contains(u'?') && !log.contains(QLatin1String("apikey")), qPrintable(log));
        const QStringList warnings = takeLog().filter(QRegularExpression("(rejected|no key)"));
        QCOMPARE(warnings.size(), 3);
    }
};

QTEST_GUILESS_MAIN(TestDataHealth)
#include "TestDataHealth.moc"
