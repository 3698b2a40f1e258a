#include "news/NewsService.h"

#include "health/HealthLog.h"
#include "health/SourceHealth.h"
#include "net/HttpClient.h"
#include "net/ResponseFailure.h"
#include "news/FeedParser.h"
#include "news/NewsLog.h"
#include "settings/Settings.h"
#include "util/Cancellation.h"
#include "util/Clock.h"

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

NewsService::NewsService(Settings &settings, HttpClient &http, SourceHealth &health, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_http(http)
    , m_health(health)
{}

NewsService::NewsService(Settings &settings, HttpClient &http, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_http(http)
    , m_ownHealth(std::make_unique<SourceHealth>())
    , m_health(*m_ownHealth)
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
    static NewsService *const instance =
        new NewsService(Settings::shared(), HttpClient::shared(), SourceHealth::shared());
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
    // Feeds past the limit stay in the settings but are never downloaded.
    QList<NewsSource> sources;
    for (const NewsSource &source : m_settings.newsSources()) {
        if (source.enabled && sources.size() < maxActiveNewsSources)
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
        const Fetch fetched = co_await fetch(http, source, cancellation.get());
        if (self)
            self->recordHealth(source, fetched);
        const std::optional<FeedContent> &feed = fetched.content;
        if (!feed) {
            status.insert(source.id, FeedStatus::failed());
            continue;
        }
        status.insert(source.id, FeedStatus::ok(static_cast<int>(feed->items.size())));
        // A title or a name can be any length: cut them before anything measures or draws them.
        const QString name = Headline::shortened(source.name, Headline::maxSourceLength);
        QList<Headline> headlines;
        for (const FeedItem &item : feed->items.first(std::min<qsizetype>(feed->items.size(), perSource)))
            headlines.append(Headline{name, Headline::shortened(item.title, Headline::maxTitleLength), item.link,
                                      item.date, feed->site});
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

QCoro::Task<NewsService::Fetch> NewsService::fetch(HttpClient &http, NewsSource source, Cancellation *cancellation)
{
    Fetch result;
    const std::optional<QUrl> url = feedUrl(source.url);
    if (!url) {
        qCDebug(lcNews, "feed \"%s\": its address is not an http or https URL", qPrintable(source.name));
        result.failure = SourceFailure{FailureKind::badAddress, 0, 0, NetworkProblem::none, Clock::current().now()};
        co_return result;
    }

    HttpClient::Options options;
    options.timeout = HttpClient::standardTimeout;
    options.cancellation = cancellation;
    const HttpResponse response = co_await http.get(*url, options);
    // Error pages are often valid feeds ("feed not found" items); only 2xx counts.
    if (!response.isSuccessStatus()) {
        result.failure = ResponseFailure::of(response, false, Clock::current().now());
        co_return result;
    }

    FeedContent feed = co_await parseInBackground(response.body, *url);
    if (feed.items.isEmpty()) {
        // Debug only: the failure is logged once, when the feed's state changes.
        qCDebug(lcNews, "feed \"%s\": no entry title in %lld bytes (not RSS or Atom, or broken before one)",
                qPrintable(source.name), qlonglong(response.body.size()));
        result.failure = SourceFailure{FailureKind::unreadable, 0, 0, NetworkProblem::none, Clock::current().now()};
        co_return result;
    }
    qCDebug(lcNews, "feed \"%s\": %lld titles", qPrintable(source.name), qlonglong(feed.items.size()));
    result.content = std::move(feed);
    co_return result;
}

void NewsService::recordHealth(const NewsSource &source, const Fetch &fetch)
{
    const SourceId id = SourceId::feedWith(source.id);
    // Names are the user's own text: bounded like on the band before they reach the log.
    const QString name = Headline::shortened(source.name, Headline::maxSourceLength);
    if (fetch.content) {
        HealthLog::success(lcNews(), id, m_health.recordSuccess(id, Clock::current().now()), {}, name);
    } else if (fetch.failure) {
        const auto outcome = m_health.recordFailure(id, *fetch.failure);
        HealthLog::failure(lcNews(), id, outcome, *fetch.failure, {}, name);
    }
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
    m_nothingRead = m_headlines.isEmpty();

    emit statusChanged(m_status);
    if (replaceHeadlines)
        emit headlinesChanged(m_headlines);
    setRefreshing(m_task != nullptr);
}

void NewsService::setHeadlines(const QList<Headline> &headlines)
{
    m_headlines = headlines;
    m_nothingRead = false;
    emit headlinesChanged(m_headlines);
}

void NewsService::setRefreshing(bool refreshing)
{
    if (m_refreshing == refreshing)
        return;
    m_refreshing = refreshing;
    emit refreshingChanged(m_refreshing);
}
