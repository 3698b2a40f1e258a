#include "wayland/WaylandClient.h"

#include "wayland/wlr-layer-shell-unstable-v1-client-protocol.h"
#include "wayland/xdg-output-unstable-v1-client-protocol.h"
#include "wayland/fractional-scale-v1-client-protocol.h"
#include "wayland/viewporter-client-protocol.h"
#include "wayland/xdg-shell-client-protocol.h"

#include <wayland-client.h>
#include <wayland-cursor.h>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QHash>
#include <QSocketNotifier>
#include <QtDebug>

#include <linux/input-event-codes.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include <unistd.h>

namespace {

// Versions we speak; a compositor offering more serves us these.
constexpr std::uint32_t compositorVersion = 4;
constexpr std::uint32_t layerShellVersion = 3;
constexpr std::uint32_t seatVersion = 5;
constexpr std::uint32_t outputVersion = 4;
constexpr std::uint32_t xdgOutputVersion = 3;
constexpr std::uint32_t xdgShellVersion = 3;
constexpr int defaultCursorSize = 24;
constexpr int maxCursorSize = 256;
// Names and descriptions come from the compositor: keep what a person could read, no more.
constexpr qsizetype maxOutputText = 256;

QString outputText(const char *text)
{
    return text ? QString::fromUtf8(text).left(maxOutputText).simplified() : QString();
}

template<typename T>
T *bind(wl_registry *registry, std::uint32_t name, const wl_interface *interface, std::uint32_t offered,
        std::uint32_t wanted)
{
    return static_cast<T *>(wl_registry_bind(registry, name, interface, std::min(offered, wanted)));
}

struct ProbeState
{
    bool layerShell = false;
};

void probeGlobal(void *data, wl_registry *, std::uint32_t, const char *interface, std::uint32_t)
{
    if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0)
        static_cast<ProbeState *>(data)->layerShell = true;
}

void probeGlobalRemove(void *, wl_registry *, std::uint32_t) {}

Qt::MouseButton qtButton(std::uint32_t button)
{
    switch (button) {
    case BTN_LEFT:
        return Qt::LeftButton;
    case BTN_RIGHT:
        return Qt::RightButton;
    case BTN_MIDDLE:
        return Qt::MiddleButton;
    default:
        return Qt::NoButton;
    }
}

} // namespace

/** Which of our surfaces the pointer is over, and where. */
struct WaylandClient::PointerState
{
    QHash<wl_surface *, PointerHandler> handlers;
    wl_surface *focus = nullptr;
    std::uint32_t enterSerial = 0; ///< set_cursor must name the entry it answers
    std::uint32_t pressSerial = 0; ///< a pop-up's grab must name the press that opened it
    QPointF position;

    void deliver(WaylandPointerEvent::Type type, Qt::MouseButton button = Qt::NoButton) const
    {
        const auto handler = handlers.constFind(focus);
        if (handler != handlers.cend() && *handler)
            (*handler)(WaylandPointerEvent{type, position, button});
    }
};

WaylandClient::Probe WaylandClient::probe()
{
    Probe result;
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return result;
    wl_display *display = wl_display_connect(nullptr);
    if (!display)
        return result;
    ProbeState state;
    wl_registry *registry = wl_display_get_registry(display);
    static const wl_registry_listener listener = {probeGlobal, probeGlobalRemove};
    wl_registry_add_listener(registry, &listener, &state);
    result.connected = wl_display_roundtrip(display) >= 0;
    result.layerShell = result.connected && state.layerShell;
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return result;
}

std::unique_ptr<WaylandClient> WaylandClient::connect(QObject *parent)
{
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return nullptr;
    wl_display *display = wl_display_connect(nullptr);
    if (!display)
        return nullptr;
    std::unique_ptr<WaylandClient> client(new WaylandClient(display, parent));
    if (!client->bindGlobals())
        return nullptr;
    return client;
}

WaylandClient::WaylandClient(wl_display *display, QObject *parent)
    : QObject(parent)
    , m_display(display)
    , m_pointerState(std::make_unique<PointerState>())
{}

