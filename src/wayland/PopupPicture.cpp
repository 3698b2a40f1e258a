#include "wayland/PopupPicture.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

#include <algorithm>

namespace {

constexpr int padding = 4;
constexpr int maxLines = 40;

} // namespace

QImage PopupPicture::tooltip(const QString &text, int scale)
{
    // The texts come from feeds: drawn as plain text, never as markup, within a bounded area.
    const QString plain = text.left(maxTextLength).trimmed();
    if (plain.isEmpty())
        return QImage();
    scale = std::clamp(scale, 1, 8);
    const QFont font = QGuiApplication::font();
    const QFontMetrics metrics(font);
    const QRect bounds(0, 0, maxWidth - 2 * padding - 2, metrics.lineSpacing() * maxLines);
    const int flags = Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop;
    const QRect textRect = metrics.boundingRect(bounds, flags, plain).intersected(bounds);
    const QSize size(textRect.width() + 2 * padding + 2, textRect.height() + 2 * padding + 2);

    const QPalette palette = QGuiApplication::palette();
    QImage image(size * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(palette.color(QPalette::ToolTipBase));
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(palette.color(QPalette::ToolTipText));
    painter.drawRect(QRect(QPoint(0, 0), size).adjusted(0, 0, -1, -1));
    painter.drawText(QRect(QPoint(padding + 1, padding + 1), textRect.size()), flags, plain);
    return image;
}
