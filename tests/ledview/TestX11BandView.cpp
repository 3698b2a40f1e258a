// The band drawn by the X server, on a real one (Xvfb): every frame must be exactly the
// picture the lines give at that moment, whatever the loop length or a change of content.
#include "ledview/BandLines.h"
#include "ledview/Renderer.h"
#include "ledview/X11BandView.h"

#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QTest>

#include "FakeClock.h"

namespace {

/** Cells that tell every column of a `w`-column loop apart. */
LedBitmap patterned(std::int64_t w, std::int64_t h, int salt)
{
    LedBitmap b;
    b.w = w;
    b.h = h;
    for (std::int64_t i = 0; i < w * h; ++i)
        b.cells.push_back(static_cast<std::uint8_t>((i * 7 + i / 13 + salt) % 8));
    return b;
}

/** The band as the lines give it at `t`, painted by Qt. */
QImage expected(const BandLines &lines, double t, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor::fromRgba(Renderer::background));
    QPainter painter(&image);
    for (int i = 0; i < BandLines::lineCount; ++i) {
        const ScrollLine &line = lines.line(i);
        if (line.isRunning())
            line.paint(painter, line.columnAt(t), size.width());
    }
    return image;
}

QImage onScreen(const QWidget &view)
{
    return view.screen()->grabWindow(view.winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TestX11BandView : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void framesMatchThePaintedLines();
    void loopsWiderThanAPixmap();
    void contentChangeKeepsTheLinesPlace();
    void unchangedRefreshUploadsNothing();
};

void TestX11BandView::initTestCase()
{
    if (!X11BandView::isAvailable())
        QFAIL("this test needs Qt on an X server with 24- or 32-bit pixels");
}

void TestX11BandView::framesMatchThePaintedLines()
{
    FakeClock clock;
    BandLines lines;
    lines.bitmap = patterned(97, 6, 0);
    lines.newsBitmap = patterned(41, 6, 3);
    lines.speed = 6;
    X11BandView view(&lines);
    view.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    view.setGeometry(0, 0, 900, 70);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCOMPARE(view.backingScale(), 1.0);
    QVERIFY(view.isAnimating());

    // Frames at uneven steps, some wrapping round the shorter loop; the frame timer draws them.
    const int steps[] = {16, 17, 16, 33, 5, 16, 250, 17, 16, 16, 100, 16};
    for (int ms : steps) {
        clock.advanceMs(ms);
        QTest::qWait(40);
        const double t = BandLines::now();
        QCOMPARE(onScreen(view), expected(lines, t, QSize(900, 70)));
    }
    // Exposed again after being covered: the background below the lines comes back too.
    view.hide();
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QTest::qWait(40);
    QCOMPARE(onScreen(view), expected(lines, BandLines::now(), QSize(900, 70)));
}

void TestX11BandView::loopsWiderThanAPixmap()
{
    FakeClock clock;
    BandLines lines;
    lines.bitmap = patterned(7000, 3, 1); // 35,000 pixels at 5 per LED: past the 32,767 a pixmap may have
    lines.speed = 10;
    X11BandView view(&lines);
    view.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    view.setGeometry(0, 0, 640, 15);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QVERIFY(lines.quotesLine().loopPixels() > 32767);
    // Around the wrap, where the end of the loop and its start share the window.
    clock.setMonotonicMs(std::llround((7000.0 - 60) / 70 * 1000));
    for (int i = 0; i < 4; ++i) {
        clock.advanceMs(250);
        QTest::qWait(40);
        QCOMPARE(onScreen(view), expected(lines, BandLines::now(), QSize(640, 15)));
    }
}

void TestX11BandView::contentChangeKeepsTheLinesPlace()
{
    FakeClock clock;
    BandLines lines;
    lines.bitmap = patterned(200, 6, 0);
    X11BandView view(&lines);
    view.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    view.setGeometry(0, 0, 500, 30);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    clock.advanceMs(3000);
    const double t = BandLines::now();
    const double column = lines.quotesLine().columnAt(t);
    QVERIFY(column > 60);

    // New content mid-scroll: the line goes on from the column it had reached.
    lines.bitmap = patterned(230, 6, 5);
    const int uploads = view.uploads();
    view.refresh();
    QCOMPARE(view.uploads(), uploads + 1);
    QCOMPARE(lines.quotesLine().columnAt(t), column);
    QTest::qWait(40);
    QCOMPARE(onScreen(view), expected(lines, t, QSize(500, 30)));
}

void TestX11BandView::unchangedRefreshUploadsNothing()
{
    BandLines lines;
    lines.bitmap = patterned(64, 6, 0);
    lines.newsBitmap = patterned(80, 6, 1);
    X11BandView view(&lines);
    view.setGeometry(0, 0, 400, 60);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const int uploads = view.uploads();
    QCOMPARE(uploads, 2);
    view.refresh();
    view.refresh();
    QCOMPARE(view.uploads(), uploads);
    // A new theme re-uploads both lines once; a new width too.
    lines.theme = ColorTheme::amber;
    view.refresh();
    QCOMPARE(view.uploads(), uploads + 2);
    view.resize(420, 60);
    QCOMPARE(view.uploads(), uploads + 4);
    // Removing the news line frees it and uploads nothing.
    lines.newsBitmap.reset();
    view.refresh();
    QCOMPARE(view.uploads(), uploads + 4);
}

QTEST_MAIN(TestX11BandView)
#include "TestX11BandView.moc"
