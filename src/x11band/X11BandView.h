#pragma once

#include "qtband/BandWidget.h"
#include "band/FramePacer.h"
#include "band/FrameStats.h"
#include "band/LineMotion.h"
#include "band/ScrollLine.h"
#include "x11band/X11FrameThread.h"
#include "x11band/X11LineUploader.h"

#include <QAbstractNativeEventFilter>
#include <QElapsedTimer>
#include <QTimer>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

struct xcb_connection_t;

/**
 * The band drawn by the X server. Each line's loop lives in server-side pixmaps, made on a
 * thread of their own whenever the line's content, the width, the theme or the pixel density
 * changes (the old ones show until the new ones are complete); each line is shown in a child
 * window of its own that lets the pointer through to the band.
 *
 * Where the server offers Present, frames are queued: every half second a coarse timer asks
 * for one PresentPixmap per coming vertical blank, up to a second ahead, each at the offset the
 * line has at the time that blank is shown; the program then sleeps while the server moves the
 * pixels. Any change (content, pause, speed, exposure) queues the frames again from the next
 * blank on: a new present for an already queued blank replaces it. A loop longer than a pixmap
 * may be gets, per batch, the stretch its frames pass over put together on the server.
 * Without Present, a thread of its own draws each frame with a copy per line (a few per
 * line for such long loops) and the main thread sleeps; should that thread not start, a
 * precise timer draws them.
 *
 * Everything the view asks of the server goes through a connection of its own, which it reads
 * only when it wakes anyway: the server's reports of frames shown wake nobody.
 * Needs Qt on xcb; the widget is a native window that Qt never paints.
 */
class X11BandView : public BandWidget, public QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    explicit X11BandView(BandLines *lines = nullptr, QWidget *parent = nullptr);
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

    /** The current vertical blank counter of the band's screen, as far as the view knows it. */
    std::optional<std::uint64_t> currentMsc() const;
    /** The band time of the frame queued for blank `msc`, if it was queued lately. */
    std::optional<double> queuedTime(std::uint64_t msc) const;

    QPaintEngine *paintEngine() const override { return nullptr; }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

protected:
    void paintEvent(QPaintEvent *event) override;
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
    using Motion = LineMotion;
    /** One line as the server shows it. */
    struct LineState
    {
        std::vector<Segment> segments; ///< empty while the line shows nothing
        UploadKey key;
        Motion motion;                  ///< how the line the pixmaps show moves
        std::optional<quint64> pending; ///< the upload under way
        UploadKey pendingKey;
        Motion pendingMotion;           ///< the motion of the line the upload is made from
        std::uint32_t window = 0; ///< the child window the line is shown in
        bool windowPresents = false;
        QRect windowRect;
        std::uint64_t queuedUntil = 0; ///< the last blank a frame is queued for
    };
    /** A blank counter reading: blank `msc` was shown at `ust` microseconds. */
    struct Reference
    {
        std::uint64_t msc = 0;
        std::uint64_t ust = 0;
    };

    bool ensureResources();
    bool openConnection();
    void syncLine(int index, int deviceWidth);
    void uploaded(X11LineUploader::Result result);
    void releaseSegments(std::vector<Segment> &segments);
    void clearLine(int index);
    void placeLineWindow(int index);
    void destroyLineWindow(LineState &state);
    void drawLine(int index, double t);
    void copyColumns(const LineState &state, std::uint32_t drawable, int start, int width) const;
    void fillUncovered();
    void updateAnimation();
    void handOver(int index);
    void frame();
    int deviceWidth() const;
    bool usesPresent(const LineState &state) const;

    // Present
    bool takeReference();
    void askReference();
    void readEvents();
    void queueFrames(int index, bool replace);
    void queueAll();
    void selectStatsWindow();
    double timeOfMsc(std::uint64_t msc) const;
    static std::uint64_t monotonicUs();
    void disablePresent();

    xcb_connection_t *m_connection = nullptr; ///< our own connection to the server
    xcb_connection_t *m_qt = nullptr;         ///< Qt's, for the window Qt made
    std::uint32_t m_window = 0;
    std::uint32_t m_root = 0;
    std::uint32_t m_gc = 0;
    std::uint8_t m_depth = 0;
    std::array<LineState, 2> m_state;
    std::unique_ptr<X11LineUploader> m_uploader;
    std::unique_ptr<X11FrameThread> m_frames; ///< draws the lines that scroll without Present
    bool m_framesUnavailable = false;         ///< the thread could not start: the timer draws
    int m_uploads = 0;
    double m_scale = 0;

    QTimer m_frameTimer;
    QElapsedTimer m_frameClock;
    FramePacer m_pacer;

    bool m_present = false;
    std::uint8_t m_presentOpcode = 0;
    std::uint32_t m_serial = 0;
    std::optional<Reference> m_reference;
    std::optional<Reference> m_baseline; ///< an older reading, for measuring the blank interval
    double m_intervalUs = 1e6 / 60;
    double m_bandOffset = 0; ///< band time minus monotonic seconds
    bool m_bandOffsetSet = false;
    QTimer m_queueTimer;
    struct Queued
    {
        std::uint64_t msc = 0;
        double t = 0;
    };
    std::array<Queued, 256> m_queued{};
    std::uint64_t m_lastRecordedMsc = 0;
    std::uint32_t m_statsWindow = 0; ///< the window whose shown frames the stats record
    std::uint32_t m_statsEid = 0;

    std::unique_ptr<FrameStats> m_stats;
};
