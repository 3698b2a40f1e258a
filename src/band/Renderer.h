#pragma once

#include "types/Kind.h"
#include "types/LedBitmap.h"
#include "types/SettingsEnums.h"

#include <QColor>
#include <QImage>

#include <array>
#include <cstdint>
#include <vector>

/**
 * Turns LED cells into pixels. Each kind gets a stamp (a square of pixels showing one round
 * LED on the dark background) and images are assembled by copying whole stamp rows, so a
 * rebuild never draws per LED. Pixels are premultiplied ARGB in 32-bit words
 * (QImage::Format_ARGB32_Premultiplied: blue, green, red, alpha in memory on little-endian).
 */
namespace Renderer {

/** The space between and around the LEDs, also the view's own background. */
inline constexpr QRgb background = 0xFF0B0B0B;

/** The pixel format of stamps and images. */
inline constexpr QImage::Format format = QImage::Format_ARGB32_Premultiplied;

/** One opaque colour per kind, indexed by the kind's raw value. */
std::array<QColor, 8> palette(ColorTheme theme);

/**
 * The colours of stale values, indexed like palette(): each kind's colour brought closer to
 * an unlit LED, dimmer yet still readable on the band. Index 0 is the unlit LED itself.
 */
std::array<QColor, 8> stalePalette(ColorTheme theme);

/** One stamp per kind: `cell` × `cell` premultiplied pixels, row by row from the top. */
using Stamps = std::vector<std::vector<std::uint32_t>>;

/**
 * The sixteen stamps of a `cell` × `cell` device-pixel LED; index = the cell's raw value:
 * the eight kinds, then their stale variants (see staleRaw()).
 */
Stamps stamps(int cell, ColorTheme theme);

/**
 * An image of `columns` LED columns of `bitmap` starting at column `firstColumn`, each column
 * `cell` pixels wide and each row `cell` pixels high. Columns past the bitmap's width wrap
 * back to its start. Cells above 15, or whose stamp is missing, are drawn as `off`.
 * A null image when there is nothing to draw or the pixels cannot be allocated.
 */
QImage image(const LedBitmap &bitmap, std::int64_t firstColumn, std::int64_t columns, int cell,
             const Stamps &stamps);

} // namespace Renderer
