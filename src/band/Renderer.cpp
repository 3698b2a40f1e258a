#include "band/Renderer.h"

#include <QPainter>

#include <cmath>
#include <cstring>
#include <limits>

namespace Renderer {

std::array<QColor, 8> palette(ColorTheme theme)
{
    const QColor off(27, 27, 27);
    switch (theme) {
    case ColorTheme::amber: {
        const QColor amber(255, 176, 0);
        return {off, amber, amber, amber, QColor(106, 74, 0), amber, QColor(176, 120, 0), amber};
    }
    case ColorTheme::blue: {
        const QColor light(207, 234, 255);
        const QColor sky(79, 195, 255);
        return {off, light, sky, sky, QColor(42, 74, 102), light, QColor(127, 168, 200), sky};
    }
    case ColorTheme::greenRed:
        break;
    }
    return {off,
            QColor(242, 242, 242),
            QColor(45, 255, 122),
            QColor(255, 59, 59),
            QColor(74, 74, 74),
            QColor(255, 201, 51),
            QColor(201, 212, 222),
            QColor(79, 195, 255)};
}

namespace {

/** `share` of the way from `from` to `to`, channel by channel. */
QColor blend(const QColor &from, const QColor &to, double share)
{
    return QColor(from.red() + static_cast<int>(std::lround((to.red() - from.red()) * share)),
                  from.green() + static_cast<int>(std::lround((to.green() - from.green()) * share)),
                  from.blue() + static_cast<int>(std::lround((to.blue() - from.blue()) * share)));
}

// Less than half the way from an unlit LED: clearly set apart from live values, while the
// faintest kind (dim) still stands out from the unlit ones around it.
constexpr double staleShare = 0.45;
// Half the way to white: plainly brighter than the live colour, and still its hue.
constexpr double brightShare = 0.5;
const QColor white(255, 255, 255);

} // namespace

std::array<QColor, 8> stalePalette(ColorTheme theme)
{
    const std::array<QColor, 8> colours = palette(theme);
    const QColor off = colours[0];
    std::array<QColor, 8> result;
    for (std::size_t k = 0; k < colours.size(); ++k)
        result[k] = k == 0 ? off : blend(off, colours[k], staleShare);
    return result;
}

std::array<QColor, 6> blueOrangePalette()
{
    // Sky blue and orange of the Okabe–Ito set, apart for every common colour-vision deficiency.
    const QColor off = palette(ColorTheme::greenRed)[0];
    const QColor up(86, 180, 233);
    const QColor down(230, 159, 0);
    return {up,
            down,
            blend(off, up, staleShare),
            blend(off, down, staleShare),
            blend(up, white, brightShare),
            blend(down, white, brightShare)};
}

std::array<QColor, 8> brightPalette(ColorTheme theme)
{
    const std::array<QColor, 8> colours = palette(theme);
    std::array<QColor, 8> result;
    for (std::size_t k = 0; k < colours.size(); ++k)
        result[k] = k == 0 ? colours[0] : blend(colours[k], white, brightShare);
    return result;
}

Stamps stamps(int cell, ColorTheme theme)
{
    Stamps result;
    std::vector<QColor> colours;
    for (const auto &set : {palette(theme), stalePalette(theme), brightPalette(theme)})
        colours.insert(colours.end(), set.begin(), set.end());
    const std::array<QColor, 6> blueOrange = blueOrangePalette();
    colours.insert(colours.end(), blueOrange.begin(), blueOrange.end());
    if (cell <= 0)
        return Stamps(colours.size());
    const auto pixels = static_cast<std::size_t>(cell) * static_cast<std::size_t>(cell);
    for (const QColor &colour : colours) {
        std::vector<std::uint32_t> stamp(pixels, 0);
        // The image only borrows the buffer; it must not outlive `stamp`.
        QImage canvas(reinterpret_cast<uchar *>(stamp.data()), cell, cell, cell * 4, format);
        if (!canvas.isNull()) {
            canvas.fill(QColor::fromRgba(background));
            QPainter painter(&canvas);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.setBrush(colour);
            painter.drawEllipse(QRectF(0.14 * cell, 0.14 * cell, 0.72 * cell, 0.72 * cell));
        }
        result.push_back(std::move(stamp));
    }
    return result;
}

QImage image(const LedBitmap &bitmap, std::int64_t firstColumn, std::int64_t columns, int cell, const Stamps &stamps)
{
    if (bitmap.w <= 0 || bitmap.h <= 0 || columns <= 0 || cell <= 0 || stamps.empty() ||
        bitmap.cells.size() < static_cast<std::size_t>(bitmap.w) * static_cast<std::size_t>(bitmap.h))
        return {};
    const std::int64_t width = columns * cell;
    const std::int64_t height = bitmap.h * cell;
    if (width > std::numeric_limits<int>::max() / 4 || height > std::numeric_limits<int>::max())
        return {};
    QImage result(static_cast<int>(width), static_cast<int>(height), format);
    if (result.isNull())
        return {};

    const auto pixels = static_cast<std::size_t>(cell) * static_cast<std::size_t>(cell);
    const std::uint32_t *offStamp = stamps[0].size() >= pixels ? stamps[0].data() : nullptr;
    // The source column of every output column, found once instead of per pixel row.
    std::vector<std::int64_t> source(static_cast<std::size_t>(columns));
    std::int64_t column = firstColumn % bitmap.w;
    if (column < 0)
        column += bitmap.w;
    for (auto &s : source) {
        s = column;
        if (++column == bitmap.w)
            column = 0;
    }

    const std::size_t rowBytes = static_cast<std::size_t>(cell) * sizeof(std::uint32_t);
    uchar *bits = result.bits();
    const auto bytesPerLine = static_cast<std::size_t>(result.bytesPerLine());
    std::vector<const std::uint32_t *> rowStamps(static_cast<std::size_t>(columns));
    for (std::int64_t r = 0; r < bitmap.h; ++r) {
        const std::uint8_t *cells = bitmap.cells.data() + r * bitmap.w;
        for (std::size_t a = 0; a < rowStamps.size(); ++a) {
            const std::uint8_t k = cells[source[a]];
            const std::uint32_t *stamp = offStamp;
            if (k < stamps.size() && stamps[k].size() >= pixels)
                stamp = stamps[k].data();
            rowStamps[a] = stamp;
        }
        // Filled scan line by scan line so the destination is written in order.
        for (int py = 0; py < cell; ++py) {
            auto *line =
                reinterpret_cast<std::uint32_t *>(bits + static_cast<std::size_t>(r * cell + py) * bytesPerLine);
            const std::size_t stampOffset = static_cast<std::size_t>(py) * static_cast<std::size_t>(cell);
            for (const std::uint32_t *stamp : rowStamps) {
                if (stamp)
                    std::memcpy(line, stamp + stampOffset, rowBytes);
                else
                    std::memset(line, 0, rowBytes);
                line += cell;
            }
        }
    }
    return result;
}

} // namespace Renderer
