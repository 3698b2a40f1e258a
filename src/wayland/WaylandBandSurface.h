#pragma once

#include "band/BandSurface.h"
#include "wayland/LayerBand.h"
#include "wayland/WaylandClient.h"

#include <QObject>

#include <memory>

class BandStandInWindow;
class FrameStats;
class LayerMenu;
class LayerPopup;

/**
 * The band as a layer-shell surface on a Wayland compositor that offers one: the compositor
 * keeps it across the whole edge of an output on every workspace, lays windows out beside
 * its strip when asked, and never gives it the keyboard. It has no Qt window: each frame
 * copies the visible part of the lines' tiles into a shared-memory buffer. It draws its
 * tooltip itself, as a pop-up of the layer surface (the compositor keeps it whole, beside the
 * band, above it as above every window), and sets the pointer's shape from the cursor theme;
 * the menu goes to the band's pop-ups, at the band's place on its output.
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
    /** The tooltip is the band's own pop-up, beside the band; the band's pop-ups get it only where there is none. */
    void showTooltip(const QPointF &position, const QString &text) override;
    void hideTooltip() override;
    /** The menu is the band's own pop-up, beside the band; the band's pop-ups open it only where it cannot be. */
    void openMenu(const QPointF &position) override;
    void setCursor(BandCursor cursor) override;
    /** A window never shown, standing for the band drawn on the layer surface. */
    QObject *accessibleObject() const override;
    /** Whether the band's own tooltip is up; for tests. */
    bool isTooltipShown() const;
    /** The band's own menu; for tests. */
    LayerMenu &menu() const { return *m_menu; }

    LayerBand &band() const { return *m_band; }
    /** The compositor's outputs, under the names `BandPlacement::output` takes. */
    const QList<WaylandClient::Output> &outputs() const;

signals:
    /** An output came, went, or changed its name, description or geometry. */
    void outputsChanged();

public:
    /** Draws the lines as they stand at `t` (seconds) into `image`, `scale` device pixels per point. */
    void paint(QImage &image, double scale, double t) const;

protected:
    QPoint toGlobal(const QPointF &position) const override;

private:
    void layoutLines();
    void pointer(const WaylandPointerEvent &event);

    std::unique_ptr<WaylandClient> m_client;
    std::unique_ptr<LayerBand> m_band;
    std::unique_ptr<LayerPopup> m_tooltip;
    std::unique_ptr<LayerMenu> m_menu;
    bool m_swallowRelease = false; // the press that closed the menu was not the band's
    BandPlacement m_placement;
    bool m_placed = false;
    std::unique_ptr<BandStandInWindow> m_readable; // what screen readers find the band as
    std::unique_ptr<FrameStats> m_stats; // frame times, when DOTBANNER_FRAME_STATS asks for them
};
