#pragma once

#include "band/BandPopups.h"

#include <functional>

class QMenu;

/**
 * The band's pop-ups as Qt widgets, whatever surface shows the band: tooltips through
 * QToolTip, always as plain text, and the context menu the provider gives, opened where asked.
 */
class WidgetPopups : public BandPopups
{
public:
    /** Asked for the menu at each opening; may give none. Not owned. */
    void setMenuProvider(std::function<QMenu *()> provider) { m_menuProvider = std::move(provider); }
    const std::function<QMenu *()> &menuProvider() const { return m_menuProvider; }

    void showTooltip(const QPoint &global, const QString &text) override;
    void hideTooltip() override;
    void openMenu(const QPoint &global) override;
    QList<QAction *> menuActions() override;

private:
    std::function<QMenu *()> m_menuProvider;
};
