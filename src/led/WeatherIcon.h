#pragma once

#include "led/Kind.h"

#include <QString>

#include <optional>

class Grid;

/** The nine weather pictures; the raw value is the case name. */
enum class WeatherIcon {
    sun,
    moon,
    partly,
    partlyNight,
    cloud,
    rain,
    snow,
    thunder,
    fog,
};

/** "sun", "moon", "partly", ... */
QString rawValue(WeatherIcon icon);
/** The icon whose raw value is exactly `raw`; nothing for any other string. */
std::optional<WeatherIcon> weatherIconFromRaw(const QString &raw);

/**
 * The icon for a WeatherAPI.com condition code. Only clear (1000) and partly cloudy (1003)
 * differ between day and night; unknown codes fall back to fog below 1100 and cloud above.
 */
WeatherIcon weatherIconFromCode(int code, bool isDay);

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
