#include "settingsui/WatchItemsList.h"

#include "settingsui/FocusRingStyle.h"

#include <QApplication>
#include <QDropEvent>
#include <QShortcut>
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
    // The card behind shows through. A palette rather than a style sheet: a sheet would put
    // every widget of every row under the style sheet machinery, at a price per row.
    viewport()->setAutoFillBackground(false);
    QPalette clear = palette();
    clear.setColor(QPalette::Base, Qt::transparent);
    setPalette(clear);
    FocusRingStyle::apply(this);

    // The keys work from anywhere in the list, a row's label field included; a field keeps
    // Delete for its text, as it asks for the key before any shortcut.
    const auto bind = [this](QKeyCombination keys, auto action) {
        auto *shortcut = new QShortcut(QKeySequence(keys), this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, action);
    };
    bind(Qt::ALT | Qt::Key_Up, [this] { step(-1); });
    bind(Qt::ALT | Qt::Key_Down, [this] { step(1); });
    bind(QKeyCombination(Qt::Key_Delete), [this] {
        if (const int row = activeRow(); row >= 0)
            emit removeRequested(row);
    });
}

void WatchItemsList::step(int by)
{
    const int row = activeRow();
    if (row < 0 || row + by < 0 || row + by >= count())
        return;
    emit stepRequested(row, by);
}

int WatchItemsList::activeRow() const
{
    // The row whose widget holds the focus, when it is in one.
    for (QWidget *w = QApplication::focusWidget(); w && w != this; w = w->parentWidget()) {
        for (int i = 0; i < count(); ++i) {
            if (itemWidget(item(i)) == w)
                return i;
        }
    }
    return currentRow();
}

void WatchItemsList::focusRow(int row)
{
    if (row < 0 || row >= count())
        return;
    setCurrentRow(row);
    setFocus(Qt::OtherFocusReason);
    scrollToItem(item(row));
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
