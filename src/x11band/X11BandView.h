#pragma once

#include "band/BandLines.h"
#include "band/FramePacer.h"
#include "band/FrameStats.h"
#include "band/LineMotion.h"
#include "band/ScrollLine.h"
#include "x11band/X11BandWindow.h"
#include "x11band/X11Connection.h"
#include "x11band/X11FrameThread.h"
#include "x11band/X11LineUploader.h"
#include "x11band/X11LineWindows.h"
#include "x11band/X11PresentScheduler.h"

#include <QAbstractNativeEventFilter>
#include <QElapsedTimer>
#include <QTimer>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

/**
 * The band drawn by the X server. Each line's loop lives in server-side pixmaps, made on a
 * thread of their own whenever the line's content, the width, the theme or the pixel density
 * changes (the old ones show until the new ones are complete); each line is shown in a child
 * window of its own that lets the pointer through to the band (X11LineWindows).
 *
 * Where the server offers Present, frames are queued a second ahead by vertical blank
 * (X11PresentScheduler), topped up by a coarse timer every half second; any change (content,
 * pause, speed, exposure) queues them again from the next blank. Without Present, a thread of
 * its own draws the frames (X11FrameThread) and the main thread sleeps; should that thread
 * not start, a precise timer draws them.
 *
 * Everything the view asks of the server goes through a connection of its own (X11Connection),
 * which it reads only when it wakes anyway. Needs Qt on xcb; the band's top-level window is
 * one that Qt never paints.
 */
class X11BandView : public X11BandWindow, public QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    /** Shows `lines` (not owned), or lines of its own when null; `system` as X11BandWindow takes it. */
    explicit X11BandView(BandLines *lines = nullptr, OwnWindowHints *system = nullptr);
    ~X11BandView() override;

    /** Whether this surface can run: Qt on xcb with a usable connection. */
    static bool isAvailable();

    /** Lays the lines out; uploads what changed and shows it. An unchanged layout costs nothing. */
    void refresh() override;
    bool isAnimating() const override
    {
        return m_frameTimer.isActive() || m_queueTimer.isActive() || (m_frames && m_frames->isDrawing());
    }

    /** Uploads asked for so far, counted per line: tests check that nothing is uploaded twice. */
    int uploads() const { return m_uploads; }
    /** True while some line's new pixmaps are still being made. */
    bool isUploading() const;
    /** Whether frames of `line` are queued through Present (else drawn by the frame thread or timer). */
    bool presentsLine(int line) const;
    /** Frames the drawing thread drew or queued so far; 0 when there is none. */
    quint64 threadFrames() const { return m_frames ? m_frames->frames() : 0; }
    /** Whether the drawing thread queues its frames on the server ahead of their time. */
    bool threadQueuesFrames() const { return m_frames && m_frames->queuesFrames(); }

    /** Draws every line as it stands at time `t` now, by copies; what exposures do. */
    void drawFrame(double t);

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

protected:
    bool event(QEvent *event) override;
    void exposeEvent(QExposeEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    using Segment = X11LineUploader::Segment;

    /** What a line's pixmaps were made from: any difference needs new pixmaps. */
    struct UploadKey
    {
        qint64 tiles = 0;
        int deviceWidth = 0;
        int loopPixels = 0;
        int height = 0;
        std::uint8_t depth = 0;
        friend bool operator==(const UploadKey &, const UploadKey &) = default;
    };
    /** One line as the server shows it. */
    struct LineState
    {
        std::vector<Segment> segments; ///< empty while the line shows nothing
        UploadKey key;
        LineMotion motion;              ///< how the line the pixmaps show moves
        std::optional<quint64> pending; ///< the upload under way
        UploadKey pendingKey;
        LineMotion pendingMotion; ///< the motion of the line the upload is made from
    };

    void repaintAll();
    bool ensureResources();
    bool openConnection();
    void syncLine(int index, int deviceWidth);
    void uploaded(X11LineUploader::Result result);
    void releaseSegments(std::vector<Segment> &segments);
    void clearLine(int index);
    void placeLineWindow(int index);
    void destroyLineWindow(int index);
    void drawLine(int index, double t);
    void fillUncovered();
    void updateAnimation();
    void handOver(int index);
    void frame();
    int deviceWidth() const;
    bool usesPresent(const LineState &state) const;
    X11PresentScheduler::Line presentedLine(int index) const;
    void presentStopped();

    X11Connection m_connection;
    std::uint32_t m_window = 0;
    std::uint32_t m_root = 0;
    std::uint32_t m_gc = 0;
    std::uint8_t m_depth = 0;
    std::array<LineState, BandLines::lineCount> m_state;
    std::unique_ptr<X11LineWindows> m_windows;
    std::unique_ptr<X11PresentScheduler> m_present; ///< null without Present
    std::unique_ptr<X11LineUploader> m_uploader;
    std::unique_ptr<X11FrameThread> m_frames; ///< draws the lines that scroll without Present
    bool m_framesUnavailable = false;         ///< the thread could not start: the timer draws
    int m_uploads = 0;
    double m_scale = 0;

    QTimer m_frameTimer;
    QElapsedTimer m_frameClock;
    FramePacer m_pacer;
    QTimer m_queueTimer;

    std::unique_ptr<FrameStats> m_stats;
};
