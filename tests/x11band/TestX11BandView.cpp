// The band drawn by the X server, on a real one (Xvfb): every frame must be exactly the
// picture the lines give at that moment, whatever the loop length or a change of content,
// drawn by the drawing thread (one by one, or queued on the server) or queued ahead through
// Present.
#include "band/BandLines.h"
#include "band/Renderer.h"
#include "x11band/X11BandView.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>
#include <QScopeGuard>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <algorithm>

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

QImage onScreen(const QWindow &view)
{
    return view.screen()->grabWindow(view.winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

/** Frames from the timer (false) or queued through Present (true) for the views made meanwhile. */
class FramePath
{
public:
    explicit FramePath(bool present) { qputenv("DOTBANNER_X11_PRESENT", present ? "1" : "0"); }
    ~FramePath() { qunsetenv("DOTBANNER_X11_PRESENT"); }
};

/**
 * Whether the band comes to show `picture` within 5 s. The first sight of it counts: a window
 * exposed again may show something else for a moment before it is repaired, and QTRY_COMPARE,
 * which looks twice, would take such a moment for a failure.
 */
bool comesToShow(const QWindow &view, const QImage &picture)
{
    return QTest::qWaitFor([&] { return onScreen(view) == picture; }, 5000);
}

/** The rows of `rect` of an image. */
QImage rows(const QImage &image, const QRect &rect)
{
    return image.copy(rect);
}

/** A span of band times, seconds. */
struct Span
{
    double from = 0;
    double to = 0;
};

/**
 * Whether each line in `shown` is exactly that line as it stands at some moment of `spans`.
 * Every place the line passes through in them is a candidate, the latest first: a picture
 * must show a whole frame of each line, whichever (the server may show a frame late on a busy
 * machine, and each line's window gets its frames on its own), never a mix or a seam.
 */
bool eachLineShowsAMomentOf(const QImage &shown, const BandLines &lines, QSize size, const std::vector<Span> &spans)
{
    for (const ScrollLine *line : {&lines.quotesLine(), &lines.newsLine()}) {
        const QRect rect = line->deviceRect(size.width());
        if (rect.isEmpty() || !line->content())
            continue;
        const QImage want = rows(shown, rect);
        // Steps of half a device pixel of the line's motion: no place is passed over.
        const double pixelsPerSecond = line->columnsPerSecond() * line->content()->pitch * line->content()->scale;
        const double step = pixelsPerSecond > 0 ? 0.5 / pixelsPerSecond : 1e9;
        std::vector<bool> tried(static_cast<std::size_t>(std::max(1, line->loopPixels())));
        bool found = false;
        for (const Span &span : spans) {
            for (double t = span.to; !found && t > span.from - step; t -= step) {
                const double at = std::max(t, span.from);
                const auto offset = static_cast<std::size_t>(line->offsetPixels(line->columnAt(at)));
                if (offset < tried.size() && tried[offset])
                    continue;
                if (offset < tried.size())
                    tried[offset] = true;
                found = rows(expected(lines, at, size), rect) == want;
            }
        }
        if (!found)
            return false;
    }
    return true;
}

/**
 * Whether each line on the screen shows exactly a frame of the last few seconds: frames are
 * queued ahead and the server shows each when its time comes, on a busy machine maybe late,
 * but never one well ahead of its time (a quarter of a second allowed: the times of frames
 * queued by vertical blank come from the server's reports of its blanks, which run late with
 * it).
 */
bool showsALateFrame(const QWindow &view, const BandLines &lines, QSize size, QImage *picture = nullptr)
{
    const double before = BandLines::now();
    const QImage shown = onScreen(view);
    const double after = BandLines::now();
    if (picture)
        *picture = shown;
    return eachLineShowsAMomentOf(shown, lines, size, {{before - 3.4, after + 0.25}});
}

/** A plain white window, to cover the band with. */
class WhiteWindow : public QRasterWindow
{
protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(QRect(QPoint(), size()), Qt::white); }
};

/** Shows `view` frameless at the screen's corner, `size` large, and waits for its pixmaps. */
bool showBand(X11BandView &view, QSize size)
{
    view.setFlags(Qt::Tool | Qt::FramelessWindowHint);
    view.setGeometry(QRect(QPoint(0, 0), size));
    view.show();
    return QTest::qWaitForWindowExposed(&view) && QTest::qWaitFor([&] { return !view.isUploading(); });
}

} // namespace

