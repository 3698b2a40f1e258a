#include "app/TickerPanel.h"

#include <QGuiApplication>
#include <QPalette>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

namespace {

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(qstrlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    free(reply);
    return atom;
}

xcb_connection_t *xcbConnection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

} // namespace

TickerPanel::TickerPanel(QWidget *content, QWidget *parent)
    : QWidget(parent, flagsFor(WindowLevelMode::front))
    , m_content(content)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11NetWmWindowTypeUtility, false);
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setWindowTitle(QStringLiteral("Dotbanner"));
    if (m_content) {
        m_content->setParent(this);
        m_content->setGeometry(rect());
    }
}

Qt::WindowFlags TickerPanel::flagsFor(WindowLevelMode level)
{
    Qt::WindowFlags flags = Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus;
    switch (level) {
    case WindowLevelMode::front:
        flags |= Qt::WindowStaysOnTopHint;
        break;
    case WindowLevelMode::desktop:
        flags |= Qt::WindowStaysOnBottomHint;
        break;
    case WindowLevelMode::normal:
        break;
    }
    return flags;
}

void TickerPanel::setLevel(WindowLevelMode level)
{
    m_level = level;
    const Qt::WindowFlags flags = flagsFor(level);
    // QWidget::setWindowFlags would destroy and recreate the X window, losing its states.
    if (QWindow *handle = windowHandle())
        handle->setFlags(flags);
    else
        setWindowFlags(flags);
}

void TickerPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_content)
        m_content->setGeometry(rect());
}

void TickerPanel::showEvent(QShowEvent *event)
{
    // Sent before the window is mapped: the window manager reads these states when it maps
    // it, and drops them again whenever the window is withdrawn, so each show sets them.
    markOnAllDesktops();
    QWidget::showEvent(event);
}

void TickerPanel::markOnAllDesktops()
{
    xcb_connection_t *connection = xcbConnection();
    if (!connection)
        return;
    const auto window = static_cast<xcb_window_t>(winId());
    const xcb_atom_t desktop = internAtom(connection, "_NET_WM_DESKTOP");
    const xcb_atom_t state = internAtom(connection, "_NET_WM_STATE");
    const std::array<xcb_atom_t, 3> wanted = {internAtom(connection, "_NET_WM_STATE_STICKY"),
                                              internAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
                                              internAtom(connection, "_NET_WM_STATE_SKIP_PAGER")};
    if (desktop == XCB_ATOM_NONE || state == XCB_ATOM_NONE)
        return;

    const std::uint32_t allDesktops = 0xFFFFFFFF;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, desktop, XCB_ATOM_CARDINAL, 32, 1, &allDesktops);

    // Keep the states Qt already put there (above, below) and add ours.
    std::vector<xcb_atom_t> atoms;
    const xcb_get_property_cookie_t cookie = xcb_get_property(connection, 0, window, state, XCB_ATOM_ATOM, 0, 64);
    if (xcb_get_property_reply_t *reply = xcb_get_property_reply(connection, cookie, nullptr)) {
        if (reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
            const auto *existing = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply));
            atoms.assign(existing, existing + xcb_get_property_value_length(reply) / 4);
        }
        free(reply);
    }
    for (xcb_atom_t atom : wanted) {
        if (atom != XCB_ATOM_NONE && std::find(atoms.begin(), atoms.end(), atom) == atoms.end())
            atoms.push_back(atom);
    }
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, state, XCB_ATOM_ATOM, 32,
                        static_cast<std::uint32_t>(atoms.size()), atoms.data());
    xcb_flush(connection);
}
