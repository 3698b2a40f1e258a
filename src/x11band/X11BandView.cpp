#include "x11band/X11BandView.h"

#include "band/BandLines.h"
#include "x11band/X11BandLog.h"
#include "band/MonotonicClock.h"
#include "band/Renderer.h"
#include "x11band/X11LoopCopy.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <xcb/present.h>
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <poll.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace {

/** How far ahead frames are queued, and how often more are asked for. */
constexpr double queueAheadSeconds = 1.0;
constexpr int queueTimerMs = 500;

xcb_connection_t *qtConnection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !qGuiApp)
        return nullptr;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

/** Whether 32-bit RGB32 image rows can go to the server unchanged for a drawable of `depth`. */
bool acceptsRgb32(xcb_connection_t *connection, std::uint8_t depth)
{
    const xcb_setup_t *setup = xcb_get_setup(connection);
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST)
        return false;
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem; xcb_format_next(&it)) {
        if (it.data->depth == depth)
            return it.data->bits_per_pixel == 32;
    }
    return false;
}

void roundTrip(xcb_connection_t *connection)
{
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

/** What decides whether the pixmaps of `line` still fit. */
qint64 tilesKey(const ScrollLine &line)
{
    return line.tiles().isEmpty() ? 0 : line.tiles().first().image.cacheKey();
}

} // namespace

X11BandView::X11BandView(BandLines *lines, QWidget *parent)
    : BandWidget(lines, parent)
    , m_stats(FrameStats::fromEnvironment())
{
    // A window of its own that Qt never paints into: the server copies the frames there.
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_DontCreateNativeAncestors);
    setAttribute(Qt::WA_PaintOnScreen);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);

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
        readEvents();
        for (int i = 0; i < BandLines::lineCount; ++i)
            queueFrames(i, false);
        askReference();
        xcb_flush(m_connection);
    });
}

X11BandView::~X11BandView()
{
    if (!m_connection)
        return;
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
    m_frames.reset(); // no frame from pixmaps about to go
    if (!xcb_connection_has_error(m_connection)) {
        for (LineState &state : m_state) {
            releaseSegments(state.segments);
            destroyLineWindow(state);
        }
        if (m_gc)
            xcb_free_gc(m_connection, m_gc);
        roundTrip(m_connection); // all of it done before the uploads' connection closes
    }
    // The uploads stop before the connection goes: whatever they made goes with theirs.
    m_uploader.reset();
    xcb_disconnect(m_connection);
}

bool X11BandView::isAvailable()
{
    xcb_connection_t *connection = qtConnection();
    if (!connection || xcb_connection_has_error(connection))
        return false;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    return screen && acceptsRgb32(connection, screen->root_depth);
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
    return m_present && !state.segments.empty();
}

int X11BandView::deviceWidth() const
{
    return static_cast<int>(std::ceil(width() * backingScale()));
}

std::uint64_t X11BandView::monotonicUs()
{
    return static_cast<std::uint64_t>(monotonicNs() / 1000);
}

