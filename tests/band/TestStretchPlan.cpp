// Where each column of a line's endless strip comes from when its loop is held in pieces:
// every column exactly once and from the right place, whatever the offset, the wrap or a
// missing tile; and which stretch of the loop serves a batch of frames.
#include "band/StretchPlan.h"

#include <QTest>

#include <optional>
#include <vector>

class TestStretchPlan : public QObject
{
    Q_OBJECT
private slots:
    void copiesFromOnePiece();
    void copiesFromTilesRoundTheWrap();
    void copiesFromTilesRoundTheWrap_data();
    void aMissingTileLeavesItsColumns();
    void onePieceOrStretches();
    void aBatchIsServedByOneStretch();
    void stretchesStopAtTheLargestWidth();
    void newContentsPlaceStartsAStretch();
};

namespace {

struct Piece
{
    int x = 0;
    int width = 0;
};

/** Pieces of at most `tile` columns covering a loop of `loop`. */
std::vector<Piece> tiles(int loop, int tile)
{
    std::vector<Piece> pieces;
    for (int x = 0; x < loop; x += tile)
        pieces.push_back({x, std::min(tile, loop - x)});
    return pieces;
}

/**
 * The loop column each target column gets from the copies for [start, start + width), or
 * nothing where none lands; fails the test where two land on the same column.
 */
std::vector<std::optional<int>> assemble(const std::vector<Piece> &pieces, int loop, int start, int width)
{
    std::vector<std::optional<int>> target(static_cast<std::size_t>(width));
    bool twice = false;
    StretchPlan::forEachCopy(pieces, loop, start, width, [&](const Piece &piece, int sourceX, int targetX, int n) {
        QVERIFY(sourceX >= 0 && sourceX + n <= piece.width);
        QVERIFY(targetX >= 0 && targetX + n <= width && n > 0);
        for (int i = 0; i < n; ++i) {
            std::optional<int> &column = target[static_cast<std::size_t>(targetX + i)];
            twice = twice || column.has_value();
            column = (piece.x + sourceX + i) % loop;
        }
    });
    if (twice)
        qWarning("a column was copied twice");
    return twice ? std::vector<std::optional<int>>{} : target;
}

/** Whether the target shows the strip from `start` on, every column once. */
bool showsStrip(const std::vector<std::optional<int>> &target, int loop, int start, int width)
{
    if (target.size() != static_cast<std::size_t>(width))
        return false;
    for (int i = 0; i < width; ++i) {
        if (target[static_cast<std::size_t>(i)] != (start + i) % loop)
            return false;
    }
    return true;
}

} // namespace

void TestStretchPlan::copiesFromOnePiece()
{
    // The loop and one window width of its start in one piece: any offset is one copy.
    const std::vector<Piece> strip{{0, 1200 + 640}};
    for (int start : {0, 1, 599, 1199}) {
        int copies = 0;
        StretchPlan::forEachCopy(strip, 1200, start, 640, [&](const Piece &, int sourceX, int targetX, int n) {
            ++copies;
            QCOMPARE(sourceX, start);
            QCOMPARE(targetX, 0);
            QCOMPARE(n, 640);
        });
        QCOMPARE(copies, 1);
    }
}

void TestStretchPlan::copiesFromTilesRoundTheWrap()
{
    QFETCH(int, loop);
    QFETCH(int, tile);
    QFETCH(int, width);
    const std::vector<Piece> pieces = tiles(loop, tile);
    // Every offset of a short loop, and every few of a long one: the window may hold the end
    // of the loop and its start, or several loops.
    const int step = loop > 5000 ? 97 : 1;
    for (int start = 0; start < loop; start += step)
        QVERIFY2(showsStrip(assemble(pieces, loop, start, width), loop, start, width),
                 qPrintable(QString::number(start)));
    QVERIFY(showsStrip(assemble(pieces, loop, loop - 1, width), loop, loop - 1, width));
}

void TestStretchPlan::copiesFromTilesRoundTheWrap_data()
{
    QTest::addColumn<int>("loop");
    QTest::addColumn<int>("tile");
    QTest::addColumn<int>("width");
    QTest::newRow("long loop") << 35000 << 2045 << 1920;
    QTest::newRow("tiles wider than the window") << 3000 << 2048 << 640;
    QTest::newRow("loop shorter than the window") << 200 << 128 << 450;
    QTest::newRow("one-column tiles") << 64 << 1 << 100;
}