WaylandClient::~WaylandClient()
{
    delete m_notifier;
    if (m_cursorSurface)
        wl_surface_destroy(m_cursorSurface);
    if (m_cursorTheme)
        wl_cursor_theme_destroy(m_cursorTheme);
    if (auto *dispatcher = QAbstractEventDispatcher::instance(thread()))
        QObject::disconnect(dispatcher, nullptr, this, nullptr);
    if (m_pointer)
        wl_pointer_release(m_pointer);
    if (m_keyboard)
        wl_keyboard_release(m_keyboard);
    if (m_seat)
        wl_seat_release(m_seat);
    for (const Output &output : std::as_const(m_outputs))
        releaseOutput(output);
    if (m_xdgOutputs)
        zxdg_output_manager_v1_destroy(m_xdgOutputs);
    if (m_xdgShell)
        xdg_wm_base_destroy(m_xdgShell);
    if (m_fractionalScales)
        wp_fractional_scale_manager_v1_destroy(m_fractionalScales);
    if (m_viewporter)
        wp_viewporter_destroy(m_viewporter);
    if (m_layerShell)
        zwlr_layer_shell_v1_destroy(m_layerShell);
    if (m_shm)
        wl_shm_destroy(m_shm);
    if (m_compositor)
        wl_compositor_destroy(m_compositor);
    if (m_registry)
        wl_registry_destroy(m_registry);
    wl_display_flush(m_display);
    wl_display_disconnect(m_display);
}

bool WaylandClient::bindGlobals()
{
    m_registry = wl_display_get_registry(m_display);
    static const wl_registry_listener listener = {registryGlobal, registryGlobalRemove};
    wl_registry_add_listener(m_registry, &listener, this);
    // The first round trip lists the globals, the second brings the outputs' and seat's details;
    // the xdg-outputs asked for meanwhile answer by the third.
    for (int i = 0; i < 3; ++i) {
        if (wl_display_roundtrip(m_display) < 0)
            return false;
    }
    if (!m_compositor || !m_shm || !m_layerShell)
        return false;

    m_notifier = new QSocketNotifier(wl_display_get_fd(m_display), QSocketNotifier::Read);
    QObject::connect(m_notifier, &QSocketNotifier::activated, this, &WaylandClient::readEvents);
    // Requests made while handling Qt events leave in one write, just before the loop sleeps.
    if (auto *dispatcher = QAbstractEventDispatcher::instance(thread()))
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &WaylandClient::dispatchPending);
    return true;
}

void WaylandClient::flush()
{
    if (isConnected() && wl_display_flush(m_display) < 0 && errno != EAGAIN)
        fail();
}

void WaylandClient::readEvents()
{
    if (!isConnected())
        return;
    // The notifier says the socket is readable, so this never waits.
    if (wl_display_dispatch(m_display) < 0) {
        fail();
        return;
    }
    flush();
}

void WaylandClient::dispatchPending()
{
    if (!isConnected())
        return;
    if (wl_display_dispatch_pending(m_display) < 0) {
        fail();
        return;
    }
    flush();
}

void WaylandClient::fail()
{
    if (m_broken)
        return;
    m_broken = true;
    const int error = wl_display_get_error(m_display);
    qWarning("Wayland connection lost (error %d)", error);
    if (m_notifier)
        m_notifier->setEnabled(false);
    emit disconnected();
}

const WaylandClient::Output *WaylandClient::outputFor(wl_output *output) const
{
    for (const Output &o : m_outputs) {
        if (o.output == output)
            return &o;
    }
    return nullptr;
}

const WaylandClient::Output *WaylandClient::outputNamed(const QString &name) const
{
    for (const Output &o : m_outputs) {
        if (!name.isEmpty() && o.name == name)
            return &o;
    }
    return nullptr;
}

WaylandClient::Output *WaylandClient::mutableOutput(wl_output *output)
{
    for (Output &o : m_outputs) {
        if (o.output == output)
            return &o;
    }
    return nullptr;
}

