#pragma once

#include <QList>
#include <QListWidget>

/**
 * The content tab's list of watched items. Rows are dragged within the list only, or moved
 * with Alt+Up and Alt+Down; Delete removes the row. Neither moves nor removes anything itself:
 * it asks, and the owner makes the change in the settings and shows it by rebuilding the rows.
 */
class WatchItemsList : public QListWidget
{
    Q_OBJECT
public:
    explicit WatchItemsList(QWidget *parent = nullptr);

    /** The row the keys act on: the one holding the focus, else the current row; −1 for none. */
    int activeRow() const;
    /** Makes `row` the current, selected row and gives the list the focus. */
    void focusRow(int row);

signals:
    /**
     * The rows at `sources` were dropped before position `destination` (counted before the
     * move). Emitted once the drop is over, on a later pass of the event loop.
     */
    void moveRequested(const QList<int> &sources, int destination);
    /** Alt+Up (−1) or Alt+Down (+1) asked to move the row at `row` by one place. */
    void stepRequested(int row, int step);
    /** Delete asked to remove the row at `row`. */
    void removeRequested(int row);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void step(int by);
    /** The position a drop at `pos` inserts before. */
    int destinationAt(const QPoint &pos) const;
};
