#pragma once

#include "band/BandLines.h"
#include "qtband/BandWidget.h"
#include "band/FramePacer.h"
#include "band/FrameStats.h"

#include <QElapsedTimer>
#include <QTimer>

#include <array>
#include <memory>
#include <optional>

/**
 * The band painted by Qt: the lines drawn with QPainter into the window's backing store.
 * While a line moves, the view paints frames at the screen's refresh rate (at most 60 per
 * second) from a precise timer. A frame shifts what the window already shows by the whole
 * device pixels the line moved and paints only the strip that comes in, by placing
 * pre-rendered tile images at the current offset; a full repaint does the same over the
 * whole view. Also the fallback where no faster surface is available.
 */
class LedView : public BandWidget
{
    Q_OBJECT
public:
    /** Shows `lines` (not owned), or lines of its own when null. */
    explicit LedView(BandLines *lines = nullptr, QWidget *parent = nullptr);
    ~LedView() override;

    /** Lays both lines out in the view's bounds with the current fields; repaints only on a change. */
    void refresh() override;

    /** Writes a PNG of the unscrolled lines at twice the view's size; false, leaving no file, on failure. */
    bool writePNG(const QString &path) const;

    const ScrollLine &quotesLine() const { return lines().quotesLine(); }
    const ScrollLine &newsLine() const { return lines().newsLine(); }

    bool isAnimating() const override { return m_frameTimer.isActive(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void updateAnimation();
    void frame();
    void paintLines(QPainter &painter, double t, int deviceWidth, int deviceHeight) const;
    bool scrollFrame(double t);

    QTimer m_frameTimer;
    QElapsedTimer m_frameClock;
    FramePacer m_pacer;
    double m_paintedScale = 0;
    /** The time the next paint shows; set by a frame so a partial repaint matches what was scrolled. */
    std::optional<double> m_frameTime;
    /** Whether the window holds a whole painted frame at `m_shownOffsets`, which a scroll can shift. */
    bool m_shownValid = false;
    std::array<int, 2> m_shownOffsets{};
    std::unique_ptr<FrameStats> m_stats;
};
