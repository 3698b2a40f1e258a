// What the program writes to its log when services, feeds, the keyring and the disk all
// fail: one warning each, and never a key, even where a service echoes the request back.

#include "FakeClock.h"
#include "LoopbackHttpServer.h"
#include "data/DataLog.h"
#include "data/DataService.h"
#include "net/HttpClient.h"
#include "net/NetLog.h"
#include "news/NewsLog.h"
#include "news/NewsService.h"
#include "settings/KeyStore.h"
#include "settings/Settings.h"
#include "settings/SettingsLog.h"
#include "settings/UserDefaults.h"

#include <QFile>
#include <QLoggingCategory>
#include <QMutex>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace std::chrono_literals;

namespace {

QMutex s_mutex;
QStringList s_lines;

void capture(QtMsgType, const QMessageLogContext &context, const QString &message)
{
    const QMutexLocker locker(&s_mutex);
    s_lines << QString::fromLatin1(context.category) + QStringLiteral(": ") + message;
}

WatchItem watch(ItemKind kind, const char *symbol, std::optional<QString> ref = std::nullopt)
{
    return WatchItem{QUuid::createUuid(), kind, QString::fromLatin1(symbol), QString::fromLatin1(symbol), ref};
}

// An error answer that quotes the request, as some services do.
LoopbackHttpServer::Response echo(int status, const LoopbackHttpServer::Request &request)
{
    return {status, R"({"code":401,"message":"bad request )" + request.target + R"("})"};
}

} // namespace

