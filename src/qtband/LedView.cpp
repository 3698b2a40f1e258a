#include "qtband/LedView.h"

#include "band/Renderer.h"
#include "util/Clock.h"

#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <vector>

LedView::LedView(BandLines *lines, QWidget *parent)
    : BandWidget(lines, parent)
    , m_stats(FrameStats::fromEnvironment())
{
    // Every pixel is painted each frame, so Qt need not clear anything first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);

    m_frameTimer.setTimerType(Qt::PreciseTimer);
    m_frameTimer.setSingleShot(true);
    connect(&m_frameTimer, &QTimer::timeout, this, &LedView::frame);
    m_frameClock.start();
}

LedView::~LedView() = default;

void LedView::refresh()
{
    const bool changed = layoutLines();
    if (changed || backingScale() != m_paintedScale) {
        m_paintedScale = backingScale();
        m_shownValid = false;
        update();
    }
    updateAnimation();
}

void LedView::updateAnimation()
{
    const bool moving = isVisible() && lines().isMoving();
    if (!moving) {
        m_frameTimer.stop();
        return;
    }
    if (!m_frameTimer.isActive())
        m_frameTimer.start(m_pacer.start(m_frameClock.nsecsElapsed(), frameIntervalNs()));
}

void LedView::frame()
{
    if (!lines().isMoving() || !isVisible())
        return;
    if (backingScale() != m_paintedScale) {
        // Moved to a screen of another pixel density: the tiles must be rendered anew.
        refresh();
    }
    m_frameTimer.start(m_pacer.next(m_frameClock.nsecsElapsed(), frameIntervalNs()));
    const double t = BandLines::now();
    if (!scrollFrame(t)) {
        m_frameTime = t;
        repaint();
    }
    m_frameTime.reset();
}

bool LedView::scrollFrame(double t)
{
    // What is on screen already holds every pixel but the few columns that come in at the
    // right edge: the window system shifts the rest, and only that strip is painted. Only
    // at one device pixel per logical pixel, where a scroll moves whole device pixels.
    if (!m_shownValid || devicePixelRatioF() != 1.0)
        return false;
    const int deviceWidth = width();
    QRegion exposed;
    std::array<int, 2> offsets{};
    std::array<int, 2> shifts{};
    const std::array<const ScrollLine *, 2> lines{&quotesLine(), &newsLine()};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ScrollLine *line = lines[i];
        if (!line->isRunning())
            continue;
        offsets[i] = line->offsetPixels(line->columnAt(t));
        int shift = offsets[i] - m_shownOffsets[i];
        const int loop = line->loopPixels();
        if (shift < 0)
            shift += loop; // wrapped round the loop
        if (shift < 0 || shift >= deviceWidth / 2)
            return false;
        shifts[i] = shift;
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!lines[i]->isRunning() || shifts[i] == 0)
            continue;
        const QRect r = lines[i]->deviceRect(deviceWidth);
        scroll(-shifts[i], 0, r);
        exposed += QRect(r.right() + 1 - shifts[i], r.top(), shifts[i], r.height());
    }
    m_frameTime = t;
    if (!exposed.isEmpty())
        repaint(exposed);
    m_shownOffsets = offsets;
    return true;
}

void LedView::paintLines(QPainter &painter, double t, int deviceWidth, int deviceHeight) const
{
    QRegion uncovered(0, 0, deviceWidth, deviceHeight);
    for (const ScrollLine *line : {&quotesLine(), &newsLine()}) {
        if (!line->isRunning())
            continue;
        if (line->paint(painter, line->columnAt(t), deviceWidth))
            uncovered -= line->deviceRect(deviceWidth);
    }
    // Failed tiles are rare; their place is painted over with the background afterwards.
    for (const QRect &r : uncovered) {
        if (!r.isEmpty())
            painter.fillRect(r, QColor::fromRgba(Renderer::background));
    }
}

void LedView::paintEvent(QPaintEvent *event)
{
    if (m_stats)
        m_stats->record();
    QPainter painter(this);
    const double dpr = devicePixelRatioF();
    const double t = m_frameTime.value_or(BandLines::now());
    // A paint of the whole view leaves a frame that the next one may scroll.
    const bool whole = event->region().contains(rect());
    if (!whole && !m_frameTime) {
        // Part of the band exposed by the window system: painted at another moment than the
        // rest, so the next frame repaints everything instead of shifting the mismatch along.
        m_shownValid = false;
    }
    if (whole) {
        m_shownValid = dpr == 1.0;
        m_shownOffsets[0] = quotesLine().offsetPixels(quotesLine().columnAt(t));
        m_shownOffsets[1] = newsLine().offsetPixels(newsLine().columnAt(t));
    }
    // Paint in device pixels so tiles land on whole pixels and are copied without scaling.
    painter.setWorldTransform(QTransform::fromScale(1 / dpr, 1 / dpr));
    const int deviceWidth = static_cast<int>(std::ceil(width() * dpr));
    const int deviceHeight = static_cast<int>(std::ceil(height() * dpr));
    paintLines(painter, t, deviceWidth, deviceHeight);
}

void LedView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    updateAnimation();
}

void LedView::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_frameTimer.stop();
    m_shownValid = false;
}

bool LedView::writePNG(const QString &path) const
{
    return lines().writePNG(path, width(), height());
}
