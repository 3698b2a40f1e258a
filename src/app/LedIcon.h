#pragma once

#include <QIcon>
#include <QImage>

/**
 * The program's icon: the word "LED" in lit green dots on a dark dot-matrix tile, drawn at
 * any size so the tray, the taskbar and the about panel each get sharp pixels.
 */
namespace LedIcon {

/** Columns and rows of the dot matrix the icon is drawn on. */
constexpr int columns = 13;
constexpr int rows = 13;

/** True when the dot at (column, row) is lit. */
bool lit(int column, int row);

/** The icon drawn into a square image of `size` × `size` device pixels. */
QImage image(int size);

/** The icon at the usual sizes, from 16 to 256 pixels. */
QIcon icon();

} // namespace LedIcon
