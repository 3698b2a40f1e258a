#include "DataTestSupport.h"
#include "data/DataService.h"
#include "data/JsonMappings.h"
#include "data/MetalsWeather.h"
#include "data/Records.h"

#include <QJsonDocument>
#include <QTest>
#include <QTimeZone>

using namespace DataTest;

namespace {

QJsonObject object(const char *json)
{
    const auto parsed = JsonMappings::parseObject(QByteArray(json));
    if (!parsed)
        qFatal("bad fixture: %s", json);
    return *parsed;
}

QList<double> repeated(double value, int count)
{
    return QList<double>(count, value);
}

QDateTime local(int day, int hour, int minute)
{
    return QDateTime(QDate(2026, 3, day), QTime(hour, minute), Qt::LocalTime);
}

} // namespace

class TestRecords : public QObject
{
    Q_OBJECT
private slots:
    void normaliseSamplesEighteenPoints()
    {
        QCOMPARE(Records::normalise({}), QList<double>());
        QCOMPARE(Records::normalise({42}), QList<double>());
        QCOMPARE(Records::normalise({3, 3, 3}), repeated(0.5, 18));
        QVERIFY(nearlyEqual(Records::normalise({1, 2}), repeated(0.08, 17) << 0.92));

        // Three values: the middle one covers points 9 to 16, the last only point 17.
        const QList<double> points = Records::normalise({0, 10, 5});
        QCOMPARE(points.size(), 18);
        QCOMPARE(points.mid(0, 9), repeated(0.08, 9));
        QCOMPARE(points.mid(9, 8), repeated(0.92, 8));
        QCOMPARE(points.last(), 0.5);

        // Many values: first and last points come from the first and last values.
        QList<double> ramp;
        for (int i = 0; i < 100; ++i)
            ramp.append(i);
        const QList<double> sampled = Records::normalise(ramp);
        QCOMPARE(sampled.first(), 0.08);
        QCOMPARE(sampled.last(), 0.92);
    }

    void priceTextSwitchesFormatAtTenThousand()
    {
        QCOMPARE(Records::priceText(187.5), QStringLiteral("187.50"));
        QCOMPARE(Records::priceText(23456.78), QStringLiteral("23457"));
        QCOMPARE(Records::priceText(9999.999), QStringLiteral("10000.00"));
        QCOMPARE(Records::priceText(10000), QStringLiteral("10000"));
        QCOMPARE(Records::priceText(-3.456), QStringLiteral("-3.46"));
    }

    void cachedJsonRoundTripsAndToleratesAbsentOptionals()
    {
        Cached cached{QStringLiteral("2045.10"), 1.25, {0.08, 0.92}, local(2, 12, 30), QStringLiteral("sun")};
        const auto back = Records::cachedFromJson(Records::toJson(cached));
        QVERIFY(back);
        QCOMPARE(*back, cached);

        const auto bare = Records::cachedFromJson(object(R"({"price":"21°C","series":[],"at":10})"));
        QVERIFY(bare);
        QVERIFY(!bare->change);
        QVERIFY(!bare->icon);
        QCOMPARE(bare->at, QDateTime(QDate(2001, 1, 1), QTime(0, 0, 10), QTimeZone::utc()));
        QVERIFY(Records::cachedFromJson(object(R"({"price":"1","series":[],"at":0,"change":null,"icon":null})")));

        // Absent or mistyped required members fail.
        QVERIFY(!Records::cachedFromJson(object(R"({"price":"1","series":[]})")));
        QVERIFY(!Records::cachedFromJson(object(R"({"price":1,"series":[],"at":0})")));
        QVERIFY(!Records::cachedFromJson(object(R"({"price":"1","series":["a"],"at":0})")));
        QVERIFY(!Records::cachedFromJson(object(R"({"price":"1","series":[],"at":0,"change":"5"})")));
    }

