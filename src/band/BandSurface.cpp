#include "band/BandSurface.h"

#include "band/BandLines.h"
#include "band/BandPopups.h"

BandPointerEvent BandPointerEvent::over(const BandLines &lines, Type type, QPointF position, Qt::MouseButton button)
{
    BandPointerEvent event;
    event.type = type;
    event.position = position;
    event.line = type == Type::leave ? -1 : lines.lineAt(position.y());
    event.button = button;
    return event;
}

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
