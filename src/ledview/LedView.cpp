#include "ledview/LedView.h"

#include "ledview/Renderer.h"
#include "util/Clock.h"

#include <QContextMenuEvent>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QSaveFile>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <vector>

/**
 * Frame timestamps for measuring the motion, enabled by DOTBANNER_FRAME_STATS=path. Kept in
 * memory and appended to the file once a second, so the frame path only stores a number.
 */
struct LedView::FrameStats
{
    explicit FrameStats(QString path)
        : file(std::move(path))
    {
        clock.start();
        times.reserve(256);
        QFile out(file);
        if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            out.close();
    }
    ~FrameStats() { flush(); }

    void flush()
    {
        if (times.empty())
            return;
        QFile out(file);
        if (out.open(QIODevice::WriteOnly | QIODevice::Append)) {
            QByteArray text;
            for (qint64 t : times)
                text += QByteArray::number(t) + '\n';
            out.write(text);
        }
        times.clear();
    }

    QString file;
    QElapsedTimer clock;
    std::vector<qint64> times; ///< nanoseconds since the stats began, one per painted frame
    QTimer flushTimer;
};

LedView::LedView(QWidget *parent)
    : QWidget(parent)
{
    // Every pixel is painted each frame, so Qt need not clear anything first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);

    // Hovering shows what is under the pointer, with no button held.
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);

    m_frameTimer.setTimerType(Qt::PreciseTimer);
    m_frameTimer.setSingleShot(true);
    connect(&m_frameTimer, &QTimer::timeout, this, &LedView::frame);
    m_frameClock.start();

    const QString statsPath = qEnvironmentVariable("DOTBANNER_FRAME_STATS");
    if (!statsPath.isEmpty()) {
        m_stats = std::make_unique<FrameStats>(statsPath);
        m_stats->flushTimer.setInterval(1000);
        connect(&m_stats->flushTimer, &QTimer::timeout, this, [this] { m_stats->flush(); });
        m_stats->flushTimer.start();
    }
}

LedView::~LedView() = default;

double LedView::now()
{
    return static_cast<double>(Clock::current().monotonicMs()) / 1000.0;
}

int LedView::lineAt(double y) const
{
    for (int index : {0, 1}) {
        const ScrollLine &scrollLine = line(index);
        const auto &placement = scrollLine.placement();
        if (scrollLine.isRunning() && placement && y >= placement->y && y < placement->y + scrollLine.height())
            return index;
    }
    return -1;
}

double LedView::lineColumn(int index) const
{
    return line(index).columnAt(now());
}

void LedView::setLinePaused(int index, bool paused)
{
    ScrollLine &scrollLine = index == 1 ? m_newsLine : m_quotesLine;
    if (paused == scrollLine.isPaused())
        return;
    if (paused)
        scrollLine.pause(now());
    else
        scrollLine.resume(now());
    updateAnimation();
}

void LedView::mouseMoveEvent(QMouseEvent *event)
{
    if (pointerHandler)
        pointerHandler({PointerEvent::Type::move, event->position(), event->globalPosition().toPoint(), Qt::NoButton});
    QWidget::mouseMoveEvent(event);
}

void LedView::mousePressEvent(QMouseEvent *event)
{
    if (pointerHandler)
        pointerHandler({PointerEvent::Type::press, event->position(), event->globalPosition().toPoint(),
                        event->button()});
    QWidget::mousePressEvent(event);
}

void LedView::leaveEvent(QEvent *event)
{
    if (pointerHandler)
        pointerHandler({PointerEvent::Type::leave, {}, {}, Qt::NoButton});
    QWidget::leaveEvent(event);
}

double LedView::backingScale() const
{
    if (const QWindow *handle = window()->windowHandle())
        return handle->devicePixelRatio();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        return screen->devicePixelRatio();
    return 2;
}

int LedView::frameIntervalNs() const
{
    const QScreen *s = screen();
    double rate = s ? s->refreshRate() : 0;
    if (!(rate >= 1))
        rate = 60;
    // The text moves smoothly at 60 frames per second; faster displays gain nothing visible.
    rate = std::clamp(rate, 30.0, 60.0);
    return static_cast<int>(std::lround(1e9 / rate));
}

