#include "wayland/MenuPicture.h"

#include <QAction>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>

#include <algorithm>

namespace {

constexpr int frame = 1;         // the border around the rows
constexpr int margin = 4;        // above the first row and below the last
constexpr int checkColumn = 26;  // room for the check mark, left of the text
constexpr int rightPadding = 18;
constexpr int separatorHeight = 9;
constexpr int minWidth = 160;
constexpr int maxWidth = 480;

QString withoutMarkers(QString text)
{
    // "&&" stands for a real ampersand; a single one marks the shortcut letter.
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(u'&');
    text.replace(u'\x01', u'&');
    return text.left(MenuPicture::maxTextLength);
}

} // namespace

QList<MenuPicture::Entry> MenuPicture::entriesOf(const QList<QAction *> &actions)
{
    QList<Entry> entries;
    for (const QAction *action : actions) {
        if (!action || !action->isVisible())
            continue;
        if (entries.size() >= maxEntries)
            break;
        Entry entry;
        entry.separator = action->isSeparator();
        if (!entry.separator) {
            entry.text = withoutMarkers(action->text());
            entry.checkable = action->isCheckable();
            entry.checked = action->isChecked();
            entry.enabled = action->isEnabled();
        }
        entries.append(entry);
    }
    return entries;
}

MenuPicture::MenuPicture(QList<Entry> entries)
    : m_entries(std::move(entries))
{
    if (m_entries.size() > maxEntries)
        m_entries.resize(maxEntries);
    const QFontMetrics metrics(QGuiApplication::font());
    const int rowHeight = std::max(metrics.height() + 8, 22);
    int width = minWidth;
    for (const Entry &entry : std::as_const(m_entries)) {
        if (!entry.separator)
            width = std::max(width, 2 * frame + checkColumn + metrics.horizontalAdvance(entry.text) + 1 + rightPadding);
    }
    width = std::min(width, maxWidth);
    int y = frame + margin;
    for (const Entry &entry : std::as_const(m_entries)) {
        const int height = entry.separator ? separatorHeight : rowHeight;
        m_rects.append(QRect(frame, y, width - 2 * frame, height));
        y += height;
    }
    m_size = m_entries.isEmpty() ? QSize() : QSize(width, y + margin + frame);
}

bool MenuPicture::isChoosable(int index) const
{
    return index >= 0 && index < m_entries.size() && !m_entries.at(index).separator && m_entries.at(index).enabled;
}

int MenuPicture::entryAt(const QPointF &point) const
{
    for (int i = 0; i < m_rects.size(); ++i) {
        if (m_rects.at(i).contains(point.toPoint()))
            return isChoosable(i) ? i : -1;
    }
    return -1;
}

QRect MenuPicture::entryRect(int index) const
{
    return index >= 0 && index < m_rects.size() ? m_rects.at(index) : QRect();
}

int MenuPicture::nextChoosable(int index, int step) const
{
    const int count = int(m_entries.size());
    if (count == 0)
        return -1;
    int at = index < 0 ? (step > 0 ? -1 : count) : index;
    for (int tried = 0; tried < count; ++tried) {
        at = ((at + step) % count + count) % count;
        if (isChoosable(at))
            return at;
    }
    return -1;
}

QImage MenuPicture::paint(int highlighted, int scale) const
{
    if (m_size.isEmpty())
        return QImage();
    scale = std::clamp(scale, 1, 8);
    const QPalette palette = QGuiApplication::palette();
    QImage image(m_size * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(palette.color(QPalette::Window));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(QGuiApplication::font());
    painter.setPen(palette.color(QPalette::Mid));
    painter.drawRect(QRectF(0.5, 0.5, m_size.width() - 1, m_size.height() - 1));
    for (int i = 0; i < m_entries.size(); ++i) {
        const Entry &entry = m_entries.at(i);
        const QRect rect = m_rects.at(i);
        if (entry.separator) {
            painter.setPen(palette.color(QPalette::Mid));
            const int y = rect.center().y();
            painter.drawLine(QPointF(rect.left() + 6, y + 0.5), QPointF(rect.right() - 6, y + 0.5));
            continue;
        }
        const bool lit = i == highlighted && isChoosable(i);
        if (lit)
            painter.fillRect(rect, palette.color(QPalette::Highlight));
        const QColor ink = !entry.enabled ? palette.color(QPalette::Disabled, QPalette::WindowText)
                           : lit          ? palette.color(QPalette::HighlightedText)
                                          : palette.color(QPalette::WindowText);
        painter.setPen(ink);
        if (entry.checkable && entry.checked) {
            const QPointF c(rect.left() + checkColumn / 2.0, rect.center().y() + 0.5);
            QPainterPath tick;
            tick.moveTo(c + QPointF(-5, 0));
            tick.lineTo(c + QPointF(-1.5, 3.5));
            tick.lineTo(c + QPointF(5, -4));
            painter.setPen(QPen(ink, 2));
            painter.drawPath(tick);
            painter.setPen(ink);
        }
        const QRect textRect = rect.adjusted(checkColumn, 0, -rightPadding, 0);
        painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                         painter.fontMetrics().elidedText(entry.text, Qt::ElideRight, textRect.width()));
    }
    return image;
}
