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

/**
 * The colours of values that just changed, indexed like palette(): each kind's colour brought
 * closer to white, so the change catches the eye. Index 0 is the unlit LED itself.
 */
std::array<QColor, 8> brightPalette(ColorTheme theme);

/**
 * The colours of the blue/orange up and down (BlueOrangeRaw, in its order): live, stale and
 * bright, the same whatever the theme, since the user chose them for their own eyes.
 */
std::array<QColor, 6> blueOrangePalette();

/** One stamp per kind: `cell` × `cell` premultiplied pixels, row by row from the top. */
using Stamps = std::vector<std::vector<std::uint32_t>>;

/**
 * The stamps of a `cell` × `cell` device-pixel LED, one per raw value (rawValueCount): the
 * eight kinds, their stale variants (see staleRaw()), their bright variants (brightRaw()), then
 * the blue/orange up and down (BlueOrangeRaw).
 */
Stamps stamps(int cell, ColorTheme theme);

/**
 * An image of `columns` LED columns of `bitmap` starting at column `firstColumn`, each column
 * `cell` pixels wide and each row `cell` pixels high. Columns past the bitmap's width wrap
 * back to its start. Cells without a stamp are drawn as `off`.
 * A null image when there is nothing to draw or the pixels cannot be allocated.
 */
QImage image(const LedBitmap &bitmap, std::int64_t firstColumn, std::int64_t columns, int cell, const Stamps &stamps);

} // namespace Renderer
