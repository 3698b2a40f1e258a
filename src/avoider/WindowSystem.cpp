#include "avoider/WindowSystem.h"

#include "avoider/X11WindowSystem.h"

#include <QCoreApplication>

qint64 WindowSystem::ownPid() const
{
    return QCoreApplication::applicationPid();
}

bool WindowSystem::watchChanges(std::function<void()>)
{
    return false;
}

std::shared_ptr<WindowSystem> WindowSystem::forPlatform()
{
    if (auto x11 = X11WindowSystem::fromQt())
        return x11;
    return std::make_unique<NullWindowSystem>();
}
