#include "wayland/ShmBuffer.h"

#include <wayland-client.h>

#include <QtGlobal>

#include <sys/mman.h>
#include <unistd.h>

#include <limits>

ShmBuffer::ShmBuffer(wl_shm *shm, QSize size)
    : m_size(size)
{
    if (!shm || size.isEmpty())
        return;
    const qint64 stride = qint64(size.width()) * 4;
    const qint64 bytes = stride * size.height();
    // wl_shm takes 32-bit sizes and strides.
    if (bytes > std::numeric_limits<std::int32_t>::max())
        return;
    const int fd = memfd_create("dotbanner-band", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0)
        return;
    if (ftruncate(fd, bytes) != 0) {
        close(fd);
        return;
    }
    void *memory = mmap(nullptr, static_cast<std::size_t>(bytes), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (memory == MAP_FAILED) {
        close(fd);
        return;
    }
    wl_shm_pool *pool = wl_shm_create_pool(shm, fd, static_cast<std::int32_t>(bytes));
    // The compositor maps the file itself; our descriptor is no longer needed.
    close(fd);
    m_buffer = wl_shm_pool_create_buffer(pool, 0, size.width(), size.height(), static_cast<std::int32_t>(stride),
                                         WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    m_memory = memory;
    m_bytes = static_cast<std::size_t>(bytes);
    if (!m_buffer)
        return;
    static const wl_buffer_listener listener = {&ShmBuffer::handleRelease};
    wl_buffer_add_listener(m_buffer, &listener, this);
    // XRGB8888 little-endian is Qt's RGB32: the tiles are drawn with no conversion.
    m_image = QImage(static_cast<uchar *>(m_memory), size.width(), size.height(), static_cast<qsizetype>(stride),
                     QImage::Format_RGB32);
}

ShmBuffer::~ShmBuffer()
{
    m_image = QImage();
    if (m_buffer)
        wl_buffer_destroy(m_buffer);
    if (m_memory)
        munmap(m_memory, m_bytes);
}

void ShmBuffer::handleRelease(void *data, wl_buffer *)
{
    static_cast<ShmBuffer *>(data)->m_busy = false;
}
