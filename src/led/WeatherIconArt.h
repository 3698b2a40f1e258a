#pragma once

#include "types/Kind.h"
#include "types/WeatherIcon.h"

#include <optional>

class Grid;

/**
 * Draws the icon in a square of `size` cells with its top-left corner at column x, row y.
 * Up to 10 cells the fixed 9×9 pixel art is used; larger icons are sampled from shapes.
 * Cells are only ever set, never cleared.
 */
void drawWeatherIcon(WeatherIcon icon, Grid &grid, int x, int y, int size);

/**
 * The kind of the point (u, v) of a sampled icon, both from 0 (left, top) to 1 (right,
 * bottom); nothing where no shape covers it.
 */
std::optional<Kind> sampleWeatherIcon(WeatherIcon icon, double u, double v);
