#pragma once

#include "ledview/BandWidget.h"
#include "ledview/FrameStats.h"

#include <QElapsedTimer>
#include <QTimer>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

struct xcb_connection_t;

/**
 * The band drawn by the X server: each line's loop lives in server-side pixmaps, uploaded
 * once per change of content, width, theme or pixel density, and a frame is one copy per
 * line (a few where the loop is wider than a pixmap may be) from those pixmaps into the
 * window at the offset the clock gives. The program itself touches no pixel per frame.
 * Needs Qt on xcb; the widget is a native window that Qt never paints.
 */
class X11BandView : public BandWidget
{
    Q_OBJECT
public:
    explicit X11BandView(BandLines *lines = nullptr, QWidget *parent = nullptr);
    ~X11BandView() override;

    /** Whether this surface can run: Qt on xcb with a usable connection. */
    static bool isAvailable();

    /** Lays the lines out; uploads what changed and shows it. An unchanged layout costs nothing. */
    void refresh() override;
    bool isAnimating() const override { return m_frameTimer.isActive(); }

    /** Pixmap uploads so far, counted per line: tests check that nothing is uploaded twice. */
    int uploads() const { return m_uploads; }
    /** Whether uploads go through shared memory. */
    bool usesSharedMemory() const;

    /** Draws the frame of time `t` now; what the frame timer and exposures do. */
    void drawFrame(double t);

    QPaintEngine *paintEngine() const override { return nullptr; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    /** One server-side pixmap holding device columns [x, x + width) of a line's strip. */
    struct Segment
    {
        std::uint32_t pixmap = 0;
        int x = 0;
        int width = 0;
    };
    /** What the server holds for one line. */
    struct LinePixmaps
    {
        std::vector<Segment> segments;
        int loopPixels = 0; ///< device pixels after which the strip repeats
        int copies = 1;     ///< loops to lay side by side to cover the window
        qint64 key = 0;     ///< the tiles the pixmaps were made from
        int deviceWidth = 0;
    };

    void ensureResources();
    void releaseLine(LinePixmaps &line);
    void upload(int index, int deviceWidth);
    bool putImage(std::uint32_t pixmap, const QImage &image);
    void updateAnimation();
    void frame();
    int deviceWidth() const;

    xcb_connection_t *m_connection = nullptr;
    std::uint32_t m_window = 0;
    std::uint32_t m_gc = 0;
    std::uint8_t m_depth = 0;
    struct Shm;
    std::unique_ptr<Shm> m_shm;
    std::array<LinePixmaps, 2> m_pixmaps;
    int m_uploads = 0;
    double m_scale = 0;

    QTimer m_frameTimer;
    QElapsedTimer m_frameClock;
    qint64 m_nextFrameNs = 0;
    std::unique_ptr<FrameStats> m_stats;
};
