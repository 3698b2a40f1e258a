#include "led/WeatherIconArt.h"

#include "led/Grid.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace {

using Art = std::array<const char *, 9>;

// Pixel art for the small icons: Y sun, C cloud, W name (white), B rain, . untouched.
constexpr std::array<Art, 9> kArt = {{
    // sun
    {"....Y....", ".Y.....Y.", "..YYYYY..", "..YYYYY..", "Y.YYYYY.Y", "..YYYYY..", "..YYYYY..", ".Y.....Y.",
     "....Y...."},
    // moon
    {"...WWW...", "..WWW....", ".WWW.....", ".WWW.....", ".WWW.....", ".WWW.....", "..WWW..WW", "...WWWWW.",
     "....WWW.."},
    // partly
    {"..Y......", ".YYY.CC..", "YYYYCCCC.", ".YYCCCCCC", "..YCCCCCC", "...CCCCCC", "....CCCC.", ".........",
     "........."},
    // partlyNight
    {"..WW.....", ".WW..CC..", ".WW.CCCC.", ".WWCCCCCC", "..WCCCCCC", "...CCCCCC", "....CCCC.", ".........",
     "........."},
    // cloud
    {".........", "..CCC....", ".CCCCCCC.", "CCCCCCCCC", "CCCCCCCCC", ".CCCCCCC.", ".........", ".........",
     "........."},
    // rain
    {"..CCC....", ".CCCCCCC.", "CCCCCCCCC", "CCCCCCCCC", ".CCCCCCC.", "..B..B..B", ".B..B..B.", "..B..B..B",
     ".B..B..B."},
    // snow
    {"..CCC....", ".CCCCCCC.", "CCCCCCCCC", "CCCCCCCCC", ".CCCCCCC.", "..W...W..", "....W....", "..W...W..",
     "....W...."},
    // thunder
    {"..CCC....", ".CCCCCCC.", "CCCCCCCCC", "CCCCCCCCC", ".CCCCCCC.", "...YYY...", "....YY...", "...YY....",
     "....Y...."},
    // fog
    {"..CCC....", ".CCCCCCC.", "CCCCCCCCC", ".CCCCCCC.", ".........", "CCCCCCC..", ".........", "..CCCCCCC",
     "........."},
}};

struct ArtCell
{
    bool set = false;
    Kind kind = Kind::off;
};

using ParsedArt = std::array<std::array<ArtCell, 9>, 9>;

std::array<ParsedArt, 9> parseArt()
{
    std::array<ParsedArt, 9> parsed{};
    for (std::size_t i = 0; i < kArt.size(); ++i) {
        for (std::size_t r = 0; r < 9; ++r) {
            for (std::size_t c = 0; c < 9; ++c) {
                ArtCell &cell = parsed[i][r][c];
                switch (kArt[i][r][c]) {
                case 'Y':
                    cell = {true, Kind::sun};
                    break;
                case 'C':
                    cell = {true, Kind::cloud};
                    break;
                case 'W':
                    cell = {true, Kind::name};
                    break;
                case 'B':
                    cell = {true, Kind::rain};
                    break;
                default:
                    break;
                }
            }
        }
    }
    return parsed;
}

const ParsedArt &art(WeatherIcon icon)
{
    static const std::array<ParsedArt, 9> parsed = parseArt(); // thread-safe one-time construction
    return parsed[static_cast<std::size_t>(icon)];
}

// ---- Shapes in the unit square (u to the right, v downwards) ----

bool inDisc(double u, double v, double cu, double cv, double r)
{
    const double du = u - cu;
    const double dv = v - cv;
    return du * du + dv * dv <= r * r;
}

bool cloudOutline(double u, double v)
{
    return inDisc(u, v, 0.3, 0.62, 0.17) || inDisc(u, v, 0.5, 0.46, 0.24) || inDisc(u, v, 0.72, 0.6, 0.17) ||
           (u >= 0.3 && u <= 0.72 && v >= 0.6 && v <= 0.79);
}

bool fullCloud(double u, double v)
{
    return cloudOutline(u, v - 0.05);
}

bool upperCloud(double u, double v)
{
    return cloudOutline((u - 0.1) / 0.8, (v + 0.06) / 0.8);
}

bool smallCloud(double u, double v)
{
    return cloudOutline((u - 0.22) / 0.75, (v - 0.32) / 0.75);
}

bool sunWithRays(double u, double v, double cu, double cv, double core, double bandLow, double bandHigh,
                 double halfWidth)
{
    const double du = u - cu;
    const double dv = v - cv;
    const double d = std::sqrt(du * du + dv * dv);
    if (d <= core)
        return true;
    if (d < bandLow || d > bandHigh)
        return false;
    constexpr double step = std::numbers::pi / 4.0;
    const double theta = std::atan2(dv, du);
    const double k = std::round(theta / step); // halves away from zero
    const double delta = std::abs(theta - k * step);
    return d * delta < halfWidth;
}

bool crescent(double u, double v, double cu, double cv, double r, double cutU, double cutV, double cutR)
{
    if (!inDisc(u, v, cu, cv, r))
        return false;
    const double du = u - cutU;
    const double dv = v - cutV;
    return du * du + dv * dv > cutR * cutR;
}

bool rainStreaks(double u, double v)
{
    struct Streak
    {
        double x0, top, bottom;
    };
    constexpr Streak streaks[] = {{0.3, 0.66, 0.86}, {0.5, 0.72, 0.92}, {0.7, 0.66, 0.86}};
    for (const Streak &s : streaks) {
        if (v >= s.top && v <= s.bottom && std::abs(u - (s.x0 + (v - 0.66) * 0.18)) < 0.055)
            return true;
    }
    return false;
}

