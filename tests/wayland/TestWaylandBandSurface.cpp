#include "FakeClock.h"
#include "SwaySession.h"
#include "band/BandLines.h"
#include "band/BandPopups.h"
#include "wayland/PopupPicture.h"
#include "wayland/SessionMode.h"
#include "wayland/WaylandBandSurface.h"

#include <QTest>

namespace {

constexpr int screenWidth = 1920;
constexpr double pitch = 5;
constexpr int rows = 7;
constexpr int bandHeight = rows * 5;

/** A line no shift of which looks like another: lit cells at pseudo-random places. */
LedBitmap pattern()
{
    LedBitmap bitmap;
    bitmap.w = 300;
    bitmap.h = rows;
    bitmap.cells.resize(static_cast<std::size_t>(bitmap.w * bitmap.h));
    std::uint32_t seed = 12345;
    for (auto &cell : bitmap.cells) {
        seed = seed * 1103515245u + 12345u;
        cell = (seed >> 16) % 3 == 0 ? static_cast<std::uint8_t>(1 + (seed >> 20) % 3) : 0;
    }
    return bitmap;
}

BandPlacement placementAt(DockPosition edge, WindowLevelMode level, bool exclusive)
{
    BandPlacement placement;
    placement.edge = edge;
    placement.height = bandHeight;
    placement.frame = QRect(0, edge == DockPosition::top ? 0 : 1080 - bandHeight, screenWidth, bandHeight);
    placement.level = level;
    placement.exclusive = exclusive;
    return placement;
}

/** Whether `later` is `earlier` moved left by `shift` pixels over the part both show. */
bool shiftedLeft(const QImage &earlier, const QImage &later, int shift)
{
    if (earlier.isNull() || later.size() != earlier.size())
        return false;
    for (int y = 0; y < earlier.height(); ++y) {
        for (int x = 0; x + shift < earlier.width(); ++x) {
            if (later.pixel(x, y) != earlier.pixel(x + shift, y))
                return false;
        }
    }
    return true;
}

/** The smallest rectangle holding every pixel of `colour` in `image`; empty for none. */
QRect colourBounds(const QImage &image, QRgb colour)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((row[x] | 0xff000000u) == (colour | 0xff000000u))
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

/** Pop-ups that write down where they were asked to show. */
class RecordingPopups : public BandPopups
{
public:
    QStringList calls;
    void showTooltip(const QPoint &global, const QString &text) override
    {
        calls.append(QStringLiteral("tip %1 %2 %3").arg(global.x()).arg(global.y()).arg(text));
    }
    void hideTooltip() override { calls.append(QStringLiteral("hide")); }
    void openMenu(const QPoint &global) override
    {
        calls.append(QStringLiteral("menu %1 %2").arg(global.x()).arg(global.y()));
    }
    QList<QAction *> menuActions() override { return {}; }
};

} // namespace

class TestWaylandBandSurface : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void levelsAndStripFollowThePlacement();
    void scrollsByTheClock();
    void popupsGoToTheBandsPopups();
    void tooltipShowsWholeBesideTheBand();

private:
    FakeClock m_clock;
};

void TestWaylandBandSurface::initTestCase()
{
    QString why;
    if (!SwaySession::available(&why))
        QFAIL(qPrintable(why));
    // sway offers the layer shell, so the session is one for the layer surface.
    QCOMPARE(SessionMode::prepare(), SessionMode::Kind::layerShell);
    QVERIFY(qEnvironmentVariable("QT_QPA_PLATFORM") == QLatin1String("offscreen"));
}

