#include "wayland/LayerBand.h"

#include "wayland/ShmBuffer.h"
#include "wayland/fractional-scale-v1-client-protocol.h"
#include "wayland/viewporter-client-protocol.h"
#include "wayland/wlr-layer-shell-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <QImage>
#include <QTimer>

#include <cmath>
#include <limits>

namespace {

// After the compositor closed the band, wait this long before asking again, so an output that
// keeps going away cannot make us spin.
constexpr int recreateDelayMs = 50;
// When both buffers are still held by the compositor, look again after this long.
constexpr int busyRetryMs = 4;

std::uint32_t layerValue(LayerBand::Layer layer)
{
    switch (layer) {
    case LayerBand::Layer::bottom:
        return ZWLR_LAYER_SHELL_V1_LAYER_BOTTOM;
    case LayerBand::Layer::top:
        return ZWLR_LAYER_SHELL_V1_LAYER_TOP;
    case LayerBand::Layer::overlay:
        return ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY;
    }
    return ZWLR_LAYER_SHELL_V1_LAYER_TOP;
}

} // namespace

LayerBand::LayerBand(WaylandClient &client, QObject *parent)
    : QObject(parent)
    , m_client(client)
{
    connect(&m_client, &WaylandClient::outputRemoved, this, [this](wl_output *output) {
        if (output == m_enteredOutput)
            m_enteredOutput = nullptr;
        // The band asked for this output: it comes back wherever the compositor puts it.
        if (output == m_boundOutput && m_surface) {
            destroySurface();
            scheduleRecreate();
        }
    });
    connect(&m_client, &WaylandClient::outputChanged, this, [this](wl_output *output) {
        const WaylandClient::Output *info = m_client.outputFor(output);
        if (!info)
            return;
        if (output == m_enteredOutput)
            setScale(info->scale);
        const bool chosenCameBack = !m_config.output.isEmpty() && info->name == m_config.output &&
                                    m_boundOutput != output && m_config.height > 0;
        const bool waiting = !m_surface && m_config.height > 0 && !m_recreatePending;
        if (chosenCameBack || waiting) {
            destroySurface();
            createSurface();
        }
    });
    connect(&m_client, &WaylandClient::disconnected, this, [this] {
        // Nothing more can be sent; forget the objects without touching the dead connection.
        m_surface = nullptr;
        m_layerSurface = nullptr;
        m_frameCallback = nullptr;
        m_configured = m_mapped = false;
    });
}

LayerBand::~LayerBand()
{
    destroySurface();
    m_client.flush();
}

void LayerBand::setPointerHandler(WaylandClient::PointerHandler handler)
{
    m_pointerHandler = std::move(handler);
    if (m_surface)
        m_client.setPointerHandler(m_surface, m_pointerHandler);
}

void LayerBand::setConfig(const Config &config)
{
    if (config == m_config && (m_surface || config.height <= 0))
        return;
    const Config old = m_config;
    m_config = config;
    if (!m_client.isConnected())
        return;
    const wl_output *wantedOutput = outputFor(config);
    // A new layer takes a new surface: sway 1.7 accepts set_layer but keeps drawing the surface
    // in its old layer, and the change is rare (a settings change).
    const bool needsNewSurface =
        !m_surface || config.height <= 0 || wantedOutput != m_boundOutput || old.layer != config.layer;
    if (needsNewSurface) {
        destroySurface();
        createSurface();
        return;
    }
    applyState();
    // The compositor answers with a configure; the next frame commits the new state.
    wl_surface_commit(m_surface);
    m_client.flush();
}

void LayerBand::setAnimating(bool animating)
{
    if (m_animating == animating)
        return;
    m_animating = animating;
    if (animating)
        requestFrame();
}

void LayerBand::requestFrame()
{
    m_frameWanted = true;
    if (!m_frameCallback)
        paintFrame();
}