WaylandClient::Output *WaylandClient::outputOfXdg(zxdg_output_v1 *xdgOutput)
{
    for (Output &o : m_outputs) {
        if (o.xdgOutput == xdgOutput)
            return &o;
    }
    return nullptr;
}

void WaylandClient::setPointerHandler(wl_surface *surface, PointerHandler handler)
{
    if (handler) {
        m_pointerState->handlers.insert(surface, std::move(handler));
        return;
    }
    m_pointerState->handlers.remove(surface);
    if (m_pointerState->focus == surface)
        m_pointerState->focus = nullptr;
}

void WaylandClient::registryGlobal(void *data, wl_registry *registry, std::uint32_t name, const char *interface,
                                   std::uint32_t version)
{
    auto *self = static_cast<WaylandClient *>(data);
    if (std::strcmp(interface, wl_compositor_interface.name) == 0 && !self->m_compositor) {
        self->m_compositor = bind<wl_compositor>(registry, name, &wl_compositor_interface, version, compositorVersion);
    } else if (std::strcmp(interface, wl_shm_interface.name) == 0 && !self->m_shm) {
        self->m_shm = bind<wl_shm>(registry, name, &wl_shm_interface, version, 1);
    } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0 && !self->m_layerShell) {
        self->m_layerShell =
            bind<zwlr_layer_shell_v1>(registry, name, &zwlr_layer_shell_v1_interface, version, layerShellVersion);
    } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
        self->addOutput(name, version);
    } else if (std::strcmp(interface, wp_fractional_scale_manager_v1_interface.name) == 0 &&
               !self->m_fractionalScales) {
        self->m_fractionalScales = bind<wp_fractional_scale_manager_v1>(
            registry, name, &wp_fractional_scale_manager_v1_interface, version, 1);
    } else if (std::strcmp(interface, wp_viewporter_interface.name) == 0 && !self->m_viewporter) {
        self->m_viewporter = bind<wp_viewporter>(registry, name, &wp_viewporter_interface, version, 1);
    } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0 && !self->m_xdgShell) {
        self->m_xdgShell = bind<xdg_wm_base>(registry, name, &xdg_wm_base_interface, version, xdgShellVersion);
        // The compositor checks that we are alive while a pop-up of ours is up.
        static const xdg_wm_base_listener shellListener = {
            [](void *, xdg_wm_base *shell, std::uint32_t serial) { xdg_wm_base_pong(shell, serial); }};
        xdg_wm_base_add_listener(self->m_xdgShell, &shellListener, self);
    } else if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0 && !self->m_xdgOutputs) {
        self->m_xdgOutputs =
            bind<zxdg_output_manager_v1>(registry, name, &zxdg_output_manager_v1_interface, version, xdgOutputVersion);
        // Outputs listed before the manager get their xdg-output now.
        for (Output &output : self->m_outputs)
            self->watchXdgOutput(output);
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && !self->m_seat) {
        self->m_seat = bind<wl_seat>(registry, name, &wl_seat_interface, version, seatVersion);
        self->m_seatName = name;
        static const wl_seat_listener seatListener = {seatCapabilities, [](void *, wl_seat *, const char *) {}};
        wl_seat_add_listener(self->m_seat, &seatListener, self);
    }
}

void WaylandClient::registryGlobalRemove(void *data, wl_registry *, std::uint32_t name)
{
    auto *self = static_cast<WaylandClient *>(data);
    for (qsizetype i = 0; i < self->m_outputs.size(); ++i) {
        if (self->m_outputs[i].globalName != name)
            continue;
        const Output output = self->m_outputs[i];
        emit self->outputRemoved(output.output);
        self->m_outputs.removeAt(i);
        self->releaseOutput(output);
        return;
    }
    if (name == self->m_seatName && self->m_seat) {
        if (self->m_pointer)
            wl_pointer_release(self->m_pointer);
        self->m_pointer = nullptr;
        if (self->m_keyboard)
            wl_keyboard_release(self->m_keyboard);
        self->m_keyboard = nullptr;
        wl_seat_release(self->m_seat);
        self->m_seat = nullptr;
        self->m_pointerState->focus = nullptr;
    }
}

