#pragma once

#include "band/BandSurface.h"

#include <memory>

class OwnWindowHints;
class X11BandView;

/**
 * The band drawn by the X server in a top-level window placed by the window manager
 * (X11BandView), without Qt Widgets. The window's cursor follows the band's; tooltips and the
 * menu go to the band's pop-ups at the window's screen points.
 */
class X11BandSurface : public BandSurface
{
public:
    /** Shows `lines`; `system` (not owned) marks and places the window, and may be null. */
    X11BandSurface(BandLines &lines, OwnWindowHints *system);
    ~X11BandSurface() override;

    PlaceResult place(const BandPlacement &placement) override;
    void linesChanged() override;
    bool isShown() const override;
    double scale() const override;
    QRect frame() const override;
    QString name() const override { return QStringLiteral("x11"); }
    BandCapabilities capabilities() const override;
    bool reservesStrip() const override;
    void setCursor(BandCursor cursor) override;
    QObject *accessibleObject() const override;

    /** The band's window, for tests that look at it on the server. */
    X11BandView *window() const { return m_view.get(); }

protected:
    QPoint toGlobal(const QPointF &position) const override;

private:
    std::unique_ptr<X11BandView> m_view;
};
