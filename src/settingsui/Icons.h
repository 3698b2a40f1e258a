#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>

/**
 * The symbols of the settings window. Each one comes from the desktop's icon theme
 * where a fitting freedesktop icon exists, otherwise (and for the coloured ones, whose
 * colour carries meaning) it is drawn here, so the window is complete without a theme.
 */
namespace Icons {

enum class Symbol {
    display,
    listBullet,
    key,
    chartUptrend,
    cloudSun,
    cloudSunFill,
    diamond,
    diamondFill,
    minusCircleFill,
    line3Horizontal,
    magnifyingGlass,
    plusCircleFill,
    trash,
    questionMarkCircle,
    lockShield,
    infoCircle,
    arrowUpRightSquare,
    checkmarkCircleFill,
    exclamationTriangleFill,
};

/** The symbol, drawn in `color` where it is drawn here. */
QIcon icon(Symbol symbol, const QColor &color);
/**
 * The symbol drawn by us, `size` logical pixels square, rotated by `degrees`. The same
 * arguments give the same picture, shared: it is drawn once while it stays in Qt's pixmap cache.
 */
QPixmap drawn(Symbol symbol, const QColor &color, int size, qreal degrees = 0, qreal devicePixelRatio = 2.0);
/** The freedesktop theme name used for `symbol`, or an empty string when it is always drawn. */
QString themeName(Symbol symbol);

} // namespace Icons
