#pragma once

#include "band/ScrollLine.h"
#include "types/LedBitmap.h"
#include "types/LineSpan.h"
#include "types/SettingsEnums.h"

#include <QList>
#include <QString>

#include <array>
#include <memory>
#include <optional>

/**
 * What the band shows, independent of the surface that shows it: the quotes line and, under
 * it, the news line, each with its tiles and its motion. Whoever owns the band sets the
 * content fields; a surface calls layout() with its own width and pixel density whenever
 * either changes, and reads each line's tiles and its column at time t for every frame.
 * Times are seconds on the monotonic clock (now()).
 */
class BandLines
{
public:
    enum Line { quotes = 0, news = 1 };
    static constexpr int lineCount = 2;

    std::optional<LedBitmap> bitmap;     ///< the quotes line
    std::optional<LedBitmap> newsBitmap; ///< the news line; none on a one-line band
    double pitch = 5;                    ///< points per LED cell
    ColorTheme theme = ColorTheme::greenRed;
    double speed = 3; ///< the lines move speed × 7 columns per second
    /**
     * Whether the lines move in steps, one item at a time, instead of scrolling; where the
     * items of each line (index: Line) start, in the bitmap it shows.
     */
    bool steps = false;
    std::array<QList<LineSpan>, lineCount> spans;
    /**
     * Tiles rendered ahead for each line (index: Line), taken by layout() when they were made
     * from exactly what it shows; otherwise layout() renders the tiles itself.
     */
    std::array<std::shared_ptr<const ScrollLine::Rendered>, lineCount> rendered;

    /**
     * Lays both lines out across `width` points at `scale` device pixels per point, with the
     * current fields. Tiles are rebuilt only for what changed; returns whether anything did.
     * With `wholePixelLeds`, each LED takes the whole number of device pixels that fits in its
     * pitch (at least one) instead of being resampled to it: at a fractional scale the dots then
     * stay crisp and even, the lines a little shorter than their pitch says.
     */
    bool layout(double width, double scale, double now, bool wholePixelLeds = false);
    /** The pitch the lines were laid out with: `pitch`, or less for whole-pixel LEDs. */
    double shownPitch() const { return m_shownPitch; }

    const ScrollLine &line(int index) const { return m_lines[static_cast<std::size_t>(index)]; }
    const ScrollLine &quotesLine() const { return m_lines[quotes]; }
    const ScrollLine &newsLine() const { return m_lines[news]; }

    /** True while some line moves, so a surface must show frames. */
    bool isMoving() const;

    /**
     * Stops one line where it stands at `now` until resume(); the other keeps moving. When it
     * resumes it continues from the column it stopped at. Returns whether the state changed.
     */
    bool pause(int index, double now);
    bool resume(int index, double now);
    bool isPaused(int index) const;

    /** The line whose rows cover `y` points from the band's top; −1 for none. */
    int lineAt(double y) const;

    /** The width and scale of the last layout. */
    double width() const { return m_width; }
    double scale() const { return m_scale; }

    /**
     * Writes a PNG of the lines as they stand with no scrolling (each line's first loop column
     * at the left edge), `width` × `height` points at twice that size. False, leaving no file,
     * on failure.
     */
    bool writePNG(const QString &path, int width, int height) const;

    /** Seconds on the injectable monotonic clock. */
    static double now();

private:
    ScrollLine &mutableLine(int index) { return m_lines[static_cast<std::size_t>(index)]; }
    /** The steps line `index` takes with the current fields; none while it scrolls. */
    LineSteps stepsOf(int index) const;

    std::array<ScrollLine, lineCount> m_lines;
    double m_width = 0;
    double m_scale = 0;
    double m_shownPitch = 0;
};
