#include "desktop/X11WindowSystem.h"

#include "desktop/DesktopLog.h"
#include "desktop/X11ChangeWatcher.h"

#include <QGuiApplication>
#include <QScreen>

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

// Replies of checked requests carry their error here instead of the event queue, where Qt
// would report every window that vanished between two requests.
struct ErrorSink
{
    xcb_generic_error_t *error = nullptr;
    ~ErrorSink() { std::free(error); }
    xcb_generic_error_t **operator&() { return &error; }
};

template<typename Reply> struct ReplyPtr
{
    Reply *reply = nullptr;
    ~ReplyPtr() { std::free(reply); }
    Reply *operator->() const { return reply; }
    explicit operator bool() const { return reply != nullptr; }
};

bool contains(const xcb_ewmh_get_atoms_reply_t &atoms, xcb_atom_t atom)
{
    return std::find(atoms.atoms, atoms.atoms + atoms.atoms_len, atom) != atoms.atoms + atoms.atoms_len;
}

qreal roundedPixel(qreal value)
{
    return std::round(value);
}

} // namespace

struct X11WindowSystem::Private
{
    xcb_connection_t *connection = nullptr;
    xcb_ewmh_connection_t ewmh{};
    bool ewmhReady = false;
    xcb_window_t root = XCB_NONE;
    QSizeF rootSize;
    std::unique_ptr<X11ChangeWatcher> watcher;

    bool usable() const { return ewmhReady && !xcb_connection_has_error(connection); }

    /** The client list of the window manager, in its order. */
    std::vector<xcb_window_t> clientList()
    {
        std::vector<xcb_window_t> list;
        xcb_ewmh_get_windows_reply_t reply;
        ErrorSink error;
        if (xcb_ewmh_get_client_list_reply(&ewmh, xcb_ewmh_get_client_list(&ewmh, 0), &reply, &error)) {
            list.assign(reply.windows, reply.windows + reply.windows_len);
            xcb_ewmh_get_windows_reply_wipe(&reply);
        }
        return list;
    }

    /** What docks and panels reserve (other processes', and this one's apart), and the manager's work area. */
    struct Reservations
    {
        std::vector<xcb_ewmh_wm_strut_partial_t> struts;
        std::vector<xcb_ewmh_wm_strut_partial_t> own;
        QRectF workArea;
    };
    Reservations reservations(qint64 ownPid);

    /** Each screen's whole area in device pixels, in Qt's order; the root window's without Qt's screens. */
    QList<QRectF> screenFrames() const;

    /** The root window's current size: it follows the monitors. */
    QSizeF currentRootSize() const;

    /** The part of `frame` that no strut reserves. */
    QRectF availableArea(const QRectF &frame, const std::vector<xcb_ewmh_wm_strut_partial_t> &struts) const;
};

