#include "x11band/X11BandView.h"

#include "band/BandLines.h"
#include "band/Renderer.h"
#include "x11band/X11BandLog.h"
#include "x11band/X11LoopCopy.h"

#include <QCoreApplication>

#include <xcb/xcb.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace {

/** How often more frames are queued through Present (they are queued a second ahead). */
constexpr int queueTimerMs = 500;

/** What decides whether the pixmaps of `line` still fit. */
qint64 tilesKey(const ScrollLine &line)
{
    return line.tiles().isEmpty() ? 0 : line.tiles().first().image.cacheKey();
}

} // namespace

X11BandView::X11BandView(BandLines *lines, OwnWindowHints *system)
    : X11BandWindow(lines, system)
    , m_stats(FrameStats::fromEnvironment())
{
    // Qt never paints into the window (it makes no backing store for it): the server copies
    // the frames there.
    m_frameTimer.setTimerType(Qt::PreciseTimer);
    m_frameTimer.setSingleShot(true);
    connect(&m_frameTimer, &QTimer::timeout, this, &X11BandView::frame);
    m_frameClock.start();

    // Frames are queued a second ahead, so this timer may fire a little early or late.
    m_queueTimer.setTimerType(Qt::CoarseTimer);
    m_queueTimer.setInterval(queueTimerMs);
    connect(&m_queueTimer, &QTimer::timeout, this, [this] {
        if (backingScale() != m_scale)
            refresh(); // another pixel density: the pixmaps are made anew
        m_present->topUp();
    });
}

X11BandView::~X11BandView()
{
    if (!m_connection.isOpen())
        return;
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
    m_frames.reset(); // no frame from pixmaps about to go
    if (m_connection.works()) {
        for (int i = 0; i < BandLines::lineCount; ++i) {
            releaseSegments(m_state[static_cast<std::size_t>(i)].segments);
            destroyLineWindow(i);
        }
        if (m_gc)
            xcb_free_gc(m_connection.get(), m_gc);
        X11Connection::roundTrip(m_connection.get()); // all of it done before the uploads' connection closes
    }
    // The uploads stop before the connection goes: whatever they made goes with theirs.
    m_uploader.reset();
}

bool X11BandView::isAvailable()
{
    xcb_connection_t *connection = X11Connection::qtConnection();
    if (!connection || xcb_connection_has_error(connection))
        return false;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    return screen && X11Connection::acceptsRgb32(connection, screen->root_depth);
}

bool X11BandView::isUploading() const
{
    return std::any_of(m_state.begin(), m_state.end(), [](const LineState &s) { return s.pending.has_value(); });
}

bool X11BandView::presentsLine(int line) const
{
    return usesPresent(m_state[static_cast<std::size_t>(line)]);
}

bool X11BandView::usesPresent(const LineState &state) const
{
    return m_present && m_present->isEnabled() && !state.segments.empty();
}

int X11BandView::deviceWidth() const
{
    return static_cast<int>(std::ceil(width() * backingScale()));
}

bool X11BandView::openConnection()
{
    if (!m_connection.open())
        return false;
    m_windows = std::make_unique<X11LineWindows>(m_connection.get(), m_connection.qt());
    X11PresentScheduler::Hooks hooks;
    hooks.line = [this](int index) { return presentedLine(index); };
    hooks.visible = [this] { return isVisible(); };
    // While the timer draws, it records its own frames.
    hooks.recordsShown = [this] { return !m_frameTimer.isActive(); };
    hooks.stopped = [this] { presentStopped(); };
    m_present = std::make_unique<X11PresentScheduler>(m_connection.get(), m_connection.offersPresent(),
                                                      m_connection.presentOpcode(), m_stats.get(), std::move(hooks));
    m_uploader = std::make_unique<X11LineUploader>(this, [this](X11LineUploader::Result r) { uploaded(std::move(r)); });
    // Exposures of the lines' windows arrive on Qt's connection, where the view selects them.
    QCoreApplication::instance()->installNativeEventFilter(this);
    return true;
}

