#include "qtband/PanelSurface.h"

#include "band/BandWindowPlacement.h"
#include "qtband/BandWidget.h"
#include "qtband/TickerPanel.h"

PanelSurface::PanelSurface(BandLines &lines, BandWidget *content, OwnWindowHints *system, QString name)
    : BandSurface(lines)
    , m_content(content)
    , m_panel(std::make_unique<TickerPanel>(content, system))
    , m_name(std::move(name))
{
    m_content->pointerHandler = [this](const BandPointerEvent &event) { deliverPointer(event); };
}

PanelSurface::~PanelSurface() = default;

BandSurface::PlaceResult PanelSurface::place(const BandPlacement &placement)
{
    PlaceResult result;
    result.moved = m_panel->placeAt(placement.frame);
    m_panel->reserveStrip(BandWindowPlacement::stripEdge(placement.edge), BandWindowPlacement::stripFor(placement));
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

BandCapabilities PanelSurface::capabilities() const
{
    BandCapabilities capabilities;
    capabilities.cursorShapes = true;
    return capabilities;
}

bool PanelSurface::reservesStrip() const
{
    return m_panel->reservesStrip();
}

void PanelSurface::setCursor(BandCursor cursor)
{
    if (cursor == BandCursor::pointingHand)
        m_content->setCursor(Qt::PointingHandCursor);
    else
        m_content->unsetCursor();
}

QPoint PanelSurface::toGlobal(const QPointF &position) const
{
    return m_content->mapToGlobal(position).toPoint();
}

QObject *PanelSurface::accessibleObject() const
{
    return m_content;
}