X11WindowSystem::Private::Reservations X11WindowSystem::Private::reservations(qint64 ownPid)
{
    Reservations result;
    const xcb_get_property_cookie_t listCookie = xcb_ewmh_get_client_list(&ewmh, 0);
    const xcb_get_property_cookie_t desktopCookie = xcb_ewmh_get_current_desktop(&ewmh, 0);
    const xcb_get_property_cookie_t areaCookie = xcb_ewmh_get_workarea(&ewmh, 0);

    std::vector<xcb_window_t> clients;
    {
        xcb_ewmh_get_windows_reply_t reply;
        ErrorSink error;
        if (xcb_ewmh_get_client_list_reply(&ewmh, listCookie, &reply, &error)) {
            clients.assign(reply.windows, reply.windows + reply.windows_len);
            xcb_ewmh_get_windows_reply_wipe(&reply);
        }
    }
    // The struts go out before the work area's replies are read: one round trip for both.
    struct Pending
    {
        xcb_get_property_cookie_t partial, strut, pid;
    };
    std::vector<Pending> pending;
    pending.reserve(clients.size());
    for (xcb_window_t window : clients) {
        pending.push_back({xcb_ewmh_get_wm_strut_partial(&ewmh, window), xcb_ewmh_get_wm_strut(&ewmh, window),
                           xcb_ewmh_get_wm_pid(&ewmh, window)});
    }

    uint32_t desktop = 0;
    {
        ErrorSink error;
        if (!xcb_ewmh_get_current_desktop_reply(&ewmh, desktopCookie, &desktop, &error))
            desktop = 0;
    }
    {
        xcb_ewmh_get_workarea_reply_t reply;
        ErrorSink error;
        if (xcb_ewmh_get_workarea_reply(&ewmh, areaCookie, &reply, &error)) {
            if (reply.workarea_len > 0) {
                const xcb_ewmh_geometry_t &g = reply.workarea[std::min<uint32_t>(desktop, reply.workarea_len - 1)];
                result.workArea = QRectF(g.x, g.y, g.width, g.height);
            }
            xcb_ewmh_get_workarea_reply_wipe(&reply);
        }
    }

    for (const Pending &p : pending) {
        xcb_ewmh_wm_strut_partial_t s{};
        bool found = false;
        {
            ErrorSink error;
            found = xcb_ewmh_get_wm_strut_partial_reply(&ewmh, p.partial, &s, &error);
        }
        xcb_ewmh_get_extents_reply_t plain{};
        ErrorSink strutError;
        const bool plainFound = xcb_ewmh_get_wm_strut_reply(&ewmh, p.strut, &plain, &strutError);
        if (!found && plainFound) {
            // The old form reserves whole edges.
            s = {};
            s.left = plain.left;
            s.right = plain.right;
            s.top = plain.top;
            s.bottom = plain.bottom;
            s.left_end_y = s.right_end_y = uint32_t(rootSize.height());
            s.top_end_x = s.bottom_end_x = uint32_t(rootSize.width());
            found = true;
        }
        uint32_t pid = 0;
        ErrorSink pidError;
        const bool hasPid = xcb_ewmh_get_wm_pid_reply(&ewmh, p.pid, &pid, &pidError);
        // Our own band is what the avoider keeps clear, not a panel to keep clear of.
        if (found)
            (hasPid && qint64(pid) == ownPid ? result.own : result.struts).push_back(s);
    }
    return result;
}

QList<QRectF> X11WindowSystem::Private::screenFrames() const
{
    QList<QRectF> frames;
    if (qGuiApp && QGuiApplication::platformName() == QLatin1String("xcb")) {
        for (QScreen *screen : QGuiApplication::screens()) {
            // Qt keeps a screen's top-left corner in device pixels and scales only its size.
            const QRect g = screen->geometry();
            const qreal scale = screen->devicePixelRatio();
            frames.append(QRectF(g.x(), g.y(), roundedPixel(g.width() * scale), roundedPixel(g.height() * scale)));
        }
    }
    if (frames.isEmpty())
        frames.append(QRectF(QPointF(0, 0), currentRootSize()));
    return frames;
}

QSizeF X11WindowSystem::Private::currentRootSize() const
{
    ReplyPtr<xcb_get_geometry_reply_t> reply{
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, root), nullptr)};
    return reply ? QSizeF(reply->width, reply->height) : rootSize;
}

QRectF X11WindowSystem::Private::availableArea(const QRectF &frame,
                                               const std::vector<xcb_ewmh_wm_strut_partial_t> &struts) const
{
    // Struts count from the root window's edges; one applies to a screen when it reaches into it
    // along a stretch that the screen spans.
    qreal left = frame.left();
    qreal top = frame.top();
    qreal right = frame.x() + frame.width();
    qreal bottom = frame.y() + frame.height();
    const qreal rootWidth = rootSize.width();
    const qreal rootHeight = rootSize.height();
    const auto overlaps = [](qreal start, qreal end, qreal from, qreal to) { return start < to && end >= from; };

    for (const xcb_ewmh_wm_strut_partial_t &s : struts) {
        if (s.left > 0 && s.left > frame.left() && overlaps(s.left_start_y, s.left_end_y, frame.top(), frame.bottom()))
            left = std::max<qreal>(left, s.left);
        if (s.right > 0 && rootWidth - s.right < frame.x() + frame.width() &&
            overlaps(s.right_start_y, s.right_end_y, frame.top(), frame.bottom()))
            right = std::min<qreal>(right, rootWidth - s.right);
        if (s.top > 0 && s.top > frame.top() && overlaps(s.top_start_x, s.top_end_x, frame.left(), frame.right()))
            top = std::max<qreal>(top, s.top);
        if (s.bottom > 0 && rootHeight - s.bottom < frame.y() + frame.height() &&
            overlaps(s.bottom_start_x, s.bottom_end_x, frame.left(), frame.right()))
            bottom = std::min<qreal>(bottom, rootHeight - s.bottom);
    }
    if (right <= left || bottom <= top)
        return frame;
    return QRectF(left, top, right - left, bottom - top);
}