void TestStretchPlan::aMissingTileLeavesItsColumns()
{
    // A tile that failed to render has no piece: its columns get nothing, the rest is in place.
    std::vector<Piece> pieces = tiles(1000, 300);
    pieces.erase(pieces.begin() + 1); // columns 300 to 599
    const std::vector<std::optional<int>> target = assemble(pieces, 1000, 850, 700);
    QCOMPARE(target.size(), std::size_t{700});
    for (int i = 0; i < 700; ++i) {
        const int column = (850 + i) % 1000;
        const bool missing = column >= 300 && column < 600;
        QCOMPARE(target[static_cast<std::size_t>(i)], missing ? std::nullopt : std::optional<int>(column));
    }
    // No loop, nothing to copy.
    int copies = 0;
    StretchPlan::forEachCopy(pieces, 0, 0, 700, [&](const Piece &, int, int, int) { ++copies; });
    QCOMPARE(copies, 0);
}

void TestStretchPlan::onePieceOrStretches()
{
    const StretchPlan plan(1200, 640, 32767);
    QVERIFY(plan.isOnePiece(std::vector<Piece>{{0, 1840}}));
    QVERIFY(plan.isOnePiece(std::vector<Piece>{{0, 2000}}));
    QVERIFY(!plan.isOnePiece(std::vector<Piece>{{0, 1839}})); // made for a narrower window
    QVERIFY(!plan.isOnePiece(tiles(1200, 600)));
    QVERIFY(!plan.isOnePiece(std::vector<Piece>{}));
}

void TestStretchPlan::aBatchIsServedByOneStretch()
{
    // A second of frames at 60 Hz, 6 pixels apart, crossing the end of a 35,000-pixel loop.
    const int loop = 35000;
    const StretchPlan plan(loop, 640, 32767);
    std::vector<int> offsets;
    for (int k = 0; k < 60; ++k)
        offsets.push_back((34800 + 6 * k) % loop);
    const StretchPlan::Stretch stretch = plan.stretchFrom(offsets, 0);
    QCOMPARE(stretch, (StretchPlan::Stretch{34800, 59 * 6 + 640, 0, 59}));
    // Each frame is the stretch moved by what the line moved since its first frame.
    for (int k = 0; k < 60; ++k)
        QCOMPARE(plan.placeIn(stretch, offsets[static_cast<std::size_t>(k)]), 6 * k);
    // A standing line: all its frames are the stretch as it is.
    const std::vector<int> still(30, 1234);
    QCOMPARE(plan.stretchFrom(still, 0), (StretchPlan::Stretch{1234, 640, 0, 29}));
    QCOMPARE(plan.placeIn(plan.stretchFrom(still, 0), 1234), 0);
    // Served from a later frame on, a stretch starts there.
    QCOMPARE(plan.stretchFrom(offsets, 50), (StretchPlan::Stretch{(34800 + 300) % loop, 9 * 6 + 640, 50, 59}));
}

void TestStretchPlan::stretchesStopAtTheLargestWidth()
{
    // 3000 pixels a frame: a stretch serves the frames that fit in 32,767 with the window.
    const int loop = 70000;
    const StretchPlan plan(loop, 1920, 32767);
    std::vector<int> offsets;
    for (int k = 0; k < 40; ++k)
        offsets.push_back((60000 + 3000 * k) % loop);
    std::vector<StretchPlan::Stretch> stretches;
    for (std::size_t k = 0; k < offsets.size(); k = stretches.back().last + 1)
        stretches.push_back(plan.stretchFrom(offsets, k));
    QCOMPARE(stretches.size(), std::size_t{4});
    std::size_t next = 0;
    for (const StretchPlan::Stretch &stretch : stretches) {
        QCOMPARE(stretch.first, next);
        QVERIFY(stretch.width <= 32767);
        QCOMPARE(stretch.start, offsets[stretch.first]);
        for (std::size_t k = stretch.first; k <= stretch.last; ++k)
            QVERIFY(plan.placeIn(stretch, offsets[k]) + 1920 <= stretch.width);
        next = stretch.last + 1;
    }
    // The 11th frame is 30,000 pixels on, the window's end at 31,920; the 12th would pass 32,767.
    QCOMPARE(stretches[0].last, std::size_t{10});
    QCOMPARE(stretches[0].width, 30000 + 1920);
}

void TestStretchPlan::newContentsPlaceStartsAStretch()
{
    // New content mid-batch places the line further back in its loop: the frames from there
    // need columns the stretch so far does not hold.
    const StretchPlan plan(40000, 800, 32767);
    const std::vector<int> offsets{10000, 10006, 10012, 4000, 4006, 4012};
    const StretchPlan::Stretch first = plan.stretchFrom(offsets, 0);
    QCOMPARE(first, (StretchPlan::Stretch{10000, 12 + 800, 0, 2}));
    QCOMPARE(plan.stretchFrom(offsets, 3), (StretchPlan::Stretch{4000, 12 + 800, 3, 5}));
}

QTEST_GUILESS_MAIN(TestStretchPlan)
#include "TestStretchPlan.moc"
