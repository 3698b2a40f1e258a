#pragma once

#include "types/SettingsEnums.h"

#include <QWidget>

class BandWindowPlacement;
class OwnWindowHints;

/**
 * The band's window: frameless, opaque black, never focused nor activated by a click, on
 * every desktop, out of the taskbar and the pager. Its one child fills it. Levels: `front`
 * stays above normal windows, `normal` is an ordinary window, `desktop` stays below them.
 */
class TickerPanel : public QWidget
{
    Q_OBJECT
public:
    /**
     * `content` becomes the panel's only child and always covers it. `system` (not owned, may
     * be null) marks the window as an accessory each time it is shown.
     */
    explicit TickerPanel(QWidget *content, OwnWindowHints *system = nullptr, QWidget *parent = nullptr);

    QWidget *content() const { return m_content; }

    /**
     * Puts the window at `frame` (logical screen coordinates) and keeps it there
     * (BandWindowPlacement); once the manager has settled, the frame is asked for once more
     * through the window system. Returns whether a move was asked for.
     */
    bool placeAt(const QRect &frame);

    WindowLevelMode level() const { return m_level; }
    /**
     * Changes the stacking level. Only the native window's flags are changed, so the X window
     * and the properties set on it survive.
     */
    void setLevel(WindowLevelMode level);

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
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void applyDockType();

    QWidget *m_content;
    OwnWindowHints *m_system;
    WindowLevelMode m_level = WindowLevelMode::front;
    QRect m_strip; // what reserveStrip last wrote; empty for none
    Qt::Edge m_stripEdge = Qt::TopEdge;
    BandWindowPlacement *m_placement;
};
