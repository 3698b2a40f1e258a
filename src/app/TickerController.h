#pragma once

#include "led/LedBitmap.h"
#include "ledview/BandLines.h"
#include "ledview/BandSurface.h"
#include "settings/SettingsEnums.h"

#include <QObject>
#include <QRect>

#include <functional>
#include <memory>
#include <optional>

class DataService;
class NewsService;
class QMenu;
class QScreen;
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

    /** Writes a PNG of the unscrolled lines at twice the band's size; false on failure. */
    bool writePNG(const QString &path) const;

    /** Every pointer event over the band, from whichever surface shows it. */
    void pointerEvent(const BandPointerEvent &event);
    /** The news line built by the last apply; none on a one-line band. */
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

private:
    void scheduleApply();
    void watchScreen(QScreen *screen);
    QRect availableArea(QScreen *screen) const;

    Settings &m_settings;
    DataService &m_data;
    NewsService &m_news;
    std::shared_ptr<WindowSystem> m_windowSystem; // reads panels' struts where Qt cannot
    BandLines m_lines;
    std::unique_ptr<BandSurface> m_surface;
    std::optional<LedBitmap> m_lastNews;
    WindowAvoider *m_avoider = nullptr;
    std::function<QMenu *()> m_menuProvider;
    bool m_applyQueued = false;
    Counters m_counters;
};