void TestWaylandBandSurface::levelsAndStripFollowThePlacement()
{
    using Layer = LayerBand::Layer;
    const auto config = [](WindowLevelMode level, bool exclusive) {
        return WaylandBandSurface::configFor(placementAt(DockPosition::top, level, exclusive));
    };
    QCOMPARE(config(WindowLevelMode::front, true).layer, Layer::top);
    QVERIFY(config(WindowLevelMode::front, true).exclusive);
    QVERIFY(!config(WindowLevelMode::front, false).exclusive);
    // Behind or among the windows, the band never keeps them out of its strip.
    QCOMPARE(config(WindowLevelMode::desktop, true).layer, Layer::bottom);
    QVERIFY(!config(WindowLevelMode::desktop, true).exclusive);
    QCOMPARE(config(WindowLevelMode::normal, true).layer, Layer::bottom);
    QVERIFY(!config(WindowLevelMode::normal, true).exclusive);
    QVERIFY(WaylandBandSurface::configFor(placementAt(DockPosition::bottom, WindowLevelMode::front, true)).bottomEdge);
}

void TestWaylandBandSurface::scrollsByTheClock()
{
    BandLines lines;
    std::unique_ptr<WaylandBandSurface> surface = WaylandBandSurface::create(lines);
    QVERIFY(surface);
    QCOMPARE(surface->name(), QStringLiteral("wayland"));
    lines.bitmap = pattern();
    lines.pitch = pitch;
    lines.speed = 3; // 21 columns a second

    const BandSurface::PlaceResult first = surface->place(placementAt(DockPosition::top, WindowLevelMode::front, true));
    QVERIFY(first.moved && first.levelled);
    surface->linesChanged();
    QVERIFY(SwaySession::waitFor([&] { return surface->isShown(); }));
    QCOMPARE(surface->frame(), QRect(0, 0, screenWidth, bandHeight));
    QCOMPARE(surface->scale(), 1.0);
    // Placing it again as it stands changes nothing.
    const BandSurface::PlaceResult again = surface->place(placementAt(DockPosition::top, WindowLevelMode::front, true));
    QVERIFY(!again.moved && !again.levelled);

    const QRect strip(0, 0, screenWidth, bandHeight);
    QImage before;
    QVERIFY(SwaySession::waitFor([&] {
        before = SwaySession::screenshot(strip);
        // Lit LEDs somewhere along the strip: the lines are drawn, not just the background.
        return !before.isNull() && before.pixel(0, 0) != before.pixel(screenWidth / 2, bandHeight / 2) &&
               before == SwaySession::screenshot(strip); // and the clock stands still
    }));

    // One second later on the clock the lines stand 21 columns = 105 pixels further left.
    m_clock.advanceMs(1000);
    QVERIFY(SwaySession::waitFor([&] { return shiftedLeft(before, SwaySession::screenshot(strip), 105); }));

    // At the bottom edge the same lines show at the foot of the screen.
    surface->place(placementAt(DockPosition::bottom, WindowLevelMode::front, true));
    const QRect foot(0, 1080 - bandHeight, screenWidth, bandHeight);
    QVERIFY(SwaySession::waitFor([&] {
        const QImage shot = SwaySession::screenshot(foot);
        return !shot.isNull() && shiftedLeft(before, shot, 105);
    }));
}

void TestWaylandBandSurface::popupsGoToTheBandsPopups()
{
    BandLines lines;
    std::unique_ptr<WaylandBandSurface> surface = WaylandBandSurface::create(lines);
    QVERIFY(surface);
    // The compositor keeps windows out of the strip itself; the pointer's shape is the surface's.
    QVERIFY(surface->capabilities().keepsStripClear);
    QVERIFY(surface->capabilities().cursorShapes);
    QVERIFY(!surface->reservesStrip());
    lines.bitmap = pattern();
    lines.pitch = pitch;
    surface->place(placementAt(DockPosition::bottom, WindowLevelMode::front, true));
    surface->linesChanged();
    QVERIFY(SwaySession::waitFor([&] { return surface->isShown(); }));

    // A menu the surface cannot draw itself (here no items, and no pointer to grab with) goes to
    // the band's pop-ups, at the band's place on screen; the tooltip is the surface's own, and
    // only taking it down reaches them.
    RecordingPopups popups;
    surface->setPopups(&popups);
    surface->showTooltip(QPointF(10, 5), QStringLiteral("Apple (AAPL)"));
    QVERIFY(SwaySession::waitFor([&] { return surface->isTooltipShown(); }));
    surface->hideTooltip();
    QVERIFY(!surface->isTooltipShown());
    surface->openMenu(QPointF(300.4, 20.6));
    const int top = 1080 - bandHeight;
    QCOMPARE(popups.calls, (QStringList{"hide", QStringLiteral("menu 300 %1").arg(top + 21)}));
    // No pointer in a headless session: the shape waits for one, harmlessly.
    surface->setCursor(BandCursor::pointingHand);
}