class TestDiagnostics : public QObject
{
    Q_OBJECT
private slots:
    void failuresAreLoggedWithoutKeys()
    {
        const QStringList keys{QStringLiteral("Tw3lve-K3y-ABC"), QStringLiteral("W3ather-K3y-DEF"),
                               QStringLiteral("M3tals-K3y-GHI")};

        LoopbackHttpServer server;
        QVERIFY(server.start());
        server.serveAllServices();
        server.setHandler([](const LoopbackHttpServer::Request &request) -> LoopbackHttpServer::Response {
            const QByteArray path = request.path();
            if (path == "/quote")
                return echo(200, request); // an error in a 200 answer
            if (path == "/v1/forecast.json")
                return echo(500, request);
            if (path == "/v1/latest")
                return {200, "not JSON " + request.target};
            if (path == "/feeds/broken")
                return {200, "<rss><channel><item><title>Unfinished", "application/rss+xml"};
            if (path == "/feeds/slow") {
                LoopbackHttpServer::Response never;
                never.neverAnswer = true;
                return never;
            }
            if (path == "/feeds/good")
                return {200, "<rss><channel><item><title>Fine</title></item></channel></rss>", "application/rss+xml"};
            return echo(503, request);
        });

        // A store that cannot be written: its folder would sit under a plain file.
        QTemporaryDir dir;
        QVERIFY(QFile(dir.filePath("blocker")).open(QIODevice::WriteOnly));
        UserDefaults store(dir.filePath("blocker/dotbanner"));

        QLoggingCategory::setFilterRules(QStringLiteral("dotbanner.*.debug=true"));
        const QtMessageHandler previous = qInstallMessageHandler(capture);
        {
            // No session bus here: every key goes to a keyring that is not there.
            Settings settings(store, KeyStore::system());
            settings.setStockProvider(StockProvider::twelveData);
            settings.setStockKey(keys.at(0));
            settings.setWeatherKey(keys.at(1));
            settings.setMetalsKey(keys.at(2));
            settings.setItems({watch(ItemKind::quote, "AAPL"), watch(ItemKind::weather, "Paris", "48.85,2.35"),
                               watch(ItemKind::metal, "gold")});
            settings.setVariant(BarVariant::thick);
            const QString base = server.baseUrl().toString();
            settings.setNewsSources({
                {QUuid::createUuid(), "Broken", base + "/feeds/broken?token=" + keys.at(0), true},
                {QUuid::createUuid(), "Gone", base + "/feeds/gone", true},
                {QUuid::createUuid(), "Slow", base + "/feeds/slow", true},
                {QUuid::createUuid(), "Good", base + "/feeds/good", true},
                {QUuid::createUuid(), "Nowhere", "ftp://example.invalid/feed", true},
            });

            HttpClient http;
            http.setTimeoutScale(0.01);
            FakeClock clock(QDateTime(QDate(2026, 3, 2), QTime(10, 0)));
            DataService data(settings, store, http);
            data.setTwelveDataPause(0ms);
            NewsService news(settings, http);
            data.refresh(true);
            news.refresh();
            const bool finished =
                QTest::qWaitFor([&] { return !data.isRefreshing() && !news.isRefreshing(); }, 20000);
            qInstallMessageHandler(previous);
            QVERIFY(finished);
            QCoreApplication::sendPostedEvents();
        }
        QLoggingCategory::setFilterRules(QString());

        QStringList lines;
        {
            const QMutexLocker locker(&s_mutex);
            lines = s_lines;
        }
        const QString log = lines.join(QLatin1Char('\n'));
        for (const QString &key : keys) {
            QVERIFY2(!log.contains(key, Qt::CaseInsensitive), qPrintable(key + " in:\n" + log));
            QVERIFY(!log.contains(QString::fromLatin1(QUrl::toPercentEncoding(key)), Qt::CaseInsensitive));
        }
        // No query string at all: the feed's own address carried a token in one.
        const QString ours = lines.filter(QRegularExpression("^dotbanner\\.")).join(QLatin1Char('\n'));
        QVERIFY2(!ours.contains(QLatin1String("apikey")) && !ours.contains(QLatin1Char('?')), qPrintable(ours));

        // One warning for each failure, in the category of the library that met it.
        const auto has = [&lines, &log](const char *pattern) {
            const bool found = !lines.filter(QRegularExpression(QString::fromUtf8(pattern))).isEmpty();
            if (!found)
                qWarning("no line matches %s in:\n%s", pattern, qPrintable(log));
            return found;
        };
        QVERIFY2(has("^dotbanner\\.net: GET http://127\\.0\\.0\\.1:\\d+/v1/forecast\\.json: HTTP status 500$"),
                 qPrintable(log));
        QVERIFY(has("^dotbanner\\.net: GET http://127\\.0\\.0\\.1:\\d+/feeds/gone: HTTP status 503$"));
        QVERIFY(has("^dotbanner\\.net: GET http://127\\.0\\.0\\.1:\\d+/feeds/slow: no answer in time$"));
        QVERIFY(has("^dotbanner\\.data: Twelve Data: no quote for \"AAPL\" in its answer \\(code 401\\)$"));
        QVERIFY(has("^dotbanner\\.data: http://127\\.0\\.0\\.1:\\d+/v1/latest answered something other than"));
        QVERIFY(has("^dotbanner\\.news: feed \"Broken\": no entry title in \\d+ bytes"));
        QVERIFY(has("^dotbanner\\.news: feed \"Nowhere\": its address is not an http or https URL$"));
        QVERIFY(has("^dotbanner\\.settings: keyring: .* of \"stockKey\" failed"));
        QVERIFY(has("^dotbanner\\.settings: store: cannot create the folder .*/blocker/dotbanner$"));
        // Debug messages come only when asked for; here they were.
        QVERIFY(has("^dotbanner\\.news: feed \"Good\": 1 titles$"));
        QVERIFY(has("^dotbanner\\.data: refresh of 3 items \\(forced\\)$"));
    }

    void debugIsOffByDefault()
    {
        for (const QLoggingCategory *category : {&lcData(), &lcNews(), &lcNet(), &lcSettings()}) {
            QVERIFY(QByteArray(category->categoryName()).startsWith("dotbanner."));
            QVERIFY(category->isWarningEnabled());
            QVERIFY(!category->isDebugEnabled());
        }
        QLoggingCategory::setFilterRules(QStringLiteral("dotbanner.*.debug=true"));
        const bool enabled = lcNet().isDebugEnabled() && lcSettings().isDebugEnabled();
        QLoggingCategory::setFilterRules(QString());
        QVERIFY(enabled);
    }
};

QTEST_GUILESS_MAIN(TestDiagnostics)
#include "TestDiagnostics.moc"
