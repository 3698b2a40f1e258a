#pragma once

#include "avoider/WindowSystem.h"

#include <QObject>
#include <QRectF>

#include <chrono>
#include <memory>

class QTimer;

/**
 * Keeps the strip under a floating band free: while active it looks at the other
 * applications' windows every 0.8 seconds and moves down (top band) or up (bottom band), or
 * shortens, each one that reaches under the band.
 */
class WindowAvoider : public QObject
{
    Q_OBJECT

public:
    explicit WindowAvoider(std::shared_ptr<WindowSystem> system, QObject *parent = nullptr);
    ~WindowAvoider() override;

    /**
     * Takes the band's rectangle (screen coordinates, logical pixels, top-left origin) and
     * starts or stops the periodic sweep. Active: sweeps at once and then on every tick.
     */
    virtual void update(bool active, const QRectF &band);

    /** One pass over the windows; does nothing without permission or while a drag goes on. */
    void sweep();

    /** Whether the window system lets us move other applications' windows. */
    bool isTrusted() const;
    /** Whether we have asked the desktop for that permission during this run. */
    bool promptedOnce() const { return m_promptedOnce; }
    /** Whether the periodic sweep runs. */
    bool isActive() const { return m_timer != nullptr; }
    QRectF band() const { return m_band; }
    /** The window system the avoider works through (shared with the band). */
    const std::shared_ptr<WindowSystem> &windowSystem() const { return m_system; }

    /** Opens the desktop's permission settings for moving windows, where there are any. */
    void openAccessibilityPane();

    /** The sweep period; tests shorten it. */
    void setSweepInterval(std::chrono::milliseconds interval);

    static constexpr std::chrono::milliseconds defaultSweepInterval{800};

private:
    std::shared_ptr<WindowSystem> m_system;
    QTimer *m_timer = nullptr;
    QRectF m_band;
    bool m_promptedOnce = false;
    std::chrono::milliseconds m_interval = defaultSweepInterval;
};