bool X11BandView::openConnection()
{
    m_qt = qtConnection();
    if (!m_qt)
        return false;
    m_connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(m_connection)) {
        qCWarning(lcX11Band) << "cannot open a connection to the X server for the band";
        xcb_disconnect(m_connection);
        m_connection = nullptr;
        return false;
    }
    // Present moves the pixmaps on the server's own schedule; XFixes lets the pointer through
    // the lines' windows. Both are asked for their versions before any use, as they require.
    const xcb_query_extension_reply_t *present = xcb_get_extension_data(m_connection, &xcb_present_id);
    const xcb_query_extension_reply_t *fixes = xcb_get_extension_data(m_connection, &xcb_xfixes_id);
    auto presentVersion = xcb_present_query_version(m_connection, 1, 0);
    auto fixesVersion = xcb_xfixes_query_version(m_connection, 5, 0);
    xcb_present_query_version_reply_t *presentReply =
        present && present->present ? xcb_present_query_version_reply(m_connection, presentVersion, nullptr) : nullptr;
    xcb_xfixes_query_version_reply_t *fixesReply =
        fixes && fixes->present ? xcb_xfixes_query_version_reply(m_connection, fixesVersion, nullptr) : nullptr;
    const bool wanted = qEnvironmentVariable("DOTBANNER_X11_PRESENT") != QLatin1String("0");
    m_present = wanted && presentReply && fixesReply && fixesReply->major_version >= 2;
    m_presentOpcode = present && present->present ? present->major_opcode : 0;
    std::free(presentReply);
    std::free(fixesReply);
    qCDebug(lcX11Band) << "X11 band:" << (m_present ? "frames queued through Present" : "frames from a timer");

    m_uploader = std::make_unique<X11LineUploader>(this, [this](X11LineUploader::Result r) { uploaded(std::move(r)); });
    // Exposures of the lines' windows arrive on Qt's connection, where the view selects them.
    QCoreApplication::instance()->installNativeEventFilter(this);
    return true;
}

bool X11BandView::ensureResources()
{
    if (!m_connection && !openConnection())
        return false;
    if (xcb_connection_has_error(m_connection))
        return false;
    const auto window = static_cast<std::uint32_t>(winId());
    if (window == m_window && m_gc)
        return true;
    // A new native window: the lines' windows went with the old one.
    for (LineState &state : m_state) {
        destroyLineWindow(state);
        state.queuedUntil = 0;
    }
    if (m_gc)
        xcb_free_gc(m_connection, m_gc);
    m_gc = 0;
    m_window = window;
    // Asked on Qt's connection: the answer also means the server has made the window.
    xcb_get_geometry_reply_t *geometry = xcb_get_geometry_reply(m_qt, xcb_get_geometry(m_qt, m_window), nullptr);
    if (!geometry)
        return false;
    m_depth = geometry->depth;
    m_root = geometry->root;
    std::free(geometry);
    m_gc = xcb_generate_id(m_connection);
    // Without graphics exposures off, every copy would send a NoExpose event back to us.
    const std::uint32_t values[] = {m_depth == 32 ? Renderer::background : (Renderer::background & 0xFFFFFF), 0};
    xcb_create_gc(m_connection, m_gc, m_window, XCB_GC_FOREGROUND | XCB_GC_GRAPHICS_EXPOSURES, values);
    return true;
}

void X11BandView::releaseSegments(std::vector<Segment> &segments)
{
    for (const Segment &segment : segments)
        xcb_free_pixmap(m_connection, segment.pixmap);
    segments.clear();
}

void X11BandView::destroyLineWindow(LineState &state)
{
    if (m_frames)
        m_frames->setLine(static_cast<int>(&state - m_state.data()), {}); // nothing drawn into it any more
    if (state.window == m_statsWindow)
        m_statsWindow = 0; // its event selection goes with it
    if (state.window)
        xcb_destroy_window(m_connection, state.window);
    state.window = 0;
    state.windowRect = QRect();
    state.windowPresents = false;
}

void X11BandView::clearLine(int index)
{
    LineState &state = m_state[static_cast<std::size_t>(index)];
    state.pending.reset();
    if (state.segments.empty() && !state.window)
        return;
    if (m_frames)
        m_frames->setLine(index, {});
    releaseSegments(state.segments);
    // Destroying the window also drops the frames queued for it.
    destroyLineWindow(state);
    state.key = {};
    state.queuedUntil = 0;
    update(); // the background where the line was
}