void WaylandClient::addOutput(std::uint32_t name, std::uint32_t version)
{
    Output output;
    output.globalName = name;
    output.version = std::min(version, outputVersion);
    output.output = bind<wl_output>(m_registry, name, &wl_output_interface, version, outputVersion);
    static const wl_output_listener listener = {
        // geometry: the position in the global space
        [](void *data, wl_output *o, std::int32_t x, std::int32_t y, std::int32_t, std::int32_t, std::int32_t,
           const char *, const char *, std::int32_t) {
            if (Output *out = static_cast<WaylandClient *>(data)->mutableOutput(o))
                out->position = QPoint(x, y);
        },
        // mode: only the current one matters
        [](void *data, wl_output *o, std::uint32_t flags, std::int32_t width, std::int32_t height, std::int32_t) {
            Output *out = static_cast<WaylandClient *>(data)->mutableOutput(o);
            if (out && (flags & WL_OUTPUT_MODE_CURRENT))
                out->pixelSize = QSize(width, height);
        },
        // done: a consistent set of the above has arrived
        [](void *data, wl_output *o) { emit static_cast<WaylandClient *>(data)->outputChanged(o); },
        [](void *data, wl_output *o, std::int32_t factor) {
            if (Output *out = static_cast<WaylandClient *>(data)->mutableOutput(o))
                out->scale = std::max(1, factor);
        },
        [](void *data, wl_output *o, const char *outputName) {
            if (Output *out = static_cast<WaylandClient *>(data)->mutableOutput(o))
                out->name = outputText(outputName);
        },
        [](void *data, wl_output *o, const char *description) {
            if (Output *out = static_cast<WaylandClient *>(data)->mutableOutput(o))
                out->description = outputText(description);
        },
    };
    wl_output_add_listener(output.output, &listener, this);
    m_outputs.append(output);
    watchXdgOutput(m_outputs.last());
    emit outputAdded(output.output);
}

void WaylandClient::watchXdgOutput(Output &output)
{
    if (!m_xdgOutputs || output.xdgOutput)
        return;
    output.xdgOutput = zxdg_output_manager_v1_get_xdg_output(m_xdgOutputs, output.output);
    static const zxdg_output_v1_listener listener = {
        // logical_position
        [](void *data, zxdg_output_v1 *xdg, std::int32_t x, std::int32_t y) {
            auto *self = static_cast<WaylandClient *>(data);
            if (Output *out = self->outputOfXdg(xdg))
                out->logicalArea.moveTopLeft(QPoint(x, y));
        },
        // logical_size
        [](void *data, zxdg_output_v1 *xdg, std::int32_t width, std::int32_t height) {
            auto *self = static_cast<WaylandClient *>(data);
            if (Output *out = self->outputOfXdg(xdg))
                out->logicalArea.setSize(QSize(width, height));
        },
        // done: only before version 3; from then on wl_output.done closes each change
        [](void *data, zxdg_output_v1 *xdg) {
            auto *self = static_cast<WaylandClient *>(data);
            if (Output *out = self->outputOfXdg(xdg))
                emit self->outputChanged(out->output);
        },
        // name and description: wl_output's own, from version 4, come first and stay
        [](void *data, zxdg_output_v1 *xdg, const char *name) {
            auto *self = static_cast<WaylandClient *>(data);
            Output *out = self->outputOfXdg(xdg);
            if (out && out->version < 4)
                out->name = outputText(name);
        },
        [](void *data, zxdg_output_v1 *xdg, const char *description) {
            auto *self = static_cast<WaylandClient *>(data);
            Output *out = self->outputOfXdg(xdg);
            if (out && out->version < 4)
                out->description = outputText(description);
        },
    };
    zxdg_output_v1_add_listener(output.xdgOutput, &listener, this);
}

