#include "DataTestSupport.h"
#include "FakeClock.h"
#include "LoopbackHttpServer.h"
#include "ServiceFixture.h"
#include "data/DataService.h"
#include "net/HttpClient.h"
#include "settings/Settings.h"
#include "settings/UserDefaults.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace DataTest;
using namespace std::chrono_literals;

namespace {

QDateTime local(int day, int hour, int minute)
{
    return QDateTime(QDate(2026, 3, day), QTime(hour, minute), Qt::LocalTime);
}

QByteArray yahoo(double price)
{
    return R"({"chart":{"result":[{"meta":{"regularMarketPrice":)" + QByteArray::number(price) +
           R"(,"chartPreviousClose":100}}]}})";
}

QByteArray twelve(const char *close)
{
    return QByteArray(R"({"close":")") + close + R"(","percent_change":"1.5"})";
}

QByteArray weather(double celsius, int code = 1000)
{
    return R"({"current":{"temp_c":)" + QByteArray::number(celsius) + R"(,"is_day":1,"condition":{"code":)" +
           QByteArray::number(code) + "}}}";
}

QStringList prices(const QList<Quote> &quotes)
{
    QStringList out;
    for (const Quote &quote : quotes)
        out.append(quote.price);
    return out;
}

} // namespace

class TestDataService : public QObject
{
    Q_OBJECT
private:
    // The services under test are made by makeService(), over the fixture's settings and client.
    std::unique_ptr<ServiceFixture> m_services;
    UserDefaults *m_store = nullptr;
    Settings *m_settings = nullptr;
    LoopbackHttpServer *m_server = nullptr;
    HttpClient *m_http = nullptr;
    std::unique_ptr<FakeClock> m_clock;

    WatchItem m_gold = item(ItemKind::metal, "gold", "OR");
    WatchItem m_silver = item(ItemKind::metal, "silver", "ARGENT");
    WatchItem m_paris = item(ItemKind::weather, "Paris", "PARIS", QStringLiteral("48.85,2.35"));
    WatchItem m_apple = item(ItemKind::quote, "AAPL", "APPLE");
    WatchItem m_lvmh = item(ItemKind::quote, "MC", "LVMH");
    WatchItem m_total = item(ItemKind::quote, "TTE", "TOTAL");

    std::unique_ptr<DataService> makeService()
    {
        auto service = std::make_unique<DataService>(*m_settings, *m_store, *m_http);
        service->setTwelveDataPause(0ms);
        return service;
    }

    static void waitIdle(DataService &service)
    {
        if (!QTest::qWaitFor([&] { return !service.isRefreshing(); }, 15000))
            qFatal("the refresh run did not finish");
    }

    /** Lets requests in flight finish and queued resumptions run, without moving the clock. */
    void settle()
    {
        int quiet = 0;
        while (quiet < 3) {
            QCoreApplication::processEvents();
            if (m_http->activeRequests() == 0) {
                ++quiet;
                continue;
            }
            quiet = 0;
            if (!QTest::qWaitFor([&] { return m_http->activeRequests() == 0; }, 15000))
                qFatal("a request did not finish");
        }
    }

    /** Moves the fake clock by `ms` in steps of `step` ms, letting the service work after each. */
    void advance(qint64 ms, qint64 step = 100)
    {
        for (qint64 done = 0; done < ms; done += step) {
            m_clock->advanceMs(std::min(step, ms - done));
            settle();
        }
    }

    /** Runs the refresh in progress to its end, moving the fake clock over its waits. */
    void runToEnd(DataService &service)
    {
        settle();
        for (int step = 0; service.isRefreshing(); ++step) {
            if (step > 100000)
                qFatal("the refresh run did not finish");
            advance(100);
        }
    }

    int requestsTo(const QByteArray &path) const
    {
        int count = 0;
        for (const auto &request : m_server->requests())
            count += request.path() == path;
        return count;
    }

