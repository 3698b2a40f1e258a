#pragma once

#include "types/SettingsEnums.h"

#include <QPointF>
#include <QRect>
#include <QString>

#include <functional>
#include <optional>

class BandLines;
class QWidget;

/**
 * Where the band stands. Surfaces that own a window placed by the window manager use
 * `frame`; a layer-shell surface anchors itself to `edge` of `output` with `height` and asks
 * the compositor for the exclusive strip itself.
 */
struct BandPlacement
{
    QRect frame;                            ///< logical screen coordinates: full screen width, `height` high
    DockPosition edge = DockPosition::top;  ///< the screen edge the band sits on
    int height = 0;                         ///< logical pixels
    QString output;                         ///< the screen's name; empty for the primary one
    WindowLevelMode level = WindowLevelMode::front;
    bool exclusive = false;                 ///< other windows should be kept out of the band's strip

    friend bool operator==(const BandPlacement &, const BandPlacement &) = default;
};

/** A pointer event over the band, from whichever surface shows it. */
struct BandPointerEvent
{
    enum class Type { enter, move, leave, press, release };

    Type type = Type::move;
    QPointF position;                   ///< band-local, logical pixels
    int line = -1;                      ///< the line under the pointer (BandLines::Line), −1 for none
    Qt::MouseButton button = Qt::NoButton;
    std::optional<QPoint> globalPosition; ///< screen coordinates, where the surface knows them
};

/** The one place pointer events over the band go, whatever surface delivered them. */
using BandPointerHandler = std::function<void(const BandPointerEvent &)>;

/**
 * What shows the band: takes a placement and the lines, shows frames at the display's rate
 * while a line moves, and reports pointer events. The lines (tiles and motion) belong to the
 * owner; a surface only reads them, and lays them out (BandLines::layout) with its own width
 * and pixel density whenever those change.
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

    /** A short name for logs and benchmarks: "qt", "x11", "wayland". */
    virtual QString name() const = 0;

    /** The surface's Qt widget when it has one (for tests and menus); null otherwise. */
    virtual QWidget *widget() const { return nullptr; }

    void setPointerHandler(BandPointerHandler handler) { m_pointer = std::move(handler); }

    BandLines &lines() const { return m_lines; }

protected:
    void deliverPointer(const BandPointerEvent &event) const
    {
        if (m_pointer)
            m_pointer(event);
    }

private:
    BandLines &m_lines;
    BandPointerHandler m_pointer;
};
