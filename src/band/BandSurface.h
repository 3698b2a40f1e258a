#pragma once

#include "types/SettingsEnums.h"

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QString>

#include <functional>

class BandLines;
class BandPopups;
class QObject;

/**
 * Where the band stands. Surfaces that own a window placed by the window manager use
 * `frame`; a layer-shell surface anchors itself to `edge` of `output` with `height` and asks
 * the compositor for the exclusive strip itself.
 */
struct BandPlacement
{
    QRect frame;                           ///< logical screen coordinates: full screen width, `height` high
    DockPosition edge = DockPosition::top; ///< the screen edge the band sits on
    int height = 0;                        ///< logical pixels
    QString output;                        ///< the screen's name; empty for the primary one
    WindowLevelMode level = WindowLevelMode::front;
    bool exclusive = false; ///< other windows should be kept out of the band's strip

    friend bool operator==(const BandPlacement &, const BandPlacement &) = default;
};

/** A pointer event over the band, from whichever surface shows it. */
struct BandPointerEvent
{
    enum class Type { enter, move, leave, press, release };

    Type type = Type::move;
    QPointF position; ///< band-local, logical pixels
    int line = -1;    ///< the line under the pointer (BandLines::Line), −1 for none
    Qt::MouseButton button = Qt::NoButton;

    /** The event at `position` over `lines`: the line under it, none when the pointer left. */
    static BandPointerEvent over(const BandLines &lines, Type type, QPointF position,
                                 Qt::MouseButton button = Qt::NoButton);
};

/** The one place pointer events over the band go, whatever surface delivered them. */
using BandPointerHandler = std::function<void(const BandPointerEvent &)>;

/** The pointer's shape over the band. */
enum class BandCursor { normal, pointingHand };

/**
 * What a surface can do besides showing the band. The owner adapts to these, never to which
 * surface runs.
 */
struct BandCapabilities
{
    /** The compositor itself keeps other windows out of the band's strip: no avoider is needed. */
    bool keepsStripClear = false;
    /** The surface sets the pointer's shape over the band (BandSurface::setCursor). */
    bool cursorShapes = false;

    friend bool operator==(const BandCapabilities &, const BandCapabilities &) = default;
};

/**
 * What shows the band: takes a placement and the lines, shows frames at the display's rate
 * while a line moves, and reports pointer events. The lines (tiles and motion) belong to the
 * owner; a surface only reads them, and lays them out (BandLines::layout) with its own width
 * and pixel density whenever those change.
 *
 * Pointer events go up through the surface to the one handler the owner installs; tooltips,
 * the pointer's shape and the context menu come down through it, at band-local points. A
 * surface that cannot draw pop-ups itself hands them, in screen coordinates, to the
 * BandPopups the owner gives it.
 */
class BandSurface
{
public:
    explicit BandSurface(BandLines &lines)
        : m_lines(lines)
    {}
    virtual ~BandSurface() = default;
    BandSurface(const BandSurface &) = delete;
    BandSurface &operator=(const BandSurface &) = delete;

    /**
     * Shows the band at `placement`, or moves or re-levels it. An equal placement for a band
     * already shown changes nothing. Returns what it did, for the owner's counters.
     */
    struct PlaceResult
    {
        bool moved = false;
        bool levelled = false;
    };
    virtual PlaceResult place(const BandPlacement &placement) = 0;

    /**
     * The owner changed the lines' fields, paused or resumed a line: the surface lays them out
     * again and shows the new state from its next frame. Nothing changed costs nothing.
     */
    virtual void linesChanged() = 0;

    /** Whether the band is shown. */
    virtual bool isShown() const = 0;

    /** Device pixels per logical pixel where the band is shown. */
    virtual double scale() const = 0;

    /** The band's frame in logical screen coordinates, as last placed. */
    virtual QRect frame() const = 0;

    /** A short name for logs and benchmarks only ("qt", "x11", "wayland"): nothing branches on it. */
    virtual QString name() const = 0;

    /** What this surface can do besides showing the band. */
    virtual BandCapabilities capabilities() const = 0;

    /**
     * Whether the band holds its strip reserved through the window manager now. The screen's
     * work area as the toolkit reports it then leaves the band's own strip out.
     */
    virtual bool reservesStrip() const { return false; }

    /** Shows `text` as the band's tooltip next to `position` (band-local, logical pixels). */
    virtual void showTooltip(const QPointF &position, const QString &text);
    /** Takes the band's tooltip down. */
    virtual void hideTooltip();
    /** Opens the band's context menu at `position` (band-local, logical pixels). */
    virtual void openMenu(const QPointF &position);
    /** Sets the pointer's shape over the band; surfaces without the `cursorShapes` capability ignore it. */
    virtual void setCursor(BandCursor cursor);

    /**
     * The object screen readers find the band as (BandAccessibility): the band's own window, or
     * an object standing in for it where the band is drawn outside the toolkit. Null for none.
     */
    virtual QObject *accessibleObject() const = 0;

    void setPointerHandler(BandPointerHandler handler) { m_pointer = std::move(handler); }
    /** Where the pop-ups go that the surface does not draw itself; not owned, null for none. */
    void setPopups(BandPopups *popups) { m_popups = popups; }
    BandPopups *popups() const { return m_popups; }

    BandLines &lines() const { return m_lines; }

protected:
    void deliverPointer(const BandPointerEvent &event) const
    {
        if (m_pointer)
            m_pointer(event);
    }

    /** The screen point of the band-local `position`, as precisely as the surface knows it. */
    virtual QPoint toGlobal(const QPointF &position) const = 0;

private:
    BandLines &m_lines;
    BandPointerHandler m_pointer;
    BandPopups *m_popups = nullptr;
};
