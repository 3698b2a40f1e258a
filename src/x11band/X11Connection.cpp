#include "x11band/X11Connection.h"

#include "x11band/X11BandLog.h"

#include <QGuiApplication>

#include <xcb/present.h>
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <cstdlib>

X11Connection::~X11Connection()
{
    if (m_own)
        xcb_disconnect(m_own);
}

xcb_connection_t *X11Connection::qtConnection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !qGuiApp)
        return nullptr;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

bool X11Connection::acceptsRgb32(xcb_connection_t *connection, std::uint8_t depth)
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

void X11Connection::roundTrip(xcb_connection_t *connection)
{
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

bool X11Connection::works() const
{
    return m_own && !xcb_connection_has_error(m_own);
}

bool X11Connection::open()
{
    m_qt = qtConnection();
    if (!m_qt)
        return false;
    m_own = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(m_own)) {
        qCWarning(lcX11Band) << "cannot open a connection to the X server for the band";
        xcb_disconnect(m_own);
        m_own = nullptr;
        return false;
    }
    // Present moves the pixmaps on the server's own schedule; XFixes lets the pointer through
    // the lines' windows. Both are asked for their versions before any use, as they require.
    const xcb_query_extension_reply_t *present = xcb_get_extension_data(m_own, &xcb_present_id);
    const xcb_query_extension_reply_t *fixes = xcb_get_extension_data(m_own, &xcb_xfixes_id);
    auto presentVersion = xcb_present_query_version(m_own, 1, 0);
    auto fixesVersion = xcb_xfixes_query_version(m_own, 5, 0);
    xcb_present_query_version_reply_t *presentReply =
        present && present->present ? xcb_present_query_version_reply(m_own, presentVersion, nullptr) : nullptr;
    xcb_xfixes_query_version_reply_t *fixesReply =
        fixes && fixes->present ? xcb_xfixes_query_version_reply(m_own, fixesVersion, nullptr) : nullptr;
    const bool wanted = qEnvironmentVariable("DOTBANNER_X11_PRESENT") != QLatin1String("0");
    m_present = wanted && presentReply && fixesReply && fixesReply->major_version >= 2;
    m_presentOpcode = present && present->present ? present->major_opcode : 0;
    std::free(presentReply);
    std::free(fixesReply);
    qCDebug(lcX11Band) << "X11 band:" << (m_present ? "frames queued through Present" : "frames from a timer");
    return true;
}
