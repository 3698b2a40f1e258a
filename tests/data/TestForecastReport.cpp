#include "DataTestSupport.h"
#include "LoopbackHttpServer.h"
#include "data/ForecastReport.h"
#include "net/HttpClient.h"

#include <QProcess>
#include <QTest>

#include <memory>

using namespace DataTest;

namespace {

const QByteArray fullAnswer =
    R"({"location":{"name":"Paris","country":"France","localtime":"2026-03-02 10:00"},)"
    R"("current":{"temp_c":-0.5,"is_day":0,"last_updated":"2026-03-02 09:45","condition":{"text":"Clear","code":1003}},)"
    R"("forecast":{"forecastday":[{"day":{"condition":{"text":"Rain","code":1189},"daily_chance_of_rain":80,)"
    R"("totalprecip_mm":3.2,"mintemp_c":4,"maxtemp_c":11.5}}]}})";

} // namespace

class TestForecastReport : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<LoopbackHttpServer> m_server;

    /** The report over `items`, with the service answering `handler`. */
    QString report(const QList<WatchItem> &items, int *status = nullptr)
    {
        HttpClient http;
        QString text;
        QTextStream out(&text);
        const int code = await(ForecastReport::run(items, "wk", http, out));
        if (status)
            *status = code;
        return text;
    }

private slots:
    void init()
    {
        m_server = std::make_unique<LoopbackHttpServer>();
        QVERIFY(m_server->start());
        qputenv("DOTBANNER_WEATHERAPI_URL", m_server->baseUrl().toEncoded());
    }

    void cleanup() { m_server.reset(); }

    void printsEachWeatherItem()
    {
        m_server->setHandler([](const LoopbackHttpServer::Request &request) -> LoopbackHttpServer::Response {
            const QByteArray q = request.query();
            if (q.contains("q=48.85,2.35"))
                return {200, fullAnswer};
            if (q.contains("q=Nowhere"))
                return {400, R"({"error":{"code":1006,"message":"No matching location found."}})"};
            if (q.contains("q=Html"))
                return {502, "<html>bad gateway</html>", "text/html"};
            if (q.contains("q=Array"))
                return {200, "[1,2]"};
            return {200, R"({"current":{"temp_c":21,"condition":{}}})"};
        });
        int status = -1;
        const QString text = report({item(ItemKind::weather, "Paris", "PARIS", QStringLiteral("48.85,2.35")),
                                     item(ItemKind::quote, "AAPL", "APPLE"),
                                     item(ItemKind::weather, "Nowhere", "N"),
                                     item(ItemKind::weather, "Html", "H"),
                                     item(ItemKind::weather, "Array", "A"),
                                     item(ItemKind::weather, "Bare", "B")},
                                    &status);
        QCOMPARE(status, 0);
        QCOMPARE(text,
                 QStringLiteral("== Paris (q=48.85,2.35) -> Paris, France, heure locale 2026-03-02 10:00\n"
                                "   maintenant: -0.5°C, Clear (code 1003), jour=0, relevé 2026-03-02 09:45\n"
                                "   journée: Rain (code 1189), pluie 80%, 3.2 mm, min 4 max 11.5\n"
                                "Nowhere erreur API: {\"code\":1006,\"message\":\"No matching location found.\"}\n"
                                "Html échec réseau\n"
                                "== Bare (q=Bare) -> ?, ?, heure locale ?\n"
                                "   maintenant: 21°C, ? (code ?), jour=?, relevé ?\n"));

        // Same URL as the band's fetcher, but without our user agent.
        QCOMPARE(m_server->requestCount(), 5);
        const auto first = m_server->requests().first();
        QCOMPARE(first.target, QByteArray("/v1/forecast.json?key=wk&q=48.85,2.35&days=1"));
        QVERIFY(first.headers.value("user-agent") != HttpClient::userAgent);
    }

    void networkFailureIsOneLine()
    {
        const QUrl closed = m_server->baseUrl();
        m_server.reset(); // nothing listens on that port any more
        qputenv("DOTBANNER_WEATHERAPI_URL", closed.toEncoded());
        QCOMPARE(report({item(ItemKind::weather, "Paris", "PARIS")}), QStringLiteral("Paris échec réseau\n"));
    }

    void withoutWeatherItemsPrintsNothing()
    {
        int status = -1;
        QCOMPARE(report({item(ItemKind::quote, "AAPL", "APPLE")}, &status), QString());
        QCOMPARE(status, 0);
        QCOMPARE(m_server->requestCount(), 0);
    }

    void endsTheProcessWithStatusZero()
    {
        m_server->setResponse("/v1/forecast.json", {200, fullAnswer});
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DOTBANNER_WEATHERAPI_URL", m_server->baseUrl().toString());
        child.setProcessEnvironment(env);
        child.start(QStringLiteral(DOTBANNER_FORECAST_CHILD), {"wk", "Paris=48.85,2.35", "Lyon"});
        QVERIFY(child.waitForStarted());
        QVERIFY(QTest::qWaitFor([&] { return child.state() == QProcess::NotRunning; }, 20000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        const QStringList lines = QString::fromUtf8(child.readAllStandardOutput()).split('\n');
        QCOMPARE(lines.size(), 7); // two reports of three lines, then the final newline
        QCOMPARE(lines.at(0), QStringLiteral("== Paris (q=48.85,2.35) -> Paris, France, heure locale 2026-03-02 10:00"));
        QVERIFY(lines.at(3).startsWith(QStringLiteral("== Lyon (q=Lyon) -> ")));

        // No weather item: the process ends at once, also with 0.
        child.start(QStringLiteral(DOTBANNER_FORECAST_CHILD), {"wk"});
        QVERIFY(child.waitForFinished(20000));
        QCOMPARE(child.exitCode(), 0);
        QCOMPARE(child.readAllStandardOutput(), QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestForecastReport)
#include "TestForecastReport.moc"