    void storeScheduled(const QMap<QString, Cached> &scheduled)
    {
        QVERIFY(m_store->set(DataService::scheduledKey, Records::encodeScheduled(scheduled)));
    }

private slots:
    void init()
    {
        // Keys live in memory: this test is about the service, not the keyring.
        m_services = std::make_unique<ServiceFixture>();
        m_store = &m_services->store;
        m_settings = &m_services->settings;
        m_server = &m_services->server;
        m_http = &m_services->http;
        m_settings->setWeatherKey(QStringLiteral("wk"));
        m_settings->setMetalsKey(QStringLiteral("mk"));
        m_clock = std::make_unique<FakeClock>(local(2, 10, 0));
        QVERIFY(m_server->start());
        m_server->serveAllServices();
        m_http->setTimeoutScale(0.05); // 750 ms instead of 15 s: enough for a loaded machine
        m_server->setResponse("/v8/finance/chart/AAPL", {200, yahoo(187.5)});
        m_server->setResponse("/v8/finance/chart/MC", {200, yahoo(702.4)});
        m_server->setResponse("/v1/forecast.json", {200, weather(20.6)});
        m_server->setResponse("/v1/latest", {200, R"({"status":"success","metals":{"gold":2020,"silver":25}})"});
    }

    void cleanup()
    {
        // A run cut short by its service's end resumes through a queued call on the reply;
        // deliver it before the client deletes its replies, or the run never ends.
        QCoreApplication::sendPostedEvents();
        m_services.reset();
        m_clock.reset();
    }

    void cacheKeys()
    {
        auto service = makeService();
        m_settings->setMetalCurrency("USD");
        m_settings->setMetalUnit("g");
        QCOMPARE(service->cacheKey(m_gold), QStringLiteral("metal:gold:USD:g"));
        QCOMPARE(service->metalsFetchKey(), QStringLiteral("USD:g"));
        QCOMPARE(service->cacheKey(m_paris), QStringLiteral("weather.v2:48.85,2.35"));
        QCOMPARE(service->cacheKey(item(ItemKind::weather, "Lyon", "LYON")), QStringLiteral("weather.v2:Lyon"));
        QVERIFY(service->cacheKey(m_apple).isEmpty());
    }

    void firstPublicationShowsStoredValuesThenStocksFillIn()
    {
        storeScheduled({{"metal:gold:EUR:toz", {"2010.00", 0.5, {}, local(2, 9, 0), std::nullopt}},
                        {"weather.v2:48.85,2.35", {"7°C", std::nullopt, {}, local(2, 9, 1), "rain"}}});
        QVERIFY(m_store->set(DataService::fetchedAtKey, Records::encodeFetchTimes({{"EUR:toz", local(2, 9, 0)}})));
        m_settings->setItems({m_gold, m_paris, m_apple});
        auto service = makeService();
        QSignalSpy published(service.get(), &DataService::quotesChanged);
        service->start();
        QVERIFY(!published.isEmpty());
        const auto first = published.first().first().value<QList<Quote>>();
        QCOMPARE(prices(first), QStringList({"2010.00", "7°C", "--"}));
        QCOMPARE(first.at(1).icon, WeatherIcon::rain);
        QCOMPARE(first.at(0).change, 0.5);

        waitIdle(*service);
        QCOMPARE(prices(service->quotes()), QStringList({"2010.00", "7°C", "187.50"}));
        // Nothing was due: only the stock was asked for.
        QCOMPARE(m_server->requestCount(), 1);
        // after the stored values, after metals, after the stock, at the end
        QCOMPARE(published.size(), 4);
    }

    void emptyWatchListPublishesTwiceAndAsksNothing()
    {
        m_settings->setItems({});
        auto service = makeService();
        QSignalSpy published(service.get(), &DataService::quotesChanged);
        service->refresh(false);
        waitIdle(*service);
        QCOMPARE(published.size(), 2);
        QVERIFY(service->quotes().isEmpty());
        QCOMPARE(m_server->requestCount(), 0);
    }

    void twelveDataWithoutKeyShowsCle()
    {
        m_settings->setItems({m_apple});
        auto service = makeService();
        service->refresh(false);
        waitIdle(*service);
        QCOMPARE(prices(service->quotes()), QStringList({"187.50"}));

        m_settings->setStockProvider(StockProvider::twelveData);
        m_settings->setStockKey(QString());
        service->refresh(true);
        waitIdle(*service);
        QCOMPARE(prices(service->quotes()), QStringList({"CLE?"}));
        QCOMPARE(requestsTo("/quote"), 0);
    }

