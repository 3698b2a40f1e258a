#include "x11band/X11PresentScheduler.h"

#include "band/BandLines.h"
#include "band/FrameStats.h"
#include "band/MonotonicClock.h"
#include "band/StretchPlan.h"
#include "x11band/X11BandLog.h"
#include "x11band/X11LoopCopy.h"

#include <xcb/present.h>
#include <xcb/xcb.h>

#include <poll.h>

#include <algorithm>
#include <cstdlib>

namespace {

std::uint64_t monotonicUs()
{
    return static_cast<std::uint64_t>(monotonicNs() / 1000);
}

/** How long the first reading of the blank counter is waited for. */
constexpr std::uint64_t firstReadingUs = 250'000;

} // namespace

X11PresentScheduler::X11PresentScheduler(xcb_connection_t *connection, bool enabled, std::uint8_t opcode,
                                         FrameStats *stats, Hooks hooks)
    : m_connection(connection)
    , m_opcode(opcode)
    , m_stats(stats)
    , m_hooks(std::move(hooks))
    , m_enabled(enabled)
{}

void X11PresentScheduler::setTarget(std::uint32_t window, std::uint8_t depth, std::uint32_t gc)
{
    m_window = window;
    m_depth = depth;
    m_gc = gc;
}

void X11PresentScheduler::stop()
{
    if (!m_enabled)
        return;
    m_enabled = false;
    m_blanks.reset();
    m_hooks.stopped();
}

void X11PresentScheduler::windowGone(std::uint32_t window)
{
    if (window && window == m_statsWindow)
        m_statsWindow = 0; // its event selection went with it
}

double X11PresentScheduler::timeOfMsc(std::uint64_t msc) const
{
    return m_timeline.at(std::llround(m_blanks.ustOf(msc) * 1000.0));
}

void X11PresentScheduler::topUp()
{
    readEvents();
    for (int i = 0; i < BandLines::lineCount; ++i)
        queue(i, false);
    askReference();
    xcb_flush(m_connection);
}

bool X11PresentScheduler::takeReference()
{
    // The first reading is waited for (once, a round trip); later ones come with the frames.
    if (!m_hooks.line(0).window && !m_hooks.line(1).window)
        return false;
    askReference();
    xcb_flush(m_connection);
    const std::uint64_t deadline = monotonicUs() + firstReadingUs;
    while (!m_blanks.isKnown()) {
        readEvents();
        if (m_blanks.isKnown() || !m_enabled)
            break;
        const std::uint64_t now = monotonicUs();
        if (now >= deadline)
            break;
        pollfd fd{xcb_get_file_descriptor(m_connection), POLLIN, 0};
        poll(&fd, 1, static_cast<int>((deadline - now) / 1000 + 1));
    }
    if (!m_blanks.isKnown()) {
        qCWarning(lcX11Band) << "the X server did not tell its vertical blank counter; frames come from a timer";
        stop();
    }
    return m_blanks.isKnown();
}

void X11PresentScheduler::askReference()
{
    if (!m_enabled)
        return;
    const Line first = m_hooks.line(0).window ? m_hooks.line(0) : m_hooks.line(1);
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

void X11PresentScheduler::readEvents()
{
    const std::uint64_t nowUs = monotonicUs();
    std::optional<BlankClock::Reading> latest;
    bool refused = false;
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
        const std::uint8_t type = event->response_type & 0x7F;
        if (type == 0) {
            const auto *error = reinterpret_cast<const xcb_generic_error_t *>(event);
            qCDebug(lcX11Band) << "X error" << error->error_code << "for request" << error->major_code << "."
                               << error->minor_code;
            refused = refused || (m_enabled && error->major_code == m_opcode);
        } else if (type == XCB_GE_GENERIC) {
            const auto *ge = reinterpret_cast<const xcb_ge_generic_event_t *>(event);
            if (ge->extension == m_opcode && ge->event_type == XCB_PRESENT_COMPLETE_NOTIFY) {
                const auto *done = reinterpret_cast<const xcb_present_complete_notify_event_t *>(event);
                if (!latest || done->msc > latest->msc)
                    latest = BlankClock::Reading{done->msc, done->ust};
                // Frames shown, as the server reports them: one per blank, whichever line.
                if (m_stats && done->kind == XCB_PRESENT_COMPLETE_KIND_PIXMAP &&
                    done->mode != XCB_PRESENT_COMPLETE_MODE_SKIP && done->msc > m_lastRecordedMsc &&
                    m_hooks.recordsShown()) {
                    m_lastRecordedMsc = done->msc;
                    const auto ago = static_cast<qint64>(nowUs) - static_cast<qint64>(done->ust);
                    m_stats->recordAt(m_stats->elapsedNs() - ago * 1000);
                }
            }
        }
        std::free(event);
    }
    if (refused) {
        qCWarning(lcX11Band) << "the X server refused a Present request; frames come from a timer";
        stop();
    }
    if (!latest)
        return;
    if (m_blanks.take(*latest) == BlankClock::Update::jumped) {
        // Another screen, or a counter that restarted: everything queued is off.
        qCDebug(lcX11Band) << "the vertical blank counter jumped to" << latest->msc;
        m_queuedUntil.fill(0);
        queueAll();
    }
}