X11WindowSystem::X11WindowSystem(xcb_connection_t *connection)
    : d(std::make_unique<Private>())
{
    d->connection = connection;
    if (!connection || xcb_connection_has_error(connection))
        return;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen)
        return;
    d->root = screen->root;
    d->rootSize = QSizeF(screen->width_in_pixels, screen->height_in_pixels);
    xcb_intern_atom_cookie_t *cookies = xcb_ewmh_init_atoms(connection, &d->ewmh);
    d->ewmhReady = cookies && xcb_ewmh_init_atoms_replies(&d->ewmh, cookies, nullptr);
}

X11WindowSystem::~X11WindowSystem()
{
    if (d->ewmhReady)
        xcb_ewmh_connection_wipe(&d->ewmh);
}

std::unique_ptr<X11WindowSystem> X11WindowSystem::fromQt()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !qGuiApp) {
        qCDebug(lcDesktop, "no X11 connection on the %s platform: windows are not avoided",
                qPrintable(QGuiApplication::platformName()));
        return nullptr;
    }
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return nullptr;
    return std::make_unique<X11WindowSystem>(x11->connection());
}

bool X11WindowSystem::canMoveWindows() const
{
    if (!d->usable())
        return false;
    xcb_ewmh_connection_t *ewmh = &d->ewmh;
    const xcb_get_property_cookie_t checkCookie = xcb_ewmh_get_supporting_wm_check(ewmh, d->root);
    const xcb_get_property_cookie_t supportedCookie = xcb_ewmh_get_supported(ewmh, 0);

    xcb_ewmh_get_atoms_reply_t supported;
    bool moves = false;
    {
        ErrorSink error;
        if (xcb_ewmh_get_supported_reply(ewmh, supportedCookie, &supported, &error)) {
            moves = contains(supported, ewmh->_NET_MOVERESIZE_WINDOW);
            xcb_ewmh_get_atoms_reply_wipe(&supported);
        }
    }
    xcb_window_t wm = XCB_NONE;
    {
        ErrorSink error;
        if (!xcb_ewmh_get_supporting_wm_check_reply(ewmh, checkCookie, &wm, &error))
            return false;
    }
    if (!moves)
        return false;
    // A window manager that died leaves its properties on the root; its check window is gone.
    xcb_window_t self = XCB_NONE;
    ErrorSink error;
    return xcb_ewmh_get_supporting_wm_check_reply(ewmh, xcb_ewmh_get_supporting_wm_check(ewmh, wm), &self, &error) &&
           self == wm;
}

QList<ScreenRecord> X11WindowSystem::screens() const
{
    QList<ScreenRecord> list;
    if (!d->usable())
        return list;
    const QList<QRectF> frames = d->screenFrames();
    const QList<QScreen *> qtScreens = qGuiApp && QGuiApplication::platformName() == QLatin1String("xcb")
                                           ? QGuiApplication::screens()
                                           : QList<QScreen *>();
    for (qsizetype i = 0; i < frames.size(); ++i)
        list.append({frames[i], frames[i], i < qtScreens.size() ? qtScreens[i]->devicePixelRatio() : 1.0});

    const Private::Reservations reserved = d->reservations(ownPid());
    for (ScreenRecord &screen : list)
        screen.available = d->availableArea(screen.frame, reserved.struts);
    // With one monitor the manager's own work area is exact and also knows its configured
    // margins; with several it spans them all and says nothing about any one. It also counts
    // the band's own strip, which must not push the band itself: an edge is taken from it
    // only where it is tighter than every strut, ours included (a margin of the manager's).
    if (list.size() == 1 && !reserved.workArea.isEmpty()) {
        ScreenRecord &screen = list.first();
        std::vector<xcb_ewmh_wm_strut_partial_t> all = reserved.struts;
        all.insert(all.end(), reserved.own.begin(), reserved.own.end());
        const QRectF struts = d->availableArea(screen.frame, all);
        const QRectF area = reserved.workArea;
        const QRectF others = screen.available;
        const qreal left = area.left() > struts.left() ? std::max(area.left(), others.left()) : others.left();
        const qreal top = area.top() > struts.top() ? std::max(area.top(), others.top()) : others.top();
        const qreal right = area.right() < struts.right() ? std::min(area.right(), others.right()) : others.right();
        const qreal bottom =
            area.bottom() < struts.bottom() ? std::min(area.bottom(), others.bottom()) : others.bottom();
        if (right > left && bottom > top)
            screen.available = QRectF(left, top, right - left, bottom - top);
    }
    return list;
}