    void twelveDataReuseAndSpacing()
    {
        m_settings->setStockProvider(StockProvider::twelveData);
        m_settings->setStockKey(QStringLiteral("sk"));
        m_settings->setItems({m_apple, m_lvmh, m_total});
        m_server->setResponse("/quote", {200, twelve("42.5")});
        QList<qint64> arrivals;
        QList<qint64> publications;
        connect(m_server, &LoopbackHttpServer::requestReceived, this,
                [&](const LoopbackHttpServer::Request &) { arrivals.append(m_clock->monotonicMs()); });
        auto service = makeService();
        connect(service.get(), &DataService::quotesChanged, this, [&] { publications.append(m_clock->monotonicMs()); });
        service->setTwelveDataPause(1000ms);
        service->refresh(false);
        runToEnd(*service);
        QCOMPARE(prices(service->quotes()), QStringList({"42.50", "42.50", "42.50"}));
        QCOMPARE(arrivals.size(), 3);
        // Publications: the stored values, one after each fetch, the end of the run. The
        // pause starts right after the publication that follows a fetch.
        QCOMPARE(publications.size(), 5);
        for (int i = 1; i < 3; ++i) {
            const qint64 gap = arrivals.at(i) - publications.at(i);
            QVERIFY2(gap >= 1000 && gap <= 1100, qPrintable(QString::number(gap)));
        }
        QVERIFY(publications.at(4) - publications.at(3) >= 1000); // the last fetch is followed by a pause too
        service->setTwelveDataPause(0ms);
        const qint64 spent = m_clock->monotonicMs();

        // 599 s later all three are still fresh; a new fourth item is asked for alone.
        const WatchItem newcomer = item(ItemKind::quote, "AIR", "AIRBUS");
        m_settings->setItems({m_apple, m_lvmh, m_total, newcomer});
        m_clock->advanceMs(599 * 1000 - spent);
        m_server->clearRequests();
        service->refresh(false);
        waitIdle(*service);
        QCOMPARE(m_server->requestCount(), 1);
        QVERIFY(m_server->requests().first().target.startsWith("/quote?symbol=AIR&"));

        // 600 s after their fetches (spaced by the pause) the first three are stale again.
        m_clock->advanceMs(3000);
        m_server->clearRequests();
        service->refresh(false);
        waitIdle(*service);
        QCOMPARE(m_server->requestCount(), 3);

        // Forcing ignores the reuse rule.
        m_server->clearRequests();
        service->refresh(true);
        waitIdle(*service);
        QCOMPARE(m_server->requestCount(), 4);
    }

    void refreshDuringThePauseRestartsAtOnce()
    {
        m_settings->setStockProvider(StockProvider::twelveData);
        m_settings->setStockKey(QStringLiteral("sk"));
        m_settings->setItems({m_apple, m_lvmh});
        m_server->setResponse("/quote", {200, twelve("10")});
        auto service = makeService();
        service->setTwelveDataPause(60s);
        service->refresh(false);
        settle(); // the first run now waits in its pause, which the clock never reaches

        service->setTwelveDataPause(0ms);
        service->refresh(false);
        waitIdle(*service);
        // The new run skipped the item fetched a moment ago and went on with the next.
        QCOMPARE(m_server->requestCount(), 2);
        QVERIFY(m_server->requests().at(1).target.startsWith("/quote?symbol=MC&"));
        QCOMPARE(prices(service->quotes()), QStringList({"10.00", "10.00"}));
    }

    void refreshKeepsTheSpacingOfTheRunItCut()
    {
        m_settings->setStockProvider(StockProvider::twelveData);
        m_settings->setStockKey(QStringLiteral("sk"));
        m_settings->setItems({m_apple, m_lvmh});
        m_server->setResponse("/quote", {200, twelve("10")});
        auto service = makeService();
        service->setTwelveDataPause(600ms);
        QList<qint64> arrivals;
        connect(m_server, &LoopbackHttpServer::requestReceived, this,
                [&](const LoopbackHttpServer::Request &) { arrivals.append(m_clock->monotonicMs()); });
        service->refresh(false);
        settle();
        QCOMPARE(prices(service->quotes()).first(), QStringLiteral("10.00"));
        const qint64 answered = m_clock->monotonicMs();
        advance(200);

        // Cut the pause short: the new run skips the fresh item but still waits before the next.
        service->refresh(false);
        runToEnd(*service);
        QCOMPARE(arrivals.size(), 2);
        QVERIFY(m_server->requests().at(1).target.startsWith("/quote?symbol=MC&"));
        QVERIFY2(arrivals.at(1) - answered >= 600, qPrintable(QString::number(arrivals.at(1) - answered)));
        QVERIFY2(arrivals.at(1) - answered <= 700, qPrintable(QString::number(arrivals.at(1) - answered)));
        QCOMPARE(prices(service->quotes()), QStringList({"10.00", "10.00"}));
    }

