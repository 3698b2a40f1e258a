#pragma once

#include <QString>

#include <optional>

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
