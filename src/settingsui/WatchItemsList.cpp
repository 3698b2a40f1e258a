#include "settingsui/WatchItemsList.h"

#include <QDropEvent>
#include <QTimer>

WatchItemsList::WatchItemsList(QWidget *parent)
    : QListWidget(parent)
{
    setObjectName(QStringLiteral("itemsList"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragDropMode(QAbstractItemView::InternalMove);
    setDefaultDropAction(Qt::MoveAction);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setAutoFillBackground(false);
    setStyleSheet(QStringLiteral("QListWidget { background: transparent; }"));
}

int WatchItemsList::destinationAt(const QPoint &pos) const
{
    const QModelIndex index = indexAt(pos);
    if (!index.isValid())
        return count();
    return pos.y() >= visualRect(index).center().y() ? index.row() + 1 : index.row();
}

void WatchItemsList::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->source() && event->source() != this) {
        event->ignore();
        return;
    }
    QListWidget::dragEnterEvent(event);
    event->acceptProposedAction();
}

void WatchItemsList::dropEvent(QDropEvent *event)
{
    if (event->source() && event->source() != this) {
        event->ignore();
        return;
    }
    QList<int> sources;
    for (const QModelIndex &index : selectionModel()->selectedIndexes())
        sources.append(index.row());
    const int destination = destinationAt(event->position().toPoint());
    // The list is rebuilt from the settings; Qt must not move or remove rows itself.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
    if (sources.isEmpty())
        return;
    // The move rebuilds this list: not while the drop is still being delivered to it.
    QTimer::singleShot(0, this, [this, sources, destination] { emit moveRequested(sources, destination); });
}
