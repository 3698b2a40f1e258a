#pragma once

#include "types/SettingsEnums.h"

#include <QList>
#include <QObject>

#include <functional>

class QMenu;

/**
 * The program's one menu, the same in the tray, on the band and in the settings window's menu
 * bar: about, settings, the three window levels (the current one checked), refresh and quit.
 * Its items are made afresh at each opening, so they show the current level. The level items
 * carry their WindowLevelMode as data.
 */
class AppMenu : public QObject
{
    Q_OBJECT
public:
    /** What the items do. */
    struct Handlers
    {
        std::function<void()> showAbout;
        std::function<void()> openSettings;
        std::function<void()> refresh;
        std::function<WindowLevelMode()> level;
        std::function<void(WindowLevelMode)> setLevel;
    };

    explicit AppMenu(Handlers handlers, QObject *parent = nullptr);

    /** A new menu with the ten items. The caller owns it. */
    QMenu *build();
    /** Replaces the items of `menu` by fresh ones, just before it opens. */
    void refill(QMenu *menu);

    /** The window levels in menu order. */
    static QList<WindowLevelMode> levelModes();

private:
    void fill(QMenu *menu);

    Handlers m_handlers;
};
