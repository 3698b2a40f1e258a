#pragma once

#include "band/BandSurface.h"
#include "types/SettingsEnums.h"

#include <QWindow>

#include <memory>

class BandLines;
class BandWindowPlacement;
class OwnWindowHints;

/**
 * The band's top-level window on X11, without Qt Widgets: frameless, never focused nor
 * activated by a click or by being shown, on every desktop, out of the taskbar and the pager.
 * Levels: `front` stays above normal windows, `normal` is an ordinary window, `desktop` stays
 * below them. It turns the pointer's events into band pointer events and lays the lines out
 * again when its size or pixel density changes; a subclass draws the frames.
 */
class X11BandWindow : public QWindow
{
    Q_OBJECT
public:
    /**
     * Shows `lines` (not owned; must outlive the window), or lines of its own when null.
     * `system` (not owned, may be null) marks the window as an accessory each time it is shown,
     * reserves its strip and confirms its place.
     */
    explicit X11BandWindow(BandLines *lines, OwnWindowHints *system = nullptr);
    ~X11BandWindow() override;

    BandLines &lines() const { return *m_lines; }

    /** Where the window's pointer events go; none by default. */
    BandPointerHandler pointerHandler;

    /** Lays the lines out in the window's bounds again and shows what changed. */
    virtual void refresh() = 0;
    /** True while frames are being shown. */
    virtual bool isAnimating() const = 0;

    /** Device pixels per point for the lines: the window's screen's. */
    double backingScale() const;
    /** Nanoseconds between two frames, from the screen's refresh rate (60 Hz when unknown). */
    int frameIntervalNs() const;

    /**
     * Puts the window at `frame` (logical screen coordinates) and keeps it there
     * (BandWindowPlacement); returns whether a move was asked for.
     */
    bool placeAt(const QRect &frame);

    WindowLevelMode level() const { return m_level; }
    /** Changes the stacking level; the X window and the properties set on it stay. */
    void setLevel(WindowLevelMode level);

    /** What screen readers find the window as: the band, once it is made readable. */
    QAccessibleInterface *accessibleRoot() const override;

    /**
     * Reserves the band's strip `frame` (logical screen coordinates) along the `edge` of its
     * screen, so that the window manager lays other windows out of it; an empty frame gives
     * it back. Written to the window only when it changes. While it holds one, the window is
     * a dock, which managers leave out of their own struts' rules.
     */
    void reserveStrip(Qt::Edge edge, const QRect &frame);
    /** Whether the band holds a reserved strip now. */
    bool reservesStrip() const { return !m_strip.isEmpty(); }

protected:
    /** Lays the lines out with the window's width and scale; returns whether anything changed. */
    bool layoutLines();

    bool event(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void deliver(BandPointerEvent::Type type, QPointF position, Qt::MouseButton button);
    void applyDockType();

    std::unique_ptr<BandLines> m_ownLines;
    BandLines *m_lines;
    OwnWindowHints *m_system;
    BandWindowPlacement *m_placement;
    WindowLevelMode m_level = WindowLevelMode::front;
    QRect m_strip; // what reserveStrip last wrote; empty for none
    Qt::Edge m_stripEdge = Qt::TopEdge;
};
