#pragma once

#include "led/LedBitmap.h"
#include "settings/SettingsEnums.h"

#include <QObject>
#include <QRect>

#include <functional>
#include <memory>
#include <optional>

class DataService;
class LedView;
class NewsService;
class QMenu;
class QScreen;
class Settings;
class TickerPanel;
class WindowAvoider;
class WindowSystem;

/**
 * Turns the settings, the latest quotes and the latest headlines into the band on screen. It
 * owns the band's panel, its LED view and the window avoider, and rebuilds all of them in
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
     * null; otherwise the controller takes it over as a child.
     */
    TickerController(Settings &settings, DataService &data, NewsService &news, WindowAvoider *avoider,
                     QObject *parent = nullptr);
    ~TickerController() override;

    /** Recomputes the band. Calling it again with nothing changed moves, re-levels and raises nothing. */
    void apply();

    /** Asked for the band's context menu; also handed to the view. */
    void setMenuProvider(std::function<QMenu *()> provider);

    TickerPanel *panel() const { return m_panel.get(); }
    LedView *view() const { return m_view; }
    WindowAvoider *avoider() const { return m_avoider; }
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

    /** The news line's texts while no headline is there yet. */
    static QString loadingMessage();
    static QString noSourceMessage();
    /** When every enabled feed failed and there is nothing to show. */
    static QString unreadableMessage();

private:
    void scheduleApply();
    void watchScreen(QScreen *screen);
    QRect availableArea(QScreen *screen) const;

    Settings &m_settings;
    DataService &m_data;
    NewsService &m_news;
    std::unique_ptr<TickerPanel> m_panel;
    LedView *m_view = nullptr; // owned by the panel
    std::optional<LedBitmap> m_lastNews;
    WindowAvoider *m_avoider = nullptr;
    std::unique_ptr<WindowSystem> m_windowSystem; // reads panels' struts where Qt cannot
    std::function<QMenu *()> m_menuProvider;
    bool m_applyQueued = false;
    Counters m_counters;
};
