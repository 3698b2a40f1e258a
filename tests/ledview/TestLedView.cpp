#include "ledview/LedView.h"
#include "ledview/Renderer.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
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
    void contextMenuFromProvider();
};

void TestLedView::linesStackAtTheTop()
{
    LedView view;
    view.resize(1440, 110);
    view.bitmap = bitmapOf(133, 11, 1);
    view.newsBitmap = bitmapOf(300, 11, 2);
    view.refresh();
    QCOMPARE(view.quotesLine().placement()->y, 0.0);
    QCOMPARE(view.newsLine().placement()->y, 55.0);
    QCOMPARE(view.quotesLine().placement()->width, 1440.0);
    QCOMPARE(view.quotesLine().copies(), 4);
    QCOMPARE(view.quotesLine().columnsPerSecond(), 21.0);
    QCOMPARE(view.quotesLine().content()->scale, view.backingScale());

    view.newsBitmap.reset();
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
    view.bitmap = bitmapOf(10, 11, 1);
    view.refresh();
    QVERIFY(view.isAnimating());
    QCOMPARE(view.frameIntervalNs(), 16666667); // 60 Hz when the screen says no better
    view.hide();
    QVERIFY(!view.isAnimating());
    view.show();
    QVERIFY(view.isAnimating());
    view.bitmap.reset();
    view.refresh();
    QVERIFY(!view.isAnimating());
}

void TestLedView::resizeRefreshes()
{
    LedView view;
    view.bitmap = bitmapOf(133, 11, 1);
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
    view.bitmap = b;
    view.pitch = 4;
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
    view.bitmap = b;
    clock.advanceMs(2500); // the picture ignores how far the line has run
    view.refresh();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("band.png"));
    QVERIFY(view.writePNG(path));
    const QImage png(path);
    QCOMPARE(png.size(), QSize(400, 20));
    QVERIFY(qGreen(png.pixel(5, 5)) > 230);   // column 0 at the left edge (upscaled smoothly)
    QVERIFY(qRed(png.pixel(15, 5)) > 240 && qGreen(png.pixel(15, 5)) < 80); // column 1: red
    QCOMPARE(png.pixel(0, 0), Renderer::background);

    // Nothing written for an empty view or an unwritable place, and no stray file left.
    LedView empty;
    empty.resize(0, 10);
    QVERIFY(!empty.writePNG(dir.filePath(QStringLiteral("empty.png"))));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("empty.png"))));
    QVERIFY(!view.writePNG(dir.filePath(QStringLiteral("missing/band.png"))));
}

void TestLedView::contextMenuFromProvider()
{
    LedView view;
    view.resize(100, 10);
    QContextMenuEvent noMenu(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
    QApplication::sendEvent(&view, &noMenu);
    QVERIFY(!noMenu.isAccepted());

    int asked = 0;
    view.menuProvider = [&]() -> QMenu * {
        ++asked;
        return nullptr; // a provider may decline
    };
    QContextMenuEvent declined(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
    QApplication::sendEvent(&view, &declined);
    QCOMPARE(asked, 1);
    QVERIFY(!declined.isAccepted());
}

QTEST_MAIN(TestLedView)
#include "TestLedView.moc"
