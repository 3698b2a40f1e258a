#pragma once

#include "band/BandSurface.h"

#include <memory>

class BandWidget;
class TickerPanel;
class OwnWindowHints;

/**
 * The band in a top-level Qt window placed by the window manager (X11, or any platform Qt
 * runs on): a TickerPanel whose one child, a BandWidget, draws the frames. Which widget draws
 * them (Qt painting, or X server pixmaps) is the caller's choice. The widget's cursor follows
 * the band's; tooltips and the menu go to the band's pop-ups at the widget's screen points.
 */
class PanelSurface : public BandSurface
{
public:
    /** Shows `lines` through `content` (taken over) under `name`; `system` (not owned) may be null. */
    PanelSurface(BandLines &lines, BandWidget *content, OwnWindowHints *system, QString name);
    ~PanelSurface() override;

    PlaceResult place(const BandPlacement &placement) override;
    void linesChanged() override;
    bool isShown() const override;
    double scale() const override;
    QRect frame() const override;
    QString name() const override { return m_name; }
    BandCapabilities capabilities() const override;
    bool reservesStrip() const override;
    void setCursor(BandCursor cursor) override;
    QObject *accessibleObject() const override;

    TickerPanel *panel() const { return m_panel.get(); }
    BandWidget *content() const { return m_content; }

protected:
    QPoint toGlobal(const QPointF &position) const override;

private:
    BandWidget *m_content; // owned by the panel
    std::unique_ptr<TickerPanel> m_panel;
    QString m_name;
};