void X11BandView::refresh()
{
    layoutLines();
    if (!testAttribute(Qt::WA_WState_Created) && !isVisible()) {
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
        update();
    m_scale = scale;
    const int width = deviceWidth();
    for (int i = 0; i < BandLines::lineCount; ++i)
        syncLine(i, width);
    xcb_flush(m_connection);
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
        const Motion motion = Motion::of(line, width);
        const bool moved = motion != state.motion || !state.window;
        state.motion = motion;
        if (moved) {
            // A pause, a resume, a new speed or place: shown from the next frame on.
            placeLineWindow(index);
            if (usesPresent(state))
                queueFrames(index, true);
            else
                drawLine(index, BandLines::now());
        }
        return;
    }
    if (state.pending && key == state.pendingKey)
        return; // those very pixmaps are being made
    state.pending = m_uploader->submit(index, line, width, m_root, m_depth);
    state.pendingKey = key;
    state.pendingMotion = Motion::of(line, width);
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
            queueFrames(index, true);
    }
}

void X11BandView::uploaded(X11LineUploader::Result result)
{
    LineState &state = m_state[static_cast<std::size_t>(result.line)];
    if (!state.pending || *state.pending != result.generation || !m_connection) {
        releaseSegments(result.segments); // overtaken by a later change
        if (m_connection)
            xcb_flush(m_connection);
        return;
    }
    state.pending.reset();
    if (result.segments.empty()) {
        qCWarning(lcX11Band) << "the X server could not take the pixmaps of line" << result.line;
        clearLine(result.line);
        xcb_flush(m_connection);
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
    const bool current = tilesKey(live) == state.key.tiles && live.loopPixels() == state.key.loopPixels
                      && deviceWidth() == state.key.deviceWidth;
    state.motion = current ? Motion::of(live, state.key.deviceWidth) : state.pendingMotion;
    if (wasPresent != usesPresent(state))
        destroyLineWindow(state); // frames queued for the old pixmaps must not come back
    placeLineWindow(result.line);
    // The swap takes effect at the next frame: queued from the next blank, or drawn now.
    if (usesPresent(state))
        queueFrames(result.line, true);
    else
        drawLine(result.line, BandLines::now());
    handOver(result.line); // the drawing thread lets go of the old pixmaps
    releaseSegments(old);
    fillUncovered();
    xcb_flush(m_connection);
    updateAnimation();
}

void X11BandView::placeLineWindow(int index)
{
    LineState &state = m_state[static_cast<std::size_t>(index)];
    if (!m_gc || state.segments.empty())
        return;
    const QRect rect = state.motion.rect;
    if (rect.isEmpty())
        return;
    if (state.window && rect == state.windowRect)
        return;
    if (state.window) {
        const std::uint32_t values[] = {static_cast<std::uint32_t>(rect.x()), static_cast<std::uint32_t>(rect.y()),
                                        static_cast<std::uint32_t>(rect.width()),
                                        static_cast<std::uint32_t>(rect.height())};
        xcb_configure_window(m_connection, state.window,
                             XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH
                                 | XCB_CONFIG_WINDOW_HEIGHT,
                             values);
        state.windowRect = rect;
        fillUncovered();
        return;
    }
    state.window = xcb_generate_id(m_connection);
    state.windowRect = rect;
    state.windowPresents = usesPresent(state);
    state.queuedUntil = 0;
    // No background: the server never clears it, every pixel comes from the line's pixmaps.
    const std::uint32_t values[] = {XCB_BACK_PIXMAP_NONE};
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, state.window, m_window, static_cast<std::int16_t>(rect.x()),
                      static_cast<std::int16_t>(rect.y()), static_cast<std::uint16_t>(rect.width()),
                      static_cast<std::uint16_t>(rect.height()), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, XCB_CW_BACK_PIXMAP, values);
    // An empty input shape: the pointer goes through to the band, which reports it.
    const std::uint32_t region = xcb_generate_id(m_connection);
    xcb_xfixes_create_region(m_connection, region, 0, nullptr);
    xcb_xfixes_set_window_shape_region(m_connection, state.window, XCB_SHAPE_SK_INPUT, 0, 0, region);
    xcb_xfixes_destroy_region(m_connection, region);
    xcb_map_window(m_connection, state.window);
    // Qt's connection selects the window's exposures (the server must know the window first).
    roundTrip(m_connection);
    const std::uint32_t mask[] = {XCB_EVENT_MASK_EXPOSURE};
    xcb_change_window_attributes(m_qt, state.window, XCB_CW_EVENT_MASK, mask);
    xcb_flush(m_qt);
    fillUncovered();
}