    void storesDecodeWholeOrNotAtAll()
    {
        // Written by hand, in another member order: what an older build may have stored.
        const QByteArray stored = R"({"weather.v2:Paris":{"at":794400000.5,"icon":"rain","series":[],"price":"7°C"},)"
                                  R"("metal:gold:EUR:toz":{"price":"2045.10","change":-0.5,"series":[0.5],"at":1}})";
        const auto scheduled = Records::decodeScheduled(stored);
        QVERIFY(scheduled);
        QCOMPARE(scheduled->size(), 2);
        QCOMPARE(scheduled->value("weather.v2:Paris").icon, QStringLiteral("rain"));
        QCOMPARE(Records::toReferenceSeconds(scheduled->value("weather.v2:Paris").at), 794400000.5);
        QCOMPARE(Records::decodeScheduled(Records::encodeScheduled(*scheduled)), scheduled);

        // One entry without "at" spoils the whole map.
        QVERIFY(!Records::decodeScheduled(R"({"a":{"price":"1","series":[],"at":0},"b":{"price":"1","series":[]}})"));
        QVERIFY(!Records::decodeScheduled("not json"));
        QVERIFY(!Records::decodeScheduled("[]"));

        const QMap<QString, QList<Reading>> history{{"metal:gold:EUR:toz", {{local(1, 17, 0), 2000}, {local(2, 9, 0), 2010}}}};
        QCOMPARE(Records::decodeHistory(Records::encodeHistory(history)), history);
        QVERIFY(!Records::decodeHistory(R"({"k":[{"t":1}]})"));
        const QMap<QString, QDateTime> times{{"EUR:toz", local(2, 9, 0)}};
        QCOMPARE(Records::decodeFetchTimes(Records::encodeFetchTimes(times)), times);
        QVERIFY(!Records::decodeFetchTimes(R"({"EUR:toz":"yesterday"})"));
        QVERIFY(!Records::decodeFetchTimes(R"({"EUR:toz":1e300})"));
    }

    void quoteFromCachedDropsUnknownIcons()
    {
        const WatchItem paris = item(ItemKind::weather, "Paris", "PARIS");
        Cached cached{QStringLiteral("7°C"), std::nullopt, {}, local(2, 9, 0), QStringLiteral("partlyNight")};
        Quote quote = Records::quoteFromCached(paris, cached);
        QCOMPARE(quote.id, paris.id);
        QCOMPARE(quote.name, QStringLiteral("PARIS"));
        QCOMPARE(quote.icon, WeatherIcon::partlyNight);
        cached.icon = QStringLiteral("hail");
        QVERIFY(!Records::quoteFromCached(paris, cached).icon);
    }

    void yahooChangeAgainstPreviousClose_data()
    {
        QTest::addColumn<QByteArray>("meta");
        QTest::addColumn<std::optional<double>>("change");
        QTest::newRow("chartPreviousClose") << QByteArray(R"("chartPreviousClose":100)") << std::optional<double>(5);
        QTest::newRow("chartPreviousClose 0") << QByteArray(R"("chartPreviousClose":0,"previousClose":100)")
                                              << std::optional<double>();
        QTest::newRow("previousClose") << QByteArray(R"("previousClose":100)") << std::optional<double>(5);
        QTest::newRow("previousClose not a number") << QByteArray(R"("previousClose":"100")")
                                                    << std::optional<double>();
        QTest::newRow("neither") << QByteArray(R"("currency":"USD")") << std::optional<double>();
    }

    void yahooChangeAgainstPreviousClose()
    {
        QFETCH(QByteArray, meta);
        QFETCH(std::optional<double>, change);
        const QByteArray body = R"({"chart":{"result":[{"meta":{"regularMarketPrice":105,)" + meta + "}}]}}";
        const auto quote = JsonMappings::yahooChart(*JsonMappings::parseObject(body), item(ItemKind::quote, "X", "X"));
        QVERIFY(quote);
        QCOMPARE(quote->price, QStringLiteral("105.00"));
        QVERIFY(nearlyEqual(quote->change, change));
        QVERIFY(quote->series.isEmpty());
    }

