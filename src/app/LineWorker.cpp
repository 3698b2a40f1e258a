#include "app/LineWorker.h"

#include "line/ItemMarks.h"
#include "line/Sparklines.h"
#include "line/UpDownColouring.h"

#include <QMetaObject>

LineWorker::LineWorker(QObject *parent)
    : QObject(parent)
{
    // One thread is enough: builds are coalesced, and fonts are set up once per thread.
    m_pool.setMaxThreadCount(1);
    m_pool.setExpiryTimeout(-1);
}

LineWorker::~LineWorker()
{
    {
        std::lock_guard lock(m_mutex);
        m_waiting.reset();
    }
    m_pool.waitForDone();
}

void LineWorker::submit(Request request)
{
    std::lock_guard lock(m_mutex);
    m_waiting = std::move(request);
    if (m_running)
        return;
    m_running = true;
    m_pool.start([this] { run(); });
}

bool LineWorker::isBusy() const
{
    std::lock_guard lock(m_mutex);
    return m_running;
}

std::optional<LineWorker::Result> LineWorker::finish()
{
    m_pool.waitForDone();
    std::lock_guard lock(m_mutex);
    std::optional<Result> result = std::move(m_done);
    m_done.reset();
    return result;
}

void LineWorker::run()
{
    for (;;) {
        std::optional<Request> request;
        {
            std::lock_guard lock(m_mutex);
            if (!m_waiting) {
                m_running = false;
                return;
            }
            request = std::move(m_waiting);
            m_waiting.reset();
        }
        Result result = build(std::move(*request), m_newsPictures);
        {
            // Each result replaces one not yet handed over, so the main thread takes at most
            // one per pass of its event loop, and always the newest.
            std::lock_guard lock(m_mutex);
            m_done = std::move(result);
        }
        QMetaObject::invokeMethod(this, &LineWorker::deliver, Qt::QueuedConnection);
    }
}

void LineWorker::deliver()
{
    std::optional<Result> result;
    {
        std::lock_guard lock(m_mutex);
        result = std::move(m_done);
        m_done.reset();
    }
    if (result)
        emit built(*result);
}

LineWorker::Result LineWorker::build(Request request)
{
    ItemPictures pictures;
    return build(std::move(request), pictures);
}

LineWorker::Result LineWorker::build(Request request, ItemPictures &newsPictures)
{
    Result result;
    result.quotes = LedBuilder::buildLine(request.quotes, request.style, request.stale);
    if (request.sparklines)
        Sparklines::insert(result.quotes, request.quotes, request.stale);
    ItemMarks::mark(result.quotes.bitmap, result.quotes.spans, request.quotes, request.alerting, request.flashing);
    UpDownColouring::apply(result.quotes.bitmap, request.upDown);
    result.quoteTiles = ScrollLine::render({result.quotes.bitmap, request.pitch, request.theme, request.scale});
    if (request.hasNews) {
        result.news = LedBuilder::buildNewsLine(request.headlines, request.message, request.style, newsPictures);
        result.newsTiles = ScrollLine::render({result.news->bitmap, request.pitch, request.theme, request.scale});
    }
    result.request = std::move(request);
    return result;
}
