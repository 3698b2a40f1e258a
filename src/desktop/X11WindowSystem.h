#pragma once

#include "desktop/WindowSystem.h"

#include <memory>

struct xcb_connection_t;

/**
 * The window system of an X11 session with an EWMH window manager. Windows are the manager's
 * client list; moves and resizes are requests to the manager (_NET_MOVERESIZE_WINDOW), so it
 * keeps its own rules (size increments, minimum sizes, struts).
 */
class X11WindowSystem : public WindowSystem
{
public:
    /** Works on `connection` (not owned), which must outlive this object. */
    explicit X11WindowSystem(xcb_connection_t *connection);
    ~X11WindowSystem() override;

    /** The system on Qt's own X connection; nullptr unless Qt runs on xcb. */
    static std::unique_ptr<X11WindowSystem> fromQt();

    void markAsAccessory(quint64 window) override;
    void reserveStrip(quint64 window, Qt::Edge edge, const QRectF &band) override;
    void placeOwnWindow(quint64 window, const QRectF &frame) override;

    QList<ScreenRecord> screens() const override;
    QRectF toDevice(const QRectF &logical) const override;
    bool leftButtonPressed() const override;
    bool watchChanges(std::function<void()> changed) override;

    /** Whether a live EWMH manager runs that takes _NET_MOVERESIZE_WINDOW. */
    bool canMoveWindows() const override;
    QList<WindowRecord> windows() const override;
    void moveTop(const WindowRecord &window, qreal y) override;
    void resizeHeight(const WindowRecord &window, qreal height) override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
