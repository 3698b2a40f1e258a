// Hours of the band's refreshes compressed into minutes: 20 feeds of 8 titles and 20 quotes,
// served on 127.0.0.1, with the HD two-line band scrolling. The quotes are asked every second
// (every minute in the program) and the feeds every ten seconds (every ten minutes, titles
// new each time), so one minute holds a simulated hour. The first hour warms up; then the
// resident memory is printed after every hour, with its growth per hour over the measured ones.
//
//   band_soak [--hours N] [--feeds N]   (3 hours unless told: one to warm up and two measured;
//                                        20 feeds unless told)
#include "LoopbackHttpServer.h"
#include "MemoryKeyStore.h"
#include "StressFeeds.h"
#include "app/BandSurfaceFactory.h"
#include "app/TickerController.h"
#include "data/DataService.h"
#include "desktop/WindowSystem.h"
#include "net/HttpClient.h"
#include "news/NewsService.h"
#include "settings/Settings.h"
#include "settings/UserDefaults.h"
#include "util/ProcessMemory.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QUuid>

#include <cstdio>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

constexpr int defaultFeeds = 20;
constexpr int titlesPerFeed = 8;
constexpr int quotes = 20;
/** Real milliseconds per simulated hour. */
constexpr int hourMs = 60 * 1000;
/** The program's minute between quote refreshes and ten minutes between feed refreshes, compressed. */
constexpr std::chrono::milliseconds quoteEvery{hourMs / 60};
constexpr int feedsEveryMs = hourMs / 6;

/** Resident memory in megabytes, from /proc/self/status; −1 when it cannot be read. */
double residentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

/** Bytes the C allocator hands out at the moment, in megabytes; −1 where it cannot tell. */
double heapInUseMb()
{
#if defined(__GLIBC__)
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
#else
    return -1;
#endif
}

/** The number after `name` when it is at least `least`, else `fallback`. */
int argument(const QStringList &arguments, const QString &name, int least, int fallback)
{
    const qsizetype at = arguments.indexOf(name);
    if (at < 0 || at + 1 >= arguments.size())
        return fallback;
    bool ok = false;
    const int value = arguments.at(at + 1).toInt(&ok);
    return ok && value >= least ? value : fallback;
}

QByteArray yahooAnswer(double price)
{
    return R"({"chart":{"result":[{"meta":{"regularMarketPrice":)" + QByteArray::number(price, 'f', 2) +
           R"(,"chartPreviousClose":100}}]}})";
}

} // namespace

int main(int argc, char **argv)
{
    ProcessMemory::returnLargeBlocks(); // as the program does
    QApplication app(argc, argv);
    const int hours = argument(app.arguments(), QStringLiteral("--hours"), 2, 3);
    const int feeds = argument(app.arguments(), QStringLiteral("--feeds"), 1, defaultFeeds);

    int round = 0;
    int quoteAnswers = 0;
    LoopbackHttpServer server;
    if (!server.start()) {
        std::fprintf(stderr, "band-soak: cannot listen on 127.0.0.1\n");
        return 1;
    }
    server.setHandler([&](const LoopbackHttpServer::Request &request) {
        const QByteArray path = request.path();
        if (path.startsWith("/feed/"))
            return LoopbackHttpServer::Response(200, stressFeed(path.mid(6).toInt(), round, titlesPerFeed, false),
                                                "application/rss+xml");
        ++quoteAnswers;
        return LoopbackHttpServer::Response(200, yahooAnswer(100 + (quoteAnswers % 97) / 10.0));
    });
    server.serveAllServices();

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "band-soak: no temporary folder\n");
        return 1;
    }
    UserDefaults store(dir.path());
    MemoryKeyStore keys;
    Settings settings(store, keys);
    settings.setVariant(BarVariant::thick);
    settings.setFontStyle(FontStyle::hd);
    settings.setPushWindows(false);
    settings.setStockProvider(StockProvider::yahoo);
    QList<WatchItem> items;
    for (int i = 0; i < quotes; ++i) {
        const QString symbol = QStringLiteral("SOAK%1").arg(i);
        items.append(WatchItem{QUuid::createUuid(), ItemKind::quote, symbol, symbol, std::nullopt});
    }
    settings.setItems(items);
    QList<NewsSource> sources;
    for (int i = 0; i < feeds; ++i) {
        NewsSource source;
        source.id = QUuid::createUuid();
        source.name = QStringLiteral("Flux %1").arg(i);
        source.url = server.baseUrl().toString() + QStringLiteral("/feed/%1").arg(i);
        sources.append(source);
    }
    settings.setNewsSources(sources);

    HttpClient http;
    DataService data(settings, store, http);
    data.setRefreshInterval(quoteEvery);
    NewsService news(settings, http);
    TickerController controller(settings, data, news, nullptr, &BandSurfaceFactory::make, WindowSystem::forPlatform());
    data.start();
    news.start();
    QTimer feedsTimer;
    QObject::connect(&feedsTimer, &QTimer::timeout, [&] {
        server.clearRequests(); // the server keeps every request it answered: not the program's memory
        ++round;
        news.refresh();
    });
    feedsTimer.start(feedsEveryMs);

    int hour = 0;
    double warm = 0;
    QTimer hourly;
    QObject::connect(&hourly, &QTimer::timeout, [&] {
        ++hour;
        const double now = residentMb();
        std::printf("band-soak: hour %d: RSS %.1f MB (heap in use %.1f MB), %d quote answers, %d news rounds\n", hour,
                    now, heapInUseMb(), quoteAnswers, round);
        std::fflush(stdout);
        if (hour == 1)
            warm = now;
        if (hour < hours)
            return;
        const double growth = (now - warm) / (hours - 1);
        std::printf("band-soak: after the first hour %.1f MB, after hour %d %.1f MB: %+.2f MB per hour\n", warm, hours,
                    now, growth);
        app.quit();
    });
    hourly.start(hourMs);
    return app.exec();
}