QRectF X11WindowSystem::toDevice(const QRectF &logical) const
{
    QScreen *screen = nullptr;
    if (qGuiApp && QGuiApplication::platformName() == QLatin1String("xcb")) {
        screen = QGuiApplication::screenAt(logical.center().toPoint());
        if (!screen) {
            for (QScreen *candidate : QGuiApplication::screens()) {
                if (QRectF(candidate->geometry()).intersects(logical)) {
                    screen = candidate;
                    break;
                }
            }
        }
        if (!screen)
            screen = QGuiApplication::primaryScreen();
    }
    QPointF origin;
    qreal scale = 1.0;
    if (screen) {
        origin = screen->geometry().topLeft();
        scale = screen->devicePixelRatio();
    }
    const auto toDevice = [&](QPointF p) {
        const QPointF device = origin + (p - origin) * scale;
        return QPointF(roundedPixel(device.x()), roundedPixel(device.y()));
    };
    return QRectF(toDevice(logical.topLeft()), toDevice(logical.bottomRight()));
}

bool X11WindowSystem::leftButtonPressed() const
{
    if (!d->usable())
        return false;
    ReplyPtr<xcb_query_pointer_reply_t> reply{
        xcb_query_pointer_reply(d->connection, xcb_query_pointer(d->connection, d->root), nullptr)};
    return reply && (reply->mask & XCB_BUTTON_MASK_1);
}

QList<WindowRecord> X11WindowSystem::windows() const
{
    QList<WindowRecord> list;
    if (!d->usable())
        return list;
    xcb_ewmh_connection_t *ewmh = &d->ewmh;
    const std::vector<xcb_window_t> clients = d->clientList();

    // Every request of every window first, then the replies: one round trip for the lot.
    struct Pending
    {
        xcb_window_t window;
        xcb_get_property_cookie_t pid, type, state, extents;
        xcb_translate_coordinates_cookie_t position;
        xcb_get_geometry_cookie_t geometry;
    };
    std::vector<Pending> pending;
    pending.reserve(clients.size());
    for (xcb_window_t window : clients) {
        pending.push_back({window, xcb_ewmh_get_wm_pid(ewmh, window), xcb_ewmh_get_wm_window_type(ewmh, window),
                           xcb_ewmh_get_wm_state(ewmh, window), xcb_ewmh_get_frame_extents(ewmh, window),
                           xcb_translate_coordinates(d->connection, window, d->root, 0, 0),
                           xcb_get_geometry(d->connection, window)});
    }

    const xcb_atom_t knownTypes[] = {
        ewmh->_NET_WM_WINDOW_TYPE_DESKTOP,      ewmh->_NET_WM_WINDOW_TYPE_DOCK,
        ewmh->_NET_WM_WINDOW_TYPE_TOOLBAR,      ewmh->_NET_WM_WINDOW_TYPE_MENU,
        ewmh->_NET_WM_WINDOW_TYPE_UTILITY,      ewmh->_NET_WM_WINDOW_TYPE_SPLASH,
        ewmh->_NET_WM_WINDOW_TYPE_DIALOG,       ewmh->_NET_WM_WINDOW_TYPE_DROPDOWN_MENU,
        ewmh->_NET_WM_WINDOW_TYPE_POPUP_MENU,   ewmh->_NET_WM_WINDOW_TYPE_TOOLTIP,
        ewmh->_NET_WM_WINDOW_TYPE_NOTIFICATION, ewmh->_NET_WM_WINDOW_TYPE_COMBO,
        ewmh->_NET_WM_WINDOW_TYPE_DND,          ewmh->_NET_WM_WINDOW_TYPE_NORMAL,
    };

    for (const Pending &p : pending) {
        WindowRecord record;
        record.id = p.window;

        uint32_t pid = 0;
        {
            ErrorSink error;
            if (xcb_ewmh_get_wm_pid_reply(ewmh, p.pid, &pid, &error))
                record.pid = pid;
        }
        {
            xcb_ewmh_get_atoms_reply_t types;
            ErrorSink error;
            if (xcb_ewmh_get_wm_window_type_reply(ewmh, p.type, &types, &error)) {
                // The list is in order of preference; the first type we know decides. None
                // known, or none set, means an ordinary window.
                for (uint32_t i = 0; i < types.atoms_len; ++i) {
                    const xcb_atom_t type = types.atoms[i];
                    if (std::find(std::begin(knownTypes), std::end(knownTypes), type) != std::end(knownTypes)) {
                        record.standard =
                            type == ewmh->_NET_WM_WINDOW_TYPE_NORMAL || type == ewmh->_NET_WM_WINDOW_TYPE_DIALOG;
                        break;
                    }
                }
                xcb_ewmh_get_atoms_reply_wipe(&types);
            }
        }
        {
            xcb_ewmh_get_atoms_reply_t states;
            ErrorSink error;
            if (xcb_ewmh_get_wm_state_reply(ewmh, p.state, &states, &error)) {
                record.minimised = contains(states, ewmh->_NET_WM_STATE_HIDDEN);
                record.fullScreen = contains(states, ewmh->_NET_WM_STATE_FULLSCREEN);
                record.skipTaskbar = contains(states, ewmh->_NET_WM_STATE_SKIP_TASKBAR);
                xcb_ewmh_get_atoms_reply_wipe(&states);
            }
        }
        xcb_ewmh_get_extents_reply_t extents{};
        {
            ErrorSink error;
            if (!xcb_ewmh_get_frame_extents_reply(ewmh, p.extents, &extents, &error))
                extents = {};
        }
        ReplyPtr<xcb_translate_coordinates_reply_t> position{
            xcb_translate_coordinates_reply(d->connection, p.position, nullptr)};
        ReplyPtr<xcb_get_geometry_reply_t> geometry{xcb_get_geometry_reply(d->connection, p.geometry, nullptr)};
        // A window that went away between the client list and now has no geometry: skip it.
        if (!position || !geometry)
            continue;

        record.decorations = QMarginsF(extents.left, extents.top, extents.right, extents.bottom);
        record.frame = QRectF(position->dst_x - qreal(extents.left), position->dst_y - qreal(extents.top),
                              geometry->width + qreal(extents.left + extents.right),
                              geometry->height + qreal(extents.top + extents.bottom));
        list.append(record);
    }
    return list;
}