void X11BandView::fillUncovered()
{
    if (!m_gc)
        return;
    const int width = deviceWidth();
    const int height = static_cast<int>(std::ceil(this->height() * backingScale()));
    std::vector<QRect> covered;
    for (const LineState &state : m_state) {
        if (state.window)
            covered.push_back(state.windowRect);
    }
    std::sort(covered.begin(), covered.end(), [](const QRect &a, const QRect &b) { return a.top() < b.top(); });
    std::vector<xcb_rectangle_t> uncovered;
    int y = 0;
    for (const QRect &rect : covered) {
        if (rect.top() > y)
            uncovered.push_back({0, static_cast<std::int16_t>(y), static_cast<std::uint16_t>(width),
                                 static_cast<std::uint16_t>(rect.top() - y)});
        y = std::max(y, rect.bottom() + 1);
    }
    if (height > y)
        uncovered.push_back({0, static_cast<std::int16_t>(y), static_cast<std::uint16_t>(width),
                             static_cast<std::uint16_t>(height - y)});
    if (!uncovered.empty())
        xcb_poly_fill_rectangle(m_connection, m_window, m_gc, static_cast<std::uint32_t>(uncovered.size()),
                                uncovered.data());
}

void X11BandView::copyColumns(const LineState &state, std::uint32_t drawable, int start, int width) const
{
    copyLoopColumns(m_connection, m_gc, state.segments, state.motion.loopPixels, state.motion.rect.height(),
                    drawable, start, width);
}

void X11BandView::drawLine(int index, double t)
{
    const LineState &state = m_state[static_cast<std::size_t>(index)];
    if (!state.window || state.segments.empty())
        return;
    copyColumns(state, state.window, state.motion.offsetAt(t), state.windowRect.width());
}

void X11BandView::drawFrame(double t)
{
    if (!m_connection || !m_gc || !isVisible())
        return;
    for (int i = 0; i < BandLines::lineCount; ++i)
        drawLine(i, t);
    xcb_flush(m_connection);
}

void X11BandView::paintEvent(QPaintEvent *)
{
    // An exposure or a change: the background where no line is, then the lines as they stand.
    if (!ensureResources())
        return;
    readEvents();
    fillUncovered();
    drawFrame(BandLines::now());
    queueAll();
    xcb_flush(m_connection);
}

bool X11BandView::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7F) != XCB_EXPOSE)
        return false;
    const auto *expose = reinterpret_cast<const xcb_expose_event_t *>(event);
    for (int i = 0; i < BandLines::lineCount; ++i) {
        if (expose->window == m_state[static_cast<std::size_t>(i)].window && m_state[static_cast<std::size_t>(i)].window) {
            // Uncovered by another window: redrawn now, whether or not frames are queued.
            if (expose->count == 0) {
                drawLine(i, BandLines::now());
                xcb_flush(m_connection);
            }
            return true;
        }
    }
    return false;
}

void X11BandView::showEvent(QShowEvent *event)
{
    BandWidget::showEvent(event);
    refresh();
}

void X11BandView::hideEvent(QHideEvent *event)
{
    BandWidget::hideEvent(event);
    m_frameTimer.stop();
    m_queueTimer.stop();
    if (m_frames)
        m_frames->setInterval(0);
}

void X11BandView::updateAnimation()
{
    bool timed = false;
    bool queued = false;
    if (isVisible() && m_connection) {
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
        queueAll();
        xcb_flush(m_connection);
    }
}

