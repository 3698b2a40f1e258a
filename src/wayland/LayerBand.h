#pragma once

#include "wayland/WaylandClient.h"

#include <QObject>
#include <QSize>
#include <QString>

#include <array>
#include <functional>
#include <cmath>
#include <memory>

class QImage;
class ShmBuffer;
struct wl_callback;
struct wl_output;
struct wl_surface;
struct zwlr_layer_surface_v1;

/**
 * A strip across one whole edge of a screen, shown through the compositor's layer shell: it
 * stays on every workspace, takes the keyboard only while its menu is open, and can ask the
 * compositor to keep windows out of its strip. Frames are painted into one of two shared-memory buffers while
 * the compositor shows the other, paced by the compositor's frame callbacks.
 */
struct wp_fractional_scale_v1;
struct wp_viewport;

class LayerBand : public QObject
{
    Q_OBJECT
public:
    enum class Layer { bottom, top, overlay };

    struct Config
    {
        bool bottomEdge = false; ///< anchored to the bottom edge instead of the top
        int height = 0;          ///< logical pixels; 0 hides the band
        Layer layer = Layer::top;
        bool exclusive = false; ///< windows are laid out outside the band's strip
        QString output;         ///< the output's name; empty or unknown puts the band on the first output
        friend bool operator==(const Config &, const Config &) = default;
    };

    /**
     * Paints one frame into `image` (device pixels, `scale` per logical pixel: 1.5 and the like
     * where the compositor asks for a fractional scale), as it stands now. Called only when the
     * compositor is ready for a frame.
     */
    using Painter = std::function<void(QImage &image, double scale)>;

    explicit LayerBand(WaylandClient &client, QObject *parent = nullptr);
    ~LayerBand() override;

    void setPainter(Painter painter) { m_painter = std::move(painter); }
    /** Where the pointer events over the band go. */
    void setPointerHandler(WaylandClient::PointerHandler handler);

    /** Shows the band with `config`, or changes it. An equal config changes nothing. */
    void setConfig(const Config &config);
    const Config &config() const { return m_config; }

    /** While true, a frame is painted each time the compositor asks for one. */
    void setAnimating(bool animating);
    bool isAnimating() const { return m_animating; }
    /** Paints one frame as soon as the compositor takes one. */
    void requestFrame();

    /**
     * While true the band takes the keyboard (its menu is open and answers Escape and the
     * arrows); otherwise, as always, it never does.
     */
    void setTakesKeyboard(bool takes);

    /** True once the compositor configured the surface and a first frame was committed. */
    bool isMapped() const { return m_mapped; }
    /** The size the compositor gave, in logical pixels. */
    QSize size() const { return m_size; }
    /**
     * Device pixels per logical pixel: the fractional scale the compositor prefers for the band
     * where it says one (wp_fractional_scale_v1, shown through a viewport), else the integer
     * scale of the output the band is on.
     */
    double scale() const { return m_fractional > 0 ? m_fractional : m_scale; }
    /** Whether that scale is fractional: 1.5, not 1 or 2. */
    bool isFractional() const { return m_fractional > 0 && m_fractional != std::floor(m_fractional); }
    /** The size of the band's buffers at that scale, device pixels. */
    QSize pixelSize() const;
    /** The band's layer surface, the parent of its pop-ups; null while it has none. */
    zwlr_layer_surface_v1 *layerSurface() const { return m_mapped ? m_layerSurface : nullptr; }
    /** The output the band was put on; null while it has none. */
    wl_output *output() const { return m_boundOutput; }
    /** Frames committed so far. */
    quint64 framesCommitted() const { return m_frames; }

signals:
    /** The band's size or scale changed: the painter's content must be laid out again. */
    void geometryChanged(QSize size, double scale);
    /** The layer surface is about to go: pop-ups of it must go first. */
    void surfaceGoing();
    /** The compositor took the band away (its output went); it comes back on another output. */
    void closedByCompositor();

private:
    void createSurface();
    void destroySurface();
    wl_output *outputFor(const Config &config) const;
    void applyState();
    void paintFrame();
    void scheduleRecreate();
    ShmBuffer *freeBuffer();
    void setScale(int scale);
    void setFractionalScale(double scale);

    static void handleConfigure(void *data, zwlr_layer_surface_v1 *surface, std::uint32_t serial, std::uint32_t width,
                                std::uint32_t height);
    static void handleClosed(void *data, zwlr_layer_surface_v1 *surface);
    static void handleFrameDone(void *data, wl_callback *callback, std::uint32_t time);
    static void handleEnter(void *data, wl_surface *surface, wl_output *output);
    static void handleLeave(void *data, wl_surface *surface, wl_output *output);

    WaylandClient &m_client;
    Config m_config;
    Painter m_painter;
    WaylandClient::PointerHandler m_pointerHandler;
    wl_surface *m_surface = nullptr;
    zwlr_layer_surface_v1 *m_layerSurface = nullptr;
    wl_output *m_boundOutput = nullptr;   ///< the output asked for; null lets the compositor choose
    wl_output *m_enteredOutput = nullptr; ///< the output the compositor shows the band on; its scale is the band's
    wl_callback *m_frameCallback = nullptr;
    std::array<std::unique_ptr<ShmBuffer>, 2> m_buffers;
    QSize m_size;
    int m_scale = 1;
    double m_fractional = 0; ///< the compositor's preferred scale for the band; 0 until it says one
    wp_fractional_scale_v1 *m_fractionalScale = nullptr;
    wp_viewport *m_viewport = nullptr;
    bool m_configured = false;
    bool m_mapped = false;
    bool m_takesKeyboard = false;
    bool m_animating = false;
    bool m_frameWanted = false;
    bool m_recreatePending = false;
    quint64 m_frames = 0;
};
