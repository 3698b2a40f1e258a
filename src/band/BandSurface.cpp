#include "band/BandSurface.h"

#include "band/BandPopups.h"

void BandSurface::showTooltip(const QPointF &position, const QString &text)
{
    if (m_popups)
        m_popups->showTooltip(toGlobal(position), text);
}

void BandSurface::hideTooltip()
{
    if (m_popups)
        m_popups->hideTooltip();
}

void BandSurface::openMenu(const QPointF &position)
{
    if (m_popups)
        m_popups->openMenu(toGlobal(position));
}

void BandSurface::setCursor(BandCursor) {}
