#pragma once

#include "band/BandLines.h"
#include "band/BandSurface.h"

#include <QList>
#include <QObject>
#include <QStringList>

#include <memory>

/**
 * A band surface in memory: it stands where it is placed (as an obliging window manager would
 * put it), lays the lines out across its frame, records what comes down to it (placements,
 * tooltips, cursor shapes, menu requests) and lets a test send pointer events up through it.
 * Tooltips and menus also go on to the owner's pop-ups, as a surface without pop-ups of its
 * own hands them on.
 */
class FakeBandSurface : public BandSurface
{
public:
    explicit FakeBandSurface(BandLines &lines)
        : BandSurface(lines)
    {}

    BandCapabilities caps;
    double deviceScale = 1.0;
    bool holdsStrip = false; ///< what reservesStrip() answers

    QList<BandPlacement> placements;
    int changes = 0; ///< linesChanged() calls
    /// "show <x> <y> <text>" and "hide", in order (x and y band-local)
    QStringList tooltips;
    QList<BandCursor> cursors;
    QList<QPointF> menus; ///< band-local points the menu was asked for at
    /** What screen readers find the band as; a test may take it away before the band is made readable. */
    std::unique_ptr<QObject> readable = std::make_unique<QObject>();

    PlaceResult place(const BandPlacement &placement) override
    {
        PlaceResult result;
        const BandPlacement before = placements.isEmpty() ? BandPlacement() : placements.last();
        result.moved = !placement.frame.isEmpty() && placement.frame != m_frame;
        result.levelled = placements.isEmpty() || !m_shown || before.level != placement.level;
        placements.append(placement);
        if (!placement.frame.isEmpty())
            m_frame = placement.frame;
        m_shown = true;
        layout();
        return result;
    }
    void linesChanged() override
    {
        ++changes;
        layout();
    }
    bool isShown() const override { return m_shown; }
    double scale() const override { return deviceScale; }
    QRect frame() const override { return m_frame; }
    QString name() const override { return QStringLiteral("fake"); }
    BandCapabilities capabilities() const override { return caps; }
    bool reservesStrip() const override { return holdsStrip; }

    void showTooltip(const QPointF &position, const QString &text) override
    {
        tooltips.append(QStringLiteral("show %1 %2 %3").arg(position.x()).arg(position.y()).arg(text));
        BandSurface::showTooltip(position, text);
    }
    void hideTooltip() override
    {
        tooltips.append(QStringLiteral("hide"));
        BandSurface::hideTooltip();
    }
    void openMenu(const QPointF &position) override
    {
        menus.append(position);
        BandSurface::openMenu(position);
    }
    void setCursor(BandCursor cursor) override { cursors.append(cursor); }
    QObject *accessibleObject() const override { return readable.get(); }

    /** Takes the band off the screen, as a user or another program might. */
    void withdraw() { m_shown = false; }

    /** Sends up to the owner a pointer event of `type` at band-local `position`, naming the line there. */
    void pointer(BandPointerEvent::Type type, QPointF position, Qt::MouseButton button = Qt::NoButton) const
    {
        BandPointerEvent event;
        event.type = type;
        event.position = position;
        event.line = type == BandPointerEvent::Type::leave ? -1 : lines().lineAt(position.y());
        event.button = button;
        deliverPointer(event);
    }

protected:
    QPoint toGlobal(const QPointF &position) const override { return m_frame.topLeft() + position.toPoint(); }

private:
    void layout()
    {
        if (!m_frame.isEmpty())
            lines().layout(m_frame.width(), deviceScale, BandLines::now());
    }

    QRect m_frame;
    bool m_shown = false;
};
