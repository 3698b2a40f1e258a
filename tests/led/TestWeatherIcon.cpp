#include "LedTestUtil.h"

#include "led/Grid.h"
#include "led/WeatherIconArt.h"

#include <QtTest>

#include <cmath>

using LedTestUtil::picture;

namespace {

const QList<WeatherIcon> kAll = {WeatherIcon::sun,         WeatherIcon::moon,    WeatherIcon::partly,
                                 WeatherIcon::partlyNight, WeatherIcon::cloud,   WeatherIcon::rain,
                                 WeatherIcon::snow,        WeatherIcon::thunder, WeatherIcon::fog};

Grid drawnIcon(WeatherIcon icon, int size, int at = 0, int gridSize = 20)
{
    Grid grid(gridSize, gridSize);
    drawWeatherIcon(icon, grid, at, at, size);
    return grid;
}

// The double nearest `start` for which (value - centre)² equals r² exactly, as the shape
// tests compute it: a point that lies exactly on a rim.
double onRim(double start, double centre, double r)
{
    double value = start;
    for (int i = 0; i < 64; ++i) {
        const double d = value - centre;
        if (d * d == r * r)
            return value;
        value = std::nextafter(value, d * d < r * r ? (start > centre ? 2.0 : -2.0) : centre);
    }
    return std::nan("");
}

} // namespace

class TestWeatherIcon : public QObject
{
    Q_OBJECT

private slots:
    void rawValues()
    {
        const QStringList raws = {"sun", "moon", "partly", "partlyNight", "cloud", "rain", "snow", "thunder", "fog"};
        for (int i = 0; i < kAll.size(); ++i) {
            QCOMPARE(rawValue(kAll[i]), raws[i]);
            QCOMPARE(weatherIconFromRaw(raws[i]), kAll[i]);
        }
        QVERIFY(!weatherIconFromRaw("Sun").has_value());
        QVERIFY(!weatherIconFromRaw("partlynight").has_value());
        QVERIFY(!weatherIconFromRaw(QString()).has_value());
    }

    void conditionCodes()
    {
        // Every range boundary, and the codes just outside the ranges, which fall back by
        // their position around 1100.
        const QList<std::pair<QString, QList<int>>> table = {
            {"cloud",
             {1006, 1009, 1100, 1149, 1208, 1209, 1226, 1236, 1238, 1239, 1253, 1254, 1256, 1265, 1274, 1283, 99999}},
            {"fog", {1030, 1135, 1147, 1001, 1099, 0, -3}},
            {"rain", {1063, 1069, 1072, 1150, 1207, 1240, 1249, 1252}},
            {"snow", {1066, 1114, 1117, 1210, 1225, 1237, 1255, 1258, 1261, 1264}},
            {"thunder", {1087, 1273, 1276, 1279, 1282}},
        };
        for (const auto &[raw, codes] : table) {
            for (const int code : codes) {
                QVERIFY2(rawValue(weatherIconFromCode(code, true)) == raw, qPrintable(QString::number(code)));
                QVERIFY2(rawValue(weatherIconFromCode(code, false)) == raw, qPrintable(QString::number(code)));
            }
        }
        QCOMPARE(weatherIconFromCode(1000, true), WeatherIcon::sun);
        QCOMPARE(weatherIconFromCode(1000, false), WeatherIcon::moon);
        QCOMPARE(weatherIconFromCode(1003, true), WeatherIcon::partly);
        QCOMPARE(weatherIconFromCode(1003, false), WeatherIcon::partlyNight);
    }

    void pixelArtUpToTen()
    {
        const Grid sun = drawnIcon(WeatherIcon::sun, 9, 0, 9);
        QCOMPARE(picture(sun), QStringList({"....5....", ".5.....5.", "..55555..", "..55555..", "5.55555.5",
                                            "..55555..", "..55555..", ".5.....5.", "....5...."}));
        const Grid rain = drawnIcon(WeatherIcon::rain, 9, 0, 9);
        QCOMPARE(picture(rain).mid(4), QStringList({".6666666.", "..7..7..7", ".7..7..7.", "..7..7..7", ".7..7..7."}));
        const Grid moon = drawnIcon(WeatherIcon::moon, 9, 0, 9);
        QCOMPARE(picture(moon)[6], QString("..111..11"));
        // Sizes 8, 9 and 10 place the same art at the same offset; it is never scaled.
        for (const WeatherIcon icon : kAll) {
            const QStringList nine = picture(drawnIcon(icon, 9, 3));
            QCOMPARE(picture(drawnIcon(icon, 8, 3)), nine);
            QCOMPARE(picture(drawnIcon(icon, 10, 3)), nine);
            // Smaller squares move the art up and left by (size - 9) / 2, truncated.
            QCOMPARE(picture(drawnIcon(icon, 7, 4)), nine);
            QCOMPARE(picture(drawnIcon(icon, 4, 5)), nine);
        }
    }

