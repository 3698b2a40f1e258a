#pragma once

#include "band/BandSurface.h"
#include "line/LineTargets.h"

#include <QObject>
#include <QPoint>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <optional>

class TickerController;

/**
 * What the pointer does on the band, whichever surface shows it. Resting on a line stops
 * that line (the other keeps moving) until the pointer leaves it; after a short rest on an
 * item a tooltip shows it whole; over an item that leads somewhere the pointer is a pointing
 * hand, and a left click opens the address. Works on what the controller drew last, so a
 * click always means what was under the pointer.
 */
class BandInteraction : public QObject
{
    Q_OBJECT
public:
    /** How long the pointer rests on an item before its tooltip shows. */
    static constexpr int tooltipDelayMs = 500;

    explicit BandInteraction(TickerController &controller, QObject *parent = nullptr);

    /** Opens an address; QDesktopServices::openUrl unless replaced. */
    std::function<void(const QUrl &)> openUrl;
    /** Shows `text` at `global` (an empty text hides the tooltip); QToolTip unless replaced. */
    std::function<void(const QPoint &global, const QString &text)> showTooltip;

    /** Hands one pointer event of the band to the interaction. */
    void handle(const BandPointerEvent &event);

    /** The line the pointer holds still, or -1. */
    int pausedLine() const { return m_pausedLine; }
    /** What is under the pointer, if anything. */
    const std::optional<LineTargets::Target> &hovered() const { return m_hovered; }
    /** Whether the tooltip of the hovered item is up. */
    bool isTooltipShown() const { return m_tooltipShown; }

    /** What the point `position` (band-local, points) of line `line` shows, from the last apply. */
    std::optional<LineTargets::Target> targetAt(int line, const QPointF &position) const;

private:
    void hover(int line, const QPointF &position, const QPoint &global);
    void leave();
    void pauseLine(int index);
    void showPendingTooltip();
    void setPointingHand(bool on);

    TickerController &m_controller;
    int m_pausedLine = -1;
    std::optional<LineTargets::Target> m_hovered;
    QPoint m_global;
    QTimer m_tooltipTimer;
    bool m_tooltipShown = false;
};
