#include "led/HDFont.h"

#include "led/Grid.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// The raster is drawn in slices no wider than this, so that a very long headline neither
// needs one huge image nor reaches the raster engine's coordinate limits.
constexpr int kSliceWidth = 2048;

struct FontSetup
{
    QFont font;
    QFontMetricsF metrics;
};

FontSetup makeSetup(int pixelSize)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(pixelSize);
    font.setWeight(QFont::Bold);
    // Greyscale coverage only: sub-pixel colour fringes have no meaning on one grey channel.
    font.setStyleStrategy(QFont::NoSubpixelAntialias);
    const QFontMetricsF metrics(font);
    return FontSetup{font, metrics};
}

// Resolving the system font goes through the font database; do it once per size and thread.
// Each thread has fonts of its own: Qt resolves a font's engine per thread, so one font
// shared by the main thread and the line worker would be re-resolved under both at once.
const FontSetup &setup(bool small)
{
    thread_local const FontSetup normal = makeSetup(14);
    thread_local const FontSetup reduced = makeSetup(12);
    return small ? reduced : normal;
}

// Qt's font database exists only under a QGuiApplication; without one the font has no text.
bool haveFonts()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
}

} // namespace

void HDFont::lightCells(Grid &grid, const QImage &raster, std::int64_t x, std::int64_t y, Kind kind)
{
    if (raster.format() != QImage::Format_Grayscale8)
        return;
    const int width = raster.width();
    const int height = raster.height();
    for (int i = 0; i < height; ++i) {
        const uchar *row = raster.constScanLine(i);
        for (int j = 0; j < width; ++j) {
            if (row[j] > threshold)
                grid.set(x + j, y + i, kind);
        }
    }
}

QFont HDFont::font(bool small)
{
    return setup(small).font;
}

int HDFont::width(const QString &text, bool small) const
{
    if (text.isEmpty() || !haveFonts())
        return 0;
    const double advance = setup(small).metrics.horizontalAdvance(text);
    return std::max(0, static_cast<int>(std::ceil(advance)));
}

void HDFont::draw(Grid &grid, const QString &text, int x, int y, Kind kind, bool small) const
{
    if (!haveFonts())
        return;
    const FontSetup &fs = setup(small);
    const int rasterWidth = width(text, small) + 2;
    const int rasterHeight = HDFont::rasterHeight(small);
    // The line box sits with its bottom edge three rows above the raster's bottom and starts
    // one column in; the baseline is the descent above that edge.
    const QPointF origin(1.0, rasterHeight - 3 - fs.metrics.descent());

    for (int sliceStart = 0; sliceStart < rasterWidth; sliceStart += kSliceWidth) {
        const int sliceWidth = std::min(kSliceWidth, rasterWidth - sliceStart);
        QImage raster(sliceWidth, rasterHeight, QImage::Format_Grayscale8);
        if (raster.isNull())
            return;
        raster.fill(0);
        if (text.isEmpty())
            continue;
        {
            QPainter painter(&raster);
            if (!painter.isActive())
                return;
            painter.setFont(fs.font);
            painter.setPen(Qt::white);
            painter.drawText(origin - QPointF(sliceStart, 0), text);
        }
        lightCells(grid, raster, static_cast<std::int64_t>(x) + sliceStart, y, kind);
    }
}
