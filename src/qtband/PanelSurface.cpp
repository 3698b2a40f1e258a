#include "qtband/PanelSurface.h"

#include "qtband/TickerPanel.h"
#include "qtband/BandWidget.h"

PanelSurface::PanelSurface(BandLines &lines, BandWidget *content, OwnWindowHints *system)
    : BandSurface(lines)
    , m_content(content)
    , m_panel(std::make_unique<TickerPanel>(content, system))
{
    m_content->pointerHandler = [this](const BandPointerEvent &event) { deliverPointer(event); };
}

PanelSurface::~PanelSurface() = default;

BandSurface::PlaceResult PanelSurface::place(const BandPlacement &placement)
{
    PlaceResult result;
    result.moved = m_panel->placeAt(placement.frame);
    // The band keeps its strip for itself as a panel does, so that the window manager lays
    // out of it even the windows the avoider cannot move (Wayland clients through XWayland,
    // maximised ones).
    const bool reserve = placement.exclusive && !placement.frame.isEmpty();
    m_panel->reserveStrip(placement.edge == DockPosition::bottom ? Qt::BottomEdge : Qt::TopEdge,
                          reserve ? placement.frame : QRect());
    // Re-levelled and raised only when the level differs or the band is hidden.
    if (m_panel->level() != placement.level || !m_panel->isVisible()) {
        if (m_panel->level() != placement.level)
            m_panel->setLevel(placement.level);
        m_panel->show();
        m_panel->raise();
        result.levelled = true;
    }
    return result;
}

void PanelSurface::linesChanged()
{
    m_content->refresh();
}

bool PanelSurface::isShown() const
{
    return m_panel->isVisible();
}

double PanelSurface::scale() const
{
    return m_content->backingScale();
}

QRect PanelSurface::frame() const
{
    return m_panel->geometry();
}

QWidget *PanelSurface::widget() const
{
    return m_content;
}
