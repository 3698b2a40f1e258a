#include "LoopbackHttpServer.h"
#include "ServiceFixture.h"
#include "net/HttpClient.h"
#include "news/NewsService.h"
#include "settings/Settings.h"
#include "settings/UserDefaults.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

#include <memory>
#include <utility>

namespace {

QByteArray feed(const QByteArray &prefix, int count)
{
    QByteArray doc = "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>" + prefix + " channel</title>";
    for (int i = 1; i <= count; ++i)
        doc += "<item><title>" + prefix + QByteArray::number(i) + "</title></item>";
    return doc + "</channel></rss>";
}

LoopbackHttpServer::Response feedResponse(const QByteArray &prefix, int count, int status = 200)
{
    return {status, feed(prefix, count), "application/rss+xml"};
}

NewsSource source(const QString &name, const QString &url, bool enabled = true)
{
    return NewsSource{QUuid::createUuid(), name, url, enabled};
}

QStringList texts(const QList<Headline> &headlines)
{
    QStringList out;
    for (const Headline &headline : headlines)
        out << headline.source + ":" + headline.title;
    return out;
}

} // namespace

class TestNewsService : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_services = std::make_unique<ServiceFixture>();
        m_settings = &m_services->settings;
        m_http = &m_services->http;
        m_server = &m_services->server;
        m_settings->setVariant(BarVariant::thick);
        m_http->setTimeoutScale(0.02); // 300 ms instead of 15 s
        QVERIFY(m_server->start());
        m_service = std::make_unique<NewsService>(*m_settings, *m_http);
    }

    void cleanup()
    {
        m_service.reset();
        m_services.reset();
    }

    void interleavesFeedsAndRecordsStatus()
    {
        m_server->setResponse("/a", feedResponse("A", 12));
        m_server->setResponse("/b", feedResponse("B", 3));
        const NewsSource a = source("Alpha", url("/a"));
        const NewsSource b = source("Beta", url("/b"));
        const NewsSource c = source("Gamma", closedPortUrl());
        m_settings->setNewsSources({a, b, c});

        QSignalSpy refreshing(m_service.get(), &NewsService::refreshingChanged);
        m_service->refresh();
        QVERIFY(m_service->isRefreshing());
        QVERIFY(finish());

        QCOMPARE(m_service->status().value(a.id), FeedStatus::ok(12));
        QCOMPARE(m_service->status().value(b.id), FeedStatus::ok(3));
        QCOMPARE(m_service->status().value(c.id), FeedStatus::failed());
        QCOMPARE(texts(m_service->headlines()),
                 QStringList({"Alpha:A1", "Beta:B1", "Alpha:A2", "Beta:B2", "Alpha:A3", "Beta:B3", "Alpha:A4",
                              "Alpha:A5", "Alpha:A6", "Alpha:A7", "Alpha:A8"}));
        QCOMPARE(refreshing.size(), 2);
        QCOMPARE(refreshing.at(0).at(0).toBool(), true);
        QCOMPARE(refreshing.at(1).at(0).toBool(), false);

        // Feeds are fetched one after the other, in list order, with our user agent.
        const auto requests = m_server->requests();
        QCOMPARE(requests.size(), 2);
        QCOMPARE(requests.at(0).target, QByteArray("/a"));
        QCOMPARE(requests.at(1).target, QByteArray("/b"));
        for (const auto &request : requests)
            QCOMPARE(request.headers.value("user-agent"), QByteArray("Mozilla/5.0 (Macintosh) Dotbanner/1.0"));
    }

    void onlySuccessStatusesWithTitlesCount()
    {
        m_server->setResponse("/missing", feedResponse("M", 2, 404));
        m_server->setResponse("/busy", feedResponse("U", 2, 503));
        m_server->setResponse("/empty", feedResponse("E", 0));
        m_server->setResponse("/html", {200, "<html><body><p>Not a feed</p></body></html>", "text/html"});
        m_server->setResponse("/fine", feedResponse("F", 1, 203));
        const QList<NewsSource> sources{source("M", url("/missing")), source("U", url("/busy")),
                                        source("E", url("/empty")), source("H", url("/html")),
                                        source("F", url("/fine"))};
        m_settings->setNewsSources(sources);
        m_service->refresh();
        QVERIFY(finish());

        for (int i = 0; i < 4; ++i)
            QCOMPARE(m_service->status().value(sources.at(i).id), FeedStatus::failed());
        QCOMPARE(m_service->status().value(sources.at(4).id), FeedStatus::ok(1));
        QCOMPARE(texts(m_service->headlines()), QStringList({"F:F1"}));
    }

    void addressRules()
    {
        m_server->setResponse("/feed", feedResponse("T", 1));
        const QString address = url("/feed");
        const QString port = QString::number(m_server->port());
        const QList<NewsSource> refused{
            source("feed scheme", "feed://127.0.0.1:" + port + "/feed"),
            source("file", "file:///etc/hostname"),
            source("ftp", "ftp://127.0.0.1:" + port + "/feed"),
            source("no scheme", "127.0.0.1:" + port + "/feed"),
            source("host only", "localhost/feed"),
            source("empty", "   "),
        };
        m_settings->setNewsSources(refused);
        m_service->refresh();
        QVERIFY(finish());
        QCOMPARE(m_server->requestCount(), 0);
        for (const NewsSource &s : refused)
            QCOMPARE(m_service->status().value(s.id), FeedStatus::failed());

        const NewsSource padded = source("padded", "  \t" + address + " \n");
        const NewsSource upper = source("upper", address.toUpper().replace("/FEED", "/feed"));
        m_settings->setNewsSources({padded, upper});
        m_service->refresh();
        QVERIFY(finish());
        QCOMPARE(m_server->requestCount(), 2);
        QCOMPARE(m_service->status().value(padded.id), FeedStatus::ok(1));
        QCOMPARE(m_service->status().value(upper.id), FeedStatus::ok(1));
    }

    void oneLineOrNoSourceEmptiesWithoutRequest()
    {
        m_server->setResponse("/a", feedResponse("A", 2));
        const NewsSource a = source("A", url("/a"));
        m_settings->setNewsSources({a});
        m_service->refresh();
        QVERIFY(finish());
        QCOMPARE(m_service->headlines().size(), 2);
        m_server->clearRequests();

        QSignalSpy headlines(m_service.get(), &NewsService::headlinesChanged);
        m_settings->setVariant(BarVariant::thin);
        m_service->refresh();
        QVERIFY(m_service->headlines().isEmpty()); // at once, not after a run
        QVERIFY(!m_service->isRefreshing());
        QCOMPARE(headlines.size(), 1);
        QCOMPARE(m_service->status().value(a.id), FeedStatus::ok(2)); // status is left alone

        m_settings->setVariant(BarVariant::thick);
        m_service->refresh();
        QVERIFY(finish());
        QCOMPARE(m_service->headlines().size(), 2);
        m_settings->setNewsSources({source("off", url("/a"), false)});
        m_service->refresh();
        QVERIFY(m_service->headlines().isEmpty());
        QVERIFY(!m_service->isRefreshing());

        QTest::qWait(50);
        QCOMPARE(m_server->requestCount(), 1); // only the run with two lines and a source
    }

    void newRefreshCancelsTheRunningOne()
    {
        LoopbackHttpServer::Response slow = feedResponse("Slow", 3);
        slow.delayMs = 150;
        m_server->setResponse("/slow", slow);
        m_server->setResponse("/fast", feedResponse("Fast", 2));
        const NewsSource first = source("First", url("/slow"));
        const NewsSource other = source("Other", url("/fast"));
        const NewsSource second = source("Second", url("/fast"));

        QSignalSpy headlines(m_service.get(), &NewsService::headlinesChanged);
        QSignalSpy status(m_service.get(), &NewsService::statusChanged);
        m_settings->setNewsSources({first, other});
        m_service->refresh();
        QTRY_COMPARE(m_server->requestCount(), 1); // the first run waits for /slow
        m_settings->setNewsSources({second});
        m_service->refresh();
        QVERIFY(finish());
        QTest::qWait(300); // past the slow answer: the first run must stay silent

        QCOMPARE(headlines.size(), 1);
        QCOMPARE(status.size(), 1);
        QCOMPARE(texts(m_service->headlines()), QStringList({"Second:Fast1", "Second:Fast2"}));
        QVERIFY(!m_service->status().contains(first.id));
        QVERIFY(!m_service->status().contains(other.id));
        QVERIFY(!m_service->isRefreshing());
    }

    void aRefreshFromAnObserverStaysInCharge()
    {
        LoopbackHttpServer::Response slow = feedResponse("Slow", 1);
        slow.delayMs = 150;
        m_server->setResponse("/slow", slow);
        m_server->setResponse("/a", feedResponse("A", 1));
        m_server->setResponse("/b", feedResponse("B", 1));
        m_settings->setNewsSources({source("A", url("/a"))});

        // The settings window may ask for a refresh while it takes in a status.
        bool asked = false;
        connect(m_service.get(), &NewsService::statusChanged, this, [this, &asked] {
            if (std::exchange(asked, true))
                return;
            m_settings->setNewsSources({source("Slow", url("/slow"))});
            m_service->refresh();
        });
        m_service->refresh();
        QTRY_VERIFY(asked);
        QCOMPARE(texts(m_service->headlines()), QStringList({"A:A1"}));
        QVERIFY(m_service->isRefreshing()); // the run started by the observer

        // That run is the one in progress, so the next refresh cancels it.
        QTRY_COMPARE(m_server->requestCount(), 2);
        m_settings->setNewsSources({source("B", url("/b"))});
        m_service->refresh();
        QVERIFY(finish());
        QTest::qWait(300); // past the slow answer: the cancelled run stays silent
        QCOMPARE(texts(m_service->headlines()), QStringList({"B:B1"}));
        QVERIFY(!m_service->isRefreshing());

        // An observer that switches the news line off leaves it empty.
        m_settings->setNewsSources({source("A", url("/a"))});
        connect(m_service.get(), &NewsService::statusChanged, this, [this] {
            m_settings->setVariant(BarVariant::thin);
            m_service->refresh();
        });
        m_service->refresh();
        QVERIFY(finish());
        QCOMPARE(m_service->headlines(), QList<Headline>());
    }

    void statusIsKeptForRemovedSourcesAndHeadlinesWhenAllFail()
    {
        m_server->setResponse("/a", feedResponse("A", 2));
        m_server->setResponse("/b", feedResponse("B", 1));
        const NewsSource a = source("A", url("/a"));
        const NewsSource b = source("B", url("/b"));
        m_settings->setNewsSources({a, b});
        m_service->refresh();
        QVERIFY(finish());
        const QList<Headline> before = m_service->headlines();
        QCOMPARE(texts(before), QStringList({"A:A1", "B:B1", "A:A2"}));

        // B removed, A now failing: nothing to show, so the band keeps the earlier list.
        m_server->setResponse("/a", {500, "oops", "text/plain"});
        m_settings->setNewsSources({a});
        QSignalSpy headlines(m_service.get(), &NewsService::headlinesChanged);
        m_service->refresh();
        QVERIFY(finish());
        QCOMPARE(headlines.size(), 0);
        QCOMPARE(m_service->headlines(), before);
        QCOMPARE(m_service->status().value(a.id), FeedStatus::failed());
        QCOMPARE(m_service->status().value(b.id), FeedStatus::ok(1));
    }

    void whatAFeedHoldsIsBoundedBeforeItIsDrawn()
    {
        // One title of a megabyte, and a feed name pasted far too long.
        const QByteArray huge(1024 * 1024, 'x');
        const QByteArray document =
            "<rss><channel><item><title>" + huge + "</title></item><item><title>short</title></item></channel></rss>";
        m_server->setResponse("/huge", {200, document, "application/rss+xml"});
        const QString longName(5000, QChar(u'N'));
        m_settings->setNewsSources({source(longName, url("/huge"))});
        m_service->refresh();
        QVERIFY(finish());
        const QList<Headline> headlines = m_service->headlines();
        QCOMPARE(headlines.size(), 2);
        QCOMPARE(headlines.at(0).title.size(), Headline::maxTitleLength);
        QCOMPARE(headlines.at(0).title, QString(Headline::maxTitleLength - 1, QChar(u'x')) + QChar(u'\u2026'));
        QCOMPARE(headlines.at(0).source.size(), Headline::maxSourceLength);
        QVERIFY(headlines.at(0).source.endsWith(QChar(u'\u2026')));
        QCOMPARE(headlines.at(1).title, QString("short")); // short ones are left alone
        QCOMPARE(m_service->status().values(), QList<FeedStatus>{FeedStatus::ok(2)});

        // A surrogate pair is never split by the cut.
        const QString emoji = QString(Headline::maxTitleLength - 2, QChar(u'a')) + QChar(0xD83D) + QChar(0xDE00) + u'b';
        const QString cut = Headline::shortened(emoji, Headline::maxTitleLength);
        QVERIFY(cut.size() <= Headline::maxTitleLength);
        QVERIFY(!cut.at(cut.size() - 2).isHighSurrogate());
    }

    void feedsPastTheLimitAreKeptButNotRead()
    {
        m_server->setResponse("/f", feedResponse("F", 1));
        QList<NewsSource> sources;
        sources.append(source("off", url("/f"), false)); // disabled feeds do not count
        for (int i = 0; i < maxActiveNewsSources + 5; ++i)
            sources.append(source(QString::number(i), url("/f")));
        m_settings->setNewsSources(sources);
        m_service->refresh();
        QVERIFY(finish(120000)); // a hundred downloads one after the other, on a busy machine too
        QCOMPARE(m_server->requestCount(), maxActiveNewsSources);
        QCOMPARE(m_settings->newsSources().size(), maxActiveNewsSources + 6);
        QCOMPARE(m_service->status().size(), maxActiveNewsSources);
        QVERIFY(m_service->status().contains(sources.at(maxActiveNewsSources).id));
        QVERIFY(!m_service->status().contains(sources.at(maxActiveNewsSources + 1).id));
    }

    void aPageThatIsNoFeedEndsTheLoading()
    {
        m_server->setResponse("/html", {200, "<!DOCTYPE html><html><head><title>Accueil</title></head>"
                                             "<body><p>Bonjour&nbsp;!</p></body></html>", "text/html"});
        const NewsSource page = source("Page", url("/html"));
        m_settings->setNewsSources({page});
        QVERIFY(!m_service->nothingRead());
        QSignalSpy status(m_service.get(), &NewsService::statusChanged);
        m_service->refresh();
        QVERIFY(finish());
        QCOMPARE(status.count(), 1);
        QCOMPARE(m_service->status().value(page.id), FeedStatus::failed());
        QVERIFY(m_service->nothingRead());

        // Once a feed answers, the news line has titles again.
        m_server->setResponse("/html", feedResponse("R", 1));
        m_service->refresh();
        QVERIFY(finish());
        QVERIFY(!m_service->nothingRead());
        QCOMPARE(texts(m_service->headlines()), QStringList({"Page:R1"}));
    }

    void slowFeedTimesOutAndOthersGoOn()
    {
        LoopbackHttpServer::Response silent;
        silent.neverAnswer = true;
        m_server->setResponse("/silent", silent);
        m_server->setResponse("/b", feedResponse("B", 1));
        const NewsSource a = source("A", url("/silent"));
        const NewsSource b = source("B", url("/b"));
        m_settings->setNewsSources({a, b});
        m_service->refresh();
        QVERIFY(finish());
        QCOMPARE(m_service->status().value(a.id), FeedStatus::failed());
        QCOMPARE(texts(m_service->headlines()), QStringList({"B:B1"}));
    }

    void startRefreshesNowAndEveryTenMinutes()
    {
        m_server->setResponse("/a", feedResponse("A", 1));
        m_settings->setNewsSources({source("A", url("/a"))});
        m_service->start();
        QVERIFY(m_service->isRefreshing());
        QVERIFY(finish());
        QCOMPARE(m_server->requestCount(), 1);

        auto *timer = m_service->findChild<QTimer *>();
        QVERIFY(timer);
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 600 * 1000);
        QMetaObject::invokeMethod(timer, "timeout");
        QVERIFY(finish());
        QCOMPARE(m_server->requestCount(), 2);
    }

    void destroyingTheServiceMidRunIsSafe()
    {
        LoopbackHttpServer::Response slow = feedResponse("S", 1);
        slow.delayMs = 100;
        m_server->setResponse("/slow", slow);
        m_settings->setNewsSources({source("S", url("/slow")), source("T", url("/slow"))});
        m_service->refresh();
        QTRY_COMPARE(m_server->requestCount(), 1);
        m_service.reset();
        QTest::qWait(250);
        QCOMPARE(m_server->requestCount(), 1);
    }

private:
    QString url(const char *path) const { return m_server->baseUrl().toString() + QLatin1String(path); }

    static QString closedPortUrl()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        const quint16 port = probe.serverPort();
        probe.close();
        return QStringLiteral("http://127.0.0.1:%1/c").arg(port);
    }

    bool finish(int timeoutMs = 10000)
    {
        return QTest::qWaitFor([this] { return !m_service->isRefreshing(); }, timeoutMs);
    }

    // The service under test is one of its own, so a test can end it mid-run.
    std::unique_ptr<ServiceFixture> m_services;
    Settings *m_settings = nullptr;
    HttpClient *m_http = nullptr;
    LoopbackHttpServer *m_server = nullptr;
    std::unique_ptr<NewsService> m_service;
};

QTEST_GUILESS_MAIN(TestNewsService)
#include "TestNewsService.moc"