    void yahooSeriesAndBrokenAnswers()
    {
        const WatchItem apple = item(ItemKind::quote, "AAPL", "APPLE");
        const auto quote = JsonMappings::yahooChart(
            object(R"({"chart":{"result":[{"meta":{"regularMarketPrice":187.5},)"
                   R"("indicators":{"quote":[{"close":[1,null,"x",2]}]}}]}})"),
            apple);
        QVERIFY(quote);
        QCOMPARE(quote->id, apple.id);
        QCOMPARE(quote->name, QStringLiteral("APPLE"));
        QVERIFY(nearlyEqual(quote->series, repeated(0.08, 17) << 0.92));
        QVERIFY(!quote->icon);

        QVERIFY(!JsonMappings::yahooChart(object(R"({"chart":{"result":[]}})"), apple));
        QVERIFY(!JsonMappings::yahooChart(object(R"({"chart":{"result":[{"meta":{"regularMarketPrice":"1"}}]}})"), apple));
        QVERIFY(!JsonMappings::yahooChart(object(R"({"chart":{"result":null,"error":{"code":"Not Found"}}})"), apple));
        QVERIFY(!JsonMappings::yahooChart(object(R"({"chart":{"result":[7]}})"), apple));
    }

    void twelveReadsDecimalStrings()
    {
        const WatchItem lvmh = item(ItemKind::quote, "MC", "LVMH", QStringLiteral("XPAR"));
        const auto quote = JsonMappings::twelveQuote(object(R"({"close":"187.5","percent_change":"-1.2"})"), lvmh);
        QVERIFY(quote);
        QCOMPARE(quote->price, QStringLiteral("187.50"));
        QCOMPARE(quote->change, -1.2);
        QVERIFY(quote->series.isEmpty());

        QVERIFY(!JsonMappings::twelveQuote(object(R"({"close":187.5})"), lvmh));
        QVERIFY(!JsonMappings::twelveQuote(object(R"({"close":" 187.5"})"), lvmh));
        QVERIFY(!JsonMappings::twelveQuote(object(R"({"status":"error","close":"1"})"), lvmh));
        const auto okStatus = JsonMappings::twelveQuote(object(R"({"status":"ok","close":"1","percent_change":"n/a"})"), lvmh);
        QVERIFY(okStatus);
        QVERIFY(!okStatus->change);

        QCOMPARE(JsonMappings::parseDecimal("1e3"), 1000.0);
        QCOMPARE(JsonMappings::parseDecimal("+.5"), 0.5);
        for (const char *bad : {"", "1 ", "abc", "nan", "inf", "0x10", "1,5", "1e999", "--1"})
            QVERIFY2(!JsonMappings::parseDecimal(QString::fromLatin1(bad)), bad);
    }

    void weatherIconAndTemperature()
    {
        const QDateTime at = local(2, 9, 5);
        const auto night = JsonMappings::forecastCurrent(
            object(R"({"current":{"temp_c":-0.5,"is_day":0,"condition":{"code":1003}}})"), at);
        QVERIFY(night);
        QCOMPARE(night->price, QStringLiteral("-1°C"));
        QCOMPARE(night->icon, QStringLiteral("partlyNight"));
        QCOMPARE(night->at, at);
        QVERIFY(!night->change);
        QVERIFY(night->series.isEmpty());

        const auto icon = [&](const char *current) {
            return JsonMappings::forecastCurrent(object(current), at)->icon.value();
        };
        QCOMPARE(icon(R"({"current":{"temp_c":3}})"), QStringLiteral("cloud"));
        QCOMPARE(icon(R"({"current":{"temp_c":3,"condition":{"code":"1000"}}})"), QStringLiteral("cloud"));
        QCOMPARE(icon(R"({"current":{"temp_c":3,"condition":{"code":1000.5}}})"), QStringLiteral("cloud"));
        QCOMPARE(icon(R"({"current":{"temp_c":3,"condition":{"code":1000}}})"), QStringLiteral("sun"));
        QCOMPARE(icon(R"({"current":{"temp_c":3,"is_day":"0","condition":{"code":1000}}})"), QStringLiteral("sun"));
        QCOMPARE(icon(R"({"current":{"temp_c":3,"is_day":2,"condition":{"code":1000}}})"), QStringLiteral("moon"));
        QCOMPARE(icon(R"({"current":{"temp_c":3,"condition":{"code":1195}}})"), QStringLiteral("rain"));

        QVERIFY(!JsonMappings::forecastCurrent(object(R"({"current":{"condition":{"code":1000}}})"), at));
        QVERIFY(!JsonMappings::forecastCurrent(object(R"({"current":{"temp_c":"3"}})"), at));
        QVERIFY(!JsonMappings::forecastCurrent(object(R"({"error":{"code":1006}})"), at));

        QCOMPARE(JsonMappings::temperatureText(20.6), QStringLiteral("21°C"));
        QCOMPARE(JsonMappings::temperatureText(-0.4), QStringLiteral("0°C"));
        QCOMPARE(JsonMappings::temperatureText(0.5), QStringLiteral("1°C"));
        QCOMPARE(JsonMappings::temperatureText(1e300).size(), 303);
    }