void X11BandView::handOver(int index)
{
    if (!m_frames)
        return;
    const LineState &state = m_state[static_cast<std::size_t>(index)];
    X11FrameThread::Line line;
    if (!usesPresent(state) && isVisible()) {
        line.window = state.window;
        line.segments = state.segments;
        line.motion = state.motion;
        line.width = state.windowRect.width();
    }
    m_frames->setLine(index, std::move(line));
}

void X11BandView::frame()
{
    const bool timed = std::any_of(m_state.begin(), m_state.end(), [this](const LineState &s) {
        return !s.segments.empty() && s.motion.isMoving() && !usesPresent(s);
    });
    if (!isVisible() || !m_connection || !timed)
        return;
    if (backingScale() != m_scale)
        refresh(); // another pixel density: the pixmaps are made anew
    m_frameTimer.start(m_pacer.next(m_frameClock.nsecsElapsed(), frameIntervalNs()));
    const double t = BandLines::now();
    for (int i = 0; i < BandLines::lineCount; ++i) {
        if (!usesPresent(m_state[static_cast<std::size_t>(i)]))
            drawLine(i, t);
    }
    xcb_flush(m_connection);
    if (m_stats)
        m_stats->record();
}

// ---- Present -------------------------------------------------------------------------------

std::optional<std::uint64_t> X11BandView::currentMsc() const
{
    if (!m_reference)
        return std::nullopt;
    const double since = static_cast<double>(monotonicUs()) - static_cast<double>(m_reference->ust);
    return m_reference->msc + static_cast<std::uint64_t>(std::max(0.0, std::floor(since / m_intervalUs)));
}

double X11BandView::timeOfMsc(std::uint64_t msc) const
{
    const double ust = static_cast<double>(m_reference->ust)
                     + (static_cast<double>(msc) - static_cast<double>(m_reference->msc)) * m_intervalUs;
    return ust / 1e6 + m_bandOffset;
}

std::optional<double> X11BandView::queuedTime(std::uint64_t msc) const
{
    const Queued &q = m_queued[msc % m_queued.size()];
    if (q.msc != msc || msc == 0)
        return std::nullopt;
    return q.t;
}

bool X11BandView::takeReference()
{
    // The first reading is waited for (once, a round trip); later ones come with the frames.
    if (!m_state[0].window && !m_state[1].window)
        return false;
    askReference();
    xcb_flush(m_connection);
    const std::uint64_t deadline = monotonicUs() + 250000;
    while (!m_reference) {
        readEvents();
        if (m_reference || !m_present)
            break;
        const std::uint64_t now = monotonicUs();
        if (now >= deadline)
            break;
        pollfd fd{xcb_get_file_descriptor(m_connection), POLLIN, 0};
        poll(&fd, 1, static_cast<int>((deadline - now) / 1000 + 1));
    }
    if (!m_reference) {
        qCWarning(lcX11Band) << "the X server did not tell its vertical blank counter; frames come from a timer";
        disablePresent();
    }
    return m_reference.has_value();
}

void X11BandView::askReference()
{
    if (!m_present)
        return;
    const LineState &first = m_state[0].window ? m_state[0] : m_state[1];
    if (!first.window)
        return;
    // Completion events only for the moment of one query, unless the frame stats want them
    // all: a notifies list in PresentPixmap itself is what crashes some servers.
    selectStatsWindow();
    if (m_statsWindow) {
        xcb_present_notify_msc(m_connection, m_statsWindow, ++m_serial, 0, 0, 0);
        return;
    }
    const std::uint32_t eid = xcb_generate_id(m_connection);
    xcb_present_select_input(m_connection, eid, first.window, XCB_PRESENT_EVENT_MASK_COMPLETE_NOTIFY);
    xcb_present_notify_msc(m_connection, first.window, ++m_serial, 0, 0, 0);
    xcb_present_select_input(m_connection, eid, first.window, XCB_PRESENT_EVENT_MASK_NO_EVENT);
}

