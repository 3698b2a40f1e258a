#pragma once

#include "desktop/DesktopQueries.h"
#include "desktop/OwnWindowHints.h"
#include "desktop/WindowMover.h"

#include <memory>

/**
 * The desktop's three jobs behind one object, made once per process (forPlatform) and shared:
 * the band window takes its hints, the controller its queries, the window avoider its queries
 * and moves. On its own it is the desktop where nothing can be done: no screens, no windows,
 * nothing moved, marked or watched, and Qt's coordinates taken as device pixels. A platform
 * overrides what it can do; what it cannot do stays that way.
 */
class WindowSystem : public OwnWindowHints, public DesktopQueries, public WindowMover
{
public:
    void markAsAccessory(quint64 window) override;
    void reserveStrip(quint64 window, Qt::Edge edge, const QRectF &band) override;
    void placeOwnWindow(quint64 window, const QRectF &frame) override;

    QList<ScreenRecord> screens() const override;
    QRectF toDevice(const QRectF &logical) const override;
    bool leftButtonPressed() const override;
    bool watchChanges(std::function<void()> changed) override;

    bool canMoveWindows() const override;
    QList<WindowRecord> windows() const override;
    void moveTop(const WindowRecord &window, qreal y) override;
    void resizeHeight(const WindowRecord &window, qreal height) override;
    /** This process's id. */
    qint64 ownPid() const override;

    /** The X11 window system on an xcb session, otherwise this null one. Made once, at start. */
    static std::shared_ptr<WindowSystem> forPlatform();
};