void X11PresentScheduler::selectStatsWindow()
{
    if (!m_stats || !m_enabled)
        return;
    // The completions of one window suffice, both lines being shown at the same blanks: that
    // of a moving line, so the stats go on while the other is paused.
    std::uint32_t window = 0;
    for (int i = 0; i < BandLines::lineCount; ++i) {
        const Line line = m_hooks.line(i);
        const bool moving = line.motion && line.motion->isMoving();
        if (line.window && (!window || moving)) {
            window = line.window;
            if (moving)
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

void X11PresentScheduler::queueAll()
{
    selectStatsWindow();
    for (int i = 0; i < BandLines::lineCount; ++i)
        queue(i, true);
}

void X11PresentScheduler::queue(int index, bool replace)
{
    const Line line = m_hooks.line(index);
    if (!m_enabled || !line.shows() || !m_hooks.visible())
        return;
    if (!m_blanks.isKnown() && !takeReference())
        return;
    if (!m_enabled)
        return; // refused while the first reading was waited for
    const std::vector<Segment> &segments = *line.segments;
    const LineMotion &motion = *line.motion;
    std::uint64_t &queuedUntil = m_queuedUntil[static_cast<std::size_t>(index)];
    // Band time and the server's clock move together; their difference is taken again only
    // when it really changed (a test's clock), not for every millisecond of rounding.
    m_timeline.follow(BandLines::now(), static_cast<std::int64_t>(monotonicUs()) * 1000);
    const std::uint64_t current = m_blanks.mscAt(monotonicUs());
    const std::uint64_t ahead = m_blanks.blanksFor(queueAheadSeconds);
    const std::uint64_t from = replace ? current + 1 : std::max(current + 1, queuedUntil + 1);
    std::uint64_t until = motion.isMoving() ? current + ahead : current + 1;
    if (replace)
        until = std::max(until, queuedUntil); // whatever was queued with the old state goes
    if (until < from)
        return;
    m_offsets.clear();
    for (std::uint64_t msc = from; msc <= until; ++msc)
        m_offsets.push_back(motion.offsetAt(timeOfMsc(msc)));
    const auto present = [&](std::uint32_t pixmap, std::uint64_t msc, int x) {
        xcb_present_pixmap(m_connection, line.window, pixmap, ++m_serial, 0, 0, static_cast<std::int16_t>(-x), 0, 0, 0,
                           0, XCB_PRESENT_OPTION_COPY, msc, 0, 0, 0, nullptr);
    };
    const StretchPlan plan(motion.loopPixels, line.width, X11LineUploader::maxPixmapWidth);
    if (plan.isOnePiece(segments)) {
        // The loop and one window width of its start: every frame is that pixmap, moved.
        for (std::size_t k = 0; k < m_offsets.size(); ++k)
            present(segments.front().pixmap, from + k, m_offsets[k]);
    } else {
        // A loop longer than a pixmap: the stretch these frames pass over is put together on
        // the server, once for them all, and each frame moves that. It is let go at once; the
        // server keeps it while frames queued from it wait.
        for (std::size_t k = 0; k < m_offsets.size();) {
            const StretchPlan::Stretch stretch = plan.stretchFrom(m_offsets, k);
            const std::uint32_t pixmap = xcb_generate_id(m_connection);
            xcb_create_pixmap(m_connection, m_depth, pixmap, m_window, static_cast<std::uint16_t>(stretch.width),
                              static_cast<std::uint16_t>(motion.rect.height()));
            copyLoopColumns(m_connection, m_gc, segments, motion.loopPixels, motion.rect.height(), pixmap,
                            stretch.start, stretch.width);
            for (std::size_t j = stretch.first; j <= stretch.last; ++j)
                present(pixmap, from + j, plan.placeIn(stretch, m_offsets[j]));
            xcb_free_pixmap(m_connection, pixmap);
            k = stretch.last + 1;
        }
    }
    queuedUntil = std::max(queuedUntil, until);
}