void LayerBand::createSurface()
{
    if (m_surface || m_config.height <= 0 || !m_client.isConnected())
        return;
    if (m_client.outputs().isEmpty())
        return; // outputChanged creates it when a screen appears
    m_boundOutput = outputFor(m_config);
    m_surface = wl_compositor_create_surface(m_client.compositor());
    static const wl_surface_listener surfaceListener = {handleEnter, handleLeave};
    wl_surface_add_listener(m_surface, &surfaceListener, this);
    if (m_client.fractionalScales()) {
        m_viewport = wp_viewporter_get_viewport(m_client.viewporter(), m_surface);
        m_fractionalScale = wp_fractional_scale_manager_v1_get_fractional_scale(m_client.fractionalScales(), m_surface);
        static const wp_fractional_scale_v1_listener scaleListener = {
            [](void *data, wp_fractional_scale_v1 *, std::uint32_t scale120) {
                // The scale comes in 120ths.
                static_cast<LayerBand *>(data)->setFractionalScale(scale120 / 120.0);
            }};
        wp_fractional_scale_v1_add_listener(m_fractionalScale, &scaleListener, this);
    }
    m_layerSurface = zwlr_layer_shell_v1_get_layer_surface(m_client.layerShell(), m_surface, m_boundOutput,
                                                           layerValue(m_config.layer), "dotbanner");
    static const zwlr_layer_surface_v1_listener layerListener = {handleConfigure, handleClosed};
    zwlr_layer_surface_v1_add_listener(m_layerSurface, &layerListener, this);
    applyState();
    if (m_pointerHandler)
        m_client.setPointerHandler(m_surface, m_pointerHandler);
    // The first commit carries no buffer: the compositor answers with the size to draw.
    wl_surface_commit(m_surface);
    m_client.flush();
}

wl_output *LayerBand::outputFor(const Config &config) const
{
    // A missing output leaves the band on the first one, not wherever the compositor's focus
    // happens to be, so it stays put until the chosen one comes back.
    if (const WaylandClient::Output *named = m_client.outputNamed(config.output))
        return named->output;
    return m_client.outputs().isEmpty() ? nullptr : m_client.outputs().constFirst().output;
}

