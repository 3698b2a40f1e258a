#include "app/WindowPlacement.h"

#include <algorithm>

QRect WindowPlacement::areaBeside(const QRect &available, const QRect &band)
{
    if (!band.isValid() || !available.intersects(band))
        return available;
    const QRect above(available.left(), available.top(), available.width(), band.top() - available.top());
    const QRect below(available.left(), band.bottom() + 1, available.width(), available.bottom() - band.bottom());
    const QRect &larger = above.height() >= below.height() ? above : below;
    return larger.height() > 0 ? larger : available;
}

QRect WindowPlacement::place(const QRect &area, QSize wanted, QSize minimum, const QMargins &frame)
{
    const int extraWidth = frame.left() + frame.right();
    const int extraHeight = frame.top() + frame.bottom();
    QSize size = wanted.expandedTo(minimum);
    size = size.boundedTo(QSize(area.width() - extraWidth, area.height() - extraHeight)).expandedTo(minimum);
    const QSize outer(size.width() + extraWidth, size.height() + extraHeight);
    const int left = area.left() + std::max(0, (area.width() - outer.width()) / 2);
    const int top = area.top() + std::max(0, (area.height() - outer.height()) / 2);
    return QRect(QPoint(left + frame.left(), top + frame.top()), size);
}
