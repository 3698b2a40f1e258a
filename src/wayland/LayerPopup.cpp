#include "wayland/LayerPopup.h"

#include "wayland/ShmBuffer.h"
#include "wayland/WaylandClient.h"
#include "wayland/wlr-layer-shell-unstable-v1-client-protocol.h"
#include "wayland/xdg-shell-client-protocol.h"

#include <wayland-client.h>

#include <QPainter>

#include <cmath>
#include <limits>

namespace {

// Between the band and its pop-up, logical pixels.
constexpr int gap = 4;

} // namespace

LayerPopup::LayerPopup(WaylandClient &client, QObject *parent)
    : QObject(parent)
    , m_client(client)
{
    connect(&m_client, &WaylandClient::disconnected, this, [this] {
        // Nothing more can be sent; forget the objects without touching the dead connection.
        m_surface = nullptr;
        m_xdgSurface = nullptr;
        m_popup = nullptr;
        m_mapped = false;
    });
}

LayerPopup::~LayerPopup()
{
    hide();
}

bool LayerPopup::show(zwlr_layer_surface_v1 *parent, const QRect &anchor, bool below, const QImage &picture)
{
    return show(parent, anchor, below, picture, Grab{});
}

bool LayerPopup::show(zwlr_layer_surface_v1 *parent, const QRect &anchor, bool below, const QImage &picture,
                      const Grab &grab)
{
    hide();
    if (!parent || picture.isNull() || !m_client.xdgShell() || !m_client.isConnected())
        return false;
    const int scale = std::max(1, static_cast<int>(std::lround(picture.devicePixelRatio())));
    const QSize logical = picture.size() / scale;
    if (logical.isEmpty())
        return false;
    m_picture = picture;

    xdg_positioner *positioner = xdg_wm_base_create_positioner(m_client.xdgShell());
    xdg_positioner_set_size(positioner, logical.width(), logical.height());
    xdg_positioner_set_anchor_rect(positioner, anchor.x(), anchor.y(), std::max(1, anchor.width()),
                                   std::max(1, anchor.height()));
    xdg_positioner_set_anchor(positioner, below ? XDG_POSITIONER_ANCHOR_BOTTOM_LEFT : XDG_POSITIONER_ANCHOR_TOP_LEFT);
    xdg_positioner_set_gravity(positioner,
                               below ? XDG_POSITIONER_GRAVITY_BOTTOM_RIGHT : XDG_POSITIONER_GRAVITY_TOP_RIGHT);
    xdg_positioner_set_offset(positioner, 0, below ? gap : -gap);
    // Along the edge it slides to stay whole on the output; off the band's side it may turn
    // to the other side when there is no room (a band at neither edge).
    xdg_positioner_set_constraint_adjustment(positioner, XDG_POSITIONER_CONSTRAINT_ADJUSTMENT_SLIDE_X |
                                                             XDG_POSITIONER_CONSTRAINT_ADJUSTMENT_FLIP_Y);

    m_surface = wl_compositor_create_surface(m_client.compositor());
    if (!grab.seat) {
        // The pointer goes through to the band under it: an empty input region.
        wl_region *none = wl_compositor_create_region(m_client.compositor());
        wl_surface_set_input_region(m_surface, none);
        wl_region_destroy(none);
    }
    m_xdgSurface = xdg_wm_base_get_xdg_surface(m_client.xdgShell(), m_surface);
    static const xdg_surface_listener surfaceListener = {handleSurfaceConfigure};
    xdg_surface_add_listener(m_xdgSurface, &surfaceListener, this);
    m_popup = xdg_surface_get_popup(m_xdgSurface, nullptr, positioner);
    static const xdg_popup_listener popupListener = {handlePopupConfigure, handlePopupDone, handleRepositioned};
    xdg_popup_add_listener(m_popup, &popupListener, this);
    zwlr_layer_surface_v1_get_popup(parent, m_popup);
    xdg_positioner_destroy(positioner);
    // The grab goes before the first commit, as the protocol asks.
    if (grab.seat)
        xdg_popup_grab(m_popup, grab.seat, grab.serial);
    // The first commit carries no buffer: the compositor answers with a configure.
    wl_surface_commit(m_surface);
    m_client.flush();
    return true;
}

void LayerPopup::hide()
{
    const bool wasShown = m_popup != nullptr;
    if (m_popup)
        xdg_popup_destroy(m_popup);
    if (m_xdgSurface)
        xdg_surface_destroy(m_xdgSurface);
    if (m_surface)
        wl_surface_destroy(m_surface);
    m_popup = nullptr;
    m_xdgSurface = nullptr;
    m_surface = nullptr;
    m_mapped = false;
    m_placed = QRect();
    // A buffer the compositor still holds may be destroyed: it keeps the pixels it needs.
    m_buffer.reset();
    if (wasShown)
        m_client.flush();
}

void LayerPopup::commitPicture()
{
    if (!m_surface)
        return;
    if (!m_buffer || m_buffer->size() != m_picture.size() || m_buffer->isBusy()) {
        m_buffer = std::make_unique<ShmBuffer>(m_client.shm(), m_picture.size());
        if (!m_buffer->isValid()) {
            m_buffer.reset();
            return;
        }
    }
    {
        QPainter painter(&m_buffer->image());
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        QImage picture = m_picture;
        picture.setDevicePixelRatio(1);
        painter.drawImage(0, 0, picture);
    }
    const int scale = std::max(1, static_cast<int>(std::lround(m_picture.devicePixelRatio())));
    wl_surface_set_buffer_scale(m_surface, scale);
    wl_surface_attach(m_surface, m_buffer->buffer(), 0, 0);
    wl_surface_damage_buffer(m_surface, 0, 0, std::numeric_limits<std::int32_t>::max(),
                             std::numeric_limits<std::int32_t>::max());
    wl_surface_commit(m_surface);
    m_buffer->markBusy();
    m_mapped = true;
    m_client.flush();
}

void LayerPopup::handleSurfaceConfigure(void *data, xdg_surface *surface, std::uint32_t serial)
{
    auto *self = static_cast<LayerPopup *>(data);
    xdg_surface_ack_configure(surface, serial);
    self->commitPicture();
}

void LayerPopup::setPicture(const QImage &picture)
{
    if (picture.isNull() || picture.size() != m_picture.size())
        return;
    m_picture = picture;
    if (m_mapped)
        commitPicture();
}

void LayerPopup::handlePopupConfigure(void *data, xdg_popup *, std::int32_t x, std::int32_t y, std::int32_t width,
                                      std::int32_t height)
{
    static_cast<LayerPopup *>(data)->m_placed = QRect(x, y, width, height);
}

void LayerPopup::handlePopupDone(void *data, xdg_popup *)
{
    auto *self = static_cast<LayerPopup *>(data);
    self->hide();
    emit self->dismissed();
}

void LayerPopup::handleRepositioned(void *, xdg_popup *, std::uint32_t) {}
