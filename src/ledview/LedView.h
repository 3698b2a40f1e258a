#pragma once

#include "led/LedBitmap.h"
#include "ledview/ScrollLine.h"
#include "settings/SettingsEnums.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QMenu;

/**
 * The band's content: up to two scrolling LED lines stacked at its top, the quotes line and
 * under it the news line. The owner sets the fields and calls refresh(); the view also
 * refreshes itself when its size or pixel density changes. While a line moves, the view
 * paints frames at the screen's refresh rate (at most 60 per second) from a precise timer.
 * A frame shifts what the window already shows by the whole device pixels the line moved and
 * paints only the strip that comes in, by placing pre-rendered tile images at the current
 * offset; a full repaint does the same over the whole view.
 */
class LedView : public QWidget
{
    Q_OBJECT
public:
    explicit LedView(QWidget *parent = nullptr);
    ~LedView() override;

    /** Asked for the band's context menu; the menu stays owned by whoever provides it. */
    std::function<QMenu *()> menuProvider;

    /** What the pointer does over the view, in the view's coordinates (points). */
    struct PointerEvent
    {
        enum class Type { move, leave, press };
        Type type = Type::move;
        QPointF position;
        QPoint globalPosition;
        Qt::MouseButton button = Qt::NoButton;
    };
    /** Told of every pointer move over the view, its leaving, and every button press. */
    std::function<void(const PointerEvent &)> pointerHandler;

    std::optional<LedBitmap> bitmap;     ///< the quotes line
    std::optional<LedBitmap> newsBitmap; ///< the news line; none on a one-line band
    double pitch = 5;                    ///< points per LED cell
    ColorTheme theme = ColorTheme::greenRed;
    double speed = 3;                    ///< the speed setting; the lines move speed × 7 columns per second

    /** Lays both lines out in the view's bounds with the current fields. */
    void refresh();

    /**
     * Writes a PNG of the lines as they stand with no scrolling (each line's first loop column
     * at the left edge), at twice the view's size. Returns false, leaving no file, on failure.
     */
    bool writePNG(const QString &path) const;

    const ScrollLine &quotesLine() const { return m_quotesLine; }
    const ScrollLine &newsLine() const { return m_newsLine; }
    /** Line 0 is the quotes line, 1 the news line. */
    const ScrollLine &line(int index) const { return index == 1 ? m_newsLine : m_quotesLine; }
    /** The line under the point `y` of the view, or -1 when none is there. */
    int lineAt(double y) const;
    /** The loop column at the left edge of line `index` now. */
    double lineColumn(int index) const;
    /** Stops line `index` where it stands, or lets it go on from there without a jump. */
    void setLinePaused(int index, bool paused);

    /** Device pixels per point for the lines: the window's, else the primary screen's, else 2. */
    double backingScale() const;
    /** Nanoseconds between two frames, from the screen's refresh rate (60 Hz when unknown). */
    int frameIntervalNs() const;
    /** True while the frame timer runs. */
    bool isAnimating() const { return m_frameTimer.isActive(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    struct FrameStats;

    static double now();
    void updateAnimation();
    void frame();
    void paintLines(QPainter &painter, double t, int deviceWidth, int deviceHeight) const;
    bool scrollFrame(double t);

    ScrollLine m_quotesLine;
    ScrollLine m_newsLine;
    QTimer m_frameTimer;
    QElapsedTimer m_frameClock;
    qint64 m_nextFrameNs = 0;
    double m_paintedScale = 0;
    /** The time the next paint shows; set by a frame so a partial repaint matches what was scrolled. */
    std::optional<double> m_frameTime;
    /** Whether the window holds a whole painted frame at `m_shownOffsets`, which a scroll can shift. */
    bool m_shownValid = false;
    std::array<int, 2> m_shownOffsets{};
    std::unique_ptr<FrameStats> m_stats;
};
