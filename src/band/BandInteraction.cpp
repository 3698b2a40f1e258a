#include "band/BandInteraction.h"

#include "band/BandItems.h"
#include "band/BandLines.h"
#include "line/LineHit.h"

#include <QDesktopServices>

#include <chrono>
#include <utility>

BandInteraction::BandInteraction(BandLines &lines, const BandItems &items, QObject *parent)
    : QObject(parent)
    , m_lines(lines)
    , m_items(items)
{
    openUrl = [](const QUrl &url) { QDesktopServices::openUrl(url); };
    m_tooltipTimer.setSingleShot(true);
    m_tooltipTimer.setInterval(std::chrono::milliseconds(tooltipDelayMs));
    connect(&m_tooltipTimer, &ClockTimer::timeout, this, &BandInteraction::showPendingTooltip);
}

BandInteraction::~BandInteraction()
{
    // No pointer event may reach an interaction that is gone.
    if (m_surface)
        m_surface->setPointerHandler({});
}

void BandInteraction::setSurface(BandSurface *surface)
{
    if (m_surface == surface)
        return;
    if (m_surface)
        m_surface->setPointerHandler({});
    m_surface = surface;
    m_pointingHand.reset();
    if (m_surface)
        m_surface->setPointerHandler([this](const BandPointerEvent &event) { handle(event); });
}

void BandInteraction::setFirstTooltip(const QString &text)
{
    m_firstTooltip = text;
}

std::optional<LineSpan> BandInteraction::spanAt(int index, const QPointF &position) const
{
    if (index != BandLines::quotes && index != BandLines::news)
        return std::nullopt;
    const ScrollLine &line = m_lines.line(index);
    if (!line.content())
        return std::nullopt;
    return LineHit::spanAt(m_items.spans(index), line.columnAt(BandLines::now()), position.x(), line.content()->pitch,
                           line.content()->bitmap.w);
}

std::optional<LineTargets::Target> BandInteraction::targetAt(int index, const QPointF &position) const
{
    const std::optional<LineSpan> span = spanAt(index, position);
    if (!span)
        return std::nullopt;
    return m_items.target(index, *span);
}

void BandInteraction::notice(int line, const QPointF &position)
{
    if (!noticed)
        return;
    if (const std::optional<LineSpan> span = spanAt(line, position))
        noticed(line, *span);
}

void BandInteraction::handle(const BandPointerEvent &event)
{
    switch (event.type) {
    case BandPointerEvent::Type::enter:
    case BandPointerEvent::Type::move:
        hover(event.line, event.position);
        break;
    case BandPointerEvent::Type::leave:
        leave();
        break;
    case BandPointerEvent::Type::press:
        // The right button belongs to the menu, wherever it is pressed.
        if (event.button == Qt::RightButton) {
            if (m_surface)
                m_surface->openMenu(event.position);
            break;
        }
        hover(event.line, event.position);
        if (event.button == Qt::LeftButton)
            notice(event.line, event.position);
        if (event.button == Qt::LeftButton && m_hovered && !m_hovered->url.isEmpty() && openUrl)
            openUrl(m_hovered->url);
        break;
    case BandPointerEvent::Type::release:
        break;
    }
}

void BandInteraction::hover(int line, const QPointF &position)
{
    pauseLine(line);
    m_position = position;
    const std::optional<LineTargets::Target> target = targetAt(line, position);
    if (target != m_hovered) {
        m_hovered = target;
        hideTooltip();
        if (m_hovered && !m_hovered->tooltip.isEmpty())
            m_tooltipTimer.start();
        else
            m_tooltipTimer.stop();
    }
    // The first tooltip shows wherever the pointer comes to rest: each move starts the wait again.
    if (hasFirstTooltip() && !m_tooltipShown)
        m_tooltipTimer.start();
    setPointingHand(m_hovered && !m_hovered->url.isEmpty());
}

void BandInteraction::leave()
{
    pauseLine(-1);
    m_hovered.reset();
    m_tooltipTimer.stop();
    hideTooltip();
    setPointingHand(false);
}

void BandInteraction::hideTooltip()
{
    if (m_tooltipShown && m_surface)
        m_surface->hideTooltip();
    m_tooltipShown = false;
}

void BandInteraction::setPointingHand(bool on)
{
    if (!m_surface || !m_surface->capabilities().cursorShapes || m_pointingHand == on)
        return;
    m_pointingHand = on;
    m_surface->setCursor(on ? BandCursor::pointingHand : BandCursor::normal);
}

void BandInteraction::pauseLine(int index)
{
    if (index == m_pausedLine)
        return;
    const double now = BandLines::now();
    if (m_pausedLine >= 0)
        m_lines.resume(m_pausedLine, now);
    m_pausedLine = index == BandLines::quotes || index == BandLines::news ? index : -1;
    if (m_pausedLine >= 0)
        m_lines.pause(m_pausedLine, now);
    if (m_surface)
        m_surface->linesChanged();
}

void BandInteraction::showPendingTooltip()
{
    if (!m_surface)
        return;
    if (hasFirstTooltip()) {
        m_surface->showTooltip(m_position, std::exchange(m_firstTooltip, QString()));
        m_tooltipShown = true;
        return;
    }
    if (!m_hovered || m_hovered->tooltip.isEmpty())
        return;
    m_surface->showTooltip(m_position, m_hovered->tooltip);
    m_tooltipShown = true;
    notice(m_pausedLine, m_position);
}
