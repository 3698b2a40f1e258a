#include "desktop/WindowSystem.h"

#include "desktop/X11WindowSystem.h"

#include <QCoreApplication>

void WindowSystem::markAsAccessory(quint64) {}

void WindowSystem::reserveStrip(quint64, Qt::Edge, const QRectF &) {}

void WindowSystem::placeOwnWindow(quint64, const QRectF &) {}

QList<ScreenRecord> WindowSystem::screens() const
{
    return {};
}

QRectF WindowSystem::toDevice(const QRectF &logical) const
{
    return logical;
}

bool WindowSystem::leftButtonPressed() const
{
    return false;
}

bool WindowSystem::watchChanges(std::function<void()>)
{
    return false;
}

bool WindowSystem::canMoveWindows() const
{
    return false;
}

QList<WindowRecord> WindowSystem::windows() const
{
    return {};
}

void WindowSystem::moveTop(const WindowRecord &, qreal) {}

void WindowSystem::resizeHeight(const WindowRecord &, qreal) {}

qint64 WindowSystem::ownPid() const
{
    return QCoreApplication::applicationPid();
}

std::shared_ptr<WindowSystem> WindowSystem::forPlatform()
{
    if (auto x11 = X11WindowSystem::fromQt())
        return x11;
    return std::make_shared<WindowSystem>();
}
