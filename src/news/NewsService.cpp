#include "news/NewsService.h"

#include "net/HttpClient.h"
#include "news/FeedParser.h"
#include "settings/Settings.h"
#include "util/Cancellation.h"

#include <QFuture>
#include <QPointer>
#include <QPromise>
#include <QThreadPool>
#include <QTimer>

#include <qcoro/qcorofuture.h>

namespace {

// A large feed takes tens of milliseconds to parse: keep that off the thread that
// paints the band. The parser works on its own copy of the bytes and shares nothing.
QFuture<FeedContent> parseInBackground(QByteArray body, QUrl address)
{
    auto promise = std::make_shared<QPromise<FeedContent>>();
    QFuture<FeedContent> future = promise->future();
    promise->start();
    QThreadPool::globalInstance()->start([promise, body = std::move(body), address = std::move(address)] {
        promise->addResult(FeedParser::parseFeed(body, address));
        promise->finish();
    });
    return future;
}

} // namespace

NewsService::NewsService(Settings &settings, HttpClient &http, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_http(http)
{}

NewsService::~NewsService()
{
    // A run waiting for a download must not publish into a dead service.
    if (m_task)
        m_task->cancel();
}

NewsService &NewsService::shared()
{
    // Lives as long as the process, like the settings it reads.
    static NewsService *const instance = new NewsService(Settings::shared(), HttpClient::shared());
    return *instance;
}

void NewsService::start()
{
    refresh();
    if (m_timer)
        return;
    // A child of the service: it stops when the service goes, so a tick never reaches a dead one.
    m_timer = new QTimer(this);
    m_timer->setInterval(refreshInterval);
    connect(m_timer, &QTimer::timeout, this, &NewsService::refresh);
    m_timer->start();
}

void NewsService::refresh()
{
    QList<NewsSource> sources;
    for (const NewsSource &source : m_settings.newsSources()) {
        if (source.enabled)
            sources.append(source);
    }

    if (m_task) {
        m_task->cancel();
        m_task.reset();
    }

    if (m_settings.variant() != BarVariant::thick || sources.isEmpty()) {
        setHeadlines({});
        setRefreshing(false);
        return;
    }

    m_task = std::make_shared<Cancellation>();
    setRefreshing(true);
    // The run starts at once and goes on by itself; the task handle is not kept.
    run(std::move(sources), m_task);
}

std::optional<QUrl> NewsService::feedUrl(const QString &address)
{
    const QUrl url(address.trimmed());
    if (!url.isValid())
        return std::nullopt;
    const QString scheme = url.scheme();
    if (scheme.compare(u"http", Qt::CaseInsensitive) != 0 && scheme.compare(u"https", Qt::CaseInsensitive) != 0)
        return std::nullopt;
    return url;
}

QCoro::Task<> NewsService::run(QList<NewsSource> sources, std::shared_ptr<Cancellation> cancellation)
{
    // Everything the run needs is copied here: the service may be gone when a download ends.
    QPointer<NewsService> self(this);
    HttpClient &http = m_http;

    QHash<QUuid, FeedStatus> status;
    QList<QList<Headline>> perFeed;
    for (const NewsSource &source : sources) {
        if (cancellation->isCancelled() || !self)
            co_return;
        const std::optional<FeedContent> feed = co_await fetch(http, source, cancellation.get());
        if (!feed) {
            status.insert(source.id, FeedStatus::failed());
            continue;
        }
        status.insert(source.id, FeedStatus::ok(static_cast<int>(feed->items.size())));
        QList<Headline> headlines;
        for (const FeedItem &item : feed->items.first(std::min<qsizetype>(feed->items.size(), perSource)))
            headlines.append(Headline{source.name, item.title, item.link, item.date, feed->site});
        perFeed.append(std::move(headlines));
    }
    if (cancellation->isCancelled() || !self)
        co_return;

    QList<Headline> interleaved;
    for (int pass = 0; pass < perSource; ++pass) {
        for (const QList<Headline> &feed : std::as_const(perFeed)) {
            if (pass < feed.size())
                interleaved.append(feed.at(pass));
        }
    }
    self->publish(status, interleaved);
}

QCoro::Task<std::optional<FeedContent>> NewsService::fetch(HttpClient &http, NewsSource source,
                                                           Cancellation *cancellation)
{
    const std::optional<QUrl> url = feedUrl(source.url);
    if (!url)
        co_return std::nullopt;

    HttpClient::Options options;
    options.timeout = HttpClient::standardTimeout;
    options.cancellation = cancellation;
    const HttpResponse response = co_await http.get(*url, options);
    // Error pages are often valid feeds ("feed not found" items); only 2xx counts.
    if (!response.isSuccessStatus())
        co_return std::nullopt;

    FeedContent feed = co_await parseInBackground(response.body, *url);
    if (feed.items.isEmpty())
        co_return std::nullopt;
    co_return feed;
}

void NewsService::publish(const QHash<QUuid, FeedStatus> &status, const QList<Headline> &headlines)
{
    // This run is over before anyone hears of it, and both values are in place before
    // either is announced: an observer may call refresh(), and the run it starts (or the
    // headlines it empties) must not be overwritten or forgotten by what follows here.
    m_task.reset();
    for (auto it = status.cbegin(); it != status.cend(); ++it)
        m_status.insert(it.key(), it.value());
    // When every feed failed, the band keeps what it had.
    const bool replaceHeadlines = !headlines.isEmpty();
    if (replaceHeadlines)
        m_headlines = headlines;

    emit statusChanged(m_status);
    if (replaceHeadlines)
        emit headlinesChanged(m_headlines);
    setRefreshing(m_task != nullptr);
}

void NewsService::setHeadlines(const QList<Headline> &headlines)
{
    m_headlines = headlines;
    emit headlinesChanged(m_headlines);
}

void NewsService::setRefreshing(bool refreshing)
{
    if (m_refreshing == refreshing)
        return;
    m_refreshing = refreshing;
    emit refreshingChanged(m_refreshing);
}
