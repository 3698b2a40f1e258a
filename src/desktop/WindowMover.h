#pragma once

#include <QList>
#include <QMarginsF>
#include <QRectF>
#include <QtGlobal>

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
 * Other applications' windows: reading where they are and asking the window manager to move
 * or shorten them, which it does by its own rules (size increments, minimum sizes, struts).
 */
class WindowMover
{
public:
    virtual ~WindowMover() = default;

    /**
     * Whether windows can be moved right now: a window manager runs that says where the
     * windows are and takes requests to move them (EWMH). It can come and go at any time.
     */
    virtual bool canMoveWindows() const = 0;

    /** The managed top-level windows of every application, this one included. */
    virtual QList<WindowRecord> windows() const = 0;

    /** Moves the window's outer top edge to y; its horizontal position stays. */
    virtual void moveTop(const WindowRecord &window, qreal y) = 0;

    /** Sets the window's outer height, keeping its top-left corner and width. */
    virtual void resizeHeight(const WindowRecord &window, qreal height) = 0;

    /** The process whose windows are never touched: this one. */
    virtual qint64 ownPid() const = 0;
};