bool X11BandView::ensureResources()
{
    if (!m_connection.isOpen() && !openConnection())
        return false;
    if (!m_connection.works())
        return false;
    const auto window = static_cast<std::uint32_t>(winId());
    if (window == m_window && m_gc)
        return true;
    // A new native window: the lines' windows went with the old one.
    for (int i = 0; i < BandLines::lineCount; ++i) {
        destroyLineWindow(i);
        m_present->forget(i);
    }
    xcb_connection_t *connection = m_connection.get();
    if (m_gc)
        xcb_free_gc(connection, m_gc);
    m_gc = 0;
    m_window = window;
    // Asked on Qt's connection: the answer also means the server has made the window.
    xcb_connection_t *qt = m_connection.qt();
    xcb_get_geometry_reply_t *geometry = xcb_get_geometry_reply(qt, xcb_get_geometry(qt, m_window), nullptr);
    if (!geometry)
        return false;
    m_depth = geometry->depth;
    m_root = geometry->root;
    std::free(geometry);
    m_gc = xcb_generate_id(connection);
    // Without graphics exposures off, every copy would send a NoExpose event back to us.
    const std::uint32_t values[] = {m_depth == 32 ? Renderer::background : (Renderer::background & 0xFFFFFF), 0};
    xcb_create_gc(connection, m_gc, m_window, XCB_GC_FOREGROUND | XCB_GC_GRAPHICS_EXPOSURES, values);
    m_windows->setParent(m_window, m_gc);
    m_present->setTarget(m_window, m_depth, m_gc);
    return true;
}

void X11BandView::releaseSegments(std::vector<Segment> &segments)
{
    for (const Segment &segment : segments)
        xcb_free_pixmap(m_connection.get(), segment.pixmap);
    segments.clear();
}

void X11BandView::destroyLineWindow(int index)
{
    if (m_frames)
        m_frames->setLine(index, {}); // nothing drawn into it any more
    m_present->windowGone(m_windows->window(index));
    m_windows->destroy(index);
}

void X11BandView::clearLine(int index)
{
    LineState &state = m_state[static_cast<std::size_t>(index)];
    state.pending.reset();
    if (state.segments.empty() && !m_windows->window(index))
        return;
    if (m_frames)
        m_frames->setLine(index, {});
    releaseSegments(state.segments);
    // Destroying the window also drops the frames queued for it.
    destroyLineWindow(index);
    state.key = {};
    m_present->forget(index);
    requestUpdate(); // the background where the line was
}

void X11BandView::refresh()
{
    layoutLines();
    if (!handle() && !isVisible()) {
        // Nothing on the server yet: uploads wait for the window.
        updateAnimation();
        return;
    }
    if (!ensureResources()) {
        updateAnimation();
        return;
    }
    const double scale = backingScale();
    if (scale != m_scale && isVisible())
        requestUpdate();
    m_scale = scale;
    const int width = deviceWidth();
    for (int i = 0; i < BandLines::lineCount; ++i)
        syncLine(i, width);
    xcb_flush(m_connection.get());
    updateAnimation();
}

void X11BandView::syncLine(int index, int width)
{
    LineState &state = m_state[static_cast<std::size_t>(index)];
    const ScrollLine &line = lines().line(index);
    const QRect rect = line.deviceRect(width);
    if (!line.isRunning() || line.tiles().isEmpty() || rect.height() <= 0 || width <= 0) {
        if (state.pending)
            m_uploader->cancel(index);
        clearLine(index);
        return;
    }
    const UploadKey key{tilesKey(line), width, line.loopPixels(), rect.height(), m_depth};
    if (key == state.key && !state.segments.empty()) {
        if (state.pending) {
            // Back to what is shown already: the upload under way is of no use.
            state.pending.reset();
            m_uploader->cancel(index);
        }
        const LineMotion motion = LineMotion::of(line, width);
        const bool moved = motion != state.motion || !m_windows->window(index);
        state.motion = motion;
        if (moved) {
            // A pause, a resume, a new speed or place: shown from the next frame on.
            placeLineWindow(index);
            if (usesPresent(state))
                m_present->queue(index, true);
            else
                drawLine(index, BandLines::now());
        }
        return;
    }
    if (state.pending && key == state.pendingKey)
        return; // those very pixmaps are being made
    state.pending = m_uploader->submit(index, line, width, m_root, m_depth);
    state.pendingKey = key;
    state.pendingMotion = LineMotion::of(line, width);
    ++m_uploads;
    // Until they are complete the old pixmaps go on with the motion they were made for; a
    // pause meanwhile still takes effect at once.
    if (!state.segments.empty() && line.isPaused() != state.motion.pausedColumn.has_value()) {
        const double now = BandLines::now();
        if (line.isPaused())
            state.motion.pause(now);
        else
            state.motion.resume(now);
        if (usesPresent(state))
            m_present->queue(index, true);
    }
}

