#include "app/StatusItem.h"

#include "app/LedIcon.h"

#include <QCursor>

StatusItem::StatusItem(QObject *parent)
    : QObject(parent)
{
    m_menu.setObjectName(QStringLiteral("statusMenu"));
    m_tray.setObjectName(QStringLiteral("statusItem"));
    m_tray.setIcon(LedIcon::icon());
    m_tray.setToolTip(QStringLiteral("Dotbanner"));
    m_tray.setContextMenu(&m_menu);
    // The tray's left click opens the menu too: it is the item's only purpose.
    connect(&m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger && !m_menu.isVisible())
            m_menu.popup(QCursor::pos());
    });
    m_tray.show();
}

StatusItem::~StatusItem()
{
    m_tray.setContextMenu(nullptr);
}