class TestX11BandView : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void framesMatchThePaintedLines();
    void framesMatchThePaintedLines_data();
    void loopsWiderThanAPixmap();
    void loopsWiderThanAPixmap_data();
    void contentChangeKeepsTheLinesPlace();
    void unchangedRefreshUploadsNothing();
    void presentedFramesMatchTheirBlank();
    void framesQueuedWithoutPresent();
    void presentedPauseAndContentChange();
    void presentedStillLineComesBackAfterCover();
    void queuedFramesAreRecorded();
    void queuedFramesAreRecorded_data();
};

void TestX11BandView::initTestCase()
{
    if (!X11BandView::isAvailable())
        QFAIL("this test needs Qt on an X server with 24- or 32-bit pixels");
}

void TestX11BandView::framesMatchThePaintedLines()
{
    QFETCH(bool, queued);
    const FramePath timer(false);
    qputenv("DOTBANNER_X11_SYNC", queued ? "1" : "0");
    const auto restore = qScopeGuard([] { qunsetenv("DOTBANNER_X11_SYNC"); });
    FakeClock clock;
    BandLines lines;
    lines.bitmap = patterned(97, 6, 0);
    lines.newsBitmap = patterned(41, 6, 3);
    lines.speed = 6;
    X11BandView view(&lines);
    QVERIFY(showBand(view, QSize(900, 70)));
    QCOMPARE(view.backingScale(), 1.0);
    QVERIFY(view.isAnimating());
    QVERIFY(!view.presentsLine(0));

    // Frames at uneven steps, some wrapping round the shorter loop; the drawing thread draws them.
    const int steps[] = {16, 17, 16, 33, 5, 16, 250, 17, 16, 16, 100, 16};
    for (int ms : steps) {
        clock.advanceMs(ms);
        const double t = BandLines::now();
        QVERIFY(comesToShow(view, expected(lines, t, QSize(900, 70))));
    }
    QVERIFY(view.threadFrames() > 0); // drawn by the thread: the main loop sleeps
    QCOMPARE(view.threadQueuesFrames(), queued);
    // Exposed again after being covered: the background below the lines comes back too.
    view.hide();
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QVERIFY(comesToShow(view, expected(lines, BandLines::now(), QSize(900, 70))));

    // Stopped lines draw no frames; hidden, none either.
    lines.speed = 0;
    view.refresh();
    QVERIFY(!view.isAnimating());
    lines.speed = 6;
    view.refresh();
    QVERIFY(view.isAnimating());
    view.hide();
    QVERIFY(!view.isAnimating());
}

void TestX11BandView::framesMatchThePaintedLines_data()
{
    // Queued on the server ahead of their time, or drawn one by one where it has no SYNC.
    QTest::addColumn<bool>("queued");
    QTest::newRow("queued") << true;
    QTest::newRow("one by one") << false;
}