bool snowflakes(double u, double v)
{
    constexpr double centres[][2] = {{0.3, 0.74}, {0.5, 0.86}, {0.7, 0.74}, {0.4, 0.96}, {0.6, 0.96}};
    for (const auto &c : centres) {
        if (inDisc(u, v, c[0], c[1], 0.065))
            return true;
    }
    return false;
}

bool bolt(double u, double v)
{
    constexpr double corners[][2] = {{0.58, 0.56}, {0.36, 0.8}, {0.5, 0.8},  {0.4, 1.0},
                                     {0.68, 0.7},  {0.54, 0.7}, {0.64, 0.56}};
    constexpr int n = static_cast<int>(std::size(corners));
    bool inside = false;
    for (int i = 0, j = n - 1; i < n; j = i++) {
        const double ua = corners[j][0], va = corners[j][1];
        const double ub = corners[i][0], vb = corners[i][1];
        // The edge counts when the point's row separates its ends and it crosses to the right.
        if ((v < va) != (v < vb)) {
            const double crossU = ua + (v - va) * (ub - ua) / (vb - va);
            if (crossU > u)
                inside = !inside;
        }
    }
    return inside;
}

bool fogBars(double u, double v)
{
    return (u >= 0.15 && u <= 0.8 && v >= 0.7 && v <= 0.77) || (u >= 0.25 && u <= 0.9 && v >= 0.84 && v <= 0.91);
}

} // namespace

std::optional<Kind> sampleWeatherIcon(WeatherIcon icon, double u, double v)
{
    switch (icon) {
    case WeatherIcon::sun:
        if (sunWithRays(u, v, 0.5, 0.5, 0.2, 0.29, 0.43, 0.056))
            return Kind::sun;
        break;
    case WeatherIcon::moon:
        if (crescent(u, v, 0.5, 0.5, 0.32, 0.64, 0.4, 0.27))
            return Kind::name;
        break;
    case WeatherIcon::partly:
        if (smallCloud(u, v))
            return Kind::cloud;
        if (sunWithRays(u, v, 0.32, 0.32, 0.14, 0.203, 0.301, 0.0392))
            return Kind::sun;
        break;
    case WeatherIcon::partlyNight:
        if (smallCloud(u, v))
            return Kind::cloud;
        if (crescent(u, v, 0.33, 0.33, 0.22, 0.43, 0.26, 0.19))
            return Kind::name;
        break;
    case WeatherIcon::cloud:
        if (fullCloud(u, v))
            return Kind::cloud;
        break;
    case WeatherIcon::rain:
        if (upperCloud(u, v))
            return Kind::cloud;
        if (rainStreaks(u, v))
            return Kind::rain;
        break;
    case WeatherIcon::snow:
        if (upperCloud(u, v))
            return Kind::cloud;
        if (snowflakes(u, v))
            return Kind::name;
        break;
    case WeatherIcon::thunder:
        if (upperCloud(u, v))
            return Kind::cloud;
        if (bolt(u, v))
            return Kind::sun;
        break;
    case WeatherIcon::fog:
        if (upperCloud(u, v) || fogBars(u, v))
            return Kind::cloud;
        break;
    }
    return std::nullopt;
}

void drawWeatherIcon(WeatherIcon icon, Grid &grid, int x, int y, int size)
{
    if (static_cast<std::size_t>(icon) >= kArt.size())
        return;
    if (size <= 10) {
        const int o = (size - 9) / 2; // truncates towards zero, as the art is centred
        const ParsedArt &cells = art(icon);
        for (int r = 0; r < 9; ++r) {
            for (int c = 0; c < 9; ++c) {
                const ArtCell &cell = cells[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
                if (cell.set)
                    grid.set(static_cast<std::int64_t>(x) + o + c, static_cast<std::int64_t>(y) + o + r, cell.kind);
            }
        }
        return;
    }
    // Only the cells that land inside the grid are worth sampling.
    const std::int64_t rFirst = std::max<std::int64_t>(0, -static_cast<std::int64_t>(y));
    const std::int64_t rEnd = std::min<std::int64_t>(size, grid.h() - y);
    const std::int64_t cFirst = std::max<std::int64_t>(0, -static_cast<std::int64_t>(x));
    const std::int64_t cEnd = std::min<std::int64_t>(size, grid.w() - x);
    for (std::int64_t r = rFirst; r < rEnd; ++r) {
        for (std::int64_t c = cFirst; c < cEnd; ++c) {
            std::array<int, 8> hits{};
            int total = 0;
            for (int j = 0; j < 3; ++j) {
                for (int i = 0; i < 3; ++i) {
                    const double u = (static_cast<double>(c) + (i + 0.5) / 3.0) / size;
                    const double v = (static_cast<double>(r) + (j + 0.5) / 3.0) / size;
                    if (const auto kind = sampleWeatherIcon(icon, u, v)) {
                        ++hits[static_cast<std::size_t>(*kind)];
                        ++total;
                    }
                }
            }
            if (total < 5)
                continue;
            std::size_t best = 1;
            for (std::size_t k = 2; k < hits.size(); ++k) {
                if (hits[k] > hits[best])
                    best = k;
            }
            grid.set(static_cast<std::int64_t>(x) + c, static_cast<std::int64_t>(y) + r, static_cast<Kind>(best));
        }
    }
}
