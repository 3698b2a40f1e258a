#include "band/Renderer.h"
#include "qtband/LedView.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

#include "FakeClock.h"

namespace {

LedBitmap bitmapOf(std::int64_t w, std::int64_t h, std::uint8_t kind)
{
    LedBitmap b;
    b.w = w;
    b.h = h;
    b.cells.assign(static_cast<std::size_t>(w * h), kind);
    return b;
}

} // namespace

class TestLedView : public QObject
{
    Q_OBJECT
private slots:
    void linesStackAtTheTop();
    void animatesOnlyWhileMoving();
    void resizeRefreshes();
    void paintsTheLineAtItsColumn();
    void writesPngAtTwiceTheSize();
    void pointerEventsNameTheLine();
};

void TestLedView::linesStackAtTheTop()
{
    LedView view;
    view.resize(1440, 110);
    view.lines().bitmap = bitmapOf(133, 11, 1);
    view.lines().newsBitmap = bitmapOf(300, 11, 2);
    view.refresh();
    QCOMPARE(view.quotesLine().placement()->y, 0.0);
    QCOMPARE(view.newsLine().placement()->y, 55.0);
    QCOMPARE(view.quotesLine().placement()->width, 1440.0);
    QCOMPARE(view.quotesLine().copies(), 4);
    QCOMPARE(view.quotesLine().columnsPerSecond(), 21.0);
    QCOMPARE(view.quotesLine().content()->scale, view.backingScale());

    view.lines().newsBitmap.reset();
    view.refresh();
    QVERIFY(!view.newsLine().isRunning());
    QVERIFY(view.newsLine().tiles().isEmpty());
}

void TestLedView::animatesOnlyWhileMoving()
{
    LedView view;
    view.resize(800, 55);
    view.show();
    QVERIFY(!view.isAnimating());
    view.lines().bitmap = bitmapOf(10, 11, 1);
    view.refresh();
    QVERIFY(view.isAnimating());
    QCOMPARE(view.frameIntervalNs(), 16666667); // 60 Hz when the screen says no better
    view.hide();
    QVERIFY(!view.isAnimating());
    view.show();
    QVERIFY(view.isAnimating());
    view.lines().bitmap.reset();
    view.refresh();
    QVERIFY(!view.isAnimating());
}

void TestLedView::resizeRefreshes()
{
    LedView view;
    view.lines().bitmap = bitmapOf(133, 11, 1);
    view.show();
    view.resize(700, 55);
    QCOMPARE(view.quotesLine().placement()->width, 700.0);
    QCOMPARE(view.quotesLine().copies(), 3);
}

void TestLedView::paintsTheLineAtItsColumn()
{
    FakeClock clock;
    clock.setMonotonicMs(10000);
    LedView view;
    view.resize(256, 8);
    // Column 0 lit, the other 63 columns of the loop off.
    LedBitmap b = bitmapOf(64, 1, 0);
    b.cells[0] = 1;
    view.lines().bitmap = b;
    view.lines().pitch = 4;
    view.refresh();
    // At 21 columns per second, one second later the lit column has left; 64/21 s later it is back.
    clock.advanceMs(1000);
    QImage frame = view.grab().toImage();
    QCOMPARE(qGreen(frame.pixel(2, 2)), 27);
    QCOMPARE(qGreen(frame.pixel((64 - 21) * 4 + 2, 2)), 242);
    // Below the line the view shows the background.
    QCOMPARE(frame.pixel(10, 6), Renderer::background);
}

void TestLedView::writesPngAtTwiceTheSize()
{
    FakeClock clock;
    LedView view;
    view.resize(200, 10);
    LedBitmap b = bitmapOf(64, 2, 3);
    b.cells[0] = 1;
    view.lines().bitmap = b;
    clock.advanceMs(2500); // the picture ignores how far the line has run
    view.refresh();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("band.png"));
    QVERIFY(view.writePNG(path));
    const QImage png(path);
    QCOMPARE(png.size(), QSize(400, 20));
    QVERIFY(qGreen(png.pixel(5, 5)) > 230); // column 0 at the left edge (upscaled smoothly)
    QVERIFY(qRed(png.pixel(15, 5)) > 240 && qGreen(png.pixel(15, 5)) < 80); // column 1: red
    QCOMPARE(png.pixel(0, 0), Renderer::background);

    // Nothing written for an empty view or an unwritable place, and no stray file left.
    LedView empty;
    empty.resize(0, 10);
    QVERIFY(!empty.writePNG(dir.filePath(QStringLiteral("empty.png"))));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("empty.png"))));
    QVERIFY(!view.writePNG(dir.filePath(QStringLiteral("missing/band.png"))));
}

void TestLedView::pointerEventsNameTheLine()
{
    LedView view;
    view.resize(400, 20);
    view.lines().bitmap = bitmapOf(64, 2, 1);
    view.lines().newsBitmap = bitmapOf(64, 2, 2);
    view.refresh(); // lines of 10 points each: quotes over [0, 10), news over [10, 20)
    QMouseEvent unheard(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                        Qt::NoModifier);
    QApplication::sendEvent(&view, &unheard); // no handler: nothing happens

    QList<BandPointerEvent> events;
    view.pointerHandler = [&](const BandPointerEvent &event) { events.append(event); };
    QMouseEvent move(QEvent::MouseMove, QPointF(30, 4), view.mapToGlobal(QPointF(30, 4)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&view, &move);
    QTest::mousePress(&view, Qt::RightButton, Qt::NoModifier, QPoint(31, 14));
    QTest::mouseRelease(&view, Qt::RightButton, Qt::NoModifier, QPoint(31, 14));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&view, &leave);

    QCOMPARE(events.size(), 4);
    QCOMPARE(events[0].type, BandPointerEvent::Type::move);
    QCOMPARE(events[0].line, int(BandLines::quotes));
    QCOMPARE(events[0].position, QPointF(30, 4));
    QCOMPARE(events[1].type, BandPointerEvent::Type::press);
    QCOMPARE(events[1].button, Qt::RightButton);
    QCOMPARE(events[1].line, int(BandLines::news));
    QCOMPARE(events[1].position, QPointF(31, 14));
    QCOMPARE(events[2].type, BandPointerEvent::Type::release);
    QCOMPARE(events[3].type, BandPointerEvent::Type::leave);
    QCOMPARE(events[3].line, -1);
}

QTEST_MAIN(TestLedView)
#include "TestLedView.moc"
