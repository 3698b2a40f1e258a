// A Wayland-native window for the tests: an xdg_toplevel that asks to be maximised, fills itself
// with pure red and prints each size the compositor gives it ("configure W H"), so a test sees
// where the compositor lays maximised windows out. Runs until killed or its standard input closes.
//
// Usage: maximised_client (WAYLAND_DISPLAY names the compositor)

#include "wayland/ShmBuffer.h"
#include "wayland/xdg-shell-client-protocol.h"

#include <wayland-client.h>

#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct Client
{
    wl_display *display = nullptr;
    wl_compositor *compositor = nullptr;
    wl_shm *shm = nullptr;
    xdg_wm_base *wmBase = nullptr;
    wl_surface *surface = nullptr;
    xdg_surface *xdgSurface = nullptr;
    xdg_toplevel *toplevel = nullptr;
    int pendingWidth = 0;
    int pendingHeight = 0;
    std::unique_ptr<ShmBuffer> buffer;
    bool closed = false;
};

void global(void *data, wl_registry *registry, uint32_t name, const char *interface, uint32_t)
{
    auto *c = static_cast<Client *>(data);
    if (std::strcmp(interface, wl_compositor_interface.name) == 0)
        c->compositor = static_cast<wl_compositor *>(wl_registry_bind(registry, name, &wl_compositor_interface, 4));
    else if (std::strcmp(interface, wl_shm_interface.name) == 0)
        c->shm = static_cast<wl_shm *>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0)
        c->wmBase = static_cast<xdg_wm_base *>(wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
}

void globalRemove(void *, wl_registry *, uint32_t) {}

const wl_registry_listener registryListener = {global, globalRemove};

void ping(void *, xdg_wm_base *base, uint32_t serial)
{
    xdg_wm_base_pong(base, serial);
}

const xdg_wm_base_listener wmBaseListener = {ping};

void toplevelConfigure(void *data, xdg_toplevel *, int32_t width, int32_t height, wl_array *)
{
    auto *c = static_cast<Client *>(data);
    c->pendingWidth = width;
    c->pendingHeight = height;
}

void toplevelClose(void *data, xdg_toplevel *)
{
    static_cast<Client *>(data)->closed = true;
}

// Sent only to clients that bind version 4 or later: this one binds version 1.
void toplevelBounds(void *, xdg_toplevel *, int32_t, int32_t) {}
void toplevelCapabilities(void *, xdg_toplevel *, wl_array *) {}

const xdg_toplevel_listener toplevelListener = {toplevelConfigure, toplevelClose, toplevelBounds, toplevelCapabilities};

void surfaceConfigure(void *data, xdg_surface *surface, uint32_t serial)
{
    auto *c = static_cast<Client *>(data);
    xdg_surface_ack_configure(surface, serial);
    // Zero means "your choice": a small window until the compositor says otherwise.
    const int width = c->pendingWidth > 0 ? c->pendingWidth : 320;
    const int height = c->pendingHeight > 0 ? c->pendingHeight : 240;
    std::printf("configure %d %d\n", c->pendingWidth, c->pendingHeight);
    std::fflush(stdout);
    if (!c->buffer || c->buffer->size() != QSize(width, height) || c->buffer->isBusy()) {
        c->buffer = std::make_unique<ShmBuffer>(c->shm, QSize(width, height));
        if (!c->buffer->isValid()) {
            std::fprintf(stderr, "maximised_client: no shared memory buffer\n");
            c->closed = true;
            return;
        }
    }
    c->buffer->image().fill(QColor(255, 0, 0));
    wl_surface_attach(c->surface, c->buffer->buffer(), 0, 0);
    wl_surface_damage(c->surface, 0, 0, width, height);
    c->buffer->markBusy();
    wl_surface_commit(c->surface);
}

const xdg_surface_listener surfaceListener = {surfaceConfigure};

} // namespace

int main()
{
    Client c;
    c.display = wl_display_connect(nullptr);
    if (!c.display) {
        std::fprintf(stderr, "maximised_client: no Wayland display\n");
        return 1;
    }
    wl_registry *registry = wl_display_get_registry(c.display);
    wl_registry_add_listener(registry, &registryListener, &c);
    wl_display_roundtrip(c.display);
    if (!c.compositor || !c.shm || !c.wmBase) {
        std::fprintf(stderr, "maximised_client: the compositor lacks wl_compositor, wl_shm or xdg_wm_base\n");
        return 1;
    }
    xdg_wm_base_add_listener(c.wmBase, &wmBaseListener, &c);
    c.surface = wl_compositor_create_surface(c.compositor);
    c.xdgSurface = xdg_wm_base_get_xdg_surface(c.wmBase, c.surface);
    xdg_surface_add_listener(c.xdgSurface, &surfaceListener, &c);
    c.toplevel = xdg_surface_get_toplevel(c.xdgSurface);
    xdg_toplevel_add_listener(c.toplevel, &toplevelListener, &c);
    xdg_toplevel_set_title(c.toplevel, "maximised");
    xdg_toplevel_set_app_id(c.toplevel, "maximised-client");
    xdg_toplevel_set_maximized(c.toplevel);
    wl_surface_commit(c.surface);

    // Events from the compositor, until it closes the window or the test closes our input.
    pollfd fds[2] = {{wl_display_get_fd(c.display), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    while (!c.closed) {
        while (wl_display_prepare_read(c.display) != 0)
            wl_display_dispatch_pending(c.display);
        wl_display_flush(c.display);
        if (poll(fds, 2, -1) < 0) {
            wl_display_cancel_read(c.display);
            break;
        }
        if (fds[0].revents & POLLIN) {
            if (wl_display_read_events(c.display) < 0)
                break;
        } else {
            wl_display_cancel_read(c.display);
            if (fds[0].revents & (POLLERR | POLLHUP))
                break;
        }
        if (wl_display_dispatch_pending(c.display) < 0)
            break;
        if (fds[1].revents & (POLLIN | POLLHUP)) {
            char byte;
            if (read(STDIN_FILENO, &byte, 1) <= 0)
                break;
        }
    }
    c.buffer.reset();
    wl_display_disconnect(c.display);
    return 0;
}