    void forcedRefreshFetchesEverything()
    {
        m_settings->setItems({m_gold, m_paris, m_apple});
        auto service = makeService();
        service->refresh(false);
        waitIdle(*service);
        QCOMPARE(m_server->requestCount(), 3);

        m_server->clearRequests();
        service->refresh(false);
        waitIdle(*service);
        QCOMPARE(m_server->requestCount(), 1); // only the stock

        m_server->clearRequests();
        service->refresh(true);
        waitIdle(*service);
        QCOMPARE(requestsTo("/v1/latest"), 1);
        QCOMPARE(requestsTo("/v1/forecast.json"), 1);
        QCOMPARE(requestsTo("/v8/finance/chart/AAPL"), 1);
    }

    void weatherIsDueAfterEachSlot()
    {
        m_settings->setItems({m_paris});
        storeScheduled({{"weather.v2:48.85,2.35", {"7°C", std::nullopt, {}, local(2, 12, 29), "rain"}}});
        m_clock->setNow(local(2, 12, 30));
        auto service = makeService();
        service->start();
        waitIdle(*service);
        QCOMPARE(requestsTo("/v1/forecast.json"), 1);
        QCOMPARE(prices(service->quotes()), QStringList({"21°C"}));
        QCOMPARE(service->quotes().first().icon, WeatherIcon::sun);
        QCOMPARE(service->scheduled().value("weather.v2:48.85,2.35").at, local(2, 12, 30));

        m_clock->setNow(local(2, 16, 59));
        service->refresh(false);
        waitIdle(*service);
        QCOMPARE(requestsTo("/v1/forecast.json"), 1);

        m_clock->setNow(local(2, 17, 0));
        service->refresh(false);
        waitIdle(*service);
        QCOMPARE(requestsTo("/v1/forecast.json"), 2);
    }

    void weatherFailureKeepsStoredValueOrShowsPlaceholder()
    {
        const WatchItem lyon = item(ItemKind::weather, "Lyon", "LYON");
        m_settings->setItems({m_paris, lyon});
        storeScheduled({{"weather.v2:48.85,2.35", {"7°C", std::nullopt, {}, local(1, 17, 0), "rain"}}});
        m_server->setResponse("/v1/forecast.json", {500, "<html>oops</html>"});
        auto service = makeService();
        service->start();
        waitIdle(*service);
        QCOMPARE(prices(service->quotes()), QStringList({"7°C", "--"}));

        m_settings->setWeatherKey(QString());
        m_server->clearRequests();
        service->refresh(true);
        waitIdle(*service);
        QCOMPARE(prices(service->quotes()), QStringList({"7°C", "CLE?"}));
        QCOMPARE(m_server->requestCount(), 0);
    }

    void metalHistoryAndReferencePrice()
    {
        m_settings->setItems({m_gold});
        QVERIFY(m_store->set(
            DataService::historyKey,
            Records::encodeHistory({{"metal:gold:EUR:toz", {{local(1, 17, 0), 2000}, {local(2, 9, 0), 2010}}}})));
        m_clock->setNow(local(2, 12, 30));
        auto service = makeService();
        service->start();
        waitIdle(*service);
        QCOMPARE(m_server->requests().first().target, QByteArray("/v1/latest?api_key=mk&currency=EUR&unit=toz"));
        const Quote gold = service->quotes().first();
        QCOMPARE(gold.price, QStringLiteral("2020.00"));
        QVERIFY(nearlyEqual(gold.change, 1.0));
        QCOMPARE(gold.series.size(), 18);
        QCOMPARE(service->metalHistory().value("metal:gold:EUR:toz").size(), 3);
        QCOMPARE(service->metalsFetchedAt().value("EUR:toz"), local(2, 12, 30));

        // Written in this order, and readable by the next launch.
        QCOMPARE(Records::decodeHistory(*m_store->data(DataService::historyKey)), service->metalHistory());
        QCOMPARE(Records::decodeScheduled(*m_store->data(DataService::scheduledKey)), service->scheduled());
        QCOMPARE(Records::decodeFetchTimes(*m_store->data(DataService::fetchedAtKey)), service->metalsFetchedAt());
    }