void LayerBand::applyState()
{
    const std::uint32_t edge =
        m_config.bottomEdge ? ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM : ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP;
    zwlr_layer_surface_v1_set_anchor(m_layerSurface,
                                     edge | ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    // Width 0: anchored to both sides, the compositor gives the output's whole width.
    zwlr_layer_surface_v1_set_size(m_layerSurface, 0, static_cast<std::uint32_t>(m_config.height));
    zwlr_layer_surface_v1_set_exclusive_zone(m_layerSurface, m_config.exclusive ? m_config.height : 0);
    zwlr_layer_surface_v1_set_keyboard_interactivity(m_layerSurface,
                                                     m_takesKeyboard
                                                         ? ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE
                                                         : ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_NONE);
}

void LayerBand::setTakesKeyboard(bool takes)
{
    if (takes == m_takesKeyboard)
        return;
    m_takesKeyboard = takes;
    if (!m_layerSurface || !m_surface)
        return;
    applyState();
    wl_surface_commit(m_surface);
    m_client.flush();
}

void LayerBand::destroySurface()
{
    if (m_layerSurface)
        emit surfaceGoing();
    if (m_frameCallback) {
        wl_callback_destroy(m_frameCallback);
        m_frameCallback = nullptr;
    }
    if (m_surface)
        m_client.setPointerHandler(m_surface, {});
    if (m_fractionalScale) {
        wp_fractional_scale_v1_destroy(m_fractionalScale);
        m_fractionalScale = nullptr;
    }
    if (m_viewport) {
        wp_viewport_destroy(m_viewport);
        m_viewport = nullptr;
    }
    m_fractional = 0;
    if (m_layerSurface) {
        zwlr_layer_surface_v1_destroy(m_layerSurface);
        m_layerSurface = nullptr;
    }
    if (m_surface) {
        wl_surface_destroy(m_surface);
        m_surface = nullptr;
    }
    // A buffer the compositor still holds may be destroyed: it keeps the pixels it needs.
    for (auto &buffer : m_buffers)
        buffer.reset();
    m_boundOutput = nullptr;
    m_enteredOutput = nullptr;
    m_configured = false;
    m_mapped = false;
}

void LayerBand::scheduleRecreate()
{
    if (m_recreatePending)
        return;
    m_recreatePending = true;
    QTimer::singleShot(recreateDelayMs, this, [this] {
        m_recreatePending = false;
        createSurface();
    });
}

QSize LayerBand::pixelSize() const
{
    // At a fractional scale the buffer is the logical size times the scale, rounded, and the
    // viewport shows it at the logical size: one buffer pixel to one pixel of the output.
    if (m_fractional > 0)
        return QSize(static_cast<int>(std::lround(m_size.width() * m_fractional)),
                     static_cast<int>(std::lround(m_size.height() * m_fractional)));
    return m_size * m_scale;
}

ShmBuffer *LayerBand::freeBuffer()
{
    const QSize pixels = pixelSize();
    for (auto &buffer : m_buffers) {
        if (buffer && buffer->size() != pixels && !buffer->isBusy())
            buffer.reset();
        if (!buffer) {
            buffer = std::make_unique<ShmBuffer>(m_client.shm(), pixels);
            if (!buffer->isValid()) {
                buffer.reset();
                return nullptr;
            }
        }
        if (!buffer->isBusy() && buffer->size() == pixels)
            return buffer.get();
    }
    return nullptr;
}

void LayerBand::paintFrame()
{
    if (!m_configured || !m_surface || m_size.isEmpty())
        return;
    if (m_frameCallback) {
        m_frameWanted = true;
        return;
    }
    ShmBuffer *buffer = freeBuffer();
    if (!buffer) {
        m_frameWanted = true;
        QTimer::singleShot(busyRetryMs, this, [this] {
            if (m_frameWanted && !m_frameCallback)
                paintFrame();
        });
        return;
    }
    m_frameWanted = false;
    if (m_painter)
        m_painter(buffer->image(), scale());
    else
        buffer->image().fill(Qt::black);

    if (m_fractional > 0 && m_viewport) {
        wl_surface_set_buffer_scale(m_surface, 1);
        wp_viewport_set_destination(m_viewport, m_size.width(), m_size.height());
    } else {
        wl_surface_set_buffer_scale(m_surface, m_scale);
    }
    wl_surface_attach(m_surface, buffer->buffer(), 0, 0);
    wl_surface_damage_buffer(m_surface, 0, 0, std::numeric_limits<std::int32_t>::max(),
                             std::numeric_limits<std::int32_t>::max());
    m_frameCallback = wl_surface_frame(m_surface);
    static const wl_callback_listener frameListener = {handleFrameDone};
    wl_callback_add_listener(m_frameCallback, &frameListener, this);
    wl_surface_commit(m_surface);
    buffer->markBusy();
    m_mapped = true;
    ++m_frames;
    m_client.flush();
}

void LayerBand::setScale(int scale)
{
    scale = std::max(1, scale);
    if (scale == m_scale)
        return;
    const double before = this->scale();
    m_scale = scale;
    if (this->scale() != before) {
        emit geometryChanged(m_size, this->scale());
        requestFrame();
    }
}

void LayerBand::setFractionalScale(double scale)
{
    // Bounded: a compositor's value is taken between a tenth and eight device pixels a point.
    scale = std::clamp(scale, 0.1, 8.0);
    if (scale == m_fractional)
        return;
    const double before = this->scale();
    m_fractional = scale;
    if (this->scale() != before) {
        emit geometryChanged(m_size, this->scale());
        requestFrame();
    }
}

void LayerBand::handleConfigure(void *data, zwlr_layer_surface_v1 *surface, std::uint32_t serial, std::uint32_t width,
                                std::uint32_t height)
{
    auto *self = static_cast<LayerBand *>(data);
    zwlr_layer_surface_v1_ack_configure(surface, serial);
    const QSize size(static_cast<int>(width), height > 0 ? static_cast<int>(height) : self->m_config.height);
    self->m_configured = true;
    if (size != self->m_size) {
        self->m_size = size;
        emit self->geometryChanged(self->m_size, self->scale());
    }
    // Every configure is answered by a commit, so the compositor applies what it acknowledged.
    self->requestFrame();
}

void LayerBand::handleClosed(void *data, zwlr_layer_surface_v1 *)
{
    auto *self = static_cast<LayerBand *>(data);
    self->destroySurface();
    emit self->closedByCompositor();
    self->scheduleRecreate();
}

void LayerBand::handleFrameDone(void *data, wl_callback *callback, std::uint32_t)
{
    auto *self = static_cast<LayerBand *>(data);
    wl_callback_destroy(callback);
    self->m_frameCallback = nullptr;
    if (self->m_animating || self->m_frameWanted)
        self->paintFrame();
}

void LayerBand::handleEnter(void *data, wl_surface *, wl_output *output)
{
    auto *self = static_cast<LayerBand *>(data);
    self->m_enteredOutput = output;
    if (const WaylandClient::Output *info = self->m_client.outputFor(output))
        self->setScale(info->scale);
}

void LayerBand::handleLeave(void *data, wl_surface *, wl_output *output)
{
    auto *self = static_cast<LayerBand *>(data);
    if (self->m_enteredOutput == output)
        self->m_enteredOutput = nullptr;
}
