#pragma once

#include "app/LineWorker.h"
#include "types/Quote.h"
#include "types/LedBitmap.h"
#include "band/BandLines.h"
#include "band/BandSurface.h"
#include "types/LineSpan.h"
#include "types/Headline.h"
#include "types/SettingsEnums.h"

#include <QList>
#include <QObject>
#include <QRect>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class BandInteraction;
class DataService;
class NewsService;
class QMenu;
class QScreen;
class ScreenChoice;
class Settings;
class TickerPanel;
class WindowAvoider;
class WindowSystem;
struct ScreenRecord;

/**
 * Turns the settings, the latest quotes and the latest headlines into the band on screen. It
 * owns the band's lines, the surface that shows them and the window avoider, and rebuilds them in
 * apply(), which runs once at construction and again after every change of a setting, of
 * the quotes, of the headlines or of the screens (several changes in one pass of the event
 * loop give one apply).
 */
class TickerController : public QObject
{
    Q_OBJECT
public:
    /**
     * Reads `settings`, `data` and `news`, which must outlive the controller. `avoider` may be
     * null; otherwise the controller takes it over as a child. `system` is the process's one
     * window system; when null, the avoider's is used, or none without an avoider.
     */
    TickerController(Settings &settings, DataService &data, NewsService &news, WindowAvoider *avoider,
                     std::shared_ptr<WindowSystem> system = {}, QObject *parent = nullptr);
    ~TickerController() override;

    /** Recomputes the band. Calling it again with nothing changed moves, re-levels and raises nothing. */
    void apply();

    /** Asked for the band's context menu, opened by a right click on the band. */
    void setMenuProvider(std::function<QMenu *()> provider);
    const std::function<QMenu *()> &menuProvider() const { return m_menuProvider; }

    /** What the band shows; the surface reads it. */
    BandLines &lines() { return m_lines; }
    const BandLines &lines() const { return m_lines; }
    BandSurface *surface() const { return m_surface.get(); }
    /** The band's top-level window where the surface has one (not on a layer-shell surface). */
    TickerPanel *panel() const;
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

    /** Every pointer event over the band, from whichever surface shows it. */
    void pointerEvent(const BandPointerEvent &event);
    /** What the pointer does on the band besides the context menu. */
    BandInteraction *interaction() const { return m_interaction; }
    Settings &settings() const { return m_settings; }

    /** Where the band's screen is chosen; ScreenChoice::shared() until replaced. Not owned. */
    void setScreenChoice(ScreenChoice &choice);
    /** The connected screen named `name`, or the primary screen when there is none by that name. */
    static QScreen *screenNamed(const QString &name);
    /** The screen the band was placed on by the last apply. */
    QScreen *bandScreen() const { return m_bandScreen; }

    /** What the lines shown now show, column by column: see LineHit. */
    const QList<LineSpan> &quoteSpans() const { return m_quoteSpans; }
    const QList<LineSpan> &newsSpans() const { return m_newsSpans; }
    /** The quotes and headlines the spans' indices refer to. */
    const QList<Quote> &shownQuotes() const { return m_shownQuotes; }
    const QList<Headline> &shownHeadlines() const { return m_shownHeadlines; }
    /** Which of the shown quotes were drawn as stale. */
    const QList<bool> &shownStale() const { return m_shownStale; }
    /** The news line shown now; none on a one-line band. */
    const std::optional<LedBitmap> &lastNews() const { return m_lastNews; }

    /** How often apply() moved, re-levelled or raised the panel, for tests of idempotence. */
    struct Counters
    {
        int applies = 0;
        int moves = 0;
        int levels = 0;
    };
    const Counters &counters() const { return m_counters; }

    /**
     * The band's frame on a screen whose whole area is `screen` and whose area without
     * panels is `available`: full width, at the top or the bottom of the available area.
     */
    static QRect bandFrame(const QRect &screen, const QRect &available, DockPosition position, int height);

    /**
     * The area without panels of the screen at `geometry` (logical pixels) from the window
     * system's `record` of it (device pixels); empty when the record gives nothing usable.
     */
    static QRect workArea(const QRect &geometry, const ScreenRecord &record);

    /** The surface named by DOTBANNER_SURFACE ("qt"), or the best one for the platform. */
    static std::unique_ptr<BandSurface> makeSurface(BandLines &lines, WindowSystem *system);

    /** The news line's texts while no headline is there yet. */
    static QString loadingMessage();
    static QString noSourceMessage();
    /** When every enabled feed failed and there is nothing to show. */
    static QString unreadableMessage();

private:
    void scheduleApply();
    void checkStaleness();
    QList<bool> staleFlags(const QList<Quote> &quotes) const;
    void watchScreen(QScreen *screen);
    void show(const LineWorker::Result &result);
    QRect availableArea(QScreen *screen) const;

    Settings &m_settings;
    DataService &m_data;
    NewsService &m_news;
    std::shared_ptr<WindowSystem> m_windowSystem; // reads panels' struts where Qt cannot
    BandLines m_lines;
    LineWorker m_worker;
    std::optional<LineWorker::Request> m_requested; // the content last handed to the worker
    std::unique_ptr<BandSurface> m_surface;
    std::optional<LedBitmap> m_lastNews;
    QList<LineSpan> m_quoteSpans;
    QList<LineSpan> m_newsSpans;
    QList<Quote> m_shownQuotes;
    QList<Headline> m_shownHeadlines;
    QList<bool> m_shownStale;
    /** Values turn stale with no publication: the flags are checked again now and then. */
    QTimer m_staleTimer;
    ScreenChoice *m_screenChoice = nullptr;
    QScreen *m_bandScreen = nullptr;
    BandInteraction *m_interaction = nullptr; // a child of the controller
    WindowAvoider *m_avoider = nullptr;
    std::function<QMenu *()> m_menuProvider;
    bool m_applyQueued = false;
    Counters m_counters;
};