void WaylandClient::releaseOutput(const Output &output)
{
    if (output.xdgOutput)
        zxdg_output_v1_destroy(output.xdgOutput);
    if (output.version >= WL_OUTPUT_RELEASE_SINCE_VERSION)
        wl_output_release(output.output);
    else
        wl_output_destroy(output.output);
}

QRect WaylandClient::Output::logicalGeometry() const
{
    if (logicalArea.isValid())
        return logicalArea;
    return QRect(position, pixelSize / std::max(1, scale));
}

void WaylandClient::seatCapabilities(void *data, wl_seat *seat, std::uint32_t capabilities)
{
    auto *self = static_cast<WaylandClient *>(data);
    const bool hasPointer = capabilities & WL_SEAT_CAPABILITY_POINTER;
    if (hasPointer && !self->m_pointer) {
        self->m_pointer = wl_seat_get_pointer(seat);
        static const wl_pointer_listener listener = {
            // enter
            [](void *data, wl_pointer *, std::uint32_t serial, wl_surface *surface, wl_fixed_t x, wl_fixed_t y) {
                auto *self = static_cast<WaylandClient *>(data);
                PointerState &state = *self->m_pointerState;
                state.focus = surface;
                state.enterSerial = serial;
                state.position = QPointF(wl_fixed_to_double(x), wl_fixed_to_double(y));
                // Each entry starts with no shape of ours: give it the one asked for.
                self->m_appliedCursor.clear();
                self->applyCursor();
                state.deliver(WaylandPointerEvent::Type::enter);
            },
            // leave
            [](void *data, wl_pointer *, std::uint32_t, wl_surface *) {
                PointerState &state = *static_cast<WaylandClient *>(data)->m_pointerState;
                state.deliver(WaylandPointerEvent::Type::leave);
                state.focus = nullptr;
            },
            // motion
            [](void *data, wl_pointer *, std::uint32_t, wl_fixed_t x, wl_fixed_t y) {
                PointerState &state = *static_cast<WaylandClient *>(data)->m_pointerState;
                state.position = QPointF(wl_fixed_to_double(x), wl_fixed_to_double(y));
                state.deliver(WaylandPointerEvent::Type::move);
            },
            // button
            [](void *data, wl_pointer *, std::uint32_t serial, std::uint32_t, std::uint32_t button,
               std::uint32_t pressed) {
                const Qt::MouseButton qt = qtButton(button);
                if (qt == Qt::NoButton)
                    return;
                if (pressed == WL_POINTER_BUTTON_STATE_PRESSED)
                    static_cast<WaylandClient *>(data)->m_pointerState->pressSerial = serial;
                static_cast<WaylandClient *>(data)->m_pointerState->deliver(pressed == WL_POINTER_BUTTON_STATE_PRESSED
                                                                                ? WaylandPointerEvent::Type::press
                                                                                : WaylandPointerEvent::Type::release,
                                                                            qt);
            },
            [](void *, wl_pointer *, std::uint32_t, std::uint32_t, wl_fixed_t) {}, [](void *, wl_pointer *) {},
            [](void *, wl_pointer *, std::uint32_t) {}, [](void *, wl_pointer *, std::uint32_t, std::uint32_t) {},
            [](void *, wl_pointer *, std::uint32_t, std::int32_t) {},
            nullptr, // axis_value120 comes only with seat version 8
        };
        wl_pointer_add_listener(self->m_pointer, &listener, self);
    } else if (!hasPointer && self->m_pointer) {
        wl_pointer_release(self->m_pointer);
        self->m_pointer = nullptr;
        self->m_pointerState->focus = nullptr;
    }
    self->watchKeyboard(capabilities & WL_SEAT_CAPABILITY_KEYBOARD);
}