    void metalWatchedTwiceIsOneReading()
    {
        WatchItem again = item(ItemKind::metal, "gold", "OR BIS");
        m_settings->setItems({m_gold, again});
        auto service = makeService();
        service->refresh(false);
        waitIdle(*service);
        QCOMPARE(service->metalHistory().value("metal:gold:EUR:toz").size(), 1);
        const QList<Quote> quotes = service->quotes();
        QCOMPARE(prices(quotes), QStringList({"2020.00", "2020.00"}));
        QCOMPARE(quotes.at(1).name, QStringLiteral("OR BIS"));
        QVERIFY(!quotes.at(0).change); // first reading ever: no change, not 0 %
        QVERIFY(!quotes.at(1).change);

        m_server->setResponse("/v1/latest", {200, R"({"status":"success","metals":{"gold":2040.2}})"});
        m_clock->setNow(local(2, 12, 30));
        service->refresh(false);
        waitIdle(*service);
        QCOMPARE(service->metalHistory().value("metal:gold:EUR:toz").size(), 2);
        QVERIFY(nearlyEqual(service->quotes().at(0).change, 1.0));
        QVERIFY(nearlyEqual(service->quotes().at(1).change, 1.0));
    }

    void metalMissingFromTheAnswerWaitsForTheNextSlot()
    {
        m_settings->setItems({m_gold, m_silver});
        m_server->setResponse("/v1/latest", {200, R"({"status":"success","metals":{"gold":2020}})"});
        auto service = makeService();
        service->refresh(false);
        waitIdle(*service);
        QCOMPARE(prices(service->quotes()), QStringList({"2020.00", "--"}));
        QVERIFY(!service->quotes().first().change); // first reading ever
        QVERIFY(service->quotes().first().series.isEmpty());
        QCOMPARE(service->metalsFetchedAt().value("EUR:toz"), local(2, 10, 0));

        // Silver has no stored value, yet the next runs of the same slot ask nothing.
        for (int minute = 1; minute <= 3; ++minute) {
            m_clock->setNow(local(2, 10, minute));
            service->refresh(false);
            waitIdle(*service);
        }
        QCOMPARE(requestsTo("/v1/latest"), 1);

        // The next slot, or a forced refresh, asks again.
        m_clock->setNow(local(2, 12, 30));
        service->refresh(false);
        waitIdle(*service);
        QCOMPARE(requestsTo("/v1/latest"), 2);
        service->refresh(true);
        waitIdle(*service);
        QCOMPARE(requestsTo("/v1/latest"), 3);
    }

    void metalsFailureChangesNothing()
    {
        m_settings->setItems({m_gold});
        m_server->setResponse("/v1/latest", {200, R"({"status":"failure","error_message":"quota"})"});
        auto service = makeService();
        service->refresh(false);
        waitIdle(*service);
        QCOMPARE(prices(service->quotes()), QStringList({"--"}));
        QVERIFY(service->metalsFetchedAt().isEmpty());
        QVERIFY(!m_store->data(DataService::fetchedAtKey));
        // The answer said error: the service is left alone for a while.
        service->refresh(false);
        waitIdle(*service);
        QCOMPARE(requestsTo("/v1/latest"), 1);

        m_settings->setMetalsKey(QString());
        m_server->clearRequests();
        service->refresh(true);
        waitIdle(*service);
        QCOMPARE(prices(service->quotes()), QStringList({"CLE?"}));
        QCOMPARE(m_server->requestCount(), 0);
    }

    void storesSurviveARestart()
    {
        m_settings->setItems({m_gold, m_paris, m_apple});
        {
            auto service = makeService();
            service->start();
            waitIdle(*service);
        }
        const QByteArray scheduledBytes = *m_store->data(DataService::scheduledKey);
        const QByteArray historyBytes = *m_store->data(DataService::historyKey);

        m_server->clearRequests();
        m_server->setResponse("/v8/finance/chart/AAPL", {200, yahoo(190)});
        auto service = makeService();
        QSignalSpy published(service.get(), &DataService::quotesChanged);
        service->start();
        QCOMPARE(prices(published.first().first().value<QList<Quote>>()), QStringList({"2020.00", "21°C", "--"}));
        waitIdle(*service);
        QCOMPARE(m_server->requestCount(), 1); // the stock only
        // Nothing new was fetched, so the stores are untouched byte for byte.
        QCOMPARE(*m_store->data(DataService::scheduledKey), scheduledBytes);
        QCOMPARE(*m_store->data(DataService::historyKey), historyBytes);
        QCOMPARE(Records::encodeScheduled(service->scheduled()), scheduledBytes);
    }

