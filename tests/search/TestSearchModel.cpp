#include "FakeClock.h"
#include "LoopbackHttpServer.h"
#include "ServiceFixture.h"
#include "net/HttpClient.h"
#include "search/SearchModel.h"
#include "settings/Settings.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

QByteArray places(int count)
{
    QByteArray body = "[";
    for (int i = 0; i < count; ++i) {
        if (i)
            body += ',';
        body += QStringLiteral(R"({"name":"Ville %1","region":"Région","country":"France","lat":%1.5,"lon":2})")
                    .arg(i)
                    .toUtf8();
    }
    return body + "]";
}

QStringList titles(const QList<Suggestion> &results)
{
    QStringList list;
    for (const Suggestion &s : results)
        list.append(s.title);
    return list;
}

} // namespace

class TestSearchModel : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_services = std::make_unique<ServiceFixture>();
        m_settings = &m_services->settings;
        m_server = &m_services->server;
        m_http = &m_services->http;
        QVERIFY(m_server->start());
        const QByteArray base = m_server->baseUrl().toEncoded();
        qputenv("DOTBANNER_YAHOO_URL", base + "/yahoo");
        qputenv("DOTBANNER_TWELVEDATA_URL", base + "/twelve");
        qputenv("DOTBANNER_WEATHERAPI_URL", base + "/weather");
        m_model = std::make_unique<SearchModel>(*m_settings, *m_http);
    }

    void cleanup()
    {
        m_model.reset();
        m_services.reset();
    }

    void shortLabels()
    {
        QCOMPARE(SearchModel::shortLabel("^FCHI"), QString("FCHI"));
        QCOMPARE(SearchModel::shortLabel("MC.PA"), QString("MC"));
        QCOMPARE(SearchModel::shortLabel("BTC-USD"), QString("BTC"));
        QCOMPARE(SearchModel::shortLabel("EURUSD=X"), QString("EURUSD"));
        QCOMPARE(SearchModel::shortLabel("eur/usd"), QString("EUR"));
        QCOMPARE(SearchModel::shortLabel("^^a^b"), QString("AB"));
        QCOMPARE(SearchModel::shortLabel(""), QString());
    }

    void coordinatesAreShortestDecimals()
    {
        QCOMPARE(SearchModel::coordinate(2.0), QString("2.0"));
        QCOMPARE(SearchModel::coordinate(48.8567), QString("48.8567"));
        QCOMPARE(SearchModel::coordinate(-0.1), QString("-0.1"));
        QCOMPARE(SearchModel::coordinate(0.0), QString("0.0"));
        QCOMPARE(SearchModel::coordinate(0.00001), QString("0.00001"));
        QCOMPARE(SearchModel::coordinate(0.1 + 0.2).toDouble(), 0.1 + 0.2);
    }

    void metalsMatchFoldedTitlesAndSymbols()
    {
        QCOMPARE(m_model->metalResults("").size(), 10);
        QCOMPARE(m_model->metalResults("").first().item.label, QString("OR"));
        const auto tin = m_model->metalResults("etain");
        QCOMPARE(tin.size(), 1);
        QCOMPARE(tin.first().item.symbol, QString("tin"));
        QCOMPARE(tin.first().item.label, QString("ETAIN"));
        QCOMPARE(m_model->metalResults("ÉTAIN").size(), 1);
        const auto plat = m_model->metalResults("plat");
        QCOMPARE(plat.size(), 1);
        QCOMPARE(plat.first().item.symbol, QString("platinum"));
        QVERIFY(!plat.first().item.ref);
        QCOMPARE(plat.first().item.kind, ItemKind::metal);
        QCOMPARE(plat.first().subtitle, QString("Métal · EUR/toz"));
        m_settings->setMetalCurrency("USD");
        m_settings->setMetalUnit("g");
        QCOMPARE(m_model->metalResults("gold").first().subtitle, QString("Métal · USD/g"));
        QVERIFY(m_model->metalResults("xyz").isEmpty());
        // Fresh identities every time.
        QVERIFY(m_model->metalResults("gold").first().item.id != m_model->metalResults("gold").first().item.id);
    }

    void metalKindAnswersAtOnceWithoutRequest()
    {
        m_model->schedule("  cuiv ", ItemKind::metal);
        QCOMPARE(titles(m_model->results()), QStringList{"Cuivre · Copper"});
        QVERIFY(!m_model->busy());
        QTest::qWait(450);
        QCOMPARE(m_server->requestCount(), 0);
    }

    void typingQuicklySendsOneRequestAfterTheLastKey()
    {
        m_server->setResponse(
            "/yahoo/v1/finance/search",
            {200,
             R"({"quotes":[{"symbol":"AAPL","shortname":"Apple Inc.","exchDisp":"NASDAQ","quoteType":"EQUITY"}]})"});
        // The quiet time runs on the process clock: moved by hand here, nothing sleeps.
        FakeClock clock;
        QSignalSpy requests(m_server, &LoopbackHttpServer::requestReceived);
        const auto advance = [&](qint64 ms) {
            clock.advanceMs(ms);
            for (int i = 0; i < 5; ++i)
                QCoreApplication::processEvents();
        };
        m_model->schedule("a", ItemKind::quote);
        QVERIFY(!m_model->busy());
        m_model->schedule("ap", ItemKind::quote);
        QVERIFY(m_model->busy());
        advance(300);
        m_model->schedule("app", ItemKind::quote);
        advance(349);
        QCOMPARE(m_http->activeRequests(), 0);
        QCOMPARE(requests.size(), 0);
        advance(1);
        // The passes of the event loop in advance() may already have carried the request over.
        QVERIFY(requests.size() == 1 || requests.wait(3000));
        QTRY_VERIFY(!m_model->busy());
        advance(1000);
        QCOMPARE(m_server->requestCount(), 1);
        const auto request = m_server->requests().first();
        QCOMPARE(request.query(), QByteArray("q=app&quotesCount=8&newsCount=0"));
        QCOMPARE(request.headers.value("user-agent"), HttpClient::userAgent);
        QCOMPARE(m_model->results().size(), 1);
        const Suggestion apple = m_model->results().first();
        QCOMPARE(apple.title, QString("AAPL  Apple Inc."));
        QCOMPARE(apple.subtitle, QString("NASDAQ · EQUITY"));
        QCOMPARE(apple.item.label, QString("AAPL"));
        QVERIFY(!apple.item.ref);
        QVERIFY(!m_model->message());
    }

    void oneLetterBetweenSpacesSendsNothingAndEmptiesTheList()
    {
        m_model->schedule("", ItemKind::metal);
        QVERIFY(!m_model->results().isEmpty());
        m_model->schedule(" a\t", ItemKind::quote);
        QVERIFY(m_model->results().isEmpty());
        QVERIFY(!m_model->busy());
        // One character each, though two UTF-16 units: an e with a combining accent, an emoji.
        m_model->schedule(QString::fromUtf8("e\u0301"), ItemKind::quote);
        QVERIFY(!m_model->busy());
        m_model->schedule(QString::fromUtf8("\U0001F600"), ItemKind::weather);
        QVERIFY(!m_model->busy());
        QTest::qWait(450);
        QCOMPARE(m_server->requestCount(), 0);
    }

    void clearCancelsThePendingSearch()
    {
        m_server->setResponse("/yahoo/v1/finance/search", {200, R"({"quotes":[{"symbol":"X"}]})"});
        m_model->schedule("xx", ItemKind::quote);
        QSignalSpy results(m_model.get(), &SearchModel::resultsChanged);
        m_model->clear();
        QVERIFY(!m_model->busy());
        QTest::qWait(500);
        QCOMPARE(m_server->requestCount(), 0);
        QCOMPARE(results.count(), 1); // only clear() itself
    }

    void aSearchReplacedInFlightNeverWritesItsResults()
    {
        LoopbackHttpServer::Response slow(200, R"({"quotes":[{"symbol":"OLD"}]})");
        slow.delayMs = 300;
        m_server->setHandler([slow](const LoopbackHttpServer::Request &request) {
            if (request.query().startsWith("q=old"))
                return slow;
            return LoopbackHttpServer::Response(200, R"({"quotes":[{"symbol":"NEW"}]})");
        });
        QSignalSpy requests(m_server, &LoopbackHttpServer::requestReceived);
        m_model->schedule("old", ItemKind::quote);
        QVERIFY(requests.wait(3000)); // the first request is in flight
        m_model->schedule("new", ItemKind::quote);
        QVERIFY(m_model->busy());
        QTRY_VERIFY_WITH_TIMEOUT(!m_model->busy(), 5000);
        QTest::qWait(400);
        QCOMPARE(titles(m_model->results()), QStringList{"NEW  NEW"});
    }

    void destroyingTheModelWhilePendingIsSafe()
    {
        LoopbackHttpServer::Response slow(200, R"({"quotes":[]})");
        slow.delayMs = 200;
        m_server->setResponse("/yahoo/v1/finance/search", slow);
        QSignalSpy requests(m_server, &LoopbackHttpServer::requestReceived);
        m_model->schedule("abc", ItemKind::quote);
        QVERIFY(requests.wait(3000));
        m_model.reset();
        auto other = std::make_unique<SearchModel>(*m_settings, *m_http);
        other->schedule("de", ItemKind::quote);
        QTRY_VERIFY_WITH_TIMEOUT(!other->busy(), 5000);
        QCOMPARE(m_server->requestCount(), 2);
        m_model = std::move(other);
    }

    void yahooMappings()
    {
        const QJsonDocument doc = QJsonDocument::fromJson(R"({"quotes":[
            {"symbol":"^FCHI","longname":"CAC 40","exchDisp":"Paris","quoteType":""},
            {"symbol":"BTC-USD"},
            {"shortname":"no symbol"},
            {"symbol":"MC.PA","shortname":"LVMH","longname":"LVMH Moët","quoteType":"EQUITY"}]})");
        const auto results = SearchModel::yahooFromJson(doc.object());
        QCOMPARE(titles(results), (QStringList{"^FCHI  CAC 40", "BTC-USD  BTC-USD", "MC.PA  LVMH"}));
        QCOMPARE(results.at(0).subtitle, QString("Paris"));
        QCOMPARE(results.at(1).subtitle, QString());
        QCOMPARE(results.at(2).subtitle, QString("EQUITY"));
        QCOMPARE(results.at(0).item.label, QString("FCHI"));
        QCOMPARE(results.at(1).item.label, QString("BTC"));
    }

    void twelveDataSearch()
    {
        m_settings->setStockProvider(StockProvider::twelveData);
        // Without a key: the message, and no request.
        m_model->schedule("air", ItemKind::quote);
        QTRY_VERIFY(!m_model->busy());
        QCOMPARE(m_model->message(), std::optional<QString>("Ajoute ta clé Twelve Data dans l'onglet Clés API."));
        QCOMPARE(m_server->requestCount(), 0);

        m_settings->setStockKey("k 1+&");
        m_server->setResponse("/twelve/symbol_search", {200, R"({"data":[
            {"symbol":"AIR","instrument_name":"Airbus SE","exchange":"Euronext","mic_code":"XPAR","instrument_type":"Common Stock","country":"France"},
            {"symbol":"AIR.X"},
            {"instrument_name":"nothing"}]})"});
        m_model->schedule("air", ItemKind::quote);
        QVERIFY(m_model->busy());
        // The previous message stays until the answer arrives.
        QVERIFY(m_model->message());
        QTRY_VERIFY(!m_model->busy());
        QVERIFY(!m_model->message());
        QCOMPARE(m_server->requests().last().query(), QByteArray("symbol=air&outputsize=8&apikey=k%201%2B%26"));
        const auto results = m_model->results();
        QCOMPARE(titles(results), (QStringList{"AIR  Airbus SE", "AIR.X  AIR.X"}));
        QCOMPARE(results.at(0).subtitle, QString("Euronext · Common Stock · France"));
        QCOMPARE(results.at(0).item.ref, std::optional<QString>("XPAR"));
        QVERIFY(!results.at(1).item.ref);
        QCOMPARE(results.at(1).item.label, QString("AIR"));

        // An answer without a "data" array is a bad key.
        m_server->setResponse("/twelve/symbol_search", {401, R"({"code":401,"message":"bad key"})"});
        m_model->schedule("airb", ItemKind::quote);
        QTRY_VERIFY(!m_model->busy());
        QVERIFY(m_model->results().isEmpty());
        QCOMPARE(m_model->message(), std::optional<QString>("Recherche impossible. Vérifie ta clé."));
    }

    void placeSearch()
    {
        m_model->schedule("par", ItemKind::weather);
        QTRY_VERIFY(!m_model->busy());
        QCOMPARE(m_model->message(), std::optional<QString>("Ajoute ta clé WeatherAPI dans l'onglet Clés API."));
        QCOMPARE(m_server->requestCount(), 0);

        m_settings->setWeatherKey("wk");
        m_server->setResponse("/weather/v1/search.json", {200, places(10)});
        m_model->schedule("par", ItemKind::weather);
        QTRY_VERIFY(!m_model->busy());
        QCOMPARE(m_server->requests().last().query(), QByteArray("key=wk&q=par"));
        const auto results = m_model->results();
        QCOMPARE(results.size(), 8);
        QCOMPARE(results.at(0).title, QString("Ville 0"));
        QCOMPARE(results.at(0).subtitle, QString("Région, France"));
        QCOMPARE(results.at(0).item.label, QString("VILLE 0"));
        QCOMPARE(results.at(0).item.kind, ItemKind::weather);
        QCOMPARE(results.at(3).item.ref, std::optional<QString>("3.5,2.0"));
        QVERIFY(!m_model->message());

        // Missing coordinates read as 0; elements without a name are left out.
        m_server->setResponse("/weather/v1/search.json",
                              {200, R"([{"name":"Nowhere","lon":-1.25,"country":""},{"lat":3}])"});
        m_model->schedule("now", ItemKind::weather);
        QTRY_VERIFY(!m_model->busy());
        QCOMPARE(m_model->results().size(), 1);
        QCOMPARE(m_model->results().first().item.ref, std::optional<QString>("0.0,-1.25"));
        QCOMPARE(m_model->results().first().subtitle, QString());

        // An empty array: no suggestion and no message.
        m_server->setResponse("/weather/v1/search.json", {200, "[]"});
        m_model->schedule("zzz", ItemKind::weather);
        QTRY_VERIFY(!m_model->busy());
        QVERIFY(m_model->results().isEmpty());
        QVERIFY(!m_model->message());

        // An error object (bad key) or a body that is not JSON.
        m_server->setResponse("/weather/v1/search.json", {403, R"({"error":{"code":2008}})"});
        m_model->schedule("lyo", ItemKind::weather);
        QTRY_VERIFY(!m_model->busy());
        QCOMPARE(m_model->message(), std::optional<QString>("Aucun résultat ou clé invalide."));
        m_server->setResponse("/weather/v1/search.json", {200, "<html>", "text/html"});
        m_model->schedule("lyon", ItemKind::weather);
        QTRY_VERIFY(!m_model->busy());
        QCOMPARE(m_model->message(), std::optional<QString>("Aucun résultat ou clé invalide."));
    }

    void yahooFailures()
    {
        m_server->setResponse("/yahoo/v1/finance/search", {200, R"({"finance":{"error":"x"}})"});
        m_model->schedule("abc", ItemKind::quote);
        QTRY_VERIFY(!m_model->busy());
        QCOMPARE(m_model->message(), std::optional<QString>("Recherche impossible pour l'instant."));

        // A server that never answers: the search time-out ends it with the same message.
        LoopbackHttpServer::Response silent;
        silent.neverAnswer = true;
        m_server->setResponse("/yahoo/v1/finance/search", silent);
        m_http->setTimeoutScale(0.02); // 10 s becomes 200 ms
        m_model->schedule("abcd", ItemKind::quote);
        QVERIFY(m_model->busy());
        QTRY_VERIFY_WITH_TIMEOUT(!m_model->busy(), 5000);
        QCOMPARE(m_model->message(), std::optional<QString>("Recherche impossible pour l'instant."));
        QVERIFY(m_model->results().isEmpty());
    }

private:
    std::unique_ptr<ServiceFixture> m_services;
    Settings *m_settings = nullptr;
    LoopbackHttpServer *m_server = nullptr;
    HttpClient *m_http = nullptr;
    std::unique_ptr<SearchModel> m_model;
};

QTEST_GUILESS_MAIN(TestSearchModel)
#include "TestSearchModel.moc"