void TestX11BandView::loopsWiderThanAPixmap()
{
    QFETCH(bool, present);
    const FramePath framePath(present);
    FakeClock clock;
    BandLines lines;
    lines.bitmap = patterned(7000, 3, 1); // 35,000 pixels at 5 per LED: past the 32,767 a pixmap may have
    lines.speed = 10;
    X11BandView view(&lines);
    QVERIFY(showBand(view, QSize(640, 15)));
    QVERIFY(lines.quotesLine().loopPixels() > 32767);
    QCOMPARE(view.presentsLine(0), present);
    // Around the wrap, where the end of the loop and its start share the window.
    const double start = BandLines::now();
    clock.setMonotonicMs(std::llround((7000.0 - 60) / 70 * 1000));
    if (present) {
        // Queued frames go on from the band's time, and the stretch each batch passes over is
        // put together on the server: the frames about the wrap must be exact too. The clock
        // stands still, so each batch's frames go on from where it stands for up to a second
        // and a blank or two; those queued before it moved, from where it stood.
        view.refresh();
        const double wrap = BandLines::now();
        for (int i = 0; i < 8; ++i) {
            QTest::qWait(150);
            QVERIFY2(eachLineShowsAMomentOf(onScreen(view), lines, QSize(640, 15),
                                            {{wrap, wrap + 1.2}, {start, start + 1.2}}),
                     qPrintable(QString::number(i)));
        }
        // Resting on it with the end of the loop and its start in view: from the next blank
        // on, every frame is the stretch at exactly the place it stopped, and stays so.
        clock.setMonotonicMs(std::llround((7000.0 - 50) / 70 * 1000));
        QVERIFY(lines.pause(BandLines::quotes, BandLines::now()));
        view.refresh();
        const QImage paused = expected(lines, BandLines::now(), QSize(640, 15));
        QVERIFY(comesToShow(view, paused));
        QTest::qWait(300);
        QCOMPARE(onScreen(view), paused);
        return;
    }
    for (int i = 0; i < 4; ++i) {
        clock.advanceMs(250);
        QVERIFY(comesToShow(view, expected(lines, BandLines::now(), QSize(640, 15))));
    }
}

void TestX11BandView::loopsWiderThanAPixmap_data()
{
    QTest::addColumn<bool>("present");
    QTest::newRow("timer") << false;
    QTest::newRow("present") << true;
}

void TestX11BandView::contentChangeKeepsTheLinesPlace()
{
    const FramePath timer(false);
    FakeClock clock;
    BandLines lines;
    lines.bitmap = patterned(200, 6, 0);
    X11BandView view(&lines);
    QVERIFY(showBand(view, QSize(500, 30)));
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
    QTRY_VERIFY(!view.isUploading());
    QVERIFY(comesToShow(view, expected(lines, t, QSize(500, 30))));
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
    // The window hears of its new size when the server has made it.
    view.resize(420, 60);
    QTRY_COMPARE(view.uploads(), uploads + 4);
    QTest::qWait(100); // nothing more comes of it
    QCOMPARE(view.uploads(), uploads + 4);
    // Removing the news line frees it and uploads nothing.
    lines.newsBitmap.reset();
    view.refresh();
    QCOMPARE(view.uploads(), uploads + 4);
}

void TestX11BandView::presentedFramesMatchTheirBlank()
{
    const FramePath present(true);
    BandLines lines;
    lines.bitmap = patterned(97, 6, 0);
    lines.newsBitmap = patterned(41, 6, 3);
    lines.speed = 6;
    X11BandView view(&lines);
    QVERIFY(showBand(view, QSize(900, 70)));
    QVERIFY(view.presentsLine(0));
    QVERIFY(view.presentsLine(1));
    QVERIFY(view.isAnimating());
    // A second of frames is queued; the server shows each at its blank while the program
    // sleeps: held up for 0.6 s, it sees the band go on moving, frame by exact frame.
    const QRect quotes = lines.quotesLine().deviceRect(900);
    const QRect news = lines.newsLine().deviceRect(900);
    QImage last = onScreen(view);
    for (int i = 0; i < 3; ++i) {
        QThread::msleep(200);
        QImage shown;
        QVERIFY2(showsALateFrame(view, lines, QSize(900, 70), &shown), qPrintable(QString::number(i)));
        QVERIFY2(rows(shown, quotes) != rows(last, quotes) && rows(shown, news) != rows(last, news),
                 qPrintable(QString::number(i)));
        last = shown;
    }
    for (int i = 0; i < 6; ++i) {
        QTest::qWait(70);
        QVERIFY2(showsALateFrame(view, lines, QSize(900, 70)), qPrintable(QString::number(i)));
    }
    // Past the first batch: the frames queued later go on from the same clock.
    QTest::qWait(600);
    QVERIFY(showsALateFrame(view, lines, QSize(900, 70)));
}

