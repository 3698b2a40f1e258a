#pragma once

#include <QList>
#include <QMarginsF>
#include <QRectF>
#include <QtGlobal>

#include <functional>
#include <memory>

/**
 * One screen as the window system sees it, in device pixels with a top-left origin at the
 * top-left corner of the root window.
 */
struct ScreenRecord
{
    QRectF frame;      ///< the whole screen
    QRectF available;  ///< the screen without panels, docks and other reserved strips
    qreal scale = 1.0; ///< device pixels per logical pixel

    bool operator==(const ScreenRecord &) const = default;
};

/**
 * One top-level window of some application, in device pixels. The frame is the window as the
 * user sees it, decorations included: a title bar under the band is as hidden as the content.
 */
struct WindowRecord
{
    quint64 id = 0;
    qint64 pid = 0;           ///< owning process; 0 when the window does not say
    bool standard = true;     ///< an ordinary window or a dialog (not a palette, menu, dock…)
    bool skipTaskbar = false; ///< asks to stay out of the taskbar: an accessory's window
    bool minimised = false;
    bool fullScreen = false;
    QRectF frame;          ///< outer frame: client area plus decorations
    QMarginsF decorations; ///< the window manager's frame around the client area

    bool operator==(const WindowRecord &) const = default;
};

/**
 * What the band needs from the desktop: the screens and their work areas, the band window's
 * own states, and for the window avoider reading other applications' windows and asking the
 * window manager to move or resize them. One instance per process, shared by its users.
 * One implementation per platform, chosen at run time; the null one stands for a session
 * where nothing can be done.
 */
class WindowSystem
{
public:
    virtual ~WindowSystem() = default;

    /**
     * Whether windows can be moved right now: a window manager runs that says where the
     * windows are and takes requests to move them (EWMH). It can come and go at any time.
     */
    virtual bool canMoveWindows() const = 0;

    /**
     * The screens, in the order of QGuiApplication::screens() (the primary one first); empty
     * when there is no display. The available areas leave out what this process reserves.
     */
    virtual QList<ScreenRecord> screens() const = 0;

    /** Turns a rectangle in Qt's logical screen coordinates into device pixels. */
    virtual QRectF toDevice(const QRectF &logical) const = 0;

    /** Whether the left mouse button is held anywhere on the display. */
    virtual bool leftButtonPressed() const = 0;

    /** The managed top-level windows of every application, this one included. */
    virtual QList<WindowRecord> windows() const = 0;

    /** Moves the window's outer top edge to y; its horizontal position stays. */
    virtual void moveTop(const WindowRecord &window, qreal y) = 0;

    /** Sets the window's outer height, keeping its top-left corner and width. */
    virtual void resizeHeight(const WindowRecord &window, qreal height) = 0;

    /**
     * Puts `window`, one of this process's own top-level windows, on every desktop and out of
     * the taskbar and the pager. Called before each mapping: the window manager reads these
     * states when it maps a window and drops them when it is withdrawn.
     */
    virtual void markAsAccessory(quint64 window) = 0;

    /**
     * Reserves `band` (Qt's logical screen coordinates), a strip along the `edge` (top or
     * bottom) of its screen, for `window`, one of this process's top-level windows: the window
     * manager then lays other windows out of it, maximised ones and those of Wayland clients
     * included. An empty band gives the strip back. The band's own work area ignores it: see
     * screens().
     */
    virtual void reserveStrip(quint64 window, Qt::Edge edge, const QRectF &band) = 0;

    /**
     * Asks the window manager again that `window`, one of this process's top-level windows,
     * have the geometry `frame` (Qt's logical screen coordinates), whatever the toolkit
     * believes the window's geometry to be.
     */
    virtual void placeOwnWindow(quint64 window, const QRectF &frame) = 0;

    /**
     * From now on calls `changed` (on this thread) whenever windows, screens or work areas
     * may have changed; an empty function stops it. False when this system cannot tell: its
     * users then have to look from time to time.
     */
    virtual bool watchChanges(std::function<void()> changed);

    /** The process whose windows are never touched: this one. */
    virtual qint64 ownPid() const;

    /** The X11 window system on an xcb session, otherwise the null one. Made once, at start. */
    static std::shared_ptr<WindowSystem> forPlatform();
};

/** A desktop where nothing can be read or moved: no screens, no windows. */
class NullWindowSystem : public WindowSystem
{
public:
    bool canMoveWindows() const override { return false; }
    QList<ScreenRecord> screens() const override { return {}; }
    QRectF toDevice(const QRectF &logical) const override { return logical; }
    bool leftButtonPressed() const override { return false; }
    QList<WindowRecord> windows() const override { return {}; }
    void moveTop(const WindowRecord &, qreal) override {}
    void resizeHeight(const WindowRecord &, qreal) override {}
    void markAsAccessory(quint64) override {}
    void reserveStrip(quint64, Qt::Edge, const QRectF &) override {}
    void placeOwnWindow(quint64, const QRectF &) override {}
};
