#pragma once

#include <QList>
#include <QListWidget>

/**
 * The content tab's list of watched items. Rows are dragged within the list only, and a drop
 * moves nothing itself: it asks for the move, which the owner makes in the settings and then
 * shows by rebuilding the rows.
 */
class WatchItemsList : public QListWidget
{
    Q_OBJECT
public:
    explicit WatchItemsList(QWidget *parent = nullptr);

signals:
    /**
     * The rows at `sources` were dropped before position `destination` (counted before the
     * move). Emitted once the drop is over, on a later pass of the event loop.
     */
    void moveRequested(const QList<int> &sources, int destination);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    /** The position a drop at `pos` inserts before. */
    int destinationAt(const QPoint &pos) const;
};