void X11BandView::uploaded(X11LineUploader::Result result)
{
    LineState &state = m_state[static_cast<std::size_t>(result.line)];
    if (!state.pending || *state.pending != result.generation || !m_connection.isOpen()) {
        releaseSegments(result.segments); // overtaken by a later change
        if (m_connection.isOpen())
            xcb_flush(m_connection.get());
        return;
    }
    state.pending.reset();
    if (result.segments.empty()) {
        qCWarning(lcX11Band) << "the X server could not take the pixmaps of line" << result.line;
        clearLine(result.line);
        xcb_flush(m_connection.get());
        return;
    }
    const bool wasPresent = usesPresent(state);
    qCDebug(lcX11Band) << "line" << result.line << "now in" << result.segments.size() << "pixmap(s) for a loop of"
                       << state.pendingKey.loopPixels << "pixels";
    std::vector<Segment> old = std::exchange(state.segments, std::move(result.segments));
    state.key = state.pendingKey;
    // The line as it stands now when its tiles are still those uploaded (it may have been
    // paused since), else as it stood when the upload was asked for.
    const ScrollLine &live = lines().line(result.line);
    const bool current = tilesKey(live) == state.key.tiles && live.loopPixels() == state.key.loopPixels &&
                         deviceWidth() == state.key.deviceWidth;
    state.motion = current ? LineMotion::of(live, state.key.deviceWidth) : state.pendingMotion;
    if (wasPresent != usesPresent(state))
        destroyLineWindow(result.line); // frames queued for the old pixmaps must not come back
    placeLineWindow(result.line);
    // The swap takes effect at the next frame: queued from the next blank, or drawn now.
    if (usesPresent(state))
        m_present->queue(result.line, true);
    else
        drawLine(result.line, BandLines::now());
    handOver(result.line); // the drawing thread lets go of the old pixmaps
    releaseSegments(old);
    fillUncovered();
    xcb_flush(m_connection.get());
    updateAnimation();
}

void X11BandView::placeLineWindow(int index)
{
    const LineState &state = m_state[static_cast<std::size_t>(index)];
    if (!m_gc || state.segments.empty())
        return;
    const QRect rect = state.motion.rect;
    if (rect.isEmpty())
        return;
    const X11LineWindows::Placed placed = m_windows->place(index, rect, usesPresent(state));
    if (placed == X11LineWindows::Placed::unchanged)
        return;
    if (placed == X11LineWindows::Placed::made)
        m_present->forget(index);
    fillUncovered();
}

void X11BandView::fillUncovered()
{
    if (!m_gc)
        return;
    m_windows->fillUncovered(deviceWidth(), static_cast<int>(std::ceil(height() * backingScale())));
}

void X11BandView::drawLine(int index, double t)
{
    const LineState &state = m_state[static_cast<std::size_t>(index)];
    const std::uint32_t window = m_windows->window(index);
    if (!window || state.segments.empty())
        return;
    copyLoopColumns(m_connection.get(), m_gc, state.segments, state.motion.loopPixels, state.motion.rect.height(),
                    window, state.motion.offsetAt(t), m_windows->rect(index).width());
}

void X11BandView::drawFrame(double t)
{
    if (!m_connection.isOpen() || !m_gc || !isVisible())
        return;
    for (int i = 0; i < BandLines::lineCount; ++i)
        drawLine(i, t);
    xcb_flush(m_connection.get());
}

bool X11BandView::event(QEvent *event)
{
    if (event->type() == QEvent::UpdateRequest)
        repaintAll();
    return X11BandWindow::event(event);
}

void X11BandView::exposeEvent(QExposeEvent *)
{
    // Also sent when the window is unmapped, with nothing to show.
    if (isExposed())
        repaintAll();
}

void X11BandView::resizeEvent(QResizeEvent *event)
{
    X11BandWindow::resizeEvent(event);
    requestUpdate(); // all of it as it stands at the new size
}

void X11BandView::repaintAll()
{
    // An exposure or a change: the background where no line is, then the lines as they stand.
    if (!ensureResources())
        return;
    m_present->readEvents();
    fillUncovered();
    drawFrame(BandLines::now());
    m_present->queueAll();
    xcb_flush(m_connection.get());
}