void X11BandView::readEvents()
{
    if (!m_connection)
        return;
    const std::uint64_t nowUs = monotonicUs();
    std::optional<Reference> latest;
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
        const std::uint8_t type = event->response_type & 0x7F;
        if (type == 0) {
            const auto *error = reinterpret_cast<const xcb_generic_error_t *>(event);
            qCDebug(lcX11Band) << "X error" << error->error_code << "for request" << error->major_code << "."
                               << error->minor_code;
            if (m_present && error->major_code == m_presentOpcode) {
                qCWarning(lcX11Band) << "the X server refused a Present request; frames come from a timer";
                disablePresent();
            }
        } else if (type == XCB_GE_GENERIC) {
            const auto *ge = reinterpret_cast<const xcb_ge_generic_event_t *>(event);
            if (ge->extension == m_presentOpcode && ge->event_type == XCB_PRESENT_COMPLETE_NOTIFY) {
                const auto *done = reinterpret_cast<const xcb_present_complete_notify_event_t *>(event);
                if (!latest || done->msc > latest->msc)
                    latest = Reference{done->msc, done->ust};
                // Frames shown, as the server reports them: one per blank, whichever line.
                if (m_stats && done->kind == XCB_PRESENT_COMPLETE_KIND_PIXMAP
                    && done->mode != XCB_PRESENT_COMPLETE_MODE_SKIP && done->msc > m_lastRecordedMsc
                    && !m_frameTimer.isActive()) {
                    m_lastRecordedMsc = done->msc;
                    const auto ago = static_cast<qint64>(nowUs) - static_cast<qint64>(done->ust);
                    m_stats->recordAt(m_stats->elapsedNs() - ago * 1000);
                }
            }
        }
        std::free(event);
    }
    if (!latest || latest->ust == 0)
        return;
    if (!m_reference) {
        m_reference = latest;
        m_baseline = latest;
        return;
    }
    // The blank interval measured over as long a span as we have, so the speed stays exact.
    const bool jumped = [&] {
        const double predicted = static_cast<double>(m_reference->msc)
                               + (static_cast<double>(latest->ust) - static_cast<double>(m_reference->ust)) / m_intervalUs;
        return std::abs(predicted - static_cast<double>(latest->msc)) > 2;
    }();
    if (jumped) {
        // Another screen, or a counter that restarted: everything queued is off.
        m_baseline = latest;
        m_reference = latest;
        for (LineState &state : m_state)
            state.queuedUntil = 0;
        queueAll();
        return;
    }
    if (latest->msc >= m_baseline->msc + 60 && latest->ust > m_baseline->ust)
        m_intervalUs = static_cast<double>(latest->ust - m_baseline->ust)
                     / static_cast<double>(latest->msc - m_baseline->msc);
    if (latest->msc > m_reference->msc)
        m_reference = latest;
}

void X11BandView::selectStatsWindow()
{
    if (!m_stats || !m_present)
        return;
    // The completions of one window suffice, both lines being shown at the same blanks: that
    // of a moving line, so the stats go on while the other is paused.
    std::uint32_t window = 0;
    for (const LineState &state : m_state) {
        if (state.window && (!window || state.motion.isMoving())) {
            window = state.window;
            if (state.motion.isMoving())
                break;
        }
    }
    if (window == m_statsWindow)
        return;
    if (m_statsWindow)
        xcb_present_select_input(m_connection, m_statsEid, m_statsWindow, XCB_PRESENT_EVENT_MASK_NO_EVENT);
    m_statsWindow = window;
    if (window) {
        m_statsEid = xcb_generate_id(m_connection);
        xcb_present_select_input(m_connection, m_statsEid, window, XCB_PRESENT_EVENT_MASK_COMPLETE_NOTIFY);
    }
}

void X11BandView::queueAll()
{
    selectStatsWindow();
    for (int i = 0; i < BandLines::lineCount; ++i)
        queueFrames(i, true);
}

