#pragma once

#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>

/**
 * The program's item in the desktop's tray: the LED icon with the tool tip "Dotbanner" and a
 * menu that its owner fills each time it opens (aboutToShow). A left click opens the same menu
 * as a right click. Where the desktop has no tray the item stays hidden, and appears by itself
 * when a tray starts later.
 */
class StatusItem : public QObject
{
    Q_OBJECT
public:
    explicit StatusItem(QObject *parent = nullptr);
    ~StatusItem() override;

    QMenu *menu() { return &m_menu; }
    QSystemTrayIcon *trayIcon() { return &m_tray; }

    /** Whether the desktop shows tray icons right now. */
    static bool isTrayAvailable() { return QSystemTrayIcon::isSystemTrayAvailable(); }

private:
    QMenu m_menu;
    QSystemTrayIcon m_tray;
};