bool X11BandView::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t" || !m_windows)
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7F) != XCB_EXPOSE)
        return false;
    const auto *expose = reinterpret_cast<const xcb_expose_event_t *>(event);
    const int line = m_windows->lineOf(expose->window);
    if (line < 0)
        return false;
    // Uncovered by another window: redrawn now, whether or not frames are queued.
    if (expose->count == 0) {
        drawLine(line, BandLines::now());
        xcb_flush(m_connection.get());
    }
    return true;
}

void X11BandView::showEvent(QShowEvent *event)
{
    X11BandWindow::showEvent(event);
    refresh();
}

void X11BandView::hideEvent(QHideEvent *event)
{
    X11BandWindow::hideEvent(event);
    m_frameTimer.stop();
    m_queueTimer.stop();
    if (m_frames)
        m_frames->setInterval(0);
}

void X11BandView::updateAnimation()
{
    bool timed = false;
    bool queued = false;
    if (isVisible() && m_connection.isOpen()) {
        for (const LineState &state : m_state) {
            if (state.segments.empty() || !state.motion.isMoving())
                continue;
            (usesPresent(state) ? queued : timed) = true;
        }
    }
    if (timed && !m_frames && !m_framesUnavailable) {
        // Made when a line first scrolls without Present: at start, or once Present failed.
        m_frames = std::make_unique<X11FrameThread>(m_stats.get());
        if (!m_frames->isValid()) {
            qCWarning(lcX11Band) << "no drawing thread: frames come from a timer on the main thread";
            m_frames.reset();
            m_framesUnavailable = true;
        }
    }
    if (m_frames) {
        for (int i = 0; i < BandLines::lineCount; ++i)
            handOver(i);
        m_frames->setInterval(timed ? frameIntervalNs() : 0);
        // The half-second timer also notices a new pixel density while the thread draws.
        queued = queued || timed;
        timed = false;
    }
    if (!timed)
        m_frameTimer.stop();
    else if (!m_frameTimer.isActive())
        m_frameTimer.start(m_pacer.start(m_frameClock.nsecsElapsed(), frameIntervalNs()));
    if (!queued) {
        m_queueTimer.stop();
    } else if (!m_queueTimer.isActive()) {
        m_queueTimer.start();
        m_present->queueAll();
        xcb_flush(m_connection.get());
    }
}

void X11BandView::handOver(int index)
{
    if (!m_frames)
        return;
    const LineState &state = m_state[static_cast<std::size_t>(index)];
    X11FrameThread::Line line;
    if (!usesPresent(state) && isVisible()) {
        line.window = m_windows->window(index);
        line.segments = state.segments;
        line.motion = state.motion;
        line.width = m_windows->rect(index).width();
    }
    m_frames->setLine(index, std::move(line));
}

void X11BandView::frame()
{
    const bool timed = std::any_of(m_state.begin(), m_state.end(), [this](const LineState &s) {
        return !s.segments.empty() && s.motion.isMoving() && !usesPresent(s);
    });
    if (!isVisible() || !m_connection.isOpen() || !timed)
        return;
    if (backingScale() != m_scale)
        refresh(); // another pixel density: the pixmaps are made anew
    m_frameTimer.start(m_pacer.next(m_frameClock.nsecsElapsed(), frameIntervalNs()));
    const double t = BandLines::now();
    for (int i = 0; i < BandLines::lineCount; ++i) {
        if (!usesPresent(m_state[static_cast<std::size_t>(i)]))
            drawLine(i, t);
    }
    xcb_flush(m_connection.get());
    if (m_stats)
        m_stats->record();
}

X11PresentScheduler::Line X11BandView::presentedLine(int index) const
{
    const LineState &state = m_state[static_cast<std::size_t>(index)];
    return {m_windows->window(index), m_windows->rect(index).width(), &state.segments, &state.motion};
}

void X11BandView::presentStopped()
{
    // Windows with frames queued are made anew so that none of those comes back.
    for (int i = 0; i < BandLines::lineCount; ++i) {
        if (m_windows->madeForPresent(i)) {
            destroyLineWindow(i);
            placeLineWindow(i);
            drawLine(i, BandLines::now());
        }
    }
    updateAnimation();
}
