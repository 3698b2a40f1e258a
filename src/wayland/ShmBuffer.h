#pragma once

#include <QImage>
#include <QSize>

struct wl_buffer;
struct wl_shm;

/**
 * One wl_shm buffer in shared memory, with a QImage that paints straight into it. The
 * compositor reads the pixels after a commit until it releases the buffer; until then the
 * buffer is busy and must not be painted.
 */
class ShmBuffer
{
public:
    /** A buffer of `size` device pixels, opaque 32-bit; isValid() is false when it could not be made. */
    ShmBuffer(wl_shm *shm, QSize size);
    ~ShmBuffer();
    ShmBuffer(const ShmBuffer &) = delete;
    ShmBuffer &operator=(const ShmBuffer &) = delete;

    bool isValid() const { return m_buffer != nullptr; }
    QSize size() const { return m_size; }
    wl_buffer *buffer() const { return m_buffer; }
    /** The pixels, shared with the compositor. */
    QImage &image() { return m_image; }

    bool isBusy() const { return m_busy; }
    /** Called when the buffer is attached and committed: the compositor owns it until released. */
    void markBusy() { m_busy = true; }

private:
    static void handleRelease(void *data, wl_buffer *buffer);

    QSize m_size;
    void *m_memory = nullptr;
    std::size_t m_bytes = 0;
    wl_buffer *m_buffer = nullptr;
    QImage m_image;
    bool m_busy = false;
};