void LedView::refresh()
{
    const double scale = backingScale();
    const double t = now();
    const double viewWidth = width();
    const double quotesTop = 0;
    m_quotesLine.update(bitmap, quotesTop, viewWidth, pitch, theme, speed, scale, t);
    const double newsTop = quotesTop + (bitmap ? static_cast<double>(bitmap->h) * pitch : 0);
    m_newsLine.update(newsBitmap, newsTop, viewWidth, pitch, theme, speed, scale, t);
    m_paintedScale = scale;
    m_shownValid = false;
    update();
    updateAnimation();
}

void LedView::updateAnimation()
{
    const bool moving = isVisible() && (m_quotesLine.isMoving() || m_newsLine.isMoving());
    if (!moving) {
        m_frameTimer.stop();
        return;
    }
    if (!m_frameTimer.isActive()) {
        m_nextFrameNs = m_frameClock.nsecsElapsed() + frameIntervalNs();
        m_frameTimer.start(frameIntervalNs() / 1000000);
    }
}

void LedView::frame()
{
    if (!(m_quotesLine.isMoving() || m_newsLine.isMoving()) || !isVisible())
        return;
    if (backingScale() != m_paintedScale) {
        // Moved to a screen of another pixel density: the tiles must be rendered anew.
        refresh();
    }
    // Frames follow a fixed schedule, so 16 and 17 ms waits alternate to give 60 per second;
    // after a stall the schedule restarts from now instead of rushing to catch up.
    const qint64 interval = frameIntervalNs();
    const qint64 current = m_frameClock.nsecsElapsed();
    m_nextFrameNs += interval;
    if (m_nextFrameNs < current)
        m_nextFrameNs = current + interval;
    m_frameTimer.start(static_cast<int>((m_nextFrameNs - current + 500000) / 1000000));
    const double t = now();
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
    const std::array<const ScrollLine *, 2> lines{&m_quotesLine, &m_newsLine};
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
    for (const ScrollLine *line : {&m_quotesLine, &m_newsLine}) {
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
        m_stats->times.push_back(m_stats->clock.nsecsElapsed());
    QPainter painter(this);
    const double dpr = devicePixelRatioF();
    const double t = m_frameTime.value_or(now());
    // A paint of the whole view leaves a frame that the next one may scroll.
    const bool whole = event->region().contains(rect());
    if (!whole && !m_frameTime) {
        // Part of the band exposed by the window system: painted at another moment than the
        // rest, so the next frame repaints everything instead of shifting the mismatch along.
        m_shownValid = false;
    }
    if (whole) {
        m_shownValid = dpr == 1.0;
        m_shownOffsets[0] = m_quotesLine.offsetPixels(m_quotesLine.columnAt(t));
        m_shownOffsets[1] = m_newsLine.offsetPixels(m_newsLine.columnAt(t));
    }
    // Paint in device pixels so tiles land on whole pixels and are copied without scaling.
    painter.setWorldTransform(QTransform::fromScale(1 / dpr, 1 / dpr));
    const int deviceWidth = static_cast<int>(std::ceil(width() * dpr));
    const int deviceHeight = static_cast<int>(std::ceil(height() * dpr));
    paintLines(painter, t, deviceWidth, deviceHeight);
}

void LedView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    refresh();
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

void LedView::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = menuProvider ? menuProvider() : nullptr;
    if (!menu) {
        event->ignore();
        return;
    }
    menu->exec(event->globalPos());
}

bool LedView::writePNG(const QString &path) const
{
    const int w = width();
    const int h = height();
    if (w <= 0 || h <= 0)
        return false;
    QImage picture(2 * w, 2 * h, QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull())
        return false;
    picture.fill(QColor::fromRgba(Renderer::background));
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        for (const ScrollLine *line : {&m_quotesLine, &m_newsLine}) {
            if (!line->isRunning())
                continue;
            const double scale = line->content()->scale;
            painter.setWorldTransform(QTransform::fromScale(2 / scale, 2 / scale));
            line->paint(painter, 0, static_cast<int>(std::ceil(w * scale)));
        }
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!picture.save(&file, "PNG")) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
