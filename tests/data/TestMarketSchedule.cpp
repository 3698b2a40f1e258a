#include "DataTestSupport.h"
#include "FakeClock.h"
#include "LoopbackHttpServer.h"
#include "data/DataService.h"
#include "data/JsonMappings.h"
#include "data/Staleness.h"
#include "net/HttpClient.h"
#include "settings/Settings.h"
#include "SettingsFixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <memory>

using namespace DataTest;

namespace {

/** A chart answer priced at `price`, with a regular session from `start` to `end` (seconds since 1970). */
QJsonObject chart(double price, std::optional<qint64> start, std::optional<qint64> end, QJsonObject extraMeta = {},
                  QJsonObject extraResult = {})
{
    QJsonObject meta{{"regularMarketPrice", price}, {"chartPreviousClose", 100}};
    if (start && end) {
        meta.insert("currentTradingPeriod",
                    QJsonObject{{"regular", QJsonObject{{"start", double(*start)}, {"end", double(*end)}}}});
    }
    for (auto it = extraMeta.constBegin(); it != extraMeta.constEnd(); ++it)
        meta.insert(it.key(), it.value());
    QJsonObject result{{"meta", meta}};
    for (auto it = extraResult.constBegin(); it != extraResult.constEnd(); ++it)
        result.insert(it.key(), it.value());
    return QJsonObject{{"chart", QJsonObject{{"result", QJsonArray{result}}}}};
}

QByteArray body(const QJsonObject &answer)
{
    return QJsonDocument(answer).toJson(QJsonDocument::Compact);
}

QJsonObject closes(const QJsonArray &timestamps, const QJsonArray &values)
{
    return QJsonObject{{"timestamp", timestamps},
                       {"indicators", QJsonObject{{"quote", QJsonArray{QJsonObject{{"close", values}}}}}}};
}

const WatchItem apple = item(ItemKind::quote, "AAPL", "APPLE");

} // namespace

class TestMarketSchedule : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<SettingsFixture> m_fixture;
    UserDefaults *m_store = nullptr;
    Settings *m_settings = nullptr;
    std::unique_ptr<FakeClock> m_clock;
    std::unique_ptr<LoopbackHttpServer> m_server;
    std::unique_ptr<HttpClient> m_http;

    qint64 nowSeconds() const { return m_clock->now().toSecsSinceEpoch(); }

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

    /** Moves the fake clock by whole seconds, letting each refresh the timer starts run to its end. */
    void advanceSeconds(int seconds)
    {
        for (int i = 0; i < seconds; ++i) {
            m_clock->advanceMs(1000);
            settle();
        }
    }

    int requestsFor(const QByteArray &symbol) const
    {
        int count = 0;
        for (const auto &request : m_server->requests())
            count += request.path() == "/v8/finance/chart/" + symbol;
        return count;
    }

