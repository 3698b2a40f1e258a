#include "x11band/X11BandSurface.h"

#include "band/BandWindowPlacement.h"
#include "x11band/X11BandView.h"

X11BandSurface::X11BandSurface(BandLines &lines, OwnWindowHints *system)
    : BandSurface(lines)
    , m_view(std::make_unique<X11BandView>(&lines, system))
{
    m_view->pointerHandler = [this](const BandPointerEvent &event) { deliverPointer(event); };
}

X11BandSurface::~X11BandSurface() = default;

BandSurface::PlaceResult X11BandSurface::place(const BandPlacement &placement)
{
    PlaceResult result;
    result.moved = m_view->placeAt(placement.frame);
    m_view->reserveStrip(BandWindowPlacement::stripEdge(placement.edge), BandWindowPlacement::stripFor(placement));
    // Re-levelled and raised only when the level differs or the band is hidden.
    if (m_view->level() != placement.level || !m_view->isVisible()) {
        if (m_view->level() != placement.level)
            m_view->setLevel(placement.level);
        m_view->show();
        m_view->raise();
        result.levelled = true;
    }
    return result;
}

void X11BandSurface::linesChanged()
{
    m_view->refresh();
}

bool X11BandSurface::isShown() const
{
    return m_view->isVisible();
}

double X11BandSurface::scale() const
{
    return m_view->backingScale();
}

QRect X11BandSurface::frame() const
{
    return m_view->geometry();
}

BandCapabilities X11BandSurface::capabilities() const
{
    BandCapabilities capabilities;
    capabilities.cursorShapes = true;
    return capabilities;
}

bool X11BandSurface::reservesStrip() const
{
    return m_view->reservesStrip();
}

void X11BandSurface::setCursor(BandCursor cursor)
{
    if (cursor == BandCursor::pointingHand)
        m_view->setCursor(Qt::PointingHandCursor);
    else
        m_view->unsetCursor();
}

QPoint X11BandSurface::toGlobal(const QPointF &position) const
{
    return m_view->mapToGlobal(position).toPoint();
}

QObject *X11BandSurface::accessibleObject() const
{
    return m_view.get();
}