void X11BandView::queueFrames(int index, bool replace)
{
    LineState &state = m_state[static_cast<std::size_t>(index)];
    if (!m_present || !state.window || state.segments.empty() || !isVisible())
        return;
    if (!m_reference && !takeReference())
        return;
    const std::uint64_t nowUs = monotonicUs();
    // Band time and the server's clock move together; their difference is taken again only
    // when it really changed (a test's clock), not for every millisecond of rounding.
    const double offset = BandLines::now() - static_cast<double>(nowUs) / 1e6;
    if (!m_bandOffsetSet || std::abs(offset - m_bandOffset) > 0.002) {
        m_bandOffset = offset;
        m_bandOffsetSet = true;
    }
    const std::uint64_t current = *currentMsc();
    const auto ahead = static_cast<std::uint64_t>(std::ceil(queueAheadSeconds * 1e6 / m_intervalUs));
    const std::uint64_t from = replace ? current + 1 : std::max(current + 1, state.queuedUntil + 1);
    std::uint64_t until = state.motion.isMoving() ? current + ahead : current + 1;
    if (replace)
        until = std::max(until, state.queuedUntil); // whatever was queued with the old state goes
    if (until < from)
        return;
    std::vector<int> shifts;
    shifts.reserve(until - from + 1);
    for (std::uint64_t msc = from; msc <= until; ++msc) {
        const double t = timeOfMsc(msc);
        shifts.push_back(state.motion.offsetAt(t));
        m_queued[msc % m_queued.size()] = {msc, t};
    }
    const auto present = [&](std::uint32_t pixmap, std::uint64_t msc, int x) {
        xcb_present_pixmap(m_connection, state.window, pixmap, ++m_serial, 0, 0, static_cast<std::int16_t>(-x), 0, 0, 0,
                           0, XCB_PRESENT_OPTION_COPY, msc, 0, 0, 0, nullptr);
    };
    const int width = state.windowRect.width();
    if (state.segments.size() == 1 && state.segments.front().width >= state.motion.loopPixels + width) {
        // The loop and one window width of its start: every frame is that pixmap, moved.
        for (std::size_t k = 0; k < shifts.size(); ++k)
            present(state.segments.front().pixmap, from + k, shifts[k]);
    } else {
        // A loop longer than a pixmap: the stretch these frames pass over is put together on
        // the server, once for them all, and each frame moves that. It is let go at once; the
        // server keeps it while frames queued from it wait.
        const int loop = state.motion.loopPixels;
        std::size_t k = 0;
        while (k < shifts.size()) {
            const int start = shifts[k];
            std::size_t last = k;
            int reach = 0;
            for (std::size_t j = k; j < shifts.size(); ++j) {
                const int moved = ((shifts[j] - start) % loop + loop) % loop;
                if (moved < reach || moved + width > X11LineUploader::maxPixmapWidth)
                    break; // backwards (a new content's place) or too long: a stretch of its own
                reach = moved;
                last = j;
            }
            const std::uint32_t stretch = xcb_generate_id(m_connection);
            xcb_create_pixmap(m_connection, m_depth, stretch, m_window, static_cast<std::uint16_t>(reach + width),
                              static_cast<std::uint16_t>(state.motion.rect.height()));
            copyColumns(state, stretch, start, reach + width);
            for (std::size_t j = k; j <= last; ++j)
                present(stretch, from + j, ((shifts[j] - start) % loop + loop) % loop);
            xcb_free_pixmap(m_connection, stretch);
            k = last + 1;
        }
    }
    state.queuedUntil = std::max(state.queuedUntil, until);
}

void X11BandView::disablePresent()
{
    if (!m_present)
        return;
    m_present = false;
    m_reference.reset();
    // Windows with frames queued are made anew so that none of those comes back.
    for (int i = 0; i < BandLines::lineCount; ++i) {
        LineState &state = m_state[static_cast<std::size_t>(i)];
        if (state.windowPresents) {
            destroyLineWindow(state);
            placeLineWindow(i);
            drawLine(i, BandLines::now());
        }
    }
    updateAnimation();
}