private slots:
    void init()
    {
        m_fixture = std::make_unique<SettingsFixture>();
        m_store = &m_fixture->store;
        m_settings = &m_fixture->settings;
        m_clock = std::make_unique<FakeClock>();
        m_server = std::make_unique<LoopbackHttpServer>();
        QVERIFY(m_server->start());
        m_server->serveAllServices();
        m_http = std::make_unique<HttpClient>();
        m_http->setTimeoutScale(0.05);
    }

    void cleanup()
    {
        QCoreApplication::sendPostedEvents();
        m_http.reset();
        m_server.reset();
        m_clock.reset();
        m_settings = nullptr;
        m_store = nullptr;
        m_fixture.reset();
    }

    void chartAnswerGivesMarketHoursZoneAndExtendedPrices()
    {
        const QJsonObject meta{{"exchangeTimezoneName", "America/New_York"},
                               {"gmtoffset", -18000},
                               {"preMarketPrice", 612.4},
                               {"postMarketPrice", 690.1}};
        const auto quote = JsonMappings::yahooChart(chart(687.3, 1772461800, 1772485200, meta), apple);
        QVERIFY(quote);
        QCOMPARE(quote->price, QStringLiteral("687.30"));
        QVERIFY(quote->market);
        const MarketSession &market = *quote->market;
        QVERIFY(market.regular);
        QCOMPARE(market.regular->start, QDateTime::fromSecsSinceEpoch(1772461800, Qt::UTC));
        QCOMPARE(market.regular->end, QDateTime::fromSecsSinceEpoch(1772485200, Qt::UTC));
        QCOMPARE(market.timeZone, QStringLiteral("America/New_York"));
        QCOMPARE(market.utcOffsetSeconds, -18000);
        QCOMPARE(market.preMarketPrice, 612.4);
        QCOMPARE(market.postMarketPrice, 690.1);

        // Nothing of it said: no market at all (as for Twelve Data).
        QVERIFY(!JsonMappings::yahooChart(chart(10, std::nullopt, std::nullopt), apple)->market);
    }

    void faultyMarketMembersCountAsMissing_data()
    {
        QTest::addColumn<QJsonObject>("answer");
        QTest::addColumn<bool>("hasRegular");
        QTest::addColumn<QString>("zone");
        QTest::addColumn<bool>("hasOffset");
        QTest::addColumn<bool>("hasPre");

        const qint64 start = 1772461800;
        QTest::newRow("end before start") << chart(1, start, start - 60) << false << QString() << false << false;
        QTest::newRow("session of three days")
            << chart(1, start, start + 3 * 86400) << false << QString() << false << false;
        QTest::newRow("before 2000") << chart(1, 900000000, 900003600) << false << QString() << false << false;
        QTest::newRow("fractional time")
            << chart(1, std::nullopt, std::nullopt,
                     {{"currentTradingPeriod",
                       QJsonObject{{"regular", QJsonObject{{"start", 1772461800.5}, {"end", 1772485200}}}}}})
            << false << QString() << false << false;
        QTest::newRow("zone with a path climb")
            << chart(1, start, start + 3600, {{"exchangeTimezoneName", "../../etc/passwd"}, {"preMarketPrice", 5}})
            << true << QString() << false << true;
        QTest::newRow("offset of a day") << chart(1, start, start + 3600, {{"gmtoffset", 86400}}) << true << QString()
                                         << false << false;
        QTest::newRow("negative pre-market price")
            << chart(1, start, start + 3600, {{"preMarketPrice", -3}, {"gmtoffset", 3600}}) << true << QString() << true
            << false;
    }

    void faultyMarketMembersCountAsMissing()
    {
        QFETCH(QJsonObject, answer);
        QFETCH(bool, hasRegular);
        QFETCH(QString, zone);
        QFETCH(bool, hasOffset);
        QFETCH(bool, hasPre);
        const auto quote = JsonMappings::yahooChart(answer, apple);
        QVERIFY(quote); // the price still stands
        const MarketSession market = quote->market.value_or(MarketSession{});
        QCOMPARE(market.regular.has_value(), hasRegular);
        QCOMPARE(market.timeZone, zone);
        QCOMPARE(market.utcOffsetSeconds.has_value(), hasOffset);
        QCOMPARE(market.preMarketPrice.has_value(), hasPre);
    }

    void dayClosesArePairedWithTheirTimesAndBounded()
    {
        const qint64 t0 = 1772461800;
        // null closes, a text time, a time going back and a missing time are left out.
        const QJsonObject result =
            closes({double(t0), double(t0 + 900), "x", double(t0 + 1800), double(t0 + 600), double(t0 + 2700)},
                   {100.5, QJsonValue(), 101, 102, 103, 104.25, 105});
        const auto quote = JsonMappings::yahooChart(chart(104.25, std::nullopt, std::nullopt, {}, result), apple);
        QVERIFY(quote);
        QCOMPARE(quote->dayCloses, (QList<DayPoint>{{t0, 100.5}, {t0 + 1800, 102}, {t0 + 2700, 104.25}}));
        // The band's series is made from the closes alone, as before.
        QCOMPARE(quote->series, DataService::normalise({100.5, 101, 102, 103, 104.25, 105}));

        QJsonArray times;
        QJsonArray values;
        for (int i = 0; i < 500; ++i) {
            times.append(double(t0 + i * 60));
            values.append(i);
        }
        const auto longDay =
            JsonMappings::yahooChart(chart(1, std::nullopt, std::nullopt, {}, closes(times, values)), apple);
        QCOMPARE(longDay->dayCloses.size(), Quote::maxDayPoints);
        QCOMPARE(longDay->dayCloses.first(), (DayPoint{t0 + 100 * 60, 100}));
        QCOMPARE(longDay->dayCloses.last(), (DayPoint{t0 + 499 * 60, 499}));

        // Without timestamps there is a series but no day's closes.
        const QJsonObject noTimes{
            {"indicators", QJsonObject{{"quote", QJsonArray{QJsonObject{{"close", QJsonArray{1, 2}}}}}}}};
        const auto bare = JsonMappings::yahooChart(chart(2, std::nullopt, std::nullopt, {}, noTimes), apple);
        QVERIFY(bare->dayCloses.isEmpty());
        QCOMPARE(bare->series.size(), 18);
    }

    void closedMarketIsAskedOnceInTwoMinutesOpenOneEveryMinute()
    {
        const qint64 now = nowSeconds();
        // Closed: the session ended an hour ago, the next starts tomorrow. Open: ends in five hours.
        m_server->setResponse("/v8/finance/chart/SHUT", {200, body(chart(50, now - 8 * 3600, now - 3600))});
        m_server->setResponse("/v8/finance/chart/OPEN", {200, body(chart(60, now - 3600, now + 5 * 3600))});
        // Crypto: a session covering the whole day keeps the schedule.
        m_server->setResponse("/v8/finance/chart/COIN", {200, body(chart(70, now - 36000, now + 50340))});
        m_settings->setItems({item(ItemKind::quote, "SHUT", "SHUT"), item(ItemKind::quote, "OPEN", "OPEN"),
                              item(ItemKind::quote, "COIN", "COIN")});
        DataService service(*m_settings, *m_store, *m_http);
        service.start();
        settle();
        advanceSeconds(120);
        QCOMPARE(requestsFor("SHUT"), 1);
        QCOMPARE(requestsFor("OPEN"), 3);
        QCOMPARE(requestsFor("COIN"), 3);
        QCOMPARE(service.quotes().first().price, QStringLiteral("50.00"));

        // The user's refresh asks every market.
        service.refresh(true);
        settle();
        QCOMPARE(requestsFor("SHUT"), 2);
    }

    void closedMarketIsAskedAgainAMinuteAfterItOpens()
    {
        const qint64 now = nowSeconds();
        // The session starts in ten minutes; the last close was yesterday.
        m_server->setResponse("/v8/finance/chart/SOON", {200, body(chart(50, now + 600, now + 600 + 8 * 3600))});
        m_settings->setItems({item(ItemKind::quote, "SOON", "SOON")});
        DataService service(*m_settings, *m_store, *m_http);
        service.start();
        settle();
        advanceSeconds(659);
        QCOMPARE(requestsFor("SOON"), 1);
        advanceSeconds(60); // the timer's tick after 10:11
        QCOMPARE(requestsFor("SOON"), 2);
    }

    void aValueFetchedJustAfterTheCloseIsAskedAgain()
    {
        // Delayed feeds may still bring the close: within half an hour the market is asked as usual.
        const qint64 now = nowSeconds();
        m_server->setResponse("/v8/finance/chart/LATE", {200, body(chart(50, now - 8 * 3600, now - 600))});
        m_settings->setItems({item(ItemKind::quote, "LATE", "LATE")});
        DataService service(*m_settings, *m_store, *m_http);
        service.start();
        settle();
        advanceSeconds(120);
        QCOMPARE(requestsFor("LATE"), 3);

        // Past half an hour after the close, the next value is the last one of the day.
        advanceSeconds(1200);
        const int asked = requestsFor("LATE");
        advanceSeconds(180);
        QCOMPARE(requestsFor("LATE"), asked);
    }

    void aClosedMarketsCloseIsNotStale()
    {
        const QDateTime fetched(QDate(2026, 3, 2), QTime(18, 0), Qt::UTC);
        Quote quote;
        quote.price = QStringLiteral("50.00");
        quote.at = fetched;
        quote.market = MarketSession{};
        quote.market->regular = TradingPeriod{fetched.addSecs(-9 * 3600), fetched.addSecs(-3600)};
        const auto quiet = DataService::quietUntil(quote, fetched);
        QVERIFY(quiet);
        QCOMPARE(*quiet, fetched.addSecs(-9 * 3600).addDays(1).addSecs(60));
        // All night and up to three minutes after the opening's fetch is due: current.
        QVERIFY(!Staleness::isStale(quote, ItemKind::quote, StockProvider::yahoo, fetched.addSecs(12 * 3600)));
        QVERIFY(!Staleness::isStale(quote, ItemKind::quote, StockProvider::yahoo, quiet->addSecs(180)));
        QVERIFY(Staleness::isStale(quote, ItemKind::quote, StockProvider::yahoo, quiet->addSecs(181)));
        // An open market's value goes stale as before.
        quote.market->regular = TradingPeriod{fetched.addSecs(-3600), fetched.addSecs(3600)};
        QVERIFY(Staleness::isStale(quote, ItemKind::quote, StockProvider::yahoo, fetched.addSecs(181)));
    }
};

QTEST_GUILESS_MAIN(TestMarketSchedule)
#include "TestMarketSchedule.moc"