    void sampledAboveTen()
    {
        for (const WeatherIcon icon : kAll) {
            const Grid eleven = drawnIcon(icon, 11, 0, 11);
            QVERIFY(picture(eleven) != picture(drawnIcon(icon, 10, 0, 11)));
            QVERIFY(LedTestUtil::litCount(eleven.cells()) > 10);
            // A 16-cell icon stays inside its square.
            const Grid big = drawnIcon(icon, 16, 2, 22);
            for (std::int64_t y = 0; y < 22; ++y) {
                for (std::int64_t x = 0; x < 22; ++x) {
                    if (x < 2 || y < 2 || x >= 18 || y >= 18)
                        QCOMPARE(big.at(x, y), std::uint8_t(0));
                }
            }
        }
        // The sun is symmetric and round: its centre and the tips of the rays are lit.
        const Grid sun = drawnIcon(WeatherIcon::sun, 16, 0, 16);
        QCOMPARE(sun.at(8, 8), std::uint8_t(Kind::sun));
        QCOMPARE(sun.at(0, 0), std::uint8_t(0));
        QCOMPARE(sun.at(8, 2), std::uint8_t(Kind::sun));
        QCOMPARE(sun.at(2, 8), std::uint8_t(Kind::sun));
    }

    void rainStreaksSlant()
    {
        const Grid rain = drawnIcon(WeatherIcon::rain, 16, 0, 16);
        const QStringList rows = picture(rain);
        // The cloud fills the upper part; the blue streaks lie below it.
        QCOMPARE(rain.at(8, 5), std::uint8_t(Kind::cloud));
        // Per row, the first column of each streak; they move right as they go down.
        QList<QList<int>> starts;
        for (int y = 0; y < 16; ++y) {
            QList<int> row;
            for (int x = 0; x < 16; ++x) {
                if (rain.at(x, y) == std::uint8_t(Kind::rain) &&
                    (x == 0 || rain.at(x - 1, y) != std::uint8_t(Kind::rain)))
                    row.append(x);
            }
            starts.append(row);
        }
        int firstThree = -1;
        int firstRain = -1;
        for (int y = 0; y < 16; ++y) {
            if (firstRain < 0 && !starts[y].isEmpty())
                firstRain = y;
            if (firstThree < 0 && starts[y].size() == 3)
                firstThree = y;
        }
        QVERIFY2(firstRain >= 10, qPrintable(rows.join('\n')));
        // The middle streak starts lower than the outer two.
        QVERIFY2(firstThree > firstRain, qPrintable(rows.join('\n')));
        QCOMPARE(starts[firstRain].size(), 2);
        int last = -1;
        for (int y = 0; y < 16; ++y) {
            if (starts[y].size() == 3)
                last = y;
        }
        QVERIFY(last > firstThree);
        QVERIFY2(starts[last][0] > starts[firstRain][0], qPrintable(rows.join('\n')));
        QVERIFY2(starts[last][2] > starts[firstRain][1], qPrintable(rows.join('\n')));
    }

