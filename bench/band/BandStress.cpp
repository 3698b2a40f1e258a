// The band under a stream of news: 32 feeds of 8 titles each, one of them a 1 MB title,
// served on 127.0.0.1 and fetched again every 2 seconds, with the HD two-line band scrolling.
// With --once the feeds are fetched once only: the band then scrolls a news line far wider
// than an X pixmap, and nothing else. Runs until killed; bench/scroll-cpu --stress (--wide)
// measures it from outside.
#include "StressFeeds.h"
#include "app/BandSurfaceFactory.h"
#include "app/TickerController.h"
#include "data/DataService.h"
#include "desktop/WindowSystem.h"
#include "net/HttpClient.h"
#include "news/NewsService.h"
#include "settings/KeyStore.h"
#include "settings/Settings.h"
#include "settings/UserDefaults.h"
#include "util/ProcessMemory.h"

#include <QApplication>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QUuid>

namespace {

constexpr int feeds = 32;
constexpr int titlesPerFeed = 8;

/** Answers GET /feed/<n> with feed n of the current round; enough HTTP for the news service. */
class FeedServer : public QTcpServer
{
public:
    int round = 0;

protected:
    void incomingConnection(qintptr handle) override
    {
        auto *socket = new QTcpSocket(this);
        socket->setSocketDescriptor(handle);
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            const QByteArray request = socket->readAll();
            const int start = request.indexOf("/feed/");
            const int index = start < 0 ? 0 : request.mid(start + 6, 3).split(' ').first().toInt();
            const QByteArray body = stressFeed(index, round, titlesPerFeed, true);
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/rss+xml\r\nConnection: close\r\n"
                          "Content-Length: " +
                          QByteArray::number(body.size()) + "\r\n\r\n" + body);
            socket->disconnectFromHost();
        });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
};

} // namespace

int main(int argc, char **argv)
{
    ProcessMemory::returnLargeBlocks(); // as the program does
    QApplication app(argc, argv);
    FeedServer server;
    if (!server.listen(QHostAddress::LocalHost)) {
        qCritical("band-stress: cannot listen on 127.0.0.1");
        return 1;
    }
    QTemporaryDir dir;
    UserDefaults store(dir.path());
    Settings settings(store, KeyStore::system());
    settings.setVariant(BarVariant::thick);
    settings.setFontStyle(FontStyle::hd);
    settings.setPushWindows(false);
    QList<NewsSource> sources;
    for (int i = 0; i < feeds; ++i) {
        NewsSource source;
        source.id = QUuid::createUuid();
        source.name = QStringLiteral("Flux %1").arg(i);
        source.url = QStringLiteral("http://127.0.0.1:%1/feed/%2").arg(server.serverPort()).arg(i);
        sources.append(source);
    }
    settings.setNewsSources(sources);

    HttpClient http;
    DataService data(settings, store, http);
    NewsService news(settings, http);
    TickerController controller(settings, data, news, nullptr, &BandSurfaceFactory::make, WindowSystem::forPlatform());
    news.start();
    QTimer republish;
    QObject::connect(&republish, &QTimer::timeout, [&] {
        ++server.round;
        news.refresh();
    });
    if (!app.arguments().contains(QStringLiteral("--once")))
        republish.start(2000);
    return app.exec();
}
