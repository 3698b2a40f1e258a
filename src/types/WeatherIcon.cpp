#include "types/WeatherIcon.h"

#include <array>

namespace {

constexpr std::array<const char *, 9> kRawValues = {
    "sun", "moon", "partly", "partlyNight", "cloud", "rain", "snow", "thunder", "fog",
};

} // namespace

QString rawValue(WeatherIcon icon)
{
    const auto index = static_cast<std::size_t>(icon);
    return index < kRawValues.size() ? QString::fromLatin1(kRawValues[index]) : QString();
}

std::optional<WeatherIcon> weatherIconFromRaw(const QString &raw)
{
    for (std::size_t i = 0; i < kRawValues.size(); ++i) {
        if (raw == QLatin1String(kRawValues[i]))
            return static_cast<WeatherIcon>(i);
    }
    return std::nullopt;
}

WeatherIcon weatherIconFromCode(int code, bool isDay)
{
    const auto in = [code](int low, int high) { return code >= low && code <= high; };
    switch (code) {
    case 1000:
        return isDay ? WeatherIcon::sun : WeatherIcon::moon;
    case 1003:
        return isDay ? WeatherIcon::partly : WeatherIcon::partlyNight;
    case 1006:
    case 1009:
        return WeatherIcon::cloud;
    case 1030:
    case 1135:
    case 1147:
        return WeatherIcon::fog;
    case 1063:
    case 1069:
    case 1072:
        return WeatherIcon::rain;
    case 1066:
    case 1114:
    case 1117:
    case 1237:
    case 1255:
    case 1258:
    case 1261:
    case 1264:
        return WeatherIcon::snow;
    case 1087:
    case 1273:
    case 1276:
    case 1279:
    case 1282:
        return WeatherIcon::thunder;
    default:
        break;
    }
    if (in(1150, 1207) || in(1240, 1252))
        return WeatherIcon::rain;
    if (in(1210, 1225))
        return WeatherIcon::snow;
    return code < 1100 ? WeatherIcon::fog : WeatherIcon::cloud;
}