    void metalsAnswerNeedsSuccessAndMetals()
    {
        QVERIFY(JsonMappings::metalsLatest(object(R"({"status":"success","metals":{"gold":2020}})")));
        QVERIFY(!JsonMappings::metalsLatest(object(R"({"status":"failure","metals":{"gold":2020}})")));
        QVERIFY(!JsonMappings::metalsLatest(object(R"({"status":true,"metals":{"gold":2020}})")));
        QVERIFY(!JsonMappings::metalsLatest(object(R"({"status":"success","metals":[2020]})")));
    }

    void metalChangeAgainstAnEarlierDay()
    {
        const QDateTime now = local(3, 12, 30);
        // Yesterday 17:00 → 2000, today 9:00 → 2010, now 2020: +1 % against yesterday.
        QList<Reading> history{{local(2, 17, 0), 2000}, {local(3, 9, 0), 2010}};
        history = MetalsWeather::appendReading(history, {now, 2020});
        QCOMPARE(history.size(), 3);
        QCOMPARE(MetalsWeather::referencePrice(history, now), 2000.0);
        QVERIFY(nearlyEqual(MetalsWeather::metalChange(history, now), 1.0));

        // First fetch ever: no change. Same first day: against the first price.
        QList<Reading> first = MetalsWeather::appendReading({}, {local(3, 9, 0), 2000});
        QVERIFY(!MetalsWeather::metalChange(first, local(3, 9, 0)));
        first = MetalsWeather::appendReading(first, {now, 2010});
        QVERIFY(nearlyEqual(MetalsWeather::metalChange(first, now), 0.5));

        // A zero reference gives no change.
        QVERIFY(!MetalsWeather::metalChange({{local(2, 9, 0), 0}, {now, 5}}, now));

        // The 25th reading pushes the oldest out.
        QList<Reading> full;
        for (int i = 0; i < 24; ++i)
            full.append({local(1, 9, 0).addSecs(3600 * i), double(i)});
        full = MetalsWeather::appendReading(full, {now, 99});
        QCOMPARE(full.size(), 24);
        QCOMPARE(full.first().v, 1.0);
        QCOMPARE(full.last().v, 99.0);
    }

    void lastSlotFollowsTheDailySchedule()
    {
        QCOMPARE(DataService::lastSlot(local(3, 8, 59)), local(2, 17, 0));
        QCOMPARE(DataService::lastSlot(local(3, 9, 0)), local(3, 9, 0));
        QCOMPARE(DataService::lastSlot(local(3, 12, 29)), local(3, 9, 0));
        QCOMPARE(DataService::lastSlot(local(3, 12, 30)), local(3, 12, 30));
        QCOMPARE(DataService::lastSlot(local(3, 23, 0)), local(3, 17, 0));
        QCOMPARE(DataService::lastSlot(local(1, 0, 0)), QDateTime(QDate(2026, 2, 28), QTime(17, 0), Qt::LocalTime));
    }
};

QTEST_GUILESS_MAIN(TestRecords)
#include "TestRecords.moc"
