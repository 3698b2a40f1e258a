#pragma once

#include <QList>
#include <QRectF>
#include <QtGlobal>

#include <functional>

/**
 * One screen as the window system sees it, in device pixels with a top-left origin at the
 * top-left corner of the root window.
 */
struct ScreenRecord
{
    QRectF frame;      ///< the whole screen
    QRectF available;  ///< the screen without panels, docks and other reserved strips
    qreal scale = 1.0; ///< device pixels per logical pixel

    bool operator==(const ScreenRecord &) const = default;
};

/**
 * What the desktop looks like now: its screens and their work areas, where Qt's logical
 * coordinates fall in device pixels and whether a drag is going on; and word of when any of
 * it may have changed, so that its readers need not look again and again.
 */
class DesktopQueries
{
public:
    virtual ~DesktopQueries() = default;

    /**
     * The screens, in the order of QGuiApplication::screens() (the primary one first); empty
     * when there is no display. The available areas leave out what this process reserves.
     */
    virtual QList<ScreenRecord> screens() const = 0;

    /** Turns a rectangle in Qt's logical screen coordinates into device pixels. */
    virtual QRectF toDevice(const QRectF &logical) const = 0;

    /** Whether the left mouse button is held anywhere on the display. */
    virtual bool leftButtonPressed() const = 0;

    /**
     * From now on calls `changed` (on this thread) whenever windows, screens or work areas
     * may have changed, or whether windows can be moved; an empty function stops it. False
     * when this desktop cannot tell: its readers then have to look from time to time.
     */
    virtual bool watchChanges(std::function<void()> changed) = 0;
};