    void timerTickLeavesASlowRunAlone()
    {
        LoopbackHttpServer::Response slow(200, yahoo(187.5));
        slow.delayMs = 400;
        m_server->setResponse("/v8/finance/chart/AAPL", slow);
        m_http->setTimeoutScale(1);
        m_settings->setItems({m_apple});
        auto service = makeService();
        service->setRefreshInterval(30ms);
        service->start();
        // A tick that restarted the run would cut the slow request every 30 ms.
        for (int tick = 0; tick < 5; ++tick) {
            m_clock->advanceMs(30);
            QCoreApplication::processEvents();
        }
        QVERIFY(m_http->activeRequests() == 1);
        QVERIFY(QTest::qWaitFor([&] { return prices(service->quotes()) == QStringList({"187.50"}); }, 10000));
        QCOMPARE(m_server->requests().first().path(), QByteArray("/v8/finance/chart/AAPL"));
        QCOMPARE(m_server->requestCount(), 1);
    }

    void destroyingTheServiceEndsItsRun()
    {
        // In flight, then in the Twelve Data pause: the run must stop without touching
        // the destroyed service.
        LoopbackHttpServer::Response silent;
        silent.neverAnswer = true;
        m_server->setResponse("/v8/finance/chart/AAPL", silent);
        m_http->setTimeoutScale(1);
        m_settings->setItems({m_apple});
        auto service = makeService();
        service->refresh(false);
        QVERIFY(QTest::qWaitFor([&] { return m_server->requestCount() == 1; }, 10000));
        service.reset();
        QTest::qWait(20);

        m_settings->setStockProvider(StockProvider::twelveData);
        m_settings->setStockKey(QStringLiteral("sk"));
        m_server->setResponse("/quote", {200, twelve("1")});
        service = makeService();
        service->setTwelveDataPause(std::chrono::minutes(5));
        service->refresh(false);
        QVERIFY(QTest::qWaitFor([&] { return service->quotes().value(0).price == QLatin1String("1.00"); }, 10000));
        service.reset();
        QTest::qWait(20);
    }

    void cancelledRunNeverPublishesAfterItsSuccessor()
    {
        LoopbackHttpServer::Response slow(200, yahoo(187.5));
        slow.delayMs = 200;
        m_server->setResponse("/v8/finance/chart/AAPL", slow);
        m_http->setTimeoutScale(1);
        m_settings->setItems({m_apple});
        auto service = makeService();
        service->refresh(false);
        QVERIFY(QTest::qWaitFor([&] { return m_server->requestCount() == 1; }, 10000));

        m_settings->setItems({m_lvmh});
        QList<QList<Quote>> after;
        connect(service.get(), &DataService::quotesChanged, this,
                [&](const QList<Quote> &quotes) { after.append(quotes); });
        service->refresh(false);
        waitIdle(*service);
        QTest::qWait(300); // past the moment the first answer would have come
        QVERIFY(!after.isEmpty());
        for (const auto &quotes : after) {
            QCOMPARE(quotes.size(), 1);
            QCOMPARE(quotes.first().id, m_lvmh.id);
        }
        QCOMPARE(prices(service->quotes()), QStringList({"702.40"}));
    }

    void failingServicesAreAskedOnceIn150Seconds_data()
    {
        QTest::addColumn<StockProvider>("provider");
        QTest::newRow("yahoo") << StockProvider::yahoo;
        QTest::newRow("twelve data") << StockProvider::twelveData;
    }

