#include "app/BandGeometry.h"

#include "desktop/WindowSystem.h"

#include <QGuiApplication>
#include <QScreen>

QRect BandGeometry::bandFrame(const QRect &screen, const QRect &available, DockPosition position, int height)
{
    const int y = position == DockPosition::bottom ? available.y() + available.height() - height : available.y();
    return QRect(screen.x(), y, screen.width(), height);
}

QRect BandGeometry::workArea(const QRect &geometry, const ScreenRecord &record)
{
    const double scale = record.scale > 0 ? record.scale : 1.0;
    const QPointF deviceOrigin = record.frame.topLeft();
    const QPointF topLeft = QPointF(geometry.topLeft()) + (record.available.topLeft() - deviceOrigin) / scale;
    const QRectF logical(topLeft, record.available.size() / scale);
    return logical.toAlignedRect().intersected(geometry);
}

QScreen *BandGeometry::screenNamed(const QString &name)
{
    // An unplugged screen is simply absent from the list: the band waits on the primary one
    // and goes back when a screen of that name is added again.
    if (!name.isEmpty()) {
        for (QScreen *screen : QGuiApplication::screens()) {
            if (screen->name() == name)
                return screen;
        }
    }
    return QGuiApplication::primaryScreen();
}

QRect BandGeometry::availableArea(QScreen *screen, const WindowSystem &system, bool bandReservesStrip)
{
    const QList<QScreen *> qtScreens = QGuiApplication::screens();
    if (qtScreens.size() > 1 || bandReservesStrip) {
        const QList<ScreenRecord> screens = system.screens();
        // The records follow Qt's order; a window system that knows fewer screens still has
        // the primary one first.
        qsizetype index = qtScreens.indexOf(screen);
        if (screens.size() != qtScreens.size())
            index = screen == QGuiApplication::primaryScreen() ? 0 : -1;
        if (index >= 0 && index < screens.size()) {
            const QRect area = workArea(screen->geometry(), screens[index]);
            if (!area.isEmpty())
                return area;
        }
    }
    return screen->availableGeometry();
}
