#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>

class QSocketNotifier;
struct wl_compositor;
struct wl_display;
struct wl_output;
struct wl_keyboard;
struct wp_fractional_scale_manager_v1;
struct wp_viewporter;
struct wl_pointer;
struct wl_registry;
struct wl_seat;
struct wl_shm;
struct wl_surface;
struct wl_cursor_theme;
struct xdg_wm_base;
struct zwlr_layer_shell_v1;
struct zxdg_output_manager_v1;
struct zxdg_output_v1;

// Signals carry the compositor's output objects as they are; Qt never looks inside them.
Q_DECLARE_OPAQUE_POINTER(wl_output *)

/** A pointer event on one of our surfaces, in surface-local logical pixels. */
struct WaylandPointerEvent
{
    enum class Type { enter, move, leave, press, release };
    Type type = Type::move;
    QPointF position;
    Qt::MouseButton button = Qt::NoButton;
};

/**
 * Dotbanner's own connection to the Wayland compositor, next to whatever platform Qt uses for
 * its windows. It binds the globals the band needs (compositor, shared memory, layer shell,
 * outputs, the seat's pointer) and is driven from the main thread's event loop: a socket
 * notifier reads events, and pending requests are flushed before the loop sleeps.
 */
class WaylandClient : public QObject
{
    Q_OBJECT
public:
    /** One screen as the compositor describes it. */
    struct Output
    {
        std::uint32_t globalName = 0;
        wl_output *output = nullptr;
        std::uint32_t version = 0;           ///< of the wl_output bound
        zxdg_output_v1 *xdgOutput = nullptr; ///< its xdg-output, where the compositor offers them
        /// "HEADLESS-1", "DP-2": from wl_output version 4, else from xdg-output version 2; may stay empty
        QString name;
        QString description; ///< "Dell Inc. U2720Q (DP-2)"; empty where neither protocol gives one
        QPoint position;     ///< in the compositor's global space
        QSize pixelSize;     ///< the current mode, device pixels
        int scale = 1;
        QRect logicalArea; ///< position and size in the compositor's logical space, when xdg-output gives them

        /** Where the output stands in the compositor's logical space: xdg-output's, else the mode by the scale. */
        QRect logicalGeometry() const;
    };

    /** What a session offers, looked up with a short-lived connection (before QApplication exists). */
    struct Probe
    {
        bool connected = false;  ///< a compositor answered at WAYLAND_DISPLAY
        bool layerShell = false; ///< it offers zwlr_layer_shell_v1
    };
    static Probe probe();

    /** Connects to WAYLAND_DISPLAY; null when there is no compositor or it lacks what the band needs. */
    static std::unique_ptr<WaylandClient> connect(QObject *parent = nullptr);
    ~WaylandClient() override;

    wl_display *display() const { return m_display; }
    wl_compositor *compositor() const { return m_compositor; }
    wl_shm *shm() const { return m_shm; }
    zwlr_layer_shell_v1 *layerShell() const { return m_layerShell; }
    /** The xdg shell, for pop-ups of the band; null when the compositor offers none. */
    xdg_wm_base *xdgShell() const { return m_xdgShell; }
    /**
     * Fractional scales and the viewports that show a buffer at a surface's logical size, for
     * the band at outputs scaled by 1.5 and the like; null where the compositor lacks either.
     */
    wp_fractional_scale_manager_v1 *fractionalScales() const { return m_viewporter ? m_fractionalScales : nullptr; }
    wp_viewporter *viewporter() const { return m_fractionalScales ? m_viewporter : nullptr; }
    const QList<Output> &outputs() const { return m_outputs; }
    const Output *outputFor(wl_output *output) const;
    const Output *outputNamed(const QString &name) const;

    /** Sends pending requests now; the event loop also does it before it sleeps. */
    void flush();

    using PointerHandler = std::function<void(const WaylandPointerEvent &)>;
    /** Pointer events over `surface` go to `handler`; an empty handler removes the surface. */
    void setPointerHandler(wl_surface *surface, PointerHandler handler);

    /**
     * The pointer's shape over our surfaces, by its cursor theme name ("pointer", "default"),
     * with the names tried in turn where a theme lacks the first. Applied at once while the
     * pointer is over one of them, and at each entry. The theme is XCURSOR_THEME's at
     * XCURSOR_SIZE, else the default one at 24 pixels.
     */
    void setCursorShape(const QList<QByteArray> &names);
    /** The names of the shape the pointer was last given, empty before any; for tests. */
    QByteArray appliedCursor() const { return m_appliedCursor; }

    /** The seat whose pointer and keyboard the band answers; null without one. */
    wl_seat *seat() const { return m_seat; }
    /** The serial of the last button press on one of our surfaces: a pop-up's grab names it. */
    std::uint32_t lastPressSerial() const;

    /**
     * Key presses (Linux input event codes, as KEY_ESC) while the keyboard is on one of our
     * surfaces go to `handler`; an empty handler stops them.
     */
    void setKeyHandler(std::function<void(std::uint32_t key)> handler);

    bool isConnected() const { return m_display != nullptr && !m_broken; }

signals:
    void outputAdded(wl_output *output);
    /** Sent before the output object is destroyed. */
    void outputRemoved(wl_output *output);
    /** An output's name, description, mode, position or scale changed. */
    void outputChanged(wl_output *output);
    /** The compositor went away or a protocol error ended the connection. */
    void disconnected();

private:
    explicit WaylandClient(wl_display *display, QObject *parent);
    bool bindGlobals();
    void readEvents();
    void dispatchPending();
    void fail();

    static void registryGlobal(void *data, wl_registry *registry, std::uint32_t name, const char *interface,
                               std::uint32_t version);
    static void registryGlobalRemove(void *data, wl_registry *registry, std::uint32_t name);
    static void seatCapabilities(void *data, wl_seat *seat, std::uint32_t capabilities);
    void watchKeyboard(bool present);
    void addOutput(std::uint32_t name, std::uint32_t version);
    void watchXdgOutput(Output &output);
    void releaseOutput(const Output &output);
    Output *mutableOutput(wl_output *output);
    Output *outputOfXdg(zxdg_output_v1 *xdgOutput);
    void applyCursor();

    struct PointerState;

    wl_display *m_display = nullptr;
    wl_registry *m_registry = nullptr;
    wl_compositor *m_compositor = nullptr;
    wl_shm *m_shm = nullptr;
    zwlr_layer_shell_v1 *m_layerShell = nullptr;
    zxdg_output_manager_v1 *m_xdgOutputs = nullptr;
    xdg_wm_base *m_xdgShell = nullptr;
    wp_fractional_scale_manager_v1 *m_fractionalScales = nullptr;
    wp_viewporter *m_viewporter = nullptr;
    wl_cursor_theme *m_cursorTheme = nullptr;
    int m_cursorScale = 0; ///< the scale the theme was loaded for
    wl_surface *m_cursorSurface = nullptr;
    QList<QByteArray> m_cursorNames{QByteArrayLiteral("default"), QByteArrayLiteral("left_ptr")};
    QByteArray m_appliedCursor;
    wl_seat *m_seat = nullptr;
    std::uint32_t m_seatName = 0;
    wl_pointer *m_pointer = nullptr;
    wl_keyboard *m_keyboard = nullptr;
    std::function<void(std::uint32_t)> m_keyHandler;
    QList<Output> m_outputs;
    std::unique_ptr<PointerState> m_pointerState;
    QSocketNotifier *m_notifier = nullptr;
    bool m_broken = false;
};