void TestX11BandView::framesQueuedWithoutPresent()
{
    const FramePath timer(false);
    BandLines lines;
    lines.bitmap = patterned(97, 6, 0);
    lines.newsBitmap = patterned(41, 6, 3);
    lines.speed = 6;
    X11BandView view(&lines);
    QVERIFY(showBand(view, QSize(900, 70)));
    QVERIFY(!view.presentsLine(0));
    QVERIFY(view.threadQueuesFrames());
    // The thread queues frames ahead on the server, which draws each at its time: a picture
    // taken at any moment shows one of them, also past the first batch.
    for (int i = 0; i < 10; ++i) {
        QTest::qWait(110);
        QVERIFY2(showsALateFrame(view, lines, QSize(900, 70)), qPrintable(QString::number(i)));
    }

    // New content for the news line mid-scroll: the queue is cancelled and queued again from
    // the new pixmaps (the old ones go once the server is done with them).
    lines.newsBitmap = patterned(57, 6, 8);
    view.refresh();
    QTRY_VERIFY(!view.isUploading());
    for (int i = 0; i < 4; ++i) {
        QTest::qWait(80);
        QVERIFY2(showsALateFrame(view, lines, QSize(900, 70)), qPrintable(QString::number(i)));
    }

    // Resting on the quotes line: it stays where it stood, the news line goes on. The
    // hand-over queues the frames of the next second at once: far more, far sooner, than
    // drawing them one by one could.
    const QRect quotes = lines.quotesLine().deviceRect(900);
    const QRect news = lines.newsLine().deviceRect(900);
    const auto frames800Ms = static_cast<quint64>(800'000'000 / view.frameIntervalNs());
    const quint64 before = view.threadFrames();
    QElapsedTimer handOver;
    handOver.start();
    QVERIFY(lines.pause(BandLines::quotes, BandLines::now()));
    view.refresh();
    QVERIFY(QTest::qWaitFor([&] { return view.threadFrames() >= before + frames800Ms; }, 5000));
    QVERIFY2(handOver.elapsed() < 600, qPrintable(QString::number(handOver.elapsed())));
    const QImage paused = expected(lines, BandLines::now(), QSize(900, 70));
    QVERIFY(QTest::qWaitFor([&] { return rows(onScreen(view), quotes) == rows(paused, quotes); }, 5000));
    const QImage first = onScreen(view);
    QTest::qWait(150);
    QCOMPARE(rows(onScreen(view), quotes), rows(paused, quotes));
    QVERIFY(rows(first, news) != rows(onScreen(view), news));
    QVERIFY(showsALateFrame(view, lines, QSize(900, 70)));

    // Both stopped: what was queued for later is let go without drawing, and the band stays
    // exactly where the lines stopped.
    lines.speed = 0;
    view.refresh();
    QVERIFY(!view.isAnimating());
    const QImage stopped = expected(lines, BandLines::now(), QSize(900, 70));
    QVERIFY(comesToShow(view, stopped));
    QTest::qWait(300);
    QCOMPARE(onScreen(view), stopped);
}