void X11WindowSystem::moveTop(const WindowRecord &window, qreal y)
{
    if (!d->usable())
        return;
    // NorthWest gravity: y is the outer top edge of the frame. Only y is given, so the
    // manager keeps the horizontal position to the pixel.
    const qreal clientWidth = window.frame.width() - window.decorations.left() - window.decorations.right();
    const qreal clientHeight = window.frame.height() - window.decorations.top() - window.decorations.bottom();
    xcb_ewmh_request_moveresize_window(
        &d->ewmh, 0, xcb_window_t(window.id), XCB_GRAVITY_NORTH_WEST, XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER,
        XCB_EWMH_MOVERESIZE_WINDOW_Y, uint32_t(int32_t(window.frame.x())), uint32_t(int32_t(std::lround(y))),
        uint32_t(std::max<qreal>(1, clientWidth)), uint32_t(std::max<qreal>(1, clientHeight)));
    xcb_flush(d->connection);
}

void X11WindowSystem::resizeHeight(const WindowRecord &window, qreal height)
{
    if (!d->usable())
        return;
    // The request takes the client's size: the frame's height without its decorations.
    const qreal clientWidth = window.frame.width() - window.decorations.left() - window.decorations.right();
    const qreal clientHeight = height - window.decorations.top() - window.decorations.bottom();
    xcb_ewmh_request_moveresize_window(&d->ewmh, 0, xcb_window_t(window.id), XCB_GRAVITY_NORTH_WEST,
                                       XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER, XCB_EWMH_MOVERESIZE_WINDOW_HEIGHT, 0, 0,
                                       uint32_t(std::max<qreal>(1, clientWidth)),
                                       uint32_t(std::max<long>(1, std::lround(clientHeight))));
    xcb_flush(d->connection);
}

