#pragma once

#include "desktop/WindowSystem.h"

#include <QStringList>

/**
 * A window system in memory: windows move when asked (as an obliging window manager would) and
 * every read and write is recorded. It overrides every job of the null base, so nothing a test
 * sees comes from there.
 */
class FakeWindowSystem : public WindowSystem
{
public:
    bool movable = true; ///< what canMoveWindows says
    bool leftButton = false;
    bool reportsChanges = false;   ///< whether watchChanges takes the function
    std::function<void()> changed; ///< what watchChanges took; call it to report a change
    qreal scale = 1.0;
    qint64 pid = 1000;
    QList<ScreenRecord> screenList{{QRectF(0, 0, 1920, 1080), QRectF(0, 0, 1920, 1080), 1.0}};
    QList<WindowRecord> windowList;

    mutable int windowReads = 0;
    /// whether moves and resizes go into `writes`; the benchmark turns it off, as formatting
    /// them would cost more than the sweep it measures (the windows still move)
    bool recordMoves = true;
    /// "top <id> <y>", "height <id> <h>", "accessory <id>" and "strip <id> top|bottom <x> <y> <w> <h>"
    /// ("strip <id> none" when given back) and "place <id> <x> <y> <w> <h>", in order
    QStringList writes;

    bool canMoveWindows() const override { return movable; }
    QList<ScreenRecord> screens() const override { return screenList; }
    QRectF toDevice(const QRectF &logical) const override
    {
        return QRectF(logical.topLeft() * scale, logical.size() * scale);
    }
    bool leftButtonPressed() const override { return leftButton; }
    QList<WindowRecord> windows() const override
    {
        ++windowReads;
        return windowList;
    }
    void moveTop(const WindowRecord &window, qreal y) override
    {
        if (recordMoves)
            writes.append(QStringLiteral("top %1 %2").arg(window.id).arg(y));
        if (WindowRecord *w = find(window.id))
            w->frame.moveTop(y);
    }
    void resizeHeight(const WindowRecord &window, qreal height) override
    {
        if (recordMoves)
            writes.append(QStringLiteral("height %1 %2").arg(window.id).arg(height));
        if (WindowRecord *w = find(window.id))
            w->frame.setHeight(height);
    }
    void markAsAccessory(quint64 window) override { writes.append(QStringLiteral("accessory %1").arg(window)); }
    void reserveStrip(quint64 window, Qt::Edge edge, const QRectF &band) override
    {
        if (band.isEmpty()) {
            writes.append(QStringLiteral("strip %1 none").arg(window));
            return;
        }
        writes.append(QStringLiteral("strip %1 %2 %3 %4 %5 %6")
                          .arg(window)
                          .arg(edge == Qt::BottomEdge ? QStringLiteral("bottom") : QStringLiteral("top"))
                          .arg(band.x())
                          .arg(band.y())
                          .arg(band.width())
                          .arg(band.height()));
    }
    bool watchChanges(std::function<void()> f) override
    {
        changed = reportsChanges ? std::move(f) : std::function<void()>();
        return bool(changed);
    }
    void placeOwnWindow(quint64 window, const QRectF &frame) override
    {
        writes.append(QStringLiteral("place %1 %2 %3 %4 %5")
                          .arg(window)
                          .arg(frame.x())
                          .arg(frame.y())
                          .arg(frame.width())
                          .arg(frame.height()));
    }
    qint64 ownPid() const override { return pid; }

    WindowRecord *find(quint64 id)
    {
        for (WindowRecord &w : windowList) {
            if (w.id == id)
                return &w;
        }
        return nullptr;
    }

    static WindowRecord window(quint64 id, const QRectF &frame, qint64 pid = 77)
    {
        WindowRecord record;
        record.id = id;
        record.pid = pid;
        record.frame = frame;
        return record;
    }
};
