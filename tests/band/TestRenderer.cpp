#include "band/Renderer.h"

#include <QTest>

#include <algorithm>
#include <cmath>

namespace {

QRgb pixel(const Renderer::Stamps &stamps, int kind, int cell, int x, int y)
{
    return stamps[static_cast<std::size_t>(kind)][static_cast<std::size_t>(x + y * cell)];
}

LedBitmap bitmapOf(std::int64_t w, std::int64_t h, std::vector<std::uint8_t> cells)
{
    LedBitmap b;
    b.w = w;
    b.h = h;
    b.cells = std::move(cells);
    return b;
}

} // namespace

class TestRenderer : public QObject
{
    Q_OBJECT
private slots:
    void paletteValues();
    void stampsShowDotsOnBackground();
    void oneCellStamps();
    void amberUpAndDownAlike();
    void imageCopiesStampsAndWraps();
    void imageDrawsUnknownKindsAsOff();
    void brightKindsStandOutFromLiveOnes();
    void imageRefusesNothingToDraw();
    void staleKindsAreDimmerButReadable();
};

void TestRenderer::paletteValues()
{
    const auto green = Renderer::palette(ColorTheme::greenRed);
    QCOMPARE(green[0], QColor(27, 27, 27));
    QCOMPARE(green[1], QColor(242, 242, 242));
    QCOMPARE(green[2], QColor(45, 255, 122));
    QCOMPARE(green[3], QColor(255, 59, 59));
    QCOMPARE(green[4], QColor(74, 74, 74));
    QCOMPARE(green[5], QColor(255, 201, 51));
    QCOMPARE(green[6], QColor(201, 212, 222));
    QCOMPARE(green[7], QColor(79, 195, 255));

    const auto amber = Renderer::palette(ColorTheme::amber);
    const QColor a(255, 176, 0);
    QCOMPARE(amber[0], QColor(27, 27, 27));
    for (int k : {1, 2, 3, 5, 7})
        QCOMPARE(amber[static_cast<std::size_t>(k)], a);
    QCOMPARE(amber[4], QColor(106, 74, 0));
    QCOMPARE(amber[6], QColor(176, 120, 0));

    const auto blue = Renderer::palette(ColorTheme::blue);
    QCOMPARE(blue[0], QColor(27, 27, 27));
    QCOMPARE(blue[1], QColor(207, 234, 255));
    QCOMPARE(blue[5], QColor(207, 234, 255));
    for (int k : {2, 3, 7})
        QCOMPARE(blue[static_cast<std::size_t>(k)], QColor(79, 195, 255));
    QCOMPARE(blue[4], QColor(42, 74, 102));
    QCOMPARE(blue[6], QColor(127, 168, 200));

    QCOMPARE(Renderer::background, qRgb(11, 11, 11));
}

void TestRenderer::stampsShowDotsOnBackground()
{
    const int cell = 20;
    const auto stamps = Renderer::stamps(cell, ColorTheme::greenRed);
    QCOMPARE(stamps.size(), std::size_t(rawValueCount));
    const auto palette = Renderer::palette(ColorTheme::greenRed);
    for (int k = 0; k < 8; ++k) {
        QCOMPARE(stamps[static_cast<std::size_t>(k)].size(), std::size_t(cell * cell));
        // The centre shows the kind's colour, fully opaque; "off" is a (27, 27, 27) dot.
        QCOMPARE(pixel(stamps, k, cell, cell / 2, cell / 2), palette[static_cast<std::size_t>(k)].rgba());
        // Everything outside the inscribed circle (inset by 14 % of the cell) is the background.
        for (int y = 0; y < cell; ++y) {
            for (int x = 0; x < cell; ++x) {
                const double dx = x + 0.5 - cell / 2.0;
                const double dy = y + 0.5 - cell / 2.0;
                if (std::hypot(dx, dy) > 0.36 * cell + 1.0)
                    QCOMPARE(pixel(stamps, k, cell, x, y), Renderer::background);
                QCOMPARE(qAlpha(pixel(stamps, k, cell, x, y)), 255);
            }
        }
    }
    // The dot's edge is blended, not hard: some pixel lies strictly between dot and background.
    const auto &name = stamps[1];
    QVERIFY(std::any_of(name.begin(), name.end(), [](std::uint32_t p) { return qRed(p) > 11 && qRed(p) < 242; }));
}

void TestRenderer::oneCellStamps()
{
    const auto stamps = Renderer::stamps(1, ColorTheme::greenRed);
    QCOMPARE(stamps.size(), std::size_t(rawValueCount));
    for (const auto &s : stamps)
        QCOMPARE(s.size(), std::size_t(1));
    // A dot covering about half the pixel blends the colour into the background.
    const QRgb p = stamps[1][0];
    QVERIFY(qRed(p) > 11 && qRed(p) < 242);
    QCOMPARE(qAlpha(p), 255);
}

void TestRenderer::amberUpAndDownAlike()
{
    const auto stamps = Renderer::stamps(10, ColorTheme::amber);
    QCOMPARE(stamps[2], stamps[3]);
    QVERIFY(stamps[2] != stamps[4]);
}

