#pragma once

#include "band/ScrollLine.h"
#include "line/ItemPictures.h"
#include "line/LedBuilder.h"
#include "types/Headline.h"
#include "types/Quote.h"
#include "types/SettingsEnums.h"
#include "types/UpDownColours.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QUuid>

#include <memory>
#include <mutex>
#include <optional>

/**
 * Builds the band's lines away from the main thread: the LED bitmaps of the quotes and news
 * lines and the tiles rendered from them, so a new line (a long HD news line takes tens of
 * milliseconds with its tiles) never delays a frame. Requests are coalesced: while one is
 * being built, only the latest of those that arrive meanwhile is built next. Results are
 * handed over on the thread the worker lives on, the newest replacing any not yet taken.
 */
class LineWorker : public QObject
{
    Q_OBJECT
public:
    /** Everything a build reads: values only, copied to the worker. */
    struct Request
    {
        QList<Quote> quotes;
        QList<bool> stale;
        bool hasNews = false; ///< a two-line band
        QList<Headline> headlines;
        QString message; ///< the news line's text while there is no headline
        FontStyle style = FontStyle::pixelBold;
        double pitch = 5;
        ColorTheme theme = ColorTheme::greenRed;
        double scale = 1;
        QList<QUuid> alerting; ///< items drawn inverted: their alert fired and was not seen yet
        QList<QUuid> flashing; ///< items drawn bright: their value just changed
        UpDownColours upDown = UpDownColours::greenRed;
        bool sparklines = false; ///< a chart of the day after each stock with a series

        friend bool operator==(const Request &, const Request &) = default;
    };

    struct Result
    {
        Request request;
        LedBuilder::Line quotes;
        std::optional<LedBuilder::Line> news;
        std::shared_ptr<const ScrollLine::Rendered> quoteTiles;
        std::shared_ptr<const ScrollLine::Rendered> newsTiles;
    };

    explicit LineWorker(QObject *parent = nullptr);
    /** Waits for a build in progress; its result is dropped. */
    ~LineWorker() override;

    /** Builds `request` after the build in progress, replacing any still waiting. */
    void submit(Request request);

    /**
     * Blocks until every request submitted so far is built and returns the latest result,
     * which `built` then does not announce. None when nothing was waiting.
     */
    std::optional<Result> finish();

    /** Whether a request is waiting or being built. */
    bool isBusy() const;

    /** Builds one request on the calling thread. */
    static Result build(Request request);
    /**
     * The same, drawing only the news items `newsPictures` does not hold from the last build
     * it served: a republish of mostly the same headlines redraws only the new ones.
     */
    static Result build(Request request, ItemPictures &newsPictures);

signals:
    /** A built result, on the worker's own thread; one replaced by a newer is never announced. */
    void built(const LineWorker::Result &result);

private:
    void run();
    void deliver();

    mutable std::mutex m_mutex;
    std::optional<Request> m_waiting;
    std::optional<Result> m_done;
    bool m_running = false;
    ItemPictures m_newsPictures; ///< used by the running build only
    QThreadPool m_pool;
};
