#pragma once

#include "band/ScrollLine.h"

#include <QObject>
#include <QThread>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

struct xcb_connection_t;

/**
 * Puts a line's loop into X server pixmaps on a thread of its own, with its own connection to
 * the server, so that a long loop (tens of megabytes for a long news line) never holds up the
 * frames. The pixmaps stay usable from any connection: their ids are the server's. The loop
 * followed by one window width of its start goes into one pixmap when that fits in a pixmap's
 * 32,767 pixels, so that any offset is one copy; longer loops get one pixmap per tile.
 */
class X11LineUploader
{
public:
    /** One server-side pixmap holding device columns [x, x + width) of a line's strip. */
    struct Segment
    {
        std::uint32_t pixmap = 0;
        int x = 0;
        int width = 0;
        friend bool operator==(const Segment &, const Segment &) = default;
    };
    /** A finished upload; `segments` is empty when it failed. The receiver owns the pixmaps. */
    struct Result
    {
        int line = 0;
        quint64 generation = 0;
        std::vector<Segment> segments;
    };
    using Receiver = std::function<void(Result)>;

    /** Pixmaps and 16-bit request coordinates stop here. */
    static constexpr int maxPixmapWidth = 32767;

    /**
     * Connects to the display Qt uses. `receiver` is called on `context`'s thread with each
     * result, in the order of the jobs.
     */
    X11LineUploader(QObject *context, Receiver receiver);
    /** Waits for the upload under way, if any; the pixmaps of dropped jobs are freed. */
    ~X11LineUploader();

    /** Whether the connection works. */
    bool isConnected() const;

    /**
     * Uploads `line` as it stands for a window `deviceWidth` pixels wide, in pixmaps of
     * `depth` bits made for `drawable`'s screen. Returns the job's generation; a later job for
     * the same line makes this one obsolete: it is skipped, or its result is marked so.
     */
    quint64 submit(int lineIndex, const ScrollLine &line, int deviceWidth, std::uint32_t drawable,
                   std::uint8_t depth);
    /** Makes whatever is under way for `lineIndex` obsolete, with no new job. */
    void cancel(int lineIndex) { m_latest[static_cast<std::size_t>(lineIndex)] = ++m_next; }
    /** The generation of the last job for `lineIndex`. */
    quint64 latest(int lineIndex) const { return m_latest[static_cast<std::size_t>(lineIndex)].load(); }

private:
    struct Job
    {
        int line = 0;
        quint64 generation = 0;
        ScrollLine snapshot;
        int deviceWidth = 0;
        std::uint32_t drawable = 0;
        std::uint8_t depth = 0;
    };
    void run(const Job &job);
    bool putImage(std::uint32_t pixmap, const QImage &image, int dstX);
    std::uint32_t gcFor(std::uint32_t pixmap, std::uint8_t depth);
    void sync();

    QObject *m_context;
    Receiver m_receiver;
    QThread m_thread;
    QObject *m_worker = nullptr;
    xcb_connection_t *m_connection = nullptr;
    std::array<std::atomic<quint64>, 2> m_latest{};
    quint64 m_next = 0;

    // Used on the worker thread only.
    std::uint32_t m_gc = 0;
    std::uint8_t m_gcDepth = 0;
    struct Shm;
    Shm *m_shm = nullptr;
};
