#include "app/AppMenu.h"

#include "settingsui/EnumTitles.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QMenu>


AppMenu::AppMenu(Handlers handlers, QObject *parent)
    : QObject(parent)
    , m_handlers(std::move(handlers))
{}

QList<WindowLevelMode> AppMenu::levelModes()
{
    return allCases<WindowLevelMode>();
}

QMenu *AppMenu::build()
{
    auto *menu = new QMenu;
    fill(menu);
    return menu;
}

void AppMenu::refill(QMenu *menu)
{
    menu->clear();
    // clear() leaves the previous opening's level group behind.
    for (QActionGroup *group : menu->findChildren<QActionGroup *>(Qt::FindDirectChildrenOnly))
        delete group;
    fill(menu);
}

void AppMenu::fill(QMenu *menu)
{
    const auto add = [menu](const QString &title, const QKeySequence &shortcut = {}) {
        auto *action = new QAction(title, menu);
        if (!shortcut.isEmpty()) {
            // The keys work only inside the settings window, which carries these items: the
            // window's menu bar shows them, the tray and band menus do not.
            action->setShortcut(shortcut);
            action->setShortcutVisibleInContextMenu(false);
        }
        menu->addAction(action);
        return action;
    };
    const auto call = [](const std::function<void()> &handler) {
        return [handler] {
            if (handler)
                handler();
        };
    };

    connect(add(tr("À propos de Dotbanner")), &QAction::triggered, this, call(m_handlers.showAbout));
    menu->addSeparator();
    connect(add(tr("Réglages\u2026"), QKeySequence(Qt::CTRL | Qt::Key_Comma)), &QAction::triggered, this,
            call(m_handlers.openSettings));
    menu->addSeparator();

    auto *levels = new QActionGroup(menu);
    levels->setExclusive(true);
    // No check mark at all when nobody reports the level.
    const bool levelKnown = bool(m_handlers.level);
    const WindowLevelMode current = levelKnown ? m_handlers.level() : WindowLevelMode::normal;
    for (WindowLevelMode mode : levelModes()) {
        QAction *action = add(title(mode));
        action->setCheckable(true);
        action->setChecked(levelKnown && mode == current);
        action->setData(QVariant::fromValue(mode));
        levels->addAction(action);
        connect(action, &QAction::triggered, this, [setLevel = m_handlers.setLevel, mode] {
            if (setLevel)
                setLevel(mode);
        });
    }
    menu->addSeparator();

    connect(add(tr("Actualiser"), QKeySequence(Qt::CTRL | Qt::Key_R)), &QAction::triggered, this,
            call(m_handlers.refresh));
    QAction *quit = add(tr("Quitter Dotbanner"), QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setMenuRole(QAction::QuitRole);
    // exit(), not quit(): quit() first asks every window to close and gives up when one says
    // no, as the taskbar entry does.
    connect(
        quit, &QAction::triggered, qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}