void WaylandClient::watchKeyboard(bool present)
{
    if (present && !m_keyboard) {
        m_keyboard = wl_seat_get_keyboard(m_seat);
        static const wl_keyboard_listener listener = {
            // keymap: keys are read by their codes, the map is not needed
            [](void *, wl_keyboard *, std::uint32_t, std::int32_t fd, std::uint32_t) { close(fd); },
            [](void *, wl_keyboard *, std::uint32_t, wl_surface *, wl_array *) {},
            [](void *, wl_keyboard *, std::uint32_t, wl_surface *) {},
            // key
            [](void *data, wl_keyboard *, std::uint32_t, std::uint32_t, std::uint32_t key, std::uint32_t state) {
                auto *self = static_cast<WaylandClient *>(data);
                if (state == WL_KEYBOARD_KEY_STATE_PRESSED && self->m_keyHandler)
                    self->m_keyHandler(key);
            },
            [](void *, wl_keyboard *, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {},
            [](void *, wl_keyboard *, std::int32_t, std::int32_t) {},
        };
        wl_keyboard_add_listener(m_keyboard, &listener, this);
    } else if (!present && m_keyboard) {
        wl_keyboard_release(m_keyboard);
        m_keyboard = nullptr;
    }
}

std::uint32_t WaylandClient::lastPressSerial() const
{
    return m_pointerState->pressSerial;
}

void WaylandClient::setKeyHandler(std::function<void(std::uint32_t key)> handler)
{
    m_keyHandler = std::move(handler);
}

void WaylandClient::setCursorShape(const QList<QByteArray> &names)
{
    if (names.isEmpty() || names == m_cursorNames)
        return;
    m_cursorNames = names;
    applyCursor();
}

void WaylandClient::applyCursor()
{
    const PointerState &state = *m_pointerState;
    if (!m_pointer || !state.focus || !m_pointerState->handlers.contains(state.focus) || !isConnected())
        return;
    // Sized for the densest output, so the shape stays sharp where it is shown scaled.
    int scale = 1;
    for (const Output &output : std::as_const(m_outputs))
        scale = std::max(scale, output.scale);
    if (!m_cursorTheme || m_cursorScale != scale) {
        if (m_cursorTheme)
            wl_cursor_theme_destroy(m_cursorTheme);
        bool sized = false;
        const int size = qEnvironmentVariableIntValue("XCURSOR_SIZE", &sized);
        const int pixels = (sized && size > 0 && size <= maxCursorSize ? size : defaultCursorSize) * scale;
        const QByteArray theme = qgetenv("XCURSOR_THEME");
        m_cursorTheme = wl_cursor_theme_load(theme.isEmpty() ? nullptr : theme.constData(), pixels, m_shm);
        m_cursorScale = scale;
        if (!m_cursorTheme) {
            qWarning("No cursor theme could be loaded; the pointer keeps its shape over the band");
            return;
        }
    }
    wl_cursor *cursor = nullptr;
    QByteArray found;
    for (const QByteArray &name : std::as_const(m_cursorNames)) {
        if ((cursor = wl_cursor_theme_get_cursor(m_cursorTheme, name.constData()))) {
            found = name;
            break;
        }
    }
    if (!cursor || cursor->image_count == 0 || found == m_appliedCursor)
        return;
    wl_cursor_image *image = cursor->images[0];
    wl_buffer *buffer = wl_cursor_image_get_buffer(image);
    if (!buffer)
        return;
    if (!m_cursorSurface)
        m_cursorSurface = wl_compositor_create_surface(m_compositor);
    if (wl_surface_get_version(m_cursorSurface) >= WL_SURFACE_SET_BUFFER_SCALE_SINCE_VERSION)
        wl_surface_set_buffer_scale(m_cursorSurface, m_cursorScale);
    wl_surface_attach(m_cursorSurface, buffer, 0, 0);
    wl_surface_damage(m_cursorSurface, 0, 0, std::numeric_limits<std::int32_t>::max(),
                      std::numeric_limits<std::int32_t>::max());
    wl_surface_commit(m_cursorSurface);
    wl_pointer_set_cursor(m_pointer, state.enterSerial, m_cursorSurface,
                          static_cast<std::int32_t>(image->hotspot_x) / m_cursorScale,
                          static_cast<std::int32_t>(image->hotspot_y) / m_cursorScale);
    m_appliedCursor = found;
    flush();
}