void TestRenderer::imageCopiesStampsAndWraps()
{
    const int cell = 6;
    const auto stamps = Renderer::stamps(cell, ColorTheme::greenRed);
    // Five columns, two rows: column x holds kind x in the top row and kind 7 − x below.
    const LedBitmap bitmap = bitmapOf(5, 2, {0, 1, 2, 3, 4, 7, 6, 5, 4, 3});
    const QImage image = Renderer::image(bitmap, bitmap.w - 1, 3, cell, stamps);
    QCOMPARE(image.size(), QSize(3 * cell, 2 * cell));
    QCOMPARE(image.format(), QImage::Format_ARGB32_Premultiplied);
    const std::int64_t sourceColumns[] = {4, 0, 1}; // the last column, then the first two
    for (int a = 0; a < 3; ++a) {
        for (int r = 0; r < 2; ++r) {
            const auto kind = bitmap.at(sourceColumns[a], r);
            for (int y = 0; y < cell; ++y) {
                for (int x = 0; x < cell; ++x) {
                    const QRgb got = image.pixel(a * cell + x, r * cell + y);
                    QCOMPARE(got, pixel(stamps, kind, cell, x, y));
                }
            }
        }
    }
    // A negative start and runs longer than the bitmap wrap the same way.
    const QImage longer = Renderer::image(bitmap, -1, 12, cell, stamps);
    QCOMPARE(longer.copy(0, 0, 3 * cell, 2 * cell), image);
    QCOMPARE(longer.copy(cell, 0, 5 * cell, 2 * cell), longer.copy(6 * cell, 0, 5 * cell, 2 * cell));
}

void TestRenderer::imageDrawsUnknownKindsAsOff()
{
    const int cell = 4;
    const auto stamps = Renderer::stamps(cell, ColorTheme::blue);
    const QImage odd = Renderer::image(bitmapOf(2, 1, {200, rawValueCount}), 0, 2, cell, stamps);
    const QImage off = Renderer::image(bitmapOf(2, 1, {0, 0}), 0, 2, cell, stamps);
    QVERIFY(!odd.isNull());
    QCOMPARE(odd, off);

    // A stamp set with fewer kinds than the bitmap uses falls back to "off" as well.
    Renderer::Stamps two(stamps.begin(), stamps.begin() + 2);
    QCOMPARE(Renderer::image(bitmapOf(2, 1, {0, 5}), 0, 2, cell, two), off);
}

void TestRenderer::staleKindsAreDimmerButReadable()
{
    const auto brightness = [](const QColor &c) { return 0.3 * c.red() + 0.59 * c.green() + 0.11 * c.blue(); };
    for (ColorTheme theme : {ColorTheme::greenRed, ColorTheme::amber, ColorTheme::blue}) {
        const auto live = Renderer::palette(theme);
        const auto stale = Renderer::stalePalette(theme);
        QCOMPARE(stale[0], live[0]);
        for (std::size_t k = 1; k < 8; ++k) {
            QVERIFY(brightness(stale[k]) < brightness(live[k]) - 10);
            // Still clearly lit next to an unlit LED.
            QVERIFY2(brightness(stale[k]) > brightness(live[0]) + 10, qPrintable(stale[k].name()));
        }
        // A stale cell is drawn with its own stamp, centred on the stale colour.
        const int cell = 20;
        const auto stamps = Renderer::stamps(cell, theme);
        for (std::uint8_t k = 1; k < 8; ++k)
            QCOMPARE(pixel(stamps, staleRaw(k), cell, cell / 2, cell / 2), stale[k].rgba());
    }
    QCOMPARE(staleRaw(0), std::uint8_t(0));
    QCOMPARE(staleRaw(staleRaw(3)), staleRaw(3));
}

void TestRenderer::brightKindsStandOutFromLiveOnes()
{
    const auto brightness = [](const QColor &c) { return 0.3 * c.red() + 0.59 * c.green() + 0.11 * c.blue(); };
    for (ColorTheme theme : {ColorTheme::greenRed, ColorTheme::amber, ColorTheme::blue}) {
        const auto live = Renderer::palette(theme);
        const auto bright = Renderer::brightPalette(theme);
        QCOMPARE(bright[0], live[0]); // an unlit LED does not flash
        const int cell = 20;
        const auto stamps = Renderer::stamps(cell, theme);
        for (std::uint8_t k = 1; k < 8; ++k) {
            QVERIFY2(brightness(bright[k]) > brightness(live[k]) + 5, qPrintable(bright[k].name()));
            QCOMPARE(pixel(stamps, brightRaw(k), cell, cell / 2, cell / 2), bright[k].rgba());
        }
    }
    // Off, stale and bright values keep what they are.
    QCOMPARE(brightRaw(0), std::uint8_t(0));
    QCOMPARE(brightRaw(staleRaw(2)), staleRaw(2));
    QCOMPARE(brightRaw(brightRaw(2)), brightRaw(2));
}

void TestRenderer::imageRefusesNothingToDraw()
{
    const auto stamps = Renderer::stamps(4, ColorTheme::greenRed);
    QVERIFY(Renderer::image(bitmapOf(0, 1, {}), 0, 3, 4, stamps).isNull());
    QVERIFY(Renderer::image(bitmapOf(2, 1, {1, 1}), 0, 0, 4, stamps).isNull());
    QVERIFY(Renderer::image(bitmapOf(2, 1, {1, 1}), 0, 2, 0, stamps).isNull());
    // Cells missing from a malformed bitmap are never read.
    QVERIFY(Renderer::image(bitmapOf(4, 2, {1, 1}), 0, 2, 4, stamps).isNull());
}

QTEST_GUILESS_MAIN(TestRenderer)
#include "TestRenderer.moc"
