#include "x11band/X11FrameQueue.h"

#include "band/MonotonicClock.h"
#include "x11band/X11LoopCopy.h"

#include <xcb/sync.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <string_view>

namespace {

xcb_sync_int64_t syncValue(std::int64_t value)
{
    return {static_cast<std::int32_t>(value >> 32), static_cast<std::uint32_t>(value)};
}

std::int64_t valueOf(const xcb_sync_int64_t &value)
{
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(static_cast<std::uint32_t>(value.hi)) << 32) | value.lo);
}

/** The id of the server's system counter `name`, or 0. */
std::uint32_t systemCounter(xcb_connection_t *connection, std::string_view name)
{
    xcb_sync_list_system_counters_reply_t *reply =
        xcb_sync_list_system_counters_reply(connection, xcb_sync_list_system_counters(connection), nullptr);
    if (!reply)
        return 0;
    // Each entry is a counter, its resolution and its name's length (14 bytes), then the name,
    // padded to 4 bytes. Read by hand: the generated iterator gets the padding of this one wrong.
    const auto *entry = reinterpret_cast<const std::uint8_t *>(reply + 1);
    const auto *end = reinterpret_cast<const std::uint8_t *>(reply) + 32 + std::size_t{reply->length} * 4;
    std::uint32_t found = 0;
    for (std::uint32_t i = 0; i < reply->counters_len && entry + 14 <= end; ++i) {
        std::uint32_t id = 0;
        std::uint16_t length = 0;
        std::memcpy(&id, entry, 4);
        std::memcpy(&length, entry + 12, 2);
        if (entry + 14 + length > end)
            break;
        if (std::string_view(reinterpret_cast<const char *>(entry + 14), length) == name) {
            found = id;
            break;
        }
        entry += (14 + length + 3) & ~std::size_t{3};
    }
    std::free(reply);
    return found;
}

} // namespace

X11FrameQueue::X11FrameQueue(xcb_connection_t *frames)
    : m_frames(frames)
{
    m_control = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(m_control))
        return;
    for (xcb_connection_t *connection : {m_control, m_frames}) {
        xcb_sync_initialize_reply_t *version = xcb_sync_initialize_reply(
            connection, xcb_sync_initialize(connection, XCB_SYNC_MAJOR_VERSION, XCB_SYNC_MINOR_VERSION), nullptr);
        if (!version)
            return;
        std::free(version);
    }
    const std::uint32_t serverTime = systemCounter(m_control, "SERVERTIME");
    if (!serverTime)
        return;
    m_syncEvent = xcb_get_extension_data(m_frames, &xcb_sync_id)->first_event;
    m_cancel = xcb_generate_id(m_control);
    // Made before anything waits on it: the round trip of the first clock reading follows.
    xcb_sync_create_counter(m_control, m_cancel, syncValue(0));
    m_serverTime = serverTime;
    if (!readServerClock())
        m_serverTime = 0;
}

X11FrameQueue::~X11FrameQueue()
{
    if (m_serverTime)
        cancel();
    if (m_cancel)
        xcb_sync_destroy_counter(m_control, m_cancel);
    xcb_disconnect(m_control);
}

std::optional<ServerClock::Reading> X11FrameQueue::readServerClock()
{
    if (!m_serverTime)
        return std::nullopt;
    const std::int64_t before = monotonicNs() / 1'000'000;
    xcb_sync_query_counter_reply_t *reply =
        xcb_sync_query_counter_reply(m_control, xcb_sync_query_counter(m_control, m_serverTime), nullptr);
    const std::int64_t after = monotonicNs() / 1'000'000;
    // Errors for the graphics contexts of past cancels, if any, come back here too.
    while (xcb_generic_event_t *event = xcb_poll_for_queued_event(m_control))
        std::free(event);
    if (!reply)
        return std::nullopt;
    const std::int64_t serverMs = valueOf(reply->counter_value);
    std::free(reply);
    return ServerClock::Reading{serverMs, before, after};
}

std::uint32_t X11FrameQueue::gc(std::uint8_t depth, std::uint32_t root)
{
    if (m_gc && depth == m_gcDepth)
        return m_gc;
    if (m_gc)
        xcb_free_gc(m_frames, m_gc); // after the copies that used it
    m_gc = createCopyGc(m_frames, depth, root);
    m_gcDepth = depth;
    return m_gc;
}

void X11FrameQueue::await(std::int64_t serverMs, bool notify)
{
    // A condition reports its end when the counter has passed its value by the threshold:
    // by 0 for the clock when frames are to be reported, never otherwise.
    constexpr std::int64_t never = std::numeric_limits<std::int64_t>::max();
    xcb_sync_waitcondition_t conditions[2]{};
    conditions[0].trigger.counter = m_serverTime;
    conditions[0].trigger.wait_type = XCB_SYNC_VALUETYPE_ABSOLUTE;
    conditions[0].trigger.wait_value = syncValue(serverMs);
    conditions[0].trigger.test_type = XCB_SYNC_TESTTYPE_POSITIVE_COMPARISON;
    conditions[0].event_threshold = syncValue(notify ? 0 : never);
    conditions[1].trigger.counter = m_cancel;
    conditions[1].trigger.wait_type = XCB_SYNC_VALUETYPE_ABSOLUTE;
    conditions[1].trigger.wait_value = syncValue(m_cancelValue + 1);
    conditions[1].trigger.test_type = XCB_SYNC_TESTTYPE_POSITIVE_COMPARISON;
    conditions[1].event_threshold = syncValue(never);
    xcb_sync_await(m_frames, 2, conditions);
    m_queued = true;
}

void X11FrameQueue::cancel()
{
    if (!m_queued)
        return;
    // The clip first, then the counter, on one connection: by the time any wait ends early,
    // the copies after it are clipped to nothing. The context is not used again.
    if (m_gc)
        xcb_set_clip_rectangles(m_control, XCB_CLIP_ORDERING_UNSORTED, m_gc, 0, 0, 0, nullptr);
    xcb_sync_set_counter(m_control, m_cancel, syncValue(++m_cancelValue));
    xcb_flush(m_control);
    if (m_gc)
        xcb_free_gc(m_frames, m_gc);
    m_gc = 0;
    m_queued = false;
}

std::vector<std::int64_t> X11FrameQueue::takeShown()
{
    std::vector<std::int64_t> shown;
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_frames)) {
        if ((event->response_type & 0x7F) == m_syncEvent + XCB_SYNC_COUNTER_NOTIFY) {
            const auto *notify = reinterpret_cast<const xcb_sync_counter_notify_event_t *>(event);
            if (notify->counter == m_serverTime)
                shown.push_back(valueOf(notify->counter_value));
        }
        std::free(event);
    }
    return shown;
}
