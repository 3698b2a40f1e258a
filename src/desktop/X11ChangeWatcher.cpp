#include "desktop/X11ChangeWatcher.h"

#include "desktop/DesktopLog.h"

#include <QSocketNotifier>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>

X11ChangeWatcher::X11ChangeWatcher(std::function<void()> changed, QObject *parent)
    : QObject(parent)
    , m_changed(std::move(changed))
{
    m_connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(m_connection)) {
        qCWarning(lcDesktop, "cannot open a second X connection: windows are looked at periodically");
        return;
    }
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    if (!screen)
        return;
    m_root = screen->root;
    const char *names[] = {"_NET_CLIENT_LIST", "_NET_WORKAREA", "_NET_CURRENT_DESKTOP", "_NET_SUPPORTING_WM_CHECK",
                           "_NET_SUPPORTED"};
    static_assert(std::size(names) == std::size(decltype(m_watchedAtoms){}));
    // All asked at once: one round trip.
    xcb_intern_atom_cookie_t cookies[std::size(names)];
    for (std::size_t i = 0; i < std::size(names); ++i)
        cookies[i] = xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(std::strlen(names[i])), names[i]);
    for (std::size_t i = 0; i < std::size(names); ++i) {
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(m_connection, cookies[i], nullptr);
        m_watchedAtoms[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
    }

    // This connection is a client of its own: its mask on the root adds to Qt's, not replaces it.
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_generic_error_t *error = xcb_request_check(
        m_connection, xcb_change_window_attributes_checked(m_connection, m_root, XCB_CW_EVENT_MASK, &mask));
    if (error) {
        std::free(error);
        qCWarning(lcDesktop, "cannot watch the root window: windows are looked at periodically");
        return;
    }
    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11ChangeWatcher::readEvents);
}

X11ChangeWatcher::~X11ChangeWatcher()
{
    delete m_notifier;
    if (m_connection)
        xcb_disconnect(m_connection);
}

void X11ChangeWatcher::readEvents()
{
    bool changed = false;
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
        switch (event->response_type & ~0x80) {
        case XCB_CONFIGURE_NOTIFY:
            changed |= !reinterpret_cast<xcb_configure_notify_event_t *>(event)->override_redirect;
            break;
        case XCB_MAP_NOTIFY:
            changed |= !reinterpret_cast<xcb_map_notify_event_t *>(event)->override_redirect;
            break;
        case XCB_UNMAP_NOTIFY:
        case XCB_DESTROY_NOTIFY:
            // Unmapping a pop-up says nothing of its kind; a window that goes away frees space
            // only, which the next change uses. Neither calls for a look.
            break;
        case XCB_PROPERTY_NOTIFY: {
            const auto *property = reinterpret_cast<xcb_property_notify_event_t *>(event);
            changed |= property->window == m_root && std::find(std::begin(m_watchedAtoms), std::end(m_watchedAtoms),
                                                               property->atom) != std::end(m_watchedAtoms);
            break;
        }
        default:
            break;
        }
        std::free(event);
    }
    if (xcb_connection_has_error(m_connection)) {
        qCWarning(lcDesktop, "the X connection watching windows broke: windows are looked at periodically");
        m_notifier->setEnabled(false);
        return;
    }
    if (changed && m_changed)
        m_changed();
}
