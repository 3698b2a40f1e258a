#pragma once

#include <cstdint>

struct xcb_connection_t;

/**
 * The band view's own connection to the X server, beside Qt's: what the view asks of the
 * server goes through it, read only when the view wakes anyway, so the server's reports of
 * frames shown wake nobody. Opening it asks the server which extensions the view can use:
 * Present (frames queued by vertical blank) with XFixes 2 (the pointer let through the
 * lines' windows); DOTBANNER_X11_PRESENT=0 turns Present off.
 */
class X11Connection
{
public:
    X11Connection() = default;
    ~X11Connection();
    X11Connection(const X11Connection &) = delete;
    X11Connection &operator=(const X11Connection &) = delete;

    /** Qt's connection when Qt runs on xcb, else null. */
    static xcb_connection_t *qtConnection();
    /** Whether 32-bit RGB32 image rows can go to `connection`'s server unchanged for a drawable of `depth`. */
    static bool acceptsRgb32(xcb_connection_t *connection, std::uint8_t depth);
    /** Waits until the server has done everything asked on `connection` so far. */
    static void roundTrip(xcb_connection_t *connection);

    /** Connects to Qt's display and probes the extensions; false when Qt is not on xcb or that failed. */
    bool open();
    bool isOpen() const { return m_own != nullptr; }
    /** Whether it is open and has not failed since. */
    bool works() const;

    /** Ours. */
    xcb_connection_t *get() const { return m_own; }
    /** Qt's, for the window Qt made. */
    xcb_connection_t *qt() const { return m_qt; }

    /** Whether frames can be queued through Present. */
    bool offersPresent() const { return m_present; }
    /** The Present extension's major opcode (0 without it): its errors and events carry it. */
    std::uint8_t presentOpcode() const { return m_presentOpcode; }

private:
    xcb_connection_t *m_own = nullptr;
    xcb_connection_t *m_qt = nullptr;
    bool m_present = false;
    std::uint8_t m_presentOpcode = 0;
};
