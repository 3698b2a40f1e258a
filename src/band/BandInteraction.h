#pragma once

#include "band/BandSurface.h"
#include "line/LineTargets.h"
#include "util/ClockTimer.h"

#include <QObject>
#include <QPointF>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

class BandItems;
class BandLines;

/**
 * What the pointer does on the band, whichever surface shows it. Resting on a line stops that
 * line (the other keeps moving) until the pointer leaves it; after a short rest on an item a
 * tooltip shows it whole; over an item that leads somewhere the pointer is a pointing hand,
 * and a left click opens the address; a right press opens the band's menu. Reads what the
 * lines show from BandItems, so a click always means what was under the pointer, and acts on
 * the band through its surface only.
 */
class BandInteraction : public QObject
{
    Q_OBJECT
public:
    /** How long the pointer rests on an item before its tooltip shows. */
    static constexpr int tooltipDelayMs = 500;

    /** Works on `lines` and `items`, which must outlive the interaction. */
    BandInteraction(BandLines &lines, const BandItems &items, QObject *parent = nullptr);
    ~BandInteraction() override;

    /**
     * Takes the pointer events of `surface` and acts through it from now on (not owned; null
     * for none). The surface must outlive the interaction or be replaced first.
     */
    void setSurface(BandSurface *surface);

    /** Opens an address; QDesktopServices::openUrl unless replaced. */
    std::function<void(const QUrl &)> openUrl;
    /**
     * Told when the user has plainly seen an item: the pointer rested on it until its tooltip
     * showed, or clicked it. `span` is the item's span on line `line`.
     */
    std::function<void(int line, const LineSpan &span)> noticed;

    /**
     * Makes `text` the first tooltip the band shows, once, wherever the pointer rests on it
     * (over an item or not); item tooltips follow as usual. An empty text withdraws it.
     */
    void setFirstTooltip(const QString &text);
    /** Whether the first tooltip is still to be shown. */
    bool hasFirstTooltip() const { return !m_firstTooltip.isEmpty(); }

    /** Hands one pointer event of the band to the interaction. */
    void handle(const BandPointerEvent &event);

    /** The line the pointer holds still, or -1. */
    int pausedLine() const { return m_pausedLine; }
    /** What is under the pointer, if anything. */
    const std::optional<LineTargets::Target> &hovered() const { return m_hovered; }
    /** Whether a tooltip of the band is up. */
    bool isTooltipShown() const { return m_tooltipShown; }

    /** What the point `position` (band-local, points) of line `line` shows now. */
    std::optional<LineTargets::Target> targetAt(int line, const QPointF &position) const;

private:
    /** The span under `position` of line `line`, if any. */
    std::optional<LineSpan> spanAt(int line, const QPointF &position) const;
    void notice(int line, const QPointF &position);
    void hover(int line, const QPointF &position);
    void leave();
    void pauseLine(int index);
    void hideTooltip();
    void showPendingTooltip();
    void setPointingHand(bool on);

    BandLines &m_lines;
    const BandItems &m_items;
    BandSurface *m_surface = nullptr;
    int m_pausedLine = -1;
    std::optional<LineTargets::Target> m_hovered;
    QPointF m_position; // band-local, where the pointer last was
    ClockTimer m_tooltipTimer;
    bool m_tooltipShown = false;
    QString m_firstTooltip;
    std::optional<bool> m_pointingHand; // the shape last set; none before the first
};