void TestX11BandView::presentedPauseAndContentChange()
{
    const FramePath present(true);
    BandLines lines;
    lines.bitmap = patterned(200, 6, 0);
    lines.newsBitmap = patterned(150, 6, 2);
    lines.speed = 8;
    X11BandView view(&lines);
    QVERIFY(showBand(view, QSize(500, 60)));
    QTest::qWait(100);

    // Resting on the quotes line stops it from the next blank on; the news line goes on.
    const QRect quotes = lines.quotesLine().deviceRect(500);
    const QRect news = lines.newsLine().deviceRect(500);
    QVERIFY(lines.pause(BandLines::quotes, BandLines::now()));
    view.refresh();
    QTest::qWait(50);
    const QImage first = onScreen(view);
    QTest::qWait(100);
    const QImage second = onScreen(view);
    const QImage paused = expected(lines, BandLines::now(), QSize(500, 60));
    QCOMPARE(rows(first, quotes), rows(paused, quotes));
    QCOMPARE(rows(second, quotes), rows(paused, quotes));
    QVERIFY(rows(first, news) != rows(second, news));
    QVERIFY(view.isAnimating());

    // New content for the moving line mid-scroll: shown from the blank after the upload.
    const double column = lines.newsLine().columnAt(BandLines::now());
    lines.newsBitmap = patterned(170, 6, 9);
    const int uploads = view.uploads();
    view.refresh();
    QCOMPARE(view.uploads(), uploads + 1);
    QVERIFY(std::abs(lines.newsLine().columnAt(BandLines::now()) - column) < 1);
    QTRY_VERIFY(!view.isUploading());
    QTest::qWait(50);
    QVERIFY(showsALateFrame(view, lines, QSize(500, 60)));

    // Resumed: it moves on from where it stood.
    QVERIFY(lines.resume(BandLines::quotes, BandLines::now()));
    view.refresh();
    QTest::qWait(50);
    const QImage moving = onScreen(view);
    QTest::qWait(100);
    QVERIFY(rows(moving, quotes) != rows(onScreen(view), quotes));
    QVERIFY(showsALateFrame(view, lines, QSize(500, 60)));
}

void TestX11BandView::presentedStillLineComesBackAfterCover()
{
    const FramePath present(true);
    BandLines lines;
    lines.bitmap = patterned(120, 6, 4);
    lines.speed = 0; // still: no frame is queued that would repair it by chance
    X11BandView view(&lines);
    QVERIFY(showBand(view, QSize(400, 30)));
    QVERIFY(comesToShow(view, expected(lines, BandLines::now(), QSize(400, 30))));
    QVERIFY(!view.isAnimating());

    // A window over the line only (as a tooltip would be), then gone.
    WhiteWindow cover;
    cover.setFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    cover.setGeometry(100, 5, 80, 20);
    cover.show();
    QVERIFY(QTest::qWaitForWindowExposed(&cover));
    QTRY_VERIFY(onScreen(view) != expected(lines, BandLines::now(), QSize(400, 30)));
    cover.hide();
    QVERIFY(comesToShow(view, expected(lines, BandLines::now(), QSize(400, 30))));
}

void TestX11BandView::queuedFramesAreRecorded()
{
    QFETCH(bool, present);
    const FramePath framePath(present);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("frames.txt"));
    qputenv("DOTBANNER_FRAME_STATS", path.toLocal8Bit());
    {
        BandLines lines;
        lines.bitmap = patterned(97, 6, 0);
        lines.newsBitmap = patterned(41, 6, 3);
        X11BandView view(&lines);
        view.setGeometry(0, 0, 300, 60);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTRY_VERIFY(!view.isUploading());
        QCOMPARE(view.presentsLine(0), present);
        QCOMPARE(view.threadQueuesFrames(), !present);
        QTest::qWait(1300);
    }
    qunsetenv("DOTBANNER_FRAME_STATS");
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QList<qint64> times;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (!line.isEmpty())
            times.append(line.toLongLong());
    }
    // The frames the server reports shown, one per frame though two lines move, in order:
    // read in batches, yet each with its own time.
    QVERIFY2(times.size() >= 30, qPrintable(QString::number(times.size())));
    int steps = 0;
    for (qsizetype i = 1; i < times.size(); ++i) {
        QVERIFY(times[i] > times[i - 1]);
        if (times[i] - times[i - 1] < 25000000)
            ++steps;
    }
    QVERIFY(steps > times.size() / 2);
}

void TestX11BandView::queuedFramesAreRecorded_data()
{
    QTest::addColumn<bool>("present");
    QTest::newRow("present") << true;
    QTest::newRow("sync") << false;
}

QTEST_MAIN(TestX11BandView)
#include "TestX11BandView.moc"