void X11WindowSystem::markAsAccessory(quint64 window)
{
    if (!d->usable() || window == 0)
        return;
    const auto id = xcb_window_t(window);
    xcb_ewmh_set_wm_desktop(&d->ewmh, id, 0xFFFFFFFF);
    // Keep the states Qt already put there (above, below) and add ours.
    std::vector<xcb_atom_t> atoms;
    xcb_ewmh_get_atoms_reply_t existing;
    ErrorSink error;
    if (xcb_ewmh_get_wm_state_reply(&d->ewmh, xcb_ewmh_get_wm_state(&d->ewmh, id), &existing, &error)) {
        atoms.assign(existing.atoms, existing.atoms + existing.atoms_len);
        xcb_ewmh_get_atoms_reply_wipe(&existing);
    }
    for (xcb_atom_t atom :
         {d->ewmh._NET_WM_STATE_STICKY, d->ewmh._NET_WM_STATE_SKIP_TASKBAR, d->ewmh._NET_WM_STATE_SKIP_PAGER}) {
        if (std::find(atoms.begin(), atoms.end(), atom) == atoms.end())
            atoms.push_back(atom);
    }
    xcb_ewmh_set_wm_state(&d->ewmh, id, static_cast<uint32_t>(atoms.size()), atoms.data());
    xcb_flush(d->connection);
}

void X11WindowSystem::reserveStrip(quint64 window, Qt::Edge edge, const QRectF &band)
{
    if (!d->usable() || window == 0)
        return;
    const auto id = xcb_window_t(window);
    const auto giveBack = [&] {
        xcb_delete_property(d->connection, id, d->ewmh._NET_WM_STRUT_PARTIAL);
        xcb_delete_property(d->connection, id, d->ewmh._NET_WM_STRUT);
        xcb_flush(d->connection);
    };
    if (band.isEmpty())
        return giveBack();

    // Struts count in device pixels from the root window's edges and reserve everything between
    // that edge and the band, over the band's width. With another screen in that stretch (screens
    // stacked one above the other) a strut would take a strip of that screen too: none is set.
    const QRectF device = toDevice(band);
    const bool top = edge != Qt::BottomEdge;
    for (const QRectF &frame : d->screenFrames()) {
        const bool besideBand = frame.right() <= device.left() || frame.left() >= device.right();
        const bool between = top ? frame.bottom() <= device.top() : frame.top() >= device.bottom();
        if (!besideBand && between) {
            qCDebug(lcDesktop, "another screen lies between the band and the edge: no strip is reserved");
            return giveBack();
        }
    }
    const QSizeF root = d->currentRootSize();
    xcb_ewmh_wm_strut_partial_t strut{};
    const auto startX = uint32_t(std::max<qreal>(0, device.left()));
    const auto endX = uint32_t(std::max<qreal>(0, device.right() - 1));
    if (top) {
        strut.top = uint32_t(std::max<qreal>(0, device.bottom()));
        strut.top_start_x = startX;
        strut.top_end_x = endX;
    } else {
        strut.bottom = uint32_t(std::max<qreal>(0, root.height() - device.top()));
        strut.bottom_start_x = startX;
        strut.bottom_end_x = endX;
    }
    xcb_ewmh_set_wm_strut_partial(&d->ewmh, id, strut);
    // The older form, for managers that know only it, reserves the whole width of the root:
    // right only when the band spans it.
    if (device.left() <= 0 && device.right() >= root.width())
        xcb_ewmh_set_wm_strut(&d->ewmh, id, 0, 0, strut.top, strut.bottom);
    else
        xcb_delete_property(d->connection, id, d->ewmh._NET_WM_STRUT);
    xcb_flush(d->connection);
}

void X11WindowSystem::placeOwnWindow(quint64 window, const QRectF &frame)
{
    if (!d->usable() || frame.isEmpty())
        return;
    const QRectF device = toDevice(frame);
    const uint32_t values[] = {uint32_t(int32_t(device.x())), uint32_t(int32_t(device.y())),
                               uint32_t(std::max<qreal>(1, device.width())),
                               uint32_t(std::max<qreal>(1, device.height()))};
    xcb_configure_window(d->connection, xcb_window_t(window),
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                         values);
    xcb_flush(d->connection);
}

bool X11WindowSystem::watchChanges(std::function<void()> changed)
{
    d->watcher.reset();
    if (!changed || !d->usable())
        return false;
    d->watcher = std::make_unique<X11ChangeWatcher>(std::move(changed));
    if (!d->watcher->isValid())
        d->watcher.reset();
    return d->watcher != nullptr;
}