    void failingServicesAreAskedOnceIn150Seconds()
    {
        // Metals.Dev 500, WeatherAPI 401, Twelve Data 429 with Retry-After: 3600, for 150 s
        // of the real schedule (the minute timer and the Twelve Data spacing).
        QFETCH(StockProvider, provider);
        m_settings->setStockProvider(provider);
        m_settings->setStockKey(QStringLiteral("sk"));
        m_settings->setItems({m_gold, m_paris, m_apple, m_lvmh});
        m_server->setResponse("/v1/latest", {500, R"({"error":"internal"})"});
        m_server->setResponse("/v1/forecast.json", {401, R"({"error":{"code":2006,"message":"API key is invalid."}})"});
        LoopbackHttpServer::Response busy(429, R"({"code":429,"message":"limit","status":"error"})");
        busy.headers.append(qMakePair(QByteArray("Retry-After"), QByteArray("3600")));
        m_server->setResponse("/quote", busy);
        auto service = std::make_unique<DataService>(*m_settings, *m_store, *m_http);
        service->start();
        advance(150 * 1000, 1000);

        QCOMPARE(requestsTo("/v1/latest"), 1);
        QCOMPARE(requestsTo("/v1/forecast.json"), 1);
        if (provider == StockProvider::twelveData) {
            QCOMPARE(requestsTo("/quote"), 2); // one per item
            QCOMPARE(m_server->requestCount(), 4);
            const auto waitMs = *service->backoff().retryAtMs(DataService::itemBackoffKey("twelvedata", m_apple));
            QVERIFY(waitMs >= 3600 * 1000);
        } else {
            // The healthy service keeps its schedule: at 0, 60 and 120 s.
            QCOMPARE(requestsTo("/v8/finance/chart/AAPL"), 3);
            QCOMPARE(requestsTo("/v8/finance/chart/MC"), 3);
            QCOMPARE(prices(service->quotes()), QStringList({"--", "--", "187.50", "702.40"}));
        }
    }

    void backoffDoublesUpToTheSlotAndASuccessEndsIt()
    {
        m_settings->setItems({m_gold});
        m_server->setResponse("/v1/latest", {503, ""});
        auto service = makeService();
        const auto askAfter = [&](qint64 ms) {
            m_clock->advanceMs(ms);
            service->refresh(false);
            waitIdle(*service);
            return requestsTo("/v1/latest");
        };
        QCOMPARE(askAfter(0), 1); // 10:00 fails: 5 min
        QCOMPARE(askAfter(299 * 1000), 1);
        QCOMPARE(askAfter(1000), 2); // 10:05 fails: 10 min
        QCOMPARE(askAfter(599 * 1000), 2);
        QCOMPARE(askAfter(1000), 3);           // 10:15 fails: 20 min
        QCOMPARE(askAfter(20 * 60 * 1000), 4); // 10:35 fails: 40 min
        QCOMPARE(askAfter(40 * 60 * 1000), 5); // 11:15 fails: 80 min would pass the 12:30 slot
        QCOMPARE(*service->backoff().retryAtMs(service->metalsBackoffKey()) - m_clock->monotonicMs(), 75 * 60 * 1000);
        m_server->setResponse("/v1/latest", {200, R"({"status":"success","metals":{"gold":2020}})"});
        QCOMPARE(askAfter(75 * 60 * 1000), 6); // 12:30 succeeds
        QVERIFY(!service->backoff().retryAtMs(service->metalsBackoffKey()));
        QCOMPARE(prices(service->quotes()), QStringList({"2020.00"}));
        QCOMPARE(askAfter(60 * 1000), 6); // fetched for this slot

        QCOMPARE(DataService::nextSlot(local(2, 12, 30)), local(2, 17, 0));
        QCOMPARE(DataService::nextSlot(local(2, 17, 0)), local(3, 9, 0));
    }

    void forcedRefreshTriesOnceAMinute()
    {
        m_settings->setItems({m_gold, m_apple});
        m_server->setResponse("/v1/latest", {500, ""});
        m_server->setResponse("/v8/finance/chart/AAPL", {404, R"({"chart":{"result":null}})"});
        auto service = makeService();
        service->refresh(false);
        waitIdle(*service);
        QCOMPARE(m_server->requestCount(), 2);

        const auto forceAfter = [&](qint64 ms) {
            m_clock->advanceMs(ms);
            service->refresh(true);
            waitIdle(*service);
            return m_server->requestCount();
        };
        QCOMPARE(forceAfter(30 * 1000), 2); // too soon after the failure
        QCOMPARE(forceAfter(30 * 1000), 4); // a minute: both tried once more
        QCOMPARE(forceAfter(0), 4);         // and not again at once
        QCOMPARE(forceAfter(60 * 1000), 6);
        // Unforced runs still wait: the back-off doubled with each forced failure.
        QCOMPARE(service->backoff().failures(service->metalsBackoffKey()), 3);
        m_clock->advanceMs(60 * 1000);
        service->refresh(false);
        waitIdle(*service);
        QCOMPARE(m_server->requestCount(), 6);

        // An edited item is a new request, asked at once.
        WatchItem edited = m_apple;
        edited.symbol = QStringLiteral("MC");
        m_settings->setItems({m_gold, edited});
        service->refresh(false);
        waitIdle(*service);
        QCOMPARE(requestsTo("/v8/finance/chart/MC"), 1);
    }

