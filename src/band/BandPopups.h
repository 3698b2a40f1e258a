#pragma once

#include <QList>
#include <QPoint>
#include <QString>

class QAction;

/**
 * Shows the band's pop-ups for surfaces that cannot draw them themselves: the tooltip and the
 * context menu, at points in screen coordinates. The application implements it with its
 * toolkit's tooltips and menus. Tooltip texts come from feeds and are shown as plain text,
 * never as markup.
 */
class BandPopups
{
public:
    virtual ~BandPopups() = default;

    /** Shows `text` as the band's tooltip at `global`, replacing any tooltip up. */
    virtual void showTooltip(const QPoint &global, const QString &text) = 0;
    /** Takes the tooltip down, if one is up. */
    virtual void hideTooltip() = 0;
    /** Opens the band's context menu at `global`. */
    virtual void openMenu(const QPoint &global) = 0;
    /**
     * The items of the band's context menu as they stand now, for a surface that draws the
     * menu itself; empty when there is no menu. They stay the pop-ups' owner's.
     */
    virtual QList<QAction *> menuActions() = 0;
};
