#include "app/WidgetPopups.h"

#include <QMenu>
#include <QTextDocument>
#include <QToolTip>

void WidgetPopups::showTooltip(const QPoint &global, const QString &text)
{
    if (text.isEmpty()) {
        hideTooltip();
        return;
    }
    // The texts come from feeds: shown as plain text, never as markup.
    QToolTip::showText(global, Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal));
}

void WidgetPopups::hideTooltip()
{
    QToolTip::hideText();
}

QList<QAction *> WidgetPopups::menuActions()
{
    QMenu *menu = m_menuProvider ? m_menuProvider() : nullptr;
    return menu ? menu->actions() : QList<QAction *>();
}

void WidgetPopups::openMenu(const QPoint &global)
{
    if (QMenu *menu = m_menuProvider ? m_menuProvider() : nullptr)
        menu->exec(global);
}
