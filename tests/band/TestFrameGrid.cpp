// The times of frames queued ahead in batches: on one grid from batch to batch, started
// again after a stall, and going on after a cancel from the frame it may have let go.
#include "band/FrameGrid.h"

#include <QTest>

class TestFrameGrid : public QObject
{
    Q_OBJECT
private slots:
    void batchesGoOnFromTheLastFrame();
    void aStallStartsAgainFromNow();
    void afterACancelTheGridGoesOn();
};

namespace {
constexpr std::int64_t ms = 1'000'000;
constexpr std::int64_t interval = 16'666'667;

/** Queues one batch of frames up to `untilNs` as the drawing thread does; returns how many. */
int queueBatch(FrameGrid &grid, std::int64_t nowNs, std::int64_t untilNs, std::int64_t *first = nullptr)
{
    int count = 0;
    std::int64_t next = grid.firstToQueue(nowNs, interval);
    if (first)
        *first = next;
    for (; next <= untilNs; next += interval, ++count)
        grid.queuedUntil(next);
    return count;
}
} // namespace

void TestFrameGrid::batchesGoOnFromTheLastFrame()
{
    FrameGrid grid;
    QVERIFY(!grid.hasQueued());
    const std::int64_t start = 1000 * ms;
    std::int64_t first = 0;
    // The first frame a little after now, so that it can still be queued in time.
    QCOMPARE(queueBatch(grid, start, start + 1000 * ms, &first), 60);
    QCOMPARE(first, start + FrameGrid::firstFrameLeadNs);
    QVERIFY(grid.hasQueued());
    const std::int64_t last = grid.lastQueuedNs();
    QCOMPARE(last, first + 59 * interval);
    // Half a second on, the top-up goes on from the frame after the last, on the same grid.
    QCOMPARE(queueBatch(grid, start + 500 * ms, start + 1500 * ms, &first), 30);
    QCOMPARE(first, last + interval);
    QCOMPARE(grid.lastQueuedNs(), last + 30 * interval);
}

void TestFrameGrid::aStallStartsAgainFromNow()
{
    FrameGrid grid;
    queueBatch(grid, 0, 1000 * ms);
    const std::int64_t last = grid.lastQueuedNs();
    // Woken just as the last queued frame shows: the next one follows on the grid.
    std::int64_t first = 0;
    queueBatch(grid, last, last + 100 * ms, &first);
    QCOMPARE(first, last + interval);
    // Woken a whole interval after the queue ran dry: no burst of late frames, a grid from now.
    const std::int64_t late = grid.lastQueuedNs() + interval;
    queueBatch(grid, late, late + 100 * ms, &first);
    QCOMPARE(first, late + FrameGrid::firstFrameLeadNs);
    const std::int64_t restarted = first;
    // And that grid is the one later batches and cancels keep to.
    grid.clear();
    queueBatch(grid, restarted + 10 * interval + 1 * ms, restarted + 20 * interval, &first);
    QCOMPARE(first, restarted + 10 * interval);
}

void TestFrameGrid::afterACancelTheGridGoesOn()
{
    FrameGrid grid;
    const std::int64_t start = 50 * ms;
    std::int64_t grid0 = 0;
    queueBatch(grid, start, start + 1000 * ms, &grid0);
    // Cancelled before the grid's first frame: that frame is still the first.
    grid.clear();
    QVERIFY(!grid.hasQueued());
    std::int64_t first = 0;
    queueBatch(grid, start + 1 * ms, start + 100 * ms, &first);
    QCOMPARE(first, grid0);
    // A frame due 4 ms ago may not have been drawn before the cancel let it go: queued again.
    grid.clear();
    queueBatch(grid, grid0 + 10 * interval + 4 * ms, grid0 + 20 * interval, &first);
    QCOMPARE(first, grid0 + 10 * interval);
    // One due 6 ms ago was drawn: the next on the grid follows.
    grid.clear();
    queueBatch(grid, grid0 + 30 * interval + 6 * ms, grid0 + 40 * interval, &first);
    QCOMPARE(first, grid0 + 31 * interval);
    // Never off the grid, however long after.
    grid.clear();
    queueBatch(grid, grid0 + 1000 * interval + 12 * ms, grid0 + 1010 * interval, &first);
    QCOMPARE((first - grid0) % interval, std::int64_t{0});
    QVERIFY(first > grid0 + 1000 * interval + 7 * ms);
    QVERIFY(first <= grid0 + 1000 * interval + 7 * ms + interval);
}

QTEST_GUILESS_MAIN(TestFrameGrid)
#include "TestFrameGrid.moc"
