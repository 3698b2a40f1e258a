#include "app/BandInteraction.h"

#include "app/TickerController.h"
#include "band/BandLines.h"
#include "line/LineHit.h"
#include "settings/Settings.h"

#include <QCursor>
#include <QDesktopServices>
#include <QTextDocument>
#include <QToolTip>
#include <QWidget>

#include <algorithm>

BandInteraction::BandInteraction(TickerController &controller, QObject *parent)
    : QObject(parent)
    , m_controller(controller)
{
    openUrl = [](const QUrl &url) { QDesktopServices::openUrl(url); };
    showTooltip = [this](const QPoint &global, const QString &text) {
        if (text.isEmpty())
            QToolTip::hideText();
        else // the text comes from feeds: shown as plain text, never as markup
            QToolTip::showText(global, Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal),
                               m_controller.surface() ? m_controller.surface()->widget() : nullptr);
    };
    m_tooltipTimer.setSingleShot(true);
    m_tooltipTimer.setInterval(tooltipDelayMs);
    connect(&m_tooltipTimer, &QTimer::timeout, this, &BandInteraction::showPendingTooltip);
}

std::optional<LineTargets::Target> BandInteraction::targetAt(int index, const QPointF &position) const
{
    if (index != BandLines::quotes && index != BandLines::news)
        return std::nullopt;
    const ScrollLine &line = m_controller.lines().line(index);
    if (!line.content())
        return std::nullopt;
    const QList<LineSpan> &spans = index == BandLines::quotes ? m_controller.quoteSpans() : m_controller.newsSpans();
    const std::optional<LineSpan> span = LineHit::spanAt(spans, line.columnAt(BandLines::now()), position.x(),
                                                         line.content()->pitch, line.content()->bitmap.w);
    if (!span)
        return std::nullopt;
    if (index == BandLines::quotes) {
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

void BandInteraction::handle(const BandPointerEvent &event)
{
    const QPoint global = event.globalPosition.value_or(QCursor::pos());
    switch (event.type) {
    case BandPointerEvent::Type::enter:
    case BandPointerEvent::Type::move:
        hover(event.line, event.position, global);
        break;
    case BandPointerEvent::Type::leave:
        leave();
        break;
    case BandPointerEvent::Type::press:
        hover(event.line, event.position, global);
        if (event.button == Qt::LeftButton && m_hovered && !m_hovered->url.isEmpty() && openUrl)
            openUrl(m_hovered->url);
        break;
    case BandPointerEvent::Type::release:
        break;
    }
}

void BandInteraction::hover(int line, const QPointF &position, const QPoint &global)
{
    pauseLine(line);
    m_global = global;
    const std::optional<LineTargets::Target> target = targetAt(line, position);
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
    setPointingHand(m_hovered && !m_hovered->url.isEmpty());
}

void BandInteraction::leave()
{
    pauseLine(-1);
    m_hovered.reset();
    m_tooltipTimer.stop();
    if (m_tooltipShown && showTooltip)
        showTooltip(m_global, {});
    m_tooltipShown = false;
    setPointingHand(false);
}

void BandInteraction::setPointingHand(bool on)
{
    // Only a surface with a Qt widget has a cursor of its own to set.
    QWidget *widget = m_controller.surface() ? m_controller.surface()->widget() : nullptr;
    if (!widget)
        return;
    if (on)
        widget->setCursor(Qt::PointingHandCursor);
    else
        widget->unsetCursor();
}

void BandInteraction::pauseLine(int index)
{
    if (index == m_pausedLine)
        return;
    BandLines &lines = m_controller.lines();
    const double now = BandLines::now();
    if (m_pausedLine >= 0)
        lines.resume(m_pausedLine, now);
    m_pausedLine = index == BandLines::quotes || index == BandLines::news ? index : -1;
    if (m_pausedLine >= 0)
        lines.pause(m_pausedLine, now);
    if (m_controller.surface())
        m_controller.surface()->linesChanged();
}

void BandInteraction::showPendingTooltip()
{
    if (!m_hovered || m_hovered->tooltip.isEmpty() || !showTooltip)
        return;
    showTooltip(m_global, m_hovered->tooltip);
    m_tooltipShown = true;
}
