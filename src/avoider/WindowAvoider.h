#pragma once

#include "desktop/WindowSystem.h"

#include <QObject>
#include <QRectF>

#include <chrono>
#include <memory>

class QTimer;

/**
 * Keeps the strip under a floating band free: while active it looks at the other
 * applications' windows and moves down (top band) or up (bottom band), or shortens, each one
 * that reaches under the band. It looks shortly after the window system reports a change,
 * and otherwise only now and then; where the system reports nothing it looks every 0.8
 * seconds.
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

    /** One pass over the windows; does nothing while windows cannot be moved or a drag goes on. */
    void sweep();

    /** Whether other applications' windows can be moved now (WindowMover::canMoveWindows). */
    bool canMoveWindows() const;
    /** Whether the periodic sweep runs. */
    bool isActive() const { return m_timer != nullptr; }
    QRectF band() const { return m_band; }
    /** The window system the avoider works through (shared with the band). */
    const std::shared_ptr<WindowSystem> &windowSystem() const { return m_system; }

    /**
     * The sweep period where changes are not reported, and the retry period while a button
     * is held; tests shorten it.
     */
    void setSweepInterval(std::chrono::milliseconds interval);
    /** How long after a reported change the sweep runs: changes come in bursts. */
    void setSettleDelay(std::chrono::milliseconds delay);
    /** The sweep period where changes are reported: a safety net for a change never reported. */
    void setBackstopInterval(std::chrono::milliseconds interval);
    /** Whether the window system reports changes, so that the avoider need not poll. */
    bool isNotified() const { return m_notified; }

    static constexpr std::chrono::milliseconds defaultSweepInterval{800};
    static constexpr std::chrono::milliseconds defaultSettleDelay{250};
    static constexpr std::chrono::milliseconds defaultBackstopInterval{10000};

private:
    void stop();
    void changeReported();
    std::chrono::milliseconds periodicInterval() const;

    std::shared_ptr<WindowSystem> m_system;
    QTimer *m_timer = nullptr;  // the periodic sweep, while active
    QTimer *m_settle = nullptr; // the sweep after a reported change, or a retry after a drag
    QRectF m_band;
    bool m_notified = false;
    std::chrono::milliseconds m_interval = defaultSweepInterval;
    std::chrono::milliseconds m_settleDelay = defaultSettleDelay;
    std::chrono::milliseconds m_backstop = defaultBackstopInterval;
};
