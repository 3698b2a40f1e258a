#include "app/LedIcon.h"

#include <QColor>
#include <QPainter>
#include <QPixmap>

#include <array>

namespace LedIcon {

namespace {

// "LED" in a three-by-five dot font, one column of space between letters ('.'), centred on the tile.
constexpr std::array<const char *, 5> letters = {
    "100.111.110", //
    "100.100.101", //
    "100.110.101", //
    "100.100.101", //
    "111.111.110",
};
constexpr int wordColumn = 1;
constexpr int wordRow = 4;

// The corner cells stick out of the tile's rounded corners.
bool isCorner(int column, int row)
{
    return (column == 0 || column == columns - 1) && (row == 0 || row == rows - 1);
}

} // namespace

bool lit(int column, int row)
{
    static const std::array<std::array<bool, columns>, rows> cells = [] {
        std::array<std::array<bool, columns>, rows> result{};
        for (int r = 0; r < 5; ++r) {
            for (int c = 0; c < 11; ++c)
                result[static_cast<std::size_t>(wordRow + r)][static_cast<std::size_t>(wordColumn + c)] =
                    letters[static_cast<std::size_t>(r)][c] == '1';
        }
        return result;
    }();
    if (column < 0 || row < 0 || column >= columns || row >= rows)
        return false;
    return cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

QImage image(int size)
{
    QImage result(size, size, QImage::Format_ARGB32_Premultiplied);
    result.fill(Qt::transparent);
    if (size <= 0)
        return result;

    QPainter painter(&result);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const double tile = size;
    painter.setBrush(QColor(0x0b, 0x0d, 0x0c));
    painter.drawRoundedRect(QRectF(0, 0, tile, tile), tile * 0.18, tile * 0.18);

    const double cell = tile / columns;
    const double dot = cell * 0.78;
    // Unlit dots only help where they are big enough to read as dots.
    const bool showUnlit = cell >= 2.5;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const bool on = lit(column, row);
            if (!on && (!showUnlit || isCorner(column, row)))
                continue;
            painter.setBrush(on ? QColor(0x3c, 0xe0, 0x5c) : QColor(0x1c, 0x26, 0x1e));
            const double x = column * cell + (cell - dot) / 2;
            const double y = row * cell + (cell - dot) / 2;
            painter.drawEllipse(QRectF(x, y, dot, dot));
        }
    }
    return result;
}

QIcon icon()
{
    QIcon result;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        result.addPixmap(QPixmap::fromImage(image(size)));
    return result;
}

} // namespace LedIcon