    void weatherWaitsAsAWholeOnlyWhenTheKeyIsRefused()
    {
        const WatchItem lyon = item(ItemKind::weather, "Lyon", "LYON");
        m_settings->setItems({m_paris, lyon});
        // A place the service does not know fails alone; the other item is still asked.
        m_server->setHandler([](const LoopbackHttpServer::Request &request) {
            if (request.path() != "/v1/forecast.json")
                return LoopbackHttpServer::Response(404, "");
            if (request.query().contains("q=Lyon"))
                return LoopbackHttpServer::Response(400, R"({"error":{"code":1006}})");
            return LoopbackHttpServer::Response(200, weather(21));
        });
        auto service = makeService();
        service->refresh(true);
        waitIdle(*service);
        QCOMPARE(requestsTo("/v1/forecast.json"), 2);
        QCOMPARE(prices(service->quotes()), QStringList({"21°C", "--"}));
        m_clock->advanceMs(61 * 1000);
        service->refresh(true); // a minute on, forcing asks both again, Lyon once
        waitIdle(*service);
        QCOMPARE(requestsTo("/v1/forecast.json"), 4);

        // A refused key: the first item's failure keeps the second from being asked.
        m_server->setHandler({});
        m_server->setResponse("/v1/forecast.json", {401, R"({"error":{"code":2006}})"});
        m_clock->advanceMs(61 * 1000);
        m_server->clearRequests();
        service->refresh(true);
        waitIdle(*service);
        QCOMPARE(requestsTo("/v1/forecast.json"), 1);
        QCOMPARE(prices(service->quotes()), QStringList({"21°C", "--"}));
    }

    void renameShowsAtTheNextPublication_data()
    {
        QTest::addColumn<StockProvider>("provider");
        QTest::newRow("twelve data, fresh cache") << StockProvider::twelveData;
        QTest::newRow("yahoo, failed refetch") << StockProvider::yahoo;
    }

    void renameShowsAtTheNextPublication()
    {
        QFETCH(StockProvider, provider);
        m_settings->setStockProvider(provider);
        m_settings->setStockKey(QStringLiteral("sk"));
        m_settings->setItems({m_gold, m_lvmh});
        m_server->setResponse("/quote", {200, twelve("702.4")});
        auto service = makeService();
        service->refresh(false);
        waitIdle(*service);
        QCOMPARE(prices(service->quotes()), QStringList({"2020.00", "702.40"}));

        m_server->setResponse("/v8/finance/chart/MC", {500, ""});
        WatchItem lvmh = m_lvmh;
        lvmh.label = QStringLiteral("LVMH SE");
        WatchItem gold = m_gold;
        gold.label = QStringLiteral("GOLD");
        m_settings->setItems({gold, lvmh});
        service->refresh(false);
        waitIdle(*service);
        const QList<Quote> quotes = service->quotes();
        QCOMPARE(quotes.at(0).name, QStringLiteral("GOLD"));
        QCOMPARE(quotes.at(1).name, QStringLiteral("LVMH SE"));
        QCOMPARE(prices(quotes), QStringList({"2020.00", "702.40"})); // the values themselves are kept
        QCOMPARE(requestsTo("/quote") + requestsTo("/v8/finance/chart/MC"), provider == StockProvider::yahoo ? 2 : 1);
    }

    void itemsBeyondTheBoundAreNeitherFetchedNorPublished()
    {
        QList<WatchItem> items;
        for (qsizetype i = 0; i < maxActiveWatchItems; ++i)
            items.append(item(ItemKind::metal, "gold", QStringLiteral("OR%1").arg(i)));
        items.append(m_apple);
        m_settings->setItems(items);
        auto service = makeService();
        service->refresh(false);
        waitIdle(*service);
        QCOMPARE(service->quotes().size(), maxActiveWatchItems);
        QCOMPARE(service->quotes().last().name, QStringLiteral("OR199"));
        QCOMPARE(requestsTo("/v8/finance/chart/AAPL"), 0);
        QCOMPARE(m_settings->items().size(), maxActiveWatchItems + 1); // the record keeps them all
    }
};

QTEST_GUILESS_MAIN(TestDataService)
#include "TestDataService.moc"