    void rimRules()
    {
        // The leftmost point of the full cloud's left disc (centre 0.3, 0.62 shifted down by 0.05).
        const double v = 0.67;
        QCOMPARE(v - 0.05, 0.62);
        const double u = onRim(0.13, 0.3, 0.17);
        QVERIFY(!std::isnan(u));
        QCOMPARE(sampleWeatherIcon(WeatherIcon::cloud, u, v), Kind::cloud);
        QVERIFY(!sampleWeatherIcon(WeatherIcon::cloud, u - 1e-9, v).has_value());

        // The moon's cutting disc (centre 0.64, 0.4, radius 0.27): its rim is not part of the crescent.
        const double cut = onRim(0.37, 0.64, 0.27);
        QVERIFY(!std::isnan(cut));
        QVERIFY(!sampleWeatherIcon(WeatherIcon::moon, cut, 0.4).has_value());
        QCOMPARE(sampleWeatherIcon(WeatherIcon::moon, cut - 1e-9, 0.4), Kind::name);
        // The outer disc's rim (centre 0.5, 0.5, radius 0.32) is part of it.
        const double outer = onRim(0.18, 0.5, 0.32);
        QVERIFY(!std::isnan(outer));
        QCOMPARE(sampleWeatherIcon(WeatherIcon::moon, outer, 0.5), Kind::name);
        QVERIFY(!sampleWeatherIcon(WeatherIcon::moon, outer - 1e-9, 0.5).has_value());
    }

    void boltEvenOddRule()
    {
        const auto bolt = [](double u, double v) {
            return sampleWeatherIcon(WeatherIcon::thunder, u, v) == std::optional<Kind>(Kind::sun);
        };
        // Inside the upper and the lower stroke, outside on either side.
        QVERIFY(bolt(0.54, 0.65));
        QVERIFY(!bolt(0.45, 0.65));
        QVERIFY(!bolt(0.6, 0.65));
        QVERIFY(bolt(0.5, 0.75));
        QVERIFY(!bolt(0.65, 0.75));
        QVERIFY(bolt(0.45, 0.9));
        // On the row of the horizontal edge at 0.8 the edge ending on that row does not count:
        // left of the step the point is outside, right of it inside; a hair above it is inside.
        QVERIFY(!bolt(0.45, 0.8));
        QVERIFY(bolt(0.45, 0.799));
        QVERIFY(bolt(0.55, 0.8));
        QVERIFY(!bolt(0.3, 0.8));
        // The horizontal edge at 0.7 never counts by itself.
        QVERIFY(bolt(0.62, 0.7));
        QVERIFY(!bolt(0.7, 0.7));
        // The bolt is what the 16-cell thunder icon draws in sun below the cloud.
        const Grid thunder = drawnIcon(WeatherIcon::thunder, 16, 0, 16);
        int sunCells = 0;
        for (std::int64_t y = 0; y < 16; ++y) {
            for (std::int64_t x = 0; x < 16; ++x)
                sunCells += thunder.at(x, y) == std::uint8_t(Kind::sun);
        }
        QVERIFY(sunCells >= 8);
        QCOMPARE(thunder.at(8, 11), std::uint8_t(Kind::sun));
    }

    void drawingAddsAndClips()
    {
        Grid grid(12, 12);
        for (std::int64_t i = 0; i < 12; ++i)
            grid.set(i, i, Kind::up);
        drawWeatherIcon(WeatherIcon::cloud, grid, 0, 0, 9);
        // Untouched art cells keep what was there.
        QCOMPARE(grid.at(0, 0), std::uint8_t(Kind::up));
        QCOMPARE(grid.at(11, 11), std::uint8_t(Kind::up));
        QCOMPARE(grid.at(3, 3), std::uint8_t(Kind::cloud));
        // Partly or wholly off the grid, at any size.
        Grid small(5, 5);
        drawWeatherIcon(WeatherIcon::sun, small, -4, -4, 9);
        drawWeatherIcon(WeatherIcon::snow, small, -100, 40, 1000);
        QCOMPARE(small.at(0, 0), std::uint8_t(Kind::sun));
        QCOMPARE(picture(small), picture(drawnIcon(WeatherIcon::sun, 9, -4, 5)));
        Grid corner(5, 5);
        drawWeatherIcon(WeatherIcon::rain, corner, -7, -6, 16);
        const Grid reference = drawnIcon(WeatherIcon::rain, 16, 0, 16);
        for (std::int64_t y = 0; y < 5; ++y) {
            for (std::int64_t x = 0; x < 5; ++x)
                QCOMPARE(corner.at(x, y), reference.at(x + 7, y + 6));
        }
    }
};

QTEST_GUILESS_MAIN(TestWeatherIcon)
#include "TestWeatherIcon.moc"
