#pragma once

#include <QImage>
#include <QObject>
#include <QRect>

#include <cstdint>
#include <memory>

class ShmBuffer;
class WaylandClient;
struct wl_seat;
struct wl_surface;
struct xdg_popup;
struct xdg_surface;
struct zwlr_layer_surface_v1;

/**
 * A picture shown as an xdg pop-up of the band's layer surface, next to a place on the band.
 * The compositor draws it above the band and every window and keeps it on the band's output,
 * sliding it along the edge to stay whole. A tooltip takes no pointer: the band under it keeps
 * it. A menu grabs the seat: it takes the pointer, and the compositor takes it down when the
 * user clicks anywhere else.
 */
class LayerPopup : public QObject
{
    Q_OBJECT
public:
    explicit LayerPopup(WaylandClient &client, QObject *parent = nullptr);
    ~LayerPopup() override;

    /**
     * Shows `picture` (its device pixel ratio the scale) beside `anchor` (band-local logical
     * pixels) of `parent`: below it when `below`, else above, starting at its left. Replaces
     * what was shown. False when the compositor offers no xdg shell or the picture is empty.
     */
    bool show(zwlr_layer_surface_v1 *parent, const QRect &anchor, bool below, const QImage &picture);

    /** A grab of `seat` for the press of `serial`: the pop-up is a menu. */
    struct Grab
    {
        wl_seat *seat = nullptr;
        std::uint32_t serial = 0;
    };
    /** As show(), grabbing the seat as `grab` says. */
    bool show(zwlr_layer_surface_v1 *parent, const QRect &anchor, bool below, const QImage &picture,
              const Grab &grab);
    /** Shows `picture`, of the same size, in place of the one up now. */
    void setPicture(const QImage &picture);
    /** The pop-up's surface while it is up; null otherwise. */
    wl_surface *surface() const { return m_surface; }
    /** Where the compositor put the pop-up, relative to the band's surface; empty before it did. */
    QRect placed() const { return m_placed; }
    /** Takes the pop-up down; nothing when none is up. */
    void hide();
    /** Whether a pop-up is up (asked for; the compositor may not have shown it yet). */
    bool isShown() const { return m_popup != nullptr; }
    /** Whether the compositor configured it and its picture was committed. */
    bool isMapped() const { return m_mapped; }

signals:
    /** The compositor took the pop-up down itself. */
    void dismissed();

private:
    void commitPicture();

    static void handleSurfaceConfigure(void *data, xdg_surface *surface, std::uint32_t serial);
    static void handlePopupConfigure(void *data, xdg_popup *popup, std::int32_t x, std::int32_t y, std::int32_t width,
                                     std::int32_t height);
    static void handlePopupDone(void *data, xdg_popup *popup);
    static void handleRepositioned(void *data, xdg_popup *popup, std::uint32_t token);

    WaylandClient &m_client;
    wl_surface *m_surface = nullptr;
    xdg_surface *m_xdgSurface = nullptr;
    xdg_popup *m_popup = nullptr;
    std::unique_ptr<ShmBuffer> m_buffer;
    QImage m_picture;
    QRect m_placed;
    bool m_mapped = false;
};
