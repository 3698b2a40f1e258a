// How each feed fares, as the health model and the log tell it.

#include "FakeClock.h"
#include "LoopbackHttpServer.h"
#include "health/SourceHealth.h"
#include "net/HttpClient.h"
#include "news/NewsService.h"
#include "settings/Settings.h"
#include "SettingsFixture.h"

#include <QLoggingCategory>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTest>

#include <memory>

namespace {

QStringList s_log;

void capture(QtMsgType, const QMessageLogContext &context, const QString &message)
{
    if (QByteArray(context.category) == "dotbanner.news")
        s_log << message;
}

QByteArray feed(int count)
{
    QByteArray doc = "<rss version=\"2.0\"><channel><title>T</title>";
    for (int i = 1; i <= count; ++i)
        doc += "<item><title>Title " + QByteArray::number(i) + "</title></item>";
    return doc + "</channel></rss>";
}

NewsSource source(const QString &name, const QString &url)
{
    return NewsSource{QUuid::createUuid(), name, url, true};
}

const QDateTime start(QDate(2026, 3, 2), QTime(14, 0));

} // namespace

class TestFeedHealth : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<SettingsFixture> m_fixture;
    Settings *m_settings = nullptr;
    std::unique_ptr<FakeClock> m_clock;
    std::unique_ptr<HttpClient> m_http;
    std::unique_ptr<LoopbackHttpServer> m_server;
    std::unique_ptr<SourceHealth> m_health;
    std::unique_ptr<NewsService> m_service;
    QtMessageHandler m_previousHandler = nullptr;

    QString url(const char *path) const { return m_server->baseUrl().toString() + QLatin1String(path); }

    void refresh()
    {
        m_service->refresh();
        if (!QTest::qWaitFor([this] { return !m_service->isRefreshing(); }, 15000))
            qFatal("the news refresh did not finish");
    }

    std::optional<SourceFailure> failureOf(const NewsSource &feed) const
    {
        return m_health->record(SourceId::feedWith(feed.id)).lastFailure;
    }

    int requestsTo(const QByteArray &path) const
    {
        int count = 0;
        for (const auto &request : m_server->requests())
            count += request.path() == path;
        return count;
    }

