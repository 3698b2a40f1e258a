#include "app/BandInteraction.h"

#include "app/TickerController.h"
#include "line/LineHit.h"
#include "settings/Settings.h"

#include <QDesktopServices>
#include <QTextDocument>
#include <QToolTip>

#include <algorithm>

BandInteraction::BandInteraction(TickerController &controller, LedView &view, QObject *parent)
    : QObject(parent)
    , m_controller(controller)
    , m_view(view)
{
    openUrl = [](const QUrl &url) { QDesktopServices::openUrl(url); };
    showTooltip = [this](const QPoint &global, const QString &text) {
        if (text.isEmpty())
            QToolTip::hideText();
        else // the text comes from feeds: shown as plain text, never as markup
            QToolTip::showText(global, Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal), &m_view);
    };
    m_tooltipTimer.setSingleShot(true);
    m_tooltipTimer.setInterval(tooltipDelayMs);
    connect(&m_tooltipTimer, &QTimer::timeout, this, &BandInteraction::showPendingTooltip);
}

std::optional<LineTargets::Target> BandInteraction::targetAt(const QPointF &position) const
{
    const int index = m_view.lineAt(position.y());
    if (index < 0)
        return std::nullopt;
    const ScrollLine &line = m_view.line(index);
    if (!line.content())
        return std::nullopt;
    const QList<LineSpan> &spans = index == 0 ? m_controller.quoteSpans() : m_controller.newsSpans();
    const std::optional<LineSpan> span =
        LineHit::spanAt(spans, m_view.lineColumn(index), position.x(), line.content()->pitch, line.content()->bitmap.w);
    if (!span)
        return std::nullopt;
    if (index == 0) {
        const QList<Quote> &quotes = m_controller.shownQuotes();
        if (span->index < 0 || span->index >= quotes.size())
            return std::nullopt;
        const Quote &quote = quotes.at(span->index);
        const QList<WatchItem> items = m_controller.settings().items();
        const auto item =
            std::find_if(items.cbegin(), items.cend(), [&](const WatchItem &w) { return w.id == quote.id; });
        return LineTargets::quoteTarget(quote, item == items.cend() ? nullptr : &*item,
                                        m_controller.shownStale().value(span->index));
    }
    const QList<Headline> &headlines = m_controller.shownHeadlines();
    if (span->part == LineSpan::Part::message || span->index < 0 || span->index >= headlines.size())
        return std::nullopt;
    return LineTargets::headlineTarget(headlines.at(span->index), span->part);
}

void BandInteraction::handle(const LedView::PointerEvent &event)
{
    switch (event.type) {
    case LedView::PointerEvent::Type::move:
        hover(event.position, event.globalPosition);
        break;
    case LedView::PointerEvent::Type::leave:
        leave();
        break;
    case LedView::PointerEvent::Type::press:
        hover(event.position, event.globalPosition);
        if (event.button == Qt::LeftButton && m_hovered && !m_hovered->url.isEmpty() && openUrl)
            openUrl(m_hovered->url);
        break;
    }
}

void BandInteraction::hover(const QPointF &position, const QPoint &global)
{
    pauseLine(m_view.lineAt(position.y()));
    m_global = global;
    const std::optional<LineTargets::Target> target = targetAt(position);
    if (target != m_hovered) {
        m_hovered = target;
        if (m_tooltipShown && showTooltip)
            showTooltip(global, {});
        m_tooltipShown = false;
        if (m_hovered && !m_hovered->tooltip.isEmpty())
            m_tooltipTimer.start();
        else
            m_tooltipTimer.stop();
    }
    if (m_hovered && !m_hovered->url.isEmpty())
        m_view.setCursor(Qt::PointingHandCursor);
    else
        m_view.unsetCursor();
}

void BandInteraction::leave()
{
    pauseLine(-1);
    m_hovered.reset();
    m_tooltipTimer.stop();
    if (m_tooltipShown && showTooltip)
        showTooltip(m_global, {});
    m_tooltipShown = false;
    m_view.unsetCursor();
}

void BandInteraction::pauseLine(int index)
{
    if (index == m_pausedLine)
        return;
    if (m_pausedLine >= 0)
        m_view.setLinePaused(m_pausedLine, false);
    m_pausedLine = index;
    if (m_pausedLine >= 0)
        m_view.setLinePaused(m_pausedLine, true);
}

void BandInteraction::showPendingTooltip()
{
    if (!m_hovered || m_hovered->tooltip.isEmpty() || !showTooltip)
        return;
    showTooltip(m_global, m_hovered->tooltip);
    m_tooltipShown = true;
}
