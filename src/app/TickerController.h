#pragma once

#include "app/BandSurfaceFactory.h"
#include "app/LineWorker.h"
#include "app/ShownItems.h"
#include "app/WidgetPopups.h"
#include "band/BandLines.h"
#include "band/BandSurface.h"
#include "types/Headline.h"
#include "types/LedBitmap.h"
#include "types/LineSpan.h"
#include "types/Quote.h"
#include "util/ClockTimer.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QTimer>
#include <QUuid>

#include <functional>
#include <memory>
#include <optional>

class AlertWatcher;
class BandAccessibility;
class BandInteraction;
class BandLook;
class DataService;
class NewsService;
class QMenu;
class MotionChoice;
class QScreen;
class ScreenChoice;
class Settings;
class WindowAvoider;
class WindowSystem;

/**
 * Turns the settings, the latest quotes and the latest headlines into the band on screen. It
 * owns the band's lines, the surface that shows them, what the pointer does on them and the
 * window avoider, and rebuilds them in apply(), which runs once at construction and again after
 * every change of a setting, of the quotes, of the headlines or of the screens (several changes
 * in one pass of the event loop give one apply).
 */
class TickerController : public QObject
{
    Q_OBJECT
public:
    /**
     * Reads `settings`, `data` and `news`, which must outlive the controller. `avoider` may be
     * null; otherwise the controller takes it over as a child. `makeSurface` makes the surface
     * that shows the band, once (BandSurfaceFactory::make in the program). `system` is the
     * process's one window system; when null, the avoider's is used, or none without an avoider.
     */
    TickerController(Settings &settings, DataService &data, NewsService &news, WindowAvoider *avoider,
                     const BandSurfaceFactory::Make &makeSurface, std::shared_ptr<WindowSystem> system = {},
                     QObject *parent = nullptr);
    ~TickerController() override;

    /** Recomputes the band. Calling it again with nothing changed moves, re-levels and raises nothing. */
    void apply();

    /**
     * Shows the items `watcher` says are alerting inverted, until the pointer rests on one or
     * clicks it, which acknowledges it. Null for none; not owned, and must outlive the
     * controller or be replaced first.
     */
    void setAlertWatcher(AlertWatcher *watcher);
    /** The items drawn bright now because their value just changed. */
    QList<QUuid> flashing() const { return m_flashUntil.keys(); }
    /** How long a changed value is drawn bright. */
    static constexpr int flashMs = 1000;

    /** Asked for the band's context menu, opened by a right click on the band. */
    void setMenuProvider(std::function<QMenu *()> provider);
    const std::function<QMenu *()> &menuProvider() const { return m_popups.menuProvider(); }

    /** What the band shows; the surface reads it. */
    BandLines &lines() { return m_lines; }
    const BandLines &lines() const { return m_lines; }
    BandSurface *surface() const { return m_surface.get(); }
    WindowAvoider *avoider() const { return m_avoider; }
    WindowSystem *windowSystem() const { return m_windowSystem.get(); }

    /**
     * Waits for the lines the worker is building and shows them. apply() itself only hands
     * new content to the worker (except the very first, built at once); tests and pictures
     * that need the lines of the last apply call this.
     */
    void finishBuilding();

    /** Writes a PNG of the unscrolled lines of the last apply at twice the band's size; false on failure. */
    bool writePNG(const QString &path);

    /** What the pointer does on the band. */
    BandInteraction *interaction() const { return m_interaction.get(); }

    /** The band's up and down colours and charts; BandLook::shared() until replaced. Not owned. */
    void setBandLook(BandLook &look);

    /** Where the band's screen is chosen; ScreenChoice::shared() until replaced. Not owned. */
    void setScreenChoice(ScreenChoice &choice);
    /** Whether the lines move in steps; MotionChoice::shared() until replaced. Not owned. */
    void setMotionChoice(MotionChoice &choice);
    /** The screen the band was placed on by the last apply. */
    QScreen *bandScreen() const { return m_bandScreen; }

    /** What the lines shown now show, column by column: see LineHit. */
    const QList<LineSpan> &quoteSpans() const { return m_shown.spans(BandLines::quotes); }
    const QList<LineSpan> &newsSpans() const { return m_shown.spans(BandLines::news); }
    /** The quotes and headlines the spans' indices refer to. */
    const QList<Quote> &shownQuotes() const { return m_shown.quotes(); }
    const QList<Headline> &shownHeadlines() const { return m_shown.headlines(); }
    /** Which of the shown quotes were drawn as stale. */
    const QList<bool> &shownStale() const { return m_shown.stale(); }
    /** The news line shown now; none on a one-line band. */
    const std::optional<LedBitmap> &lastNews() const { return m_lastNews; }

    /** How often apply() moved, re-levelled or raised the band, for tests of idempotence. */
    struct Counters
    {
        int applies = 0;
        int moves = 0;
        int levels = 0;
    };
    const Counters &counters() const { return m_counters; }

    /** What a value waiting for its key shows, in the interface's language. */
    static QString missingKeyText();
    /** `quotes` as the band draws them: the missing-key placeholder in the interface's language. */
    static QList<Quote> shownQuotesOf(QList<Quote> quotes);

    /** The news line's texts while no headline is there yet. */
    static QString loadingMessage();
    static QString noSourceMessage();
    /** When every enabled feed failed and there is nothing to show. */
    static QString unreadableMessage();

private:
    void scheduleApply();
    /** Notes which values changed since the previous publication, to draw them bright a while. */
    void noteChanges(const QList<Quote> &quotes);
    /** Drops the flashes that are over and waits for the next one to end. */
    void endFlashes();
    /** The pointer rested on or clicked an item of `line`: its alert has been seen. */
    void onNoticed(int line, const LineSpan &span);
    void checkStaleness();
    QList<bool> staleFlags(const QList<Quote> &quotes) const;
    void watchScreen(QScreen *screen);
    void show(const LineWorker::Result &result);
    LineWorker::Request request() const;
    BandPlacement placement();

    Settings &m_settings;
    DataService &m_data;
    NewsService &m_news;
    std::shared_ptr<WindowSystem> m_windowSystem; // reads panels' struts where Qt cannot
    BandLines m_lines;
    ShownItems m_shown;
    LineWorker m_worker;
    std::optional<LineWorker::Request> m_requested; // the content last handed to the worker
    WidgetPopups m_popups;
    std::unique_ptr<BandSurface> m_surface;
    std::unique_ptr<BandInteraction> m_interaction; // goes before the surface it acts through
    std::unique_ptr<BandAccessibility> m_accessibility; // goes before the surface it reads through
    std::optional<LedBitmap> m_lastNews;
    /** Values turn stale with no publication: the flags are checked again now and then. */
    QTimer m_staleTimer;
    ScreenChoice *m_screenChoice = nullptr;
    MotionChoice *m_motionChoice = nullptr;
    BandLook *m_look = nullptr;
    QScreen *m_bandScreen = nullptr;
    WindowAvoider *m_avoider = nullptr;
    bool m_applyQueued = false;
    AlertWatcher *m_alertWatcher = nullptr;
    QMetaObject::Connection m_alertConnection;
    /** The last value published for each item, to see which one changed. */
    QHash<QUuid, QString> m_lastValues;
    /** Items drawn bright, until this time on the clock's monotonic milliseconds. */
    QHash<QUuid, qint64> m_flashUntil;
    ClockTimer m_flashTimer;
    Counters m_counters;
};
