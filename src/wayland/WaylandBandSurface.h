#pragma once

#include "band/BandSurface.h"
#include "wayland/LayerBand.h"
#include "wayland/WaylandClient.h"

#include <QObject>

#include <memory>

class FrameStats;

/**
 * The band as a layer-shell surface on a Wayland compositor that offers one: the compositor
 * keeps it across the whole edge of an output on every workspace, lays windows out beside
 * its strip when asked, and never gives it the keyboard. It has no Qt window: each frame
 * copies the visible part of the lines' tiles into a shared-memory buffer. It draws no
 * pop-ups of its own (they go to the band's pop-ups, placed as well as it can) and sets no
 * pointer shape.
 */
class WaylandBandSurface : public QObject, public BandSurface
{
    Q_OBJECT
public:
    /** A surface on the session's compositor; null when it offers no layer shell. */
    static std::unique_ptr<WaylandBandSurface> create(BandLines &lines);

    WaylandBandSurface(BandLines &lines, std::unique_ptr<WaylandClient> client);
    ~WaylandBandSurface() override;

    /** The layer and exclusive strip the surface asks for at `placement`. */
    static LayerBand::Config configFor(const BandPlacement &placement);

    PlaceResult place(const BandPlacement &placement) override;
    void linesChanged() override;
    bool isShown() const override;
    double scale() const override;
    QRect frame() const override;
    QString name() const override { return QStringLiteral("wayland"); }
    BandCapabilities capabilities() const override;

    LayerBand &band() const { return *m_band; }
    /** The compositor's outputs, under the names `BandPlacement::output` takes. */
    const QList<WaylandClient::Output> &outputs() const;

signals:
    /** An output came, went, or changed its name, description or geometry. */
    void outputsChanged();

public:
    /** Draws the lines as they stand at `t` (seconds) into `image`, `scale` device pixels per point. */
    void paint(QImage &image, int scale, double t) const;

protected:
    QPoint toGlobal(const QPointF &position) const override;

private:
    void layoutLines();
    void pointer(const WaylandPointerEvent &event);

    std::unique_ptr<WaylandClient> m_client;
    std::unique_ptr<LayerBand> m_band;
    BandPlacement m_placement;
    bool m_placed = false;
    std::unique_ptr<FrameStats> m_stats; // frame times, when DOTBANNER_FRAME_STATS asks for them
};
