#pragma once

#include "band/LineSteps.h"
#include "types/LedBitmap.h"
#include "types/SettingsEnums.h"

#include <QImage>
#include <QList>

#include <cstdint>
#include <memory>
#include <optional>

class QPainter;

/**
 * One endlessly scrolling LED line. It keeps the tiles rendered from its bitmap and the
 * motion: at time t its left edge shows loop column
 * c(t) = (anchorColumn + (t − anchorTime) × columnsPerSecond) mod loopColumns.
 * A new update continues from the column reached, so new content never jumps back to the
 * start. A line in steps (setSteps) shows, instead of c(t), the last of its stops c(t) passed.
 * Times are seconds on a monotonic clock, given by the caller; lengths are logical pixels
 * (points) unless named device pixels.
 */
class ScrollLine
{
public:
    /** What the tiles were made from. */
    struct Content
    {
        LedBitmap bitmap;
        double pitch = 0;
        ColorTheme theme = ColorTheme::greenRed;
        double scale = 1;
        friend bool operator==(const Content &, const Content &) = default;
    };

    /** Where and how fast the line runs; `y` is the line's top edge in the view. */
    struct Placement
    {
        double y = 0;
        double width = 0;
        double speed = 0;
        friend bool operator==(const Placement &, const Placement &) = default;
    };

    /** One rendered run of loop columns. `image` is exactly `deviceWidth` device pixels wide. */
    struct Tile
    {
        double x = 0;     ///< points from the loop's start
        double width = 0; ///< points
        int deviceX = 0;  ///< device pixels from the loop's start
        QImage image;
    };

    /**
     * A loop's tiles, rendered from one content. Made by render(), which touches nothing
     * shared, so a worker thread can make them while the line keeps showing its old tiles.
     */
    struct Rendered
    {
        Content content;
        std::int64_t loopColumns = 1;
        int loopPixels = 0;    ///< device pixels of one loop
        int heightPixels = 0;  ///< device pixels of the line's height
        int expectedTiles = 0; ///< tiles of one loop when none failed
        QList<Tile> tiles;
    };

    enum class Change { none, cleared, placement, content };

    /** Tiles are never wider than this many device pixels. */
    static constexpr int maxTilePixels = 2048;

    /** The loop: the fewest whole copies of a `w`-column bitmap that make at least 64 columns. */
    static std::int64_t loopColumnsFor(std::int64_t w);
    /** Device pixels of one LED: pitch × scale rounded half away from zero, at least 1. */
    static int cellFor(double pitch, double scale);
    /** LED columns per tile for that cell size. */
    static std::int64_t tileColumnsFor(int cell);

    /**
     * Shows `bitmap` (none clears the line) with its top edge at `y`, across `width`, with
     * LEDs of `pitch` points at `scale` device pixels per point, at speed × 7 columns per
     * second. Tiles are rebuilt only when the bitmap, pitch, theme or scale changed; an
     * update equal to the last one does nothing at all. Says what it changed.
     */
    Change update(const std::optional<LedBitmap> &bitmap, double y, double width, double pitch, ColorTheme theme,
                  double speed, double scale, double now);
    /**
     * The same, taking the tiles from `rendered` when they were made from exactly the new
     * content (rendered ahead, off the main thread); otherwise they are rendered here.
     */
    Change update(const std::optional<LedBitmap> &bitmap, double y, double width, double pitch, ColorTheme theme,
                  double speed, double scale, double now, const std::shared_ptr<const Rendered> &rendered);

    /** Renders the tiles of `content`'s loop. Safe on any thread. */
    static std::shared_ptr<const Rendered> render(Content content);

    /** The loop column at the left edge at time `t`; 0 when the line is cleared. */
    double columnAt(double t) const;

    /**
     * Moves in steps between `steps`' stops from now on; empty steps scroll continuously. The
     * column shown at `now` stays where it is when the steps end. Returns whether they changed.
     */
    bool setSteps(const LineSteps &steps, double now);
    const LineSteps &steps() const { return m_steps; }

    /** True while the line has content to show. */
    bool isRunning() const { return m_content.has_value(); }
    /** True while the line moves, so the view must paint frames. */
    bool isMoving() const { return isRunning() && m_columnsPerSecond > 0 && !m_tiles.isEmpty() && !m_pausedAt; }

    /**
     * Stops the line at the column it shows at `now`; columnAt() keeps giving that column,
     * also across updates, until resume(). Returns false when it was paused already.
     */
    bool pause(double now);
    /** Moves on from the column it stopped at: the anchor moves by the time it stood still. */
    bool resume(double now);
    bool isPaused() const { return m_pausedAt.has_value(); }

    const std::optional<Content> &content() const { return m_content; }
    const std::optional<Placement> &placement() const { return m_placement; }
    const QList<Tile> &tiles() const { return m_tiles; }
    double anchorColumn() const { return m_anchorColumn; }
    double anchorTime() const { return m_anchorTime; }
    double columnsPerSecond() const { return m_columnsPerSecond; }
    std::int64_t loopColumns() const { return m_loopColumns; }
    /** Copies of the loop laid side by side: enough to cover the width plus one whole loop. */
    int copies() const { return m_copies; }
    /** Points from the line's top to its bottom. */
    double height() const;

    /**
     * Draws the line as it stands at loop column `column`, on a painter whose coordinates are
     * device pixels, over [0, deviceWidth). The offset is snapped to whole device pixels and
     * only whole tile images are drawn. Returns false when some part had no tile to show.
     */
    bool paint(QPainter &painter, double column, int deviceWidth) const;
    /** Device pixels the loop is shifted left by at loop column `column`, in [0, loop width). */
    int offsetPixels(double column) const;
    /** Device pixels of one loop. */
    int loopPixels() const { return m_loopPixels; }
    /** The line's rectangle in device pixels. */
    QRect deviceRect(int deviceWidth) const;

private:
    void adopt(const Rendered &rendered);
    /** The column the motion reached at `t`, before any step. */
    double scrolledAt(double t) const;

    std::optional<Content> m_content;
    std::optional<Placement> m_placement;
    QList<Tile> m_tiles;
    double m_anchorColumn = 0;
    double m_anchorTime = 0;
    double m_columnsPerSecond = 0;
    std::optional<double> m_pausedAt;
    LineSteps m_steps;
    std::int64_t m_loopColumns = 1;
    int m_copies = 0;
    int m_loopPixels = 0;    ///< device pixels of one loop
    int m_heightPixels = 0;  ///< device pixels of the line's height
    int m_expectedTiles = 0; ///< tiles of one loop when none failed
};