private slots:
    void init()
    {
        m_fixture = std::make_unique<SettingsFixture>();
        m_settings = &m_fixture->settings;
        m_settings->setVariant(BarVariant::thick);
        m_clock = std::make_unique<FakeClock>(start);
        m_http = std::make_unique<HttpClient>();
        m_http->setTimeoutScale(0.02);
        m_server = std::make_unique<LoopbackHttpServer>();
        QVERIFY(m_server->start());
        m_health = std::make_unique<SourceHealth>();
        m_service = std::make_unique<NewsService>(*m_settings, *m_http, *m_health);
        s_log.clear();
        m_previousHandler = qInstallMessageHandler(capture);
    }

    void cleanup()
    {
        qInstallMessageHandler(m_previousHandler);
        m_service.reset();
        m_health.reset();
        m_server.reset();
        m_http.reset();
        m_clock.reset();
        m_settings = nullptr;
        m_fixture.reset();
    }

    void everyFeedHasItsReason()
    {
        LoopbackHttpServer::Response silent;
        silent.neverAnswer = true;
        LoopbackHttpServer::Response loop{301, ""};
        loop.headers.append(qMakePair(QByteArray("Location"), QByteArray("/loop")));
        m_server->setResponse("/good", {200, feed(3), "application/rss+xml"});
        m_server->setResponse("/gone", {404, feed(2), "application/rss+xml"});
        m_server->setResponse("/locked", {403, "no", "text/plain"});
        m_server->setResponse("/busy", {429, "slow down", "text/plain"});
        m_server->setResponse("/down", {503, "", "text/plain"});
        m_server->setResponse("/page", {200, "<html><body>Not a feed</body></html>", "text/html"});
        m_server->setResponse("/silent", silent);
        m_server->setResponse("/loop", loop);
        quint16 closed = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost));
            closed = probe.serverPort();
        }
        const NewsSource good = source("Good", url("/good"));
        const NewsSource gone = source("Gone", url("/gone"));
        const NewsSource locked = source("Locked", url("/locked"));
        const NewsSource busy = source("Busy", url("/busy"));
        const NewsSource down = source("Down", url("/down"));
        const NewsSource page = source("Page", url("/page"));
        const NewsSource slow = source("Slow", url("/silent"));
        const NewsSource circle = source("Circle", url("/loop"));
        const NewsSource refused = source("Refused", QStringLiteral("http://127.0.0.1:%1/feed").arg(closed));
        const NewsSource reader = source("Reader", QStringLiteral("feed://example.invalid/rss"));
        m_settings->setNewsSources({good, gone, locked, busy, down, page, slow, circle, refused, reader});
        refresh();

        QCOMPARE(m_health->record(SourceId::feedWith(good.id)).state, HealthRecord::State::ok);
        QCOMPARE(m_health->record(SourceId::feedWith(good.id)).lastSuccess, start);
        const auto expect = [&](const NewsSource &feed, FailureKind kind, int status) {
            const auto failure = failureOf(feed);
            if (!failure || failure->kind != kind || failure->httpStatus != status) {
                qWarning("%s: kind %d, status %d", qPrintable(feed.name), failure ? int(failure->kind) : -1,
                         failure ? failure->httpStatus : -1);
                return false;
            }
            return m_service->status().value(feed.id) == FeedStatus::failed() &&
                   m_health->record(SourceId::feedWith(feed.id)).isFailing();
        };
        QVERIFY(expect(gone, FailureKind::notFound, 404));
        QVERIFY(expect(locked, FailureKind::accessDenied, 403));
        QVERIFY(expect(busy, FailureKind::tooManyRequests, 429));
        QVERIFY(expect(down, FailureKind::serverError, 503));
        QVERIFY(expect(page, FailureKind::unreadable, 0));
        QVERIFY(expect(slow, FailureKind::timeout, 0));
        QVERIFY(expect(circle, FailureKind::tooManyRedirects, 0));
        QVERIFY(expect(refused, FailureKind::network, 0));
        QCOMPARE(failureOf(refused)->network, NetworkProblem::connectionRefused);
        QVERIFY(expect(reader, FailureKind::badAddress, 0));

        // A feed going round in circles costs six requests a refresh, not fifty.
        QCOMPARE(requestsTo("/loop"), HttpClient::maxRedirects + 1);

        QCOMPARE(s_log, QStringList({
                            "feed \"Gone\": not found (HTTP 404)",
                            "feed \"Locked\": access denied (HTTP 403)",
                            "feed \"Busy\": too many requests (HTTP 429)",
                            "feed \"Down\": server error (HTTP 503)",
                            "feed \"Page\": unreadable answer",
                            "feed \"Slow\": no answer in time",
                            "feed \"Circle\": too many redirects",
                            "feed \"Refused\": network error (connection refused)",
                            "feed \"Reader\": invalid address or symbol, nothing sent",
                        }));

        // The next refresh fails alike: nothing more is told.
        s_log.clear();
        m_server->clearRequests();
        m_server->setResponse("/gone", {200, feed(1), "application/rss+xml"});
        refresh();
        QCOMPARE(requestsTo("/loop"), HttpClient::maxRedirects + 1);
        QCOMPARE(s_log, QStringList({"feed \"Gone\": answering again"}));
        QCOMPARE(m_service->status().value(gone.id), FeedStatus::ok(1));
    }

    void aCancelledDownloadSaysNothing()
    {
        LoopbackHttpServer::Response slow{200, feed(1), "application/rss+xml"};
        slow.delayMs = 300;
        m_server->setResponse("/slow", slow);
        const NewsSource feed = source("Slow", url("/slow"));
        m_settings->setNewsSources({feed});
        m_http->setTimeoutScale(1);
        m_service->refresh();
        QVERIFY(QTest::qWaitFor([&] { return m_server->requestCount() == 1; }, 10000));
        m_service->refresh(); // cancels the first download
        QVERIFY(QTest::qWaitFor([this] { return !m_service->isRefreshing(); }, 15000));
        const HealthRecord record = m_health->record(SourceId::feedWith(feed.id));
        QCOMPARE(record.state, HealthRecord::State::ok);
        QVERIFY(!record.lastFailure);
        QVERIFY(s_log.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestFeedHealth)
#include "TestFeedHealth.moc"