void TestWaylandBandSurface::tooltipShowsWholeBesideTheBand()
{
    BandLines lines;
    std::unique_ptr<WaylandBandSurface> surface = WaylandBandSurface::create(lines);
    QVERIFY(surface);
    lines.bitmap = pattern();
    lines.pitch = pitch;
    surface->place(placementAt(DockPosition::top, WindowLevelMode::front, true));
    surface->linesChanged();
    QVERIFY(SwaySession::waitFor([&] { return surface->isShown(); }));

    const QImage picture = PopupPicture::tooltip(QStringLiteral("Apple (AAPL) 189.30 +1.2 %"), 1);
    const QRgb tipColour = picture.pixel(picture.width() / 2, 2); // the background, above the text
    // Where the background stands in the picture (inside its frame): the pop-up's place on screen.
    const QRect inner = colourBounds(picture, tipColour);
    QVERIFY(inner.width() > 20 && inner.height() > 5);
    const auto tipOnScreen = [&tipColour] {
        return colourBounds(SwaySession::screenshot(QRect(0, 0, screenWidth, 1080)), tipColour);
    };

    // Near the right edge: below the band, slid left to stay whole, the band untouched.
    surface->showTooltip(QPointF(screenWidth - 10, 5), QStringLiteral("Apple (AAPL) 189.30 +1.2 %"));
    QRect box;
    QVERIFY(SwaySession::waitFor([&] {
        box = tipOnScreen();
        return box.size() == inner.size();
    }));
    QCOMPARE(box.top() - inner.top(), bandHeight + 4);
    QCOMPARE(box.right() + picture.width() - 1 - inner.right(), screenWidth - 1);

    // Under the pointer elsewhere: from the pointer on.
    surface->showTooltip(QPointF(400.7, 20), QStringLiteral("Apple (AAPL) 189.30 +1.2 %"));
    QVERIFY(SwaySession::waitFor([&] {
        box = tipOnScreen();
        return box.size() == inner.size() && box.left() - inner.left() == 400;
    }));
    QCOMPARE(box.top() - inner.top(), bandHeight + 4);

    // A band at the foot of the screen has it above.
    surface->place(placementAt(DockPosition::bottom, WindowLevelMode::front, true));
    QVERIFY(!surface->isTooltipShown()); // moving the band takes its tooltip down
    QVERIFY(SwaySession::waitFor([&] { return surface->isShown(); }));
    surface->showTooltip(QPointF(400, 20), QStringLiteral("Apple (AAPL) 189.30 +1.2 %"));
    QVERIFY(SwaySession::waitFor([&] {
        box = tipOnScreen();
        return box.size() == inner.size();
    }));
    QCOMPARE(box.bottom() + picture.height() - 1 - inner.bottom(), 1080 - bandHeight - 4 - 1);

    // An empty text takes it down.
    surface->showTooltip(QPointF(400, 20), QString());
    QVERIFY(!surface->isTooltipShown());
    QVERIFY(SwaySession::waitFor([&] { return tipOnScreen().isEmpty(); }));
}

QTEST_MAIN(TestWaylandBandSurface)
#include "TestWaylandBandSurface.moc"
