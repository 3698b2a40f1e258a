#include "settingsui/Icons.h"

#include <QCoreApplication>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>

#include <cmath>
#include <functional>

namespace Icons {

namespace {

/** Distinct symbol and colour pairs kept; more than the window ever shows at once. */
constexpr qsizetype maxSharedIcons = 64;

QHash<std::pair<int, QRgb>, QIcon> &sharedIcons()
{
    static QHash<std::pair<int, QRgb>, QIcon> icons;
    static const bool cleared = [] {
        // Gone with the application, before the platform that drew them.
        qAddPostRoutine([] { icons.clear(); });
        return true;
    }();
    Q_UNUSED(cleared);
    return icons;
}

} // namespace

QString themeName(Symbol symbol)
{
    switch (symbol) {
    case Symbol::display:
        return QStringLiteral("video-display");
    case Symbol::key:
        return QStringLiteral("dialog-password");
    case Symbol::magnifyingGlass:
        return QStringLiteral("edit-find");
    case Symbol::trash:
        return QStringLiteral("user-trash");
    case Symbol::questionMarkCircle:
        return QStringLiteral("help-browser");
    case Symbol::infoCircle:
        return QStringLiteral("dialog-information");
    default:
        return QString();
    }
}

namespace {

// Every symbol is drawn on a 24 × 24 canvas and scaled.
void drawSymbol(QPainter &p, Symbol symbol, const QColor &color)
{
    QPen pen(color, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const auto circleWithGlyph = [&](const QColor &fill, const std::function<void()> &glyph) {
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawEllipse(QRectF(2, 2, 20, 20));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        glyph();
    };
    const auto cloudPath = [] {
        QPainterPath left, middle, right, base;
        left.addEllipse(QRectF(4.5, 12, 8, 8));
        middle.addEllipse(QRectF(8.5, 7.5, 10, 10));
        right.addEllipse(QRectF(14.5, 11.5, 7.5, 7.5));
        base.addRoundedRect(QRectF(8.5, 14, 9.5, 6), 1, 1);
        return left.united(middle).united(right).united(base);
    };

    switch (symbol) {
    case Symbol::display:
        p.drawRoundedRect(QRectF(3, 4, 18, 12), 2, 2);
        p.drawLine(QPointF(12, 16), QPointF(12, 20));
        p.drawLine(QPointF(8, 20), QPointF(16, 20));
        break;
    case Symbol::listBullet:
        for (int i = 0; i < 3; ++i) {
            const qreal y = 6 + i * 6;
            p.setPen(Qt::NoPen);
            p.setBrush(color);
            p.drawEllipse(QPointF(5, y), 1.6, 1.6);
            p.setBrush(Qt::NoBrush);
            p.setPen(pen);
            p.drawLine(QPointF(10, y), QPointF(21, y));
        }
        break;
    case Symbol::key:
        p.drawEllipse(QRectF(3, 8, 8, 8));
        p.drawLine(QPointF(11, 12), QPointF(21, 12));
        p.drawLine(QPointF(18, 12), QPointF(18, 16));
        p.drawLine(QPointF(15, 12), QPointF(15, 15));
        break;
    case Symbol::chartUptrend: {
        p.drawLine(QPointF(3, 3), QPointF(3, 21));
        p.drawLine(QPointF(3, 21), QPointF(21, 21));
        QPainterPath line;
        line.moveTo(6, 17);
        line.lineTo(10, 12);
        line.lineTo(14, 15);
        line.lineTo(20, 7);
        p.drawPath(line);
        p.drawLine(QPointF(20, 7), QPointF(16, 7.5));
        p.drawLine(QPointF(20, 7), QPointF(20, 11));
        break;
    }
    case Symbol::cloudSun:
    case Symbol::cloudSunFill: {
        const bool fill = symbol == Symbol::cloudSunFill;
        const QPointF sun(8.5, 8.5);
        p.setPen(QPen(color, 1.6, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 8; ++i) {
            const qreal a = i * M_PI / 4;
            p.drawLine(sun + QPointF(std::cos(a) * 4.8, std::sin(a) * 4.8),
                       sun + QPointF(std::cos(a) * 6.6, std::sin(a) * 6.6));
        }
        p.setBrush(fill ? QBrush(color) : QBrush(Qt::NoBrush));
        p.drawEllipse(sun, 3.0, 3.0);
        // Cut the sun away under the cloud, with a small gap around it.
        const QPainterPath cloud = cloudPath();
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        p.setPen(QPen(Qt::black, 3.0));
        p.setBrush(Qt::black);
        p.drawPath(cloud);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        if (fill) {
            p.setPen(Qt::NoPen);
            p.setBrush(color);
        } else {
            p.setPen(QPen(color, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(Qt::NoBrush);
        }
        p.drawPath(cloud);
        break;
    }
    case Symbol::diamond:
    case Symbol::diamondFill: {
        QPainterPath gem;
        gem.moveTo(12, 3);
        gem.lineTo(21, 12);
        gem.lineTo(12, 21);
        gem.lineTo(3, 12);
        gem.closeSubpath();
        if (symbol == Symbol::diamondFill) {
            p.setPen(QPen(color, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(color);
        }
        p.drawPath(gem);
        break;
    }
    case Symbol::minusCircleFill:
        circleWithGlyph(QColor(0xff, 0x3b, 0x30), [&] { p.drawLine(QPointF(7.5, 12), QPointF(16.5, 12)); });
        break;
    case Symbol::plusCircleFill:
        circleWithGlyph(color, [&] {
            p.drawLine(QPointF(7.5, 12), QPointF(16.5, 12));
            p.drawLine(QPointF(12, 7.5), QPointF(12, 16.5));
        });
        break;
    case Symbol::checkmarkCircleFill:
        circleWithGlyph(color, [&] {
            QPainterPath check;
            check.moveTo(7.5, 12.5);
            check.lineTo(10.5, 15.5);
            check.lineTo(16.5, 8.5);
            p.drawPath(check);
        });
        break;
    case Symbol::line3Horizontal:
        for (int i = 0; i < 3; ++i)
            p.drawLine(QPointF(4, 7 + i * 5), QPointF(20, 7 + i * 5));
        break;
    case Symbol::magnifyingGlass:
        p.drawEllipse(QRectF(3, 3, 13, 13));
        p.setPen(QPen(color, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14.5, 14.5), QPointF(20.5, 20.5));
        break;
    case Symbol::trash:
        p.drawLine(QPointF(4, 6), QPointF(20, 6));
        p.drawLine(QPointF(9.5, 6), QPointF(10, 3));
        p.drawLine(QPointF(10, 3), QPointF(14, 3));
        p.drawLine(QPointF(14, 3), QPointF(14.5, 6));
        p.drawRoundedRect(QRectF(6, 6, 12, 15), 2, 2);
        p.drawLine(QPointF(10, 10), QPointF(10, 17));
        p.drawLine(QPointF(14, 10), QPointF(14, 17));
        break;
    case Symbol::questionMarkCircle:
    case Symbol::infoCircle: {
        p.setPen(QPen(color, 1.6));
        p.drawEllipse(QRectF(2.5, 2.5, 19, 19));
        QFont f;
        f.setPixelSize(14);
        f.setBold(true);
        p.setFont(f);
        p.drawText(QRectF(2, 2, 20, 20), Qt::AlignCenter,
                   symbol == Symbol::infoCircle ? QStringLiteral("i") : QStringLiteral("?"));
        break;
    }
    case Symbol::lockShield: {
        QPainterPath shield;
        shield.moveTo(12, 2.5);
        shield.cubicTo(15, 4.5, 18, 5, 20, 5);
        shield.cubicTo(20, 14, 17, 19, 12, 21.5);
        shield.cubicTo(7, 19, 4, 14, 4, 5);
        shield.cubicTo(6, 5, 9, 4.5, 12, 2.5);
        p.setPen(QPen(color, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(shield);
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawRoundedRect(QRectF(8.5, 11, 7, 5.5), 1, 1);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(color, 1.4));
        p.drawArc(QRectF(9.8, 7.8, 4.4, 6), 0, 180 * 16);
        break;
    }
    case Symbol::arrowUpRightSquare:
        p.setPen(QPen(color, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawRoundedRect(QRectF(3, 3, 18, 18), 4, 4);
        p.drawLine(QPointF(9, 15), QPointF(15.5, 8.5));
        p.drawLine(QPointF(10, 8.5), QPointF(15.5, 8.5));
        p.drawLine(QPointF(15.5, 8.5), QPointF(15.5, 14));
        break;
    case Symbol::exclamationTriangleFill: {
        QPainterPath triangle;
        triangle.moveTo(12, 2.5);
        triangle.lineTo(22, 20.5);
        triangle.lineTo(2, 20.5);
        triangle.closeSubpath();
        p.setPen(QPen(color, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(color);
        p.drawPath(triangle);
        p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, 8.5), QPointF(12, 13.5));
        p.drawPoint(QPointF(12, 17));
        break;
    }
    }
}

QPixmap paint(Symbol symbol, const QColor &color, int size, qreal degrees, qreal devicePixelRatio)
{
    QPixmap pixmap(QSize(size, size) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / 24.0, size / 24.0);
    if (degrees != 0) {
        p.translate(12, 12);
        p.rotate(degrees);
        p.translate(-12, -12);
    }
    drawSymbol(p, symbol, color);
    return pixmap;
}

QIcon build(Symbol symbol, const QColor &color)
{
    QIcon fallback;
    for (int size : {16, 20, 24, 32})
        fallback.addPixmap(drawn(symbol, color, size));
    const QString name = themeName(symbol);
    if (name.isEmpty())
        return fallback;
    return QIcon::fromTheme(name, fallback);
}

} // namespace

QPixmap drawn(Symbol symbol, const QColor &color, int size, qreal degrees, qreal devicePixelRatio)
{
    // Every row of a list shows the same few symbols: they share one picture each. The cache
    // is Qt's pixmap cache, bounded in size and dropping the least used first.
    const QString key = QStringLiteral("dotbanner.icon.%1.%2.%3.%4.%5")
                            .arg(static_cast<int>(symbol))
                            .arg(color.rgba(), 0, 16)
                            .arg(size)
                            .arg(degrees)
                            .arg(devicePixelRatio);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    pixmap = paint(symbol, color, size, degrees, devicePixelRatio);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

QIcon icon(Symbol symbol, const QColor &color)
{
    // Shared like the pictures: a theme's icon looks the theme up again when it is drawn.
    QHash<std::pair<int, QRgb>, QIcon> &made = sharedIcons();
    const std::pair<int, QRgb> key(static_cast<int>(symbol), color.rgba());
    if (const auto found = made.constFind(key); found != made.constEnd())
        return *found;
    if (made.size() >= maxSharedIcons)
        made.clear();
    return made.insert(key, build(symbol, color)).value();
}

} // namespace Icons
